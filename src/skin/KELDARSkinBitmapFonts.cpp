#include "skin/KELDARSkinBitmapFonts.h"

#include <QString>
#include <cstdlib>

#include "skin/KELDARSkinBitmapLayout.h"
#include "skin/KELDARSkinDisplayState.h"
#include "util/TextEncoding.h"

namespace {

// A copy of a font sheet with its key colour fully transparent, remade only when the sheet
// or the key changes (one per font).
struct TKeyedSheet {
  qint64 SourceKey = -1;
  std::uint32_t KeyColour = 0;
  QImage Image;
};

const QImage& KeyedCopy(TKeyedSheet& cache, const QImage& sheet, std::uint32_t keyColour) {
  if (cache.SourceKey == sheet.cacheKey() && cache.KeyColour == keyColour && !cache.Image.isNull()) return cache.Image;
  // Premultiplied: the form the painter blends without converting (a cleared pixel is the
  // same in both forms).
  QImage copy = sheet.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRgb key = KELDARSkinColour(keyColour).rgb() & 0x00FFFFFF;
  for (int y = 0; y < copy.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(copy.scanLine(y));
    for (int x = 0; x < copy.width(); ++x)
      if ((line[x] & 0x00FFFFFF) == key) line[x] = 0;
  }
  cache.SourceKey = sheet.cacheKey();
  cache.KeyColour = keyColour;
  cache.Image = std::move(copy);
  return cache.Image;
}

struct TFontCache {
  bool Made = false;
  std::string Name;
  std::int32_t Height = 0;
  TKELDARFontStyle Style;
  QFont Font;
};

const QFont& DeckTextFont(const TKELDARSkinTextSettings& text) {
  static TFontCache cache;
  const TKELDARFontStyle& st = text.FontStyle;
  const TKELDARFontStyle& cs = cache.Style;
  if (!cache.Made || cache.Name != text.Font || cache.Height != text.FontHeight || cs.Bold != st.Bold ||
      cs.Italic != st.Italic || cs.Underline != st.Underline || cs.StrikeOut != st.StrikeOut) {
    cache.Font = KELDARSkinTextFont(text);
    cache.Name = text.Font;
    cache.Height = text.FontHeight;
    cache.Style = st;
    cache.Made = true;
  }
  return cache.Font;
}

void CopyGlyph(QPainter& painter, std::int32_t x, std::int32_t y, const QImage& sheet, const QRect& source,
               bool transparent, std::uint32_t keyColour, TKeyedSheet& cache) {
  if (sheet.isNull() || source.width() <= 0 || source.height() <= 0) return;
  if (transparent)
    painter.drawImage(QPoint(x, y), KeyedCopy(cache, sheet, keyColour), source);
  else
    painter.drawImage(QPoint(x, y), sheet, source);
}

}  // namespace

QColor KELDARSkinColour(std::uint32_t bbggrr) {
  return QColor(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                static_cast<int>((bbggrr >> 16) & 0xFF));
}

std::u32string KELDARSkinCharacters(const std::string& utf8) { return Utf8ToUtf32(utf8, U'?'); }

QFont KELDARSkinTextFont(const TKELDARSkinTextSettings& text) {
  QFont font(QString::fromStdString(text.Font));
  font.setPixelSize(std::max(1, std::abs(text.FontHeight)));
  font.setBold(text.FontStyle.Bold);
  font.setItalic(text.FontStyle.Italic);
  font.setUnderline(text.FontStyle.Underline);
  font.setStrikeOut(text.FontStyle.StrikeOut);
  return font;
}

std::int32_t KELDARSkinNumbersGlyph(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<std::int32_t>(c - U'0');
  switch (c) {
    case U' ': return 10;
    case U'-': return 11;
    case U'+': return 12;
    case U':': return 13;
    case U'/': return 14;
    case U'*': return 15;
    default: break;
  }
  if (c >= U';' && c <= U'?') return 11 + static_cast<std::int32_t>(c - U';');
  return 0;
}

void DrawKELDARSkinSmallFontCharacter(QPainter& painter, std::int32_t x, std::int32_t y, char32_t c, bool transparent,
                                      const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  static TKeyedSheet keyed;
  const std::int32_t w = skin[DeckForm_FontSmall].Control_Width, h = skin[DeckForm_FontSmall].Control_Height;
  std::int32_t column = 0, row = 0;
  const bool hasGlyph = c <= 0xFF && KELDARSkinSmallFontCell(static_cast<unsigned char>(c), column, row);
  if (hasGlyph && (transparent || loaded.DeckText.BitmapFontEnabled)) {
    CopyGlyph(painter, x, y, loaded.Bitmap(TKELDARSkinBitmap::DeckFontSmall), QRect(column * w, row * h, w, h),
              transparent, KELDARSkinDisplayState().SmallFontKeyColour, keyed);
    return;
  }
  if (c < 32 || c == U' ') return;  // nothing to draw on a transparent background
  painter.save();
  painter.setFont(DeckTextFont(loaded.DeckText));
  painter.setPen(KELDARSkinColour(loaded.DeckText.Normal));
  painter.setBackgroundMode(Qt::TransparentMode);
  const char32_t one[1] = {c};
  painter.drawText(QRect(x, y + loaded.Family.SmallFontTextOffsetY, w, h), Qt::AlignHCenter | Qt::AlignVCenter,
                   QString::fromUcs4(one, 1));
  painter.restore();
}

void DrawKELDARSkinNumbersCharacter(QPainter& painter, std::int32_t x, std::int32_t y, char32_t c, bool transparent,
                                    const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  static TKeyedSheet keyed;
  const std::int32_t w = skin[DeckForm_NumbersFont].Control_Width, h = skin[DeckForm_NumbersFont].Control_Height;
  CopyGlyph(painter, x, y, loaded.Bitmap(TKELDARSkinBitmap::DeckNumbers),
            QRect(KELDARSkinNumbersGlyph(c) * w, 0, w, h), transparent, KELDARSkinDisplayState().NumbersKeyColour,
            keyed);
}
