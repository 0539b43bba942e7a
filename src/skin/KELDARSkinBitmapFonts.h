// The deck's two bitmap fonts: the small font ("Deck_FontSmall.bmp", 34 x 5 cells) with the
// system-font fallback of "Deck_Text.ini", and the numbers font ("Deck_Numbers.bmp", 16
// glyphs in one row). Glyphs are copied whole, or with the font's key colour left out when
// the display draws transparently. UI thread only.
#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <cstdint>
#include <string>

#include "skin/KELDARSkinLoader.h"
#include "skin/MultimediaSkinStructure.h"

// 0x00BBGGRR as a Qt colour.
QColor KELDARSkinColour(std::uint32_t bbggrr);
// The characters of a UTF-8 text, one entry per cell; each byte of a broken sequence reads as '?'.
std::u32string KELDARSkinCharacters(const std::string& utf8);

// A text settings group as a Qt font (name, pixel height, style).
QFont KELDARSkinTextFont(const TKELDARSkinTextSettings& text);

// Numbers font glyph 0..15 of a character ("0".."9", blank 10, "-" 11, "+" 12, ":" 13,
// "/" 14, "*" 15; ";".."?" 11..15 by code; anything else 0).
std::int32_t KELDARSkinNumbersGlyph(char32_t c);

// Draws one small-font character into the cell whose top-left corner is x,y: the glyph
// (key colour left out when transparent) when the character has one and the display is
// transparent or the bitmap font is switched on; otherwise the character in the deck text
// font, moved by the family's text offset.
void DrawKELDARSkinSmallFontCharacter(QPainter& painter, std::int32_t x, std::int32_t y, char32_t c, bool transparent,
                                      const MultimediaSkinStructure& skin = MultimediaSkin(),
                                      const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
void DrawKELDARSkinNumbersCharacter(QPainter& painter, std::int32_t x, std::int32_t y, char32_t c, bool transparent,
                                    const MultimediaSkinStructure& skin = MultimediaSkin(),
                                    const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
