#include "skin/KELDARSkinTextDisplays.h"

#include <algorithm>

#include "skin/KELDARSkinBitmapFonts.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplayState.h"

void PaintKELDARSkinDeckTextDisplay(QPainter& painter, KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin,
                                    const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& display = skin[id];
  if (!display.Control_Enabled || display.Control_Direction) return;
  const std::int32_t cellWidth = skin[DeckForm_FontSmall].Control_Width;
  if (cellWidth <= 0 || skin[DeckForm_FontSmall].Control_Height <= 0) return;
  const std::u32string text = KELDARSkinCharacters(display.Control_ProcessedTextString);
  const TSkinControlRect at = SkinControlWindowRect(id, skin);
  const bool transparent = KELDARSkinDisplayTransparent(id);
  const std::int32_t cells = KELDARSkinDisplayCellCount(id);
  const std::int32_t deviceWidth = painter.device() ? painter.device()->width() : at.Left + at.Width;
  for (std::int32_t i = 0; i < cells; ++i) {
    const std::int32_t x = at.Left + i * cellWidth;
    if (x + cellWidth > at.Left + at.Width) break;  // a cell that does not fit is left out
    if (x >= deviceWidth) break;
    const char32_t c = static_cast<std::size_t>(i) < text.size() ? text[static_cast<std::size_t>(i)] : U' ';
    DrawKELDARSkinSmallFontCharacter(painter, x, at.Top, c, transparent, skin, loaded);
  }
}

void PaintKELDARSkinTimeDisplay(QPainter& painter, KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin,
                                const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& display = skin[id];
  const std::int32_t cellWidth = skin[DeckForm_NumbersFont].Control_Width;
  if (!display.Control_Enabled || cellWidth <= 0 || display.Control_Width <= 0 || display.Control_Height <= 0) return;
  std::u32string text = KELDARSkinCharacters(display.Control_ProcessedTextString);
  const auto cells = static_cast<std::size_t>(std::max(0, KELDARSkinDisplayCellCount(id)));
  if (text.size() < cells) text.insert(0, cells - text.size(), U' ');
  const TSkinControlRect at = SkinControlWindowRect(id, skin);
  const bool transparent = KELDARSkinDisplayTransparent(id);
  painter.save();
  painter.setClipRect(QRect(at.Left, at.Top, at.Width, at.Height));  // a text longer than the display stops at its edge
  const std::size_t visible = std::min(text.size(), static_cast<std::size_t>(at.Width / cellWidth + 1));
  for (std::size_t i = 0; i < visible; ++i)
    DrawKELDARSkinNumbersCharacter(painter, at.Left + static_cast<std::int32_t>(i) * cellWidth, at.Top, text[i],
                                   transparent, skin, loaded);
  painter.restore();
}

void PaintKELDARSkinWindowCounter(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id,
                                  const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& display = skin[id];
  if (!display.Control_Enabled || display.Control_Width <= 0 || display.Control_Height <= 0) return;
  // The visuals window carries the playlist window's font and colours.
  const TKELDARSkinTextSettings& text = window == TKELDARSkinnedWindow::Library ? loaded.LibraryText : loaded.PlaylistText;
  const TSkinControlRect at = SkinControlWindowRect(id, skin);
  const QRect rect(at.Left, at.Top, at.Width, at.Height);
  painter.save();
  painter.setClipRect(rect);
  if (!KELDARSkinDisplayTransparent(id)) painter.fillRect(rect, KELDARSkinColour(text.NormalBG));
  painter.setFont(KELDARSkinTextFont(text));
  painter.setPen(KELDARSkinColour(text.Normal));
  painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(display.Control_ProcessedTextString));
  painter.restore();
}
