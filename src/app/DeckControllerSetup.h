// Wires the deck controller to the program's windows at start-up: its window needs, the
// transport actions, the main-timer tick, the tray and the drop targets.
#pragma once

#include "plugins/ZorvanePlayerApiSharedRecord.h"

class TApplicationForms;

void InstallDeckController(TApplicationForms& forms);
// Before the windows go: nothing may reach them any more.
void ClearDeckController();
// The now-playing record's values for this tick: the deck's texts, the entry from the copy
// taken when it started, the channel's figures and the skin's playlist colours.
TNowPlayingValues DeckNowPlayingValues();
