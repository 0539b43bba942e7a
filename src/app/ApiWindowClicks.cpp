#include "app/ApiWindowClicks.h"

#include "app/CommandActions.h"
#include "app/PlayerApiDispatcher.h"
#include "app/SkinnedWindowSet.h"

namespace {

TKELDARSkinnedWindow SkinnedWindowOf(TApiWindow window) {
  switch (window) {
    case TApiWindow::Deck: return TKELDARSkinnedWindow::Deck;
    case TApiWindow::Equalizer: return TKELDARSkinnedWindow::Equalizer;
    case TApiWindow::Playlist: return TKELDARSkinnedWindow::Playlist;
    case TApiWindow::Visuals: return TKELDARSkinnedWindow::Visuals;
    case TApiWindow::Library: return TKELDARSkinnedWindow::Library;
  }
  return TKELDARSkinnedWindow::Deck;
}

}  // namespace

void InstallApiWindowHooks(TSkinnedWindowSet& windows) {
  TApiWindowHooks& hooks = ApiWindowHooks();
  hooks.ClickAt = [&windows](TApiWindow window, int x, int y) {
    if (TSkinUnitTemplateForm* form = windows.Window(SkinnedWindowOf(window))) SimulateSkinClickAt(*form, {x, y});
  };
  hooks.ClickPlaylistPanelAt = [&windows](int x, int y) {
    TSkinUnitTemplateForm* playlist = windows.Window(TKELDARSkinnedWindow::Playlist);
    if (playlist && playlist->PanelForButtonsPaintBox) SimulateSkinClickAt(*playlist->PanelForButtonsPaintBox, {x, y});
  };
  hooks.SetSliderValue = [&windows](TApiWindow window, KELDARSkinControls_IDs control, int value) {
    if (TSkinUnitTemplateForm* form = windows.Window(SkinnedWindowOf(window))) form->SetSliderValueByDrag(control, value);
  };
}

void ClearApiWindowHooks() { ApiWindowHooks() = {}; }
