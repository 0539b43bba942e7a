#include "app/PlayerApiDispatcher.h"

#include <algorithm>

#include "skin/MultimediaSkinStructure.h"

TApiWindowHooks& ApiWindowHooks() {
  static TApiWindowHooks hooks;
  return hooks;
}

void ApiClickPoint(KELDARSkinControls_IDs control, int& x, int& y) {
  const StringIdentStructure& c = MultimediaSkin()[control];
  const StringIdentStructure& parent = MultimediaSkin()[c.Control_ParentControl];
  x = c.Control_Left + parent.Control_Left + 1;
  y = c.Control_Top + parent.Control_Top + 1;
}

int64_t HandlePlayerApiMessage(uint32_t message, int64_t /*wparam*/, int64_t lparam) {
  const TApiMessageRow* row = FindApiMessage(message);
  if (!row) return 0;
  TApiWindowHooks& hooks = ApiWindowHooks();
  try {
    switch (row->Action) {
      case TApiAction::Get:
        return MultimediaSkin()[row->Control].Control_CurrentValue;
      case TApiAction::Set: {
        int value = static_cast<int>(std::clamp<int64_t>(lparam, 0, 100));
        if (hooks.SetSliderValue) {
          hooks.SetSliderValue(row->Window, row->Control, value);
        } else {
          MultimediaSkin()[row->Control].Control_CurrentValue = value;
        }
        return 0;
      }
      case TApiAction::Click: {
        int x, y;
        ApiClickPoint(row->Control, x, y);
        if (hooks.ClickAt) hooks.ClickAt(row->Window, x, y);
        return 0;
      }
      case TApiAction::PanelClick: {
        int x, y;
        ApiClickPoint(row->MenuButton, x, y);
        if (hooks.ClickAt) hooks.ClickAt(TApiWindow::Playlist, x, y);
        const StringIdentStructure& button = MultimediaSkin()[row->Control];
        if (hooks.ClickPlaylistPanelAt) hooks.ClickPlaylistPanelAt(button.Control_Left + 1, button.Control_Top + 1);
        return 0;
      }
    }
  } catch (...) {
    // A failing click must not take the player down.
  }
  return 0;
}
