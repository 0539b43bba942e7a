#include "skin/KELDARSkinLevelMeters.h"

#include <algorithm>

#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinStateSheets.h"

std::int32_t KELDARSkinLevelMeterFrame(KELDARSkinControls_IDs meter, const MultimediaSkinStructure& skin) {
  const StringIdentStructure& m = skin[meter];
  const std::int32_t frames = std::max(1, m.Control_NumberOfImages);
  const std::int32_t v = std::clamp(m.Control_CurrentValue, 0, 100);
  return std::clamp(SkinRoundHalfEven(static_cast<double>(v) * (frames - 1) / 100.0), 0, frames - 1);
}

bool PaintKELDARSkinLevelMeter(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs meter,
                               const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& m = skin[meter];
  if (m.Control_Width <= 0 || m.Control_Height <= 0) return false;
  if (m.Control_CLICKEDMouseState != meMouseClicked)
    return DrawKELDARSkinControlState(painter, window, meter, bpNOTActiveBitmap, skin, loaded);
  const QImage& strip = loaded.Bitmap(TKELDARSkinBitmap::EqualizerVolLevelVisuals);
  if (strip.isNull()) return false;
  const std::int32_t f = KELDARSkinLevelMeterFrame(meter, skin);
  // Vertical meters have their frames side by side, horizontal ones stacked.
  const QRect source = m.Control_Direction ? QRect(f * m.Control_Width, 0, m.Control_Width, m.Control_Height)
                                           : QRect(0, f * m.Control_Height, m.Control_Width, m.Control_Height);
  const TSkinControlRect at = SkinControlWindowRect(meter, skin);
  painter.drawImage(QPoint(at.Left, at.Top), strip, source);
  return true;
}
