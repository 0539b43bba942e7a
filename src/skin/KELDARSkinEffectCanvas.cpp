#include "skin/KELDARSkinEffectCanvas.h"

#include <algorithm>
#include <array>
#include <vector>

#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinBitmapFonts.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinStateSheets.h"

namespace {

SettingsVariableIntegerRecord* ModeSetting(KELDARSkinControls_IDs canvas) {
  if (canvas == DeckForm_GraphicsEffectsCanvas) return &Options_DeckCurrentVisualEffect;
  if (canvas == EqualizerForm_EQGraphicsEffectsCanvas) return &Options_EQCurrentVisualEffect;
  return nullptr;
}

bool IsConverted(SkinPackageKinds kind) {
  return kind == skWinampFolder || kind == skWinampPackage || kind == skKjofolFolder || kind == skKjofolPackage;
}

std::int32_t Level(std::int32_t v) { return std::clamp(v, 0, 100); }

// num / den rounded half to even, in integers (num >= 0, den > 0): the same result as
// SkinRoundHalfEven on the quotient, without its floating-point library calls, which
// otherwise dominate a canvas of a hundred columns drawn every 20 ms.
std::int32_t DivideRoundHalfEven(std::int64_t num, std::int64_t den) {
  const std::int64_t q = num / den, twice = 2 * (num % den);
  return static_cast<std::int32_t>(twice > den || (twice == den && (q & 1)) ? q + 1 : q);
}

// Height in pixels above the bottom row for value v in an area N rows high.
std::int32_t Rise(std::int32_t v, std::int32_t n) {
  return std::clamp(DivideRoundHalfEven(static_cast<std::int64_t>(std::max(0, n - 1)) * Level(v), 100), 0,
                    std::max(0, n - 1));
}

// One pixel column holding a colour table bottom-up (row N−1 = entry 1), so a bar is one
// image copy. A table shorter than the area repeats its top entry.
struct TColourColumn {
  std::vector<std::uint32_t> Table;
  std::int32_t Height = -1;
  QImage Image;
};

const QImage& ColourColumn(const std::vector<std::uint32_t>& table, std::int32_t n) {
  static std::array<TColourColumn, 4> cache;
  static std::size_t next = 0;
  for (TColourColumn& c : cache)
    if (c.Height == n && c.Table == table) return c.Image;
  TColourColumn& c = cache[next];
  next = (next + 1) % cache.size();
  c.Table = table;
  c.Height = n;
  c.Image = QImage(1, std::max(1, n), QImage::Format_RGB32);
  c.Image.fill(Qt::black);
  for (std::int32_t k = 0; k < n && !table.empty(); ++k) {
    const std::uint32_t colour = table[std::min(static_cast<std::size_t>(k), table.size() - 1)];
    c.Image.setPixel(0, n - 1 - k, KELDARSkinColour(colour).rgb());
  }
  return c.Image;
}

struct TArea {
  std::int32_t X = 0, Y = 0, W = 0, H = 0;
};

TArea WindowArea(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin) {
  const TSkinControlRect r = SkinControlWindowRect(id, skin);
  return {r.Left, r.Top, std::max(0, r.Width), std::max(0, r.Height)};
}

// A transparent image of w x h to lay columns into, kept for the next tick (one per size in
// use: the deck's and the equalizer's canvases differ).
QImage& ColumnsOverlay(std::int32_t w, std::int32_t h) {
  static std::array<QImage, 4> cache;
  static std::size_t next = 0;
  for (QImage& image : cache)
    if (image.width() == w && image.height() == h) return image;
  QImage& image = cache[next];
  next = (next + 1) % cache.size();
  image = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
  return image;
}

// Bars (dots = false) or dots over an area; value(c) gives column c's level. The columns are
// laid into one overlay and drawn with one copy: a copy per column costs far more.
template <typename ValueOf>
void PaintColumns(QPainter& painter, const TArea& area, bool dots, const TKELDARLoadedSkin& loaded, ValueOf value) {
  if (area.W <= 0 || area.H <= 0) return;
  // Columns and rows off the target are not worth drawing (and a hostile skin may claim any size).
  const QPaintDevice* device = painter.device();
  const std::int32_t firstColumn = std::max(0, -area.X);
  const std::int32_t lastColumn = std::min(area.W, (device ? device->width() : area.W) - area.X);
  const std::int32_t firstRow = std::max(0, -area.Y);
  const std::int32_t lastRow = std::min(area.H, (device ? device->height() : area.H) - area.Y);
  if (firstColumn >= lastColumn || firstRow >= lastRow) return;
  const QImage& column = ColourColumn(dots ? loaded.SpectrumColours2 : loaded.SpectrumColours1, area.H);
  QImage& overlay = ColumnsOverlay(lastColumn - firstColumn, lastRow - firstRow);
  overlay.fill(Qt::transparent);
  for (std::int32_t c = firstColumn; c < lastColumn; ++c) {
    // Row y of the area takes row y of the colour column: the bar rises from the bottom row.
    const std::int32_t top = area.H - 1 - Rise(value(c), area.H);
    const std::int32_t bottom = dots ? top : area.H - 1;
    for (std::int32_t y = std::max(top, firstRow); y <= bottom && y < lastRow; ++y)
      reinterpret_cast<QRgb*>(overlay.scanLine(y - firstRow))[c - firstColumn] =
          reinterpret_cast<const QRgb*>(column.constScanLine(y))[0];
  }
  painter.drawImage(QPoint(area.X + firstColumn, area.Y + firstRow), overlay);
}

// Index of column c of w columns over `count` values.
std::size_t Sample(std::int32_t c, std::int32_t w, std::size_t count) {
  const std::int32_t i = DivideRoundHalfEven(static_cast<std::int64_t>(std::max(0, c)) * static_cast<std::int64_t>(count),
                                             std::max(1, w));
  return static_cast<std::size_t>(std::clamp(i, 0, static_cast<std::int32_t>(count) - 1));
}

BitmapPurposeStates BackgroundRole(std::int32_t mode) {
  switch (mode) {
    case 1: return bpNOTActiveBitmap;
    case 2:
    case 3:
    case 5: return bpPressed1Bitmap;
    case 4:
    case 6: return bpPressed2Bitmap;
    default: return bpActiveBitmap;
  }
}

void PaintTenBands(QPainter& painter, const TArea& canvas, const MultimediaSkinStructure& skin,
                   const TKELDARLoadedSkin& loaded, const TKELDARSkinEffectData& data) {
  const StringIdentStructure& area = skin[EqualizerForm_EQFFT10VisualEffects];
  const QImage& strip = loaded.Bitmap(TKELDARSkinBitmap::EqualizerFFTVisuals);
  if (strip.isNull() || area.Control_Width <= 0 || area.Control_Height <= 0) return;
  const std::int32_t frames = std::max(1, area.Control_NumberOfImages);
  for (std::int32_t i = 0; i < 10; ++i) {
    const std::int32_t f = Rise(data.BandLevels[static_cast<std::size_t>(i)], frames);
    painter.drawImage(QPoint(canvas.X + i * (area.Control_Left + area.Control_Width), canvas.Y + area.Control_Top), strip,
                      QRect(f * area.Control_Width, 0, area.Control_Width, area.Control_Height));
  }
}

void PaintPreampAndCurve(QPainter& painter, KELDARSkinControls_IDs canvasId, const TArea& canvas,
                         const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& line = skin[EqualizerForm_EQDiagramPreAmpLine];
  const QImage& strip = loaded.Bitmap(TKELDARSkinBitmap::EqualizerFFTVisuals);
  if (!line.Control_Direction && !strip.isNull()) {
    const std::int32_t t = line.Control_Top;
    const std::int32_t travel = canvas.H - 2 * t - 1;
    const std::int32_t p = Level(GetSkinControlValue(EqualizerForm_EQPreAmpImage, skin));
    const std::int32_t y = canvas.Y + t + travel - SkinRoundHalfEven(static_cast<double>(p) * travel / 100.0);
    const TArea at = WindowArea(EqualizerForm_EQDiagramPreAmpLine, skin);
    painter.drawImage(QPoint(at.X, y), strip,
                      QRect(0, skin[EqualizerForm_EQFFT10VisualEffects].Control_Height + 1, line.Control_Width,
                            line.Control_Height));
  }
  if (skin[canvasId].Control_Direction) return;
  std::array<QPoint, 10> points;
  for (std::int32_t i = 0; i < 10; ++i) {
    const auto band = static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * i);
    const std::int32_t b = Level(GetSkinControlValue(band, skin));
    points[static_cast<std::size_t>(i)] =
        QPoint(canvas.X + SkinRoundHalfEven(static_cast<double>(i) * canvas.W / 9.0),
               canvas.Y + canvas.H - 1 - SkinRoundHalfEven(static_cast<double>(b) * (canvas.H - 1) / 100.0));
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor(255, 0, 0), 1));
  painter.drawPolyline(points.data(), static_cast<int>(points.size()));
}

}  // namespace

std::int32_t KELDARSkinEffectMode(KELDARSkinControls_IDs canvas) {
  const SettingsVariableIntegerRecord* setting = ModeSetting(canvas);
  return setting ? setting->IntegerValue : 0;
}

void SetKELDARSkinEffectMode(KELDARSkinControls_IDs canvas, std::int32_t mode) {
  if (SettingsVariableIntegerRecord* setting = ModeSetting(canvas)) setting->IntegerValue = mode;
}

bool KELDARSkinEffectAreaOnCanvas(KELDARSkinControls_IDs area, KELDARSkinControls_IDs canvas,
                                  const MultimediaSkinStructure& skin) {
  return skin[area].Control_Enabled && skin[area].Control_ParentControl == canvas;
}

bool KELDARSkinEffectModeAvailable(KELDARSkinControls_IDs canvas, std::int32_t mode, const MultimediaSkinStructure& skin,
                                   const TKELDARLoadedSkin& loaded) {
  switch (mode) {
    case 0:
    case 7: return true;
    case 1: return KELDARSkinEffectAreaOnCanvas(EqualizerForm_EQDiagramPreAmpLine, canvas, skin);
    case 2: return KELDARSkinEffectAreaOnCanvas(EqualizerForm_EQFFT10VisualEffects, canvas, skin);
    case 3:
    case 5: return KELDARSkinEffectAreaOnCanvas(EqualizerForm_EQFFT128VisualEffects, canvas, skin);
    case 4:
    case 6:
      return !IsConverted(loaded.Kind) && KELDARSkinEffectAreaOnCanvas(EqualizerForm_EQGraphicsLeftCanvas, canvas, skin);
    default: return false;
  }
}

std::int32_t NextKELDARSkinEffectMode(KELDARSkinControls_IDs canvas, std::int32_t current,
                                      const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  std::int32_t mode = std::clamp(current, 0, 7);
  do mode = (mode + 1) % 8;
  while (!KELDARSkinEffectModeAvailable(canvas, mode, skin, loaded));
  return mode;
}

std::int32_t AdvanceKELDARSkinEffectMode(KELDARSkinControls_IDs canvas) {
  const std::int32_t mode = NextKELDARSkinEffectMode(canvas, KELDARSkinEffectMode(canvas));
  SetKELDARSkinEffectMode(canvas, mode);
  return mode;
}

bool PaintKELDARSkinEffectCanvas(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs canvas,
                                 const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded,
                                 const TKELDARSkinEffectData& data) {
  return PaintKELDARSkinEffectCanvasMode(painter, window, canvas, KELDARSkinEffectMode(canvas), skin, loaded, data);
}

bool PaintKELDARSkinEffectCanvasMode(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs canvas,
                                     std::int32_t mode, const MultimediaSkinStructure& skin,
                                     const TKELDARLoadedSkin& loaded, const TKELDARSkinEffectData& data) {
  if (mode <= 0 || mode > 7) return true;  // the window background shows through
  DrawKELDARSkinControlState(painter, window, canvas, BackgroundRole(mode), skin, loaded);
  const TArea area = WindowArea(canvas, skin);
  if (mode == 7 || area.W <= 0 || area.H <= 0) return true;
  const auto on = [&](KELDARSkinControls_IDs a) { return KELDARSkinEffectAreaOnCanvas(a, canvas, skin); };
  painter.save();
  painter.setClipRect(QRect(area.X, area.Y, area.W, area.H));
  switch (mode) {
    case 1:
      if (on(EqualizerForm_EQDiagramPreAmpLine)) PaintPreampAndCurve(painter, canvas, area, skin, loaded);
      break;
    case 2:
      if (on(EqualizerForm_EQFFT10VisualEffects)) PaintTenBands(painter, area, skin, loaded, data);
      break;
    case 3:
    case 5:
      if (!on(EqualizerForm_EQFFT128VisualEffects)) break;
      if (mode == 3)
        PaintColumns(painter, area, false, loaded, [&](std::int32_t c) {
          return data.SpectrumLevels[Sample(c, area.W, data.SpectrumLevels.size())];
        });
      else
        PaintColumns(painter, area, true, loaded, [&](std::int32_t c) {
          return data.WaveformValues[Sample(c, area.W, data.WaveformValues.size())];
        });
      break;
    case 4:
    case 6:
      for (std::size_t side = 0; side < 2; ++side) {
        const KELDARSkinControls_IDs id = side == 0 ? EqualizerForm_EQGraphicsLeftCanvas : EqualizerForm_EQGraphicsRightCanvas;
        if (!on(id)) continue;
        const TArea channel = WindowArea(id, skin);
        if (mode == 4)
          PaintColumns(painter, channel, false, loaded, [&](std::int32_t c) {
            return data.ChannelSpectrumLevels[Sample(c, channel.W, data.ChannelSpectrumLevels.size())][side];
          });
        else
          PaintColumns(painter, channel, true, loaded, [&](std::int32_t c) {
            return data.ChannelWaveformValues[Sample(c, channel.W, data.ChannelWaveformValues.size())][side];
          });
      }
      break;
    default: break;
  }
  painter.restore();
  return true;
}
