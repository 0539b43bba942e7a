// Carries out the control messages: clicks land where a user's click on the control would,
// get reads a control's value, set moves it like a user's drag.
#pragma once

#include <cstdint>
#include <functional>

#include "app/ZorvanePlayerApiMessageTable.h"

// Installed by the skinned windows; the dispatcher computes the points.
struct TApiWindowHooks {
  // Mouse down and up with the left button at (x, y) of the window's client area, synchronously.
  std::function<void(TApiWindow, int x, int y)> ClickAt;
  // The same on the playlist window's button panel.
  std::function<void(int x, int y)> ClickPlaylistPanelAt;
  // Moves a slider through the drag path and runs its change action.
  std::function<void(TApiWindow, KELDARSkinControls_IDs, int value)> SetSliderValue;
};
TApiWindowHooks& ApiWindowHooks();

// The point of a click on the control: control left + parent left + 1, top + parent top + 1.
void ApiClickPoint(KELDARSkinControls_IDs control, int& x, int& y);

// The message result: the value for get, 0 otherwise. Failures inside a click are swallowed.
int64_t HandlePlayerApiMessage(uint32_t message, int64_t wparam, int64_t lparam);
