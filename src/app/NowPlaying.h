// Gathers what the deck shows into the now-playing record's values, once per main-timer tick.
#pragma once

#include "plugins/ZorvanePlayerApiSharedRecord.h"

TNowPlayingValues GatherNowPlayingValues();
