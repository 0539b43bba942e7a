// Delivers the control messages' clicks and slider moves to the skinned windows: a real
// left press and release at the point, synchronously, through the windows' own handlers.
#pragma once

#include "app/ZorvanePlayerApiMessageTable.h"

class TSkinnedWindowSet;

// Fills ApiWindowHooks() for these windows; ClearApiWindowHooks() empties it again.
void InstallApiWindowHooks(TSkinnedWindowSet& windows);
void ClearApiWindowHooks();
