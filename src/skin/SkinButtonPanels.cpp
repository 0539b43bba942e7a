#include "skin/SkinButtonPanels.h"

#include "skin/SkinHitTest.h"
#include "skin/SkinImageChoice.h"
#include "skin/SkinResizableFrame.h"

TSkinControlRect SkinButtonPanelRect(KELDARSkinControls_IDs panel, KELDARSkinControls_IDs menuButton,
                                     const MultimediaSkinStructure& skin) {
  const TSkinControlRect button = SkinControlWindowRect(menuButton, skin);
  const StringIdentStructure& p = skin[panel];
  return {button.Left + p.Control_Left, button.Top + p.Control_Top, p.Control_Width, p.Control_Height};
}

KELDARSkinControls_IDs SkinButtonPanelHitTest(KELDARSkinControls_IDs panel, const Form_ControlsList& buttons, int x,
                                              int y, const MultimediaSkinStructure& skin) {
  const StringIdentStructure& p = skin[panel];
  return SkinHitTest(buttons, panel, x + p.Control_Left, y + p.Control_Top, skin);
}

void PaintSkinButtonPanel(QPainter& painter, KELDARSkinControls_IDs panel, const Form_ControlsList& buttons,
                          const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  const QImage& sheet = loaded.Bitmap(TKELDARSkinBitmap::PlaylistBackground);
  if (sheet.isNull() || !IsKELDARSkinControlOrdinal(panel)) return;
  const StringIdentStructure& p = skin[panel];
  for (int i = 1; i < Form_NullControl; ++i) {
    if (!buttons.test(static_cast<std::size_t>(i))) continue;
    const auto id = static_cast<KELDARSkinControls_IDs>(i);
    const StringIdentStructure& b = skin[id];
    TSkinPixelPoint source;
    if (!b.Control_Enabled || !PlaylistPanelButtonSprite(id, IsSkinButtonShownPressed(b), skin, source)) continue;
    const TSkinControlRect r = SkinControlWindowRect(id, skin);
    painter.drawImage(QPoint(r.Left - p.Control_Left, r.Top - p.Control_Top), sheet,
                      QRect(source.X, source.Y, r.Width, r.Height));
  }
}
