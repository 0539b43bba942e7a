#include "skin/SkinMaskSliders.h"

#include <algorithm>

#include "skin/KELDARSkinControlAccessors.h"

namespace {

std::int32_t LevelForValue(std::int32_t v) { return v <= 0 ? 0 : SkinRoundHalfEven(255.0 * v / 100.0) + 1; }

std::int32_t ValueForLevel(int g) { return g <= 0 ? 0 : std::min(100, SkinRoundHalfEven(100.0 * g / 255.0) + 1); }

TKELDARSkinBitmap StripOf(KELDARSkinControls_IDs id) {
  if (id == DeckForm_VolumeImage) return TKELDARSkinBitmap::DeckVolumeBar;
  if (id == DeckForm_PitchImage) return TKELDARSkinBitmap::DeckPitchBar;
  return TKELDARSkinBitmap::DeckPositionBar;
}

// The part of the control that the mask covers: pixels outside it have no grey level, and a
// skin's oversized rectangle must not cost a scan of empty space.
QRect MaskArea(const TSkinControlRect& r, const QImage& mask) {
  return QRect(r.Left, r.Top, std::max(0, r.Width), std::max(0, r.Height)).intersected(mask.rect());
}

}  // namespace

const QImage& KELDARSkinSliderMask(KELDARSkinControls_IDs id, const TKELDARLoadedSkin& loaded) {
  static const QImage none;
  if (id == DeckForm_VolumeImage) return loaded.Bitmap(TKELDARSkinBitmap::DeckVolumeBarMask);
  if (id == DeckForm_PitchImage) return loaded.Bitmap(TKELDARSkinBitmap::DeckPitchBarMask);
  if (id == DeckForm_PosBarImage) return loaded.Bitmap(TKELDARSkinBitmap::DeckPositionBarMask);
  return none;
}

int KELDARSkinMaskGreyLevel(const QImage& mask, int x, int y) {
  if (mask.isNull() || x < 0 || y < 0 || x >= mask.width() || y >= mask.height()) return -1;
  const QRgb p = mask.pixel(x, y);
  return qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) ? qRed(p) : -1;
}

std::int32_t MaskSliderValueFromPoint(KELDARSkinControls_IDs id, const QImage& mask, const MultimediaSkinStructure& skin) {
  const StringIdentStructure& c = skin[id];
  return ValueForLevel(KELDARSkinMaskGreyLevel(mask, c.Control_NEWX, c.Control_NEWY));
}

void SetMaskSliderValue(KELDARSkinControls_IDs id, std::int32_t value, const QImage& mask, MultimediaSkinStructure& skin) {
  const std::int32_t t = LevelForValue(std::clamp<std::int32_t>(value, 0, 100));
  const TSkinControlRect r = SkinControlWindowRect(id, skin);
  int best = -1, bestX = 0, bestY = 0;
  const QRect area = MaskArea(r, mask);
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const int g = KELDARSkinMaskGreyLevel(mask, x, y);
      if (g < 0 || g > t || g < best) continue;
      best = g;
      bestX = x;
      bestY = y;
    }
  if (best < 0) return;
  StringIdentStructure& c = skin[id];
  c.Control_NEWX = bestX;
  c.Control_NEWY = bestY;
  c.Control_CurrentValue = ValueForLevel(best);
}

void PaintKELDARSkinMaskSlider(QPainter& painter, KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin,
                               const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& c = skin[id];
  const TSkinControlRect r = SkinControlWindowRect(id, skin);
  const QImage& strip = loaded.Bitmap(StripOf(id));
  if (strip.isNull() || r.Width <= 0 || r.Height <= 0) return;
  const std::int32_t v = std::clamp<std::int32_t>(c.Control_CurrentValue, 0, 100);
  if (id != DeckForm_PosBarImage) {
    const std::int32_t frame = (std::max(1, c.Control_NumberOfImages) - 1) * v / 100;
    // Mask-mode strips hold their frames side by side, each as wide as the track.
    const TSkinPixelPoint at{frame * r.Width, 0};
    QImage piece = strip.copy(at.X, at.Y, r.Width, r.Height).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < piece.height(); ++y)
      for (int x = 0; x < piece.width(); ++x)
        if ((piece.pixel(x, y) & 0xFFFFFF) == 0xFF00FF) piece.setPixel(x, y, 0);
    painter.drawImage(QPoint(r.Left, r.Top), piece);
    return;
  }
  const QImage& mask = KELDARSkinSliderMask(id, loaded);
  const QImage& unlit = loaded.Bitmap(TKELDARSkinBitmap::DeckNotActive);
  const std::int32_t t = LevelForValue(v);
  const QRect area = MaskArea(r, mask);
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const int g = KELDARSkinMaskGreyLevel(mask, x, y);
      if (g < 0) continue;
      const QImage& from = g < t ? strip : unlit;
      if (from.valid(x, y)) {
        painter.setPen(QColor::fromRgb(from.pixel(x, y)));
        painter.drawPoint(x, y);
      }
    }
}

void SetLoadedSkinSliderValue(KELDARSkinControls_IDs id, std::int32_t value) {
  if (LoadedKELDARSkin().UsesMasks && IsMaskSlider(id))
    SetMaskSliderValue(id, value, KELDARSkinSliderMask(id));
  else
    SetSkinSliderValue(id, value);
}
