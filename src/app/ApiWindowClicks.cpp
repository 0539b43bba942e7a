#include "app/ApiWindowClicks.h"

#include <QApplication>
#include <QMouseEvent>

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

void SendSkinClick(QWidget& widget, const QPoint& at) {
  const QPointF local(at);
  const QPointF global(widget.mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

void InstallApiWindowHooks(TSkinnedWindowSet& windows) {
  TApiWindowHooks& hooks = ApiWindowHooks();
  hooks.ClickAt = [&windows](TApiWindow window, int x, int y) {
    if (TSkinUnitTemplateForm* form = windows.Window(SkinnedWindowOf(window))) SendSkinClick(*form, {x, y});
  };
  hooks.ClickPlaylistPanelAt = [&windows](int x, int y) {
    TSkinUnitTemplateForm* playlist = windows.Window(TKELDARSkinnedWindow::Playlist);
    if (playlist && playlist->PanelForButtonsPaintBox) SendSkinClick(*playlist->PanelForButtonsPaintBox, {x, y});
  };
  hooks.SetSliderValue = [&windows](TApiWindow window, KELDARSkinControls_IDs control, int value) {
    if (TSkinUnitTemplateForm* form = windows.Window(SkinnedWindowOf(window))) form->SetSliderValueByDrag(control, value);
  };
}

void ClearApiWindowHooks() { ApiWindowHooks() = {}; }
