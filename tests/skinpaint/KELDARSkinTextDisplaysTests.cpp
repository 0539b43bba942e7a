// Fonts and text displays painted from the Default skin into images.
#include "SkinPaintFixture.h"
#include "skin/KELDARSkinBitmapFonts.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinTextDisplays.h"
#include "skin/KELDARSkinTextEffects.h"
#include "util/TextEncoding.h"

namespace {

class TextDisplays : public DefaultSkinPaint {
 protected:
  // The small-font cell of a character in the font sheet.
  static QRect SmallGlyph(unsigned char c) {
    std::int32_t col = 0, row = 0;
    EXPECT_TRUE(KELDARSkinSmallFontCell(c, col, row));
    return QRect(col * 8, row * 13, 8, 13);
  }
  static QRect NumberGlyph(int i) { return QRect(i * 8, 0, 8, 13); }
  static QPoint At(KELDARSkinControls_IDs id) {
    const TSkinControlRect r = SkinControlWindowRect(id);
    return QPoint(r.Left, r.Top);
  }
  static void Paint(QImage& img, KELDARSkinControls_IDs id, TKELDARSkinnedWindow w = TKELDARSkinnedWindow::Deck) {
    QPainter p(&img);
    EXPECT_TRUE(PaintKELDARSkinDisplayControl(p, w, id));
  }
};

TEST(TextDisplayCells, OneCellPerCharacterAndOneQuestionMarkPerBrokenByte) {
  EXPECT_EQ(KELDARSkinCharacters("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), U"A\u00E9\u20AC\U0001F600");
  EXPECT_EQ(KELDARSkinCharacters("a\xC3"), U"a?");                    // cut at the end
  EXPECT_EQ(KELDARSkinCharacters("\xC0\xAF"), U"??");                 // overlong '/'
  EXPECT_EQ(KELDARSkinCharacters("\xED\xA0\x80"), U"???");           // a surrogate
  EXPECT_EQ(KELDARSkinCharacters("\xF5\x80\x80x"), U"???x");         // no character starts with F5
  EXPECT_EQ(KELDARSkinCharacters("\xF4\x90\x80\x80"), U"????");     // past U+10FFFF
  // Marquee steps hand the cells back as UTF-8 unchanged.
  EXPECT_EQ(Utf32ToUtf8(KELDARSkinCharacters("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80")),
            "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST_F(TextDisplays, CellCountsAfterLoad) {
  EXPECT_EQ(KELDARSkinDisplayCellCount(DeckForm_SongCurrectPlayingTimeWindow), 6);
  EXPECT_EQ(KELDARSkinDisplayCellCount(DeckForm_SongTotalTimeWindow), 6);
  EXPECT_EQ(KELDARSkinDisplayCellCount(DeckForm_KbpsTextWindow), 3);
  EXPECT_EQ(KELDARSkinDisplayCellCount(DeckForm_KHzTextWindow), 5);
  EXPECT_EQ(KELDARSkinDisplayCellCount(DeckForm_PlayerStatusWindow), 7);
  EXPECT_EQ(KELDARSkinDisplayCellCount(DeckForm_SongArtistWindow), 200 / 8);
  EXPECT_EQ(KELDARSkinDisplayCellCount(PlayListEditorForm_PLTextWindow1), 5);
  EXPECT_EQ(KELDARSkinDisplayCellCount(PlayListEditorForm_PLTextWindow2), 5);
  EXPECT_EQ(KELDARSkinDisplayCellCount(VisualsScreenForm_VisExTextWindow), 12);
  EXPECT_EQ(KELDARSkinDisplayCellCount(CDDatabaseForm_DBTextWindow), 12);
  EXPECT_EQ(KELDARSkinDisplayCellCount(DeckForm_PlayButton), 0);
  for (auto id : KELDARSkinFlaggedDisplays) EXPECT_FALSE(KELDARSkinDisplayTransparent(id));
  // The displays start with their own texts.
  EXPECT_EQ(GetSkinControlProcessedText(DeckForm_KHzTextWindow), "44100");
}

TEST_F(TextDisplays, EveryLoadRestartsCountersAndBlinkButKeepsKeyColours) {
  TKELDARSkinDisplayState& s = KELDARSkinDisplayState();
  s.ArtistEffectCounter = 7;
  s.TitleEffectCounter = 3;
  s.BlinkBlankShown = true;
  s.BlinkSavedTimeText = " 02:00";
  SetKELDARSkinFontKeyColours(0x00FF00FF, 0x00123456);
  ResetKELDARSkinDisplaysAfterLoad();
  EXPECT_EQ(s.ArtistEffectCounter, 0);
  EXPECT_EQ(s.TitleEffectCounter, 0);
  EXPECT_FALSE(s.BlinkBlankShown);
  EXPECT_EQ(s.BlinkSavedTimeText, "  :  ");
  // The K-Jofol conversion sets the key colours inside the load, before this reset.
  EXPECT_EQ(s.SmallFontKeyColour, 0x00FF00FFu);
  EXPECT_EQ(s.NumbersKeyColour, 0x00123456u);
  SetKELDARSkinFontKeyColours(0, 0);
}

TEST_F(TextDisplays, FourCharacterTimeOnSixCellsIsPaddedWithTwoBlanks) {
  SetSkinControlProcessedText(DeckForm_SongCurrectPlayingTimeWindow, "3:07");
  QImage img = Canvas();
  Paint(img, DeckForm_SongCurrectPlayingTimeWindow);
  const QImage& digits = Bitmap(TKELDARSkinBitmap::DeckNumbers);
  const QPoint at = At(DeckForm_SongCurrectPlayingTimeWindow);
  const int glyphs[6] = {10, 10, 3, 13, 0, 7};
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(SameBlock(img, at + QPoint(8 * i, 0), digits, NumberGlyph(glyphs[i]))) << i;
  // Blank and digit glyphs really differ, so the check above can fail.
  EXPECT_FALSE(SameBlock(img, at, digits, NumberGlyph(3)));
}

TEST_F(TextDisplays, NumbersGlyphMap) {
  EXPECT_EQ(KELDARSkinNumbersGlyph(U'0'), 0);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U'9'), 9);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U' '), 10);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U'-'), 11);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U'+'), 12);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U':'), 13);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U'/'), 14);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U'*'), 15);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U';'), 11);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U'?'), 15);
  EXPECT_EQ(KELDARSkinNumbersGlyph(U'x'), 0);
}

TEST_F(TextDisplays, LongTimeTextStopsAtTheDisplayEdge) {
  SetSkinControlProcessedText(DeckForm_SongTotalTimeWindow, "1234567");
  QImage img = Canvas();
  Paint(img, DeckForm_SongTotalTimeWindow);
  const TSkinControlRect r = SkinControlWindowRect(DeckForm_SongTotalTimeWindow);
  EXPECT_TRUE(SameBlock(img, QPoint(r.Left + 40, r.Top), Bitmap(TKELDARSkinBitmap::DeckNumbers), NumberGlyph(6)));
  EXPECT_EQ(CountColour(img, QRect(r.Left + r.Width, r.Top, 8, 13), Sentinel()), 8 * 13);
}

TEST_F(TextDisplays, MarqueeOnATenCellLinePaintedStepByStep) {
  MultimediaSkin()[DeckForm_SongTitleWindow].Control_Width = 80;
  ResetKELDARSkinDisplayState();
  ASSERT_EQ(KELDARSkinDisplayCellCount(DeckForm_SongTitleWindow), 10);
  SetSkinControlText(DeckForm_SongTitleWindow, "Zorvane");
  const QImage& font = Bitmap(TKELDARSkinBitmap::DeckFontSmall);
  const QPoint at = At(DeckForm_SongTitleWindow);
  StepKELDARSkinTextEffect(DeckForm_SongTitleWindow, 1, 10);
  QImage first = Canvas();
  Paint(first, DeckForm_SongTitleWindow);
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(SameBlock(first, at + QPoint(8 * i, 0), font, SmallGlyph(' '))) << i;
  StepKELDARSkinTextEffect(DeckForm_SongTitleWindow, 1, 10);
  QImage second = Canvas();
  Paint(second, DeckForm_SongTitleWindow);
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(SameBlock(second, at + QPoint(8 * i, 0), font, SmallGlyph(' '))) << i;
  EXPECT_TRUE(SameBlock(second, at + QPoint(72, 0), font, SmallGlyph('Z')));
  StepKELDARSkinTextEffect(DeckForm_SongTitleWindow, 1, 10);
  QImage third = Canvas();
  Paint(third, DeckForm_SongTitleWindow);
  EXPECT_TRUE(SameBlock(third, at + QPoint(64, 0), font, SmallGlyph('Z')));
  EXPECT_TRUE(SameBlock(third, at + QPoint(72, 0), font, SmallGlyph('o')));
  // Nothing is painted past the ten cells.
  EXPECT_EQ(CountColour(third, QRect(at.x() + 80, at.y(), 8, 13), Sentinel()), 8 * 13);
}

TEST_F(TextDisplays, CellsThatDoNotFitAreLeftOut) {
  MultimediaSkin()[DeckForm_PlayerStatusWindow].Control_Width = 20;  // 7 cells, room for 2
  SetSkinControlProcessedText(DeckForm_PlayerStatusWindow, "Playing");
  QImage img = Canvas();
  Paint(img, DeckForm_PlayerStatusWindow);
  const QPoint at = At(DeckForm_PlayerStatusWindow);
  EXPECT_TRUE(SameBlock(img, at + QPoint(8, 0), Bitmap(TKELDARSkinBitmap::DeckFontSmall), SmallGlyph('l')));
  EXPECT_EQ(CountColour(img, QRect(at.x() + 16, at.y(), 8, 13), Sentinel()), 8 * 13);
}

TEST_F(TextDisplays, VerticalDisplaysAreNotDrawn) {
  MultimediaSkin()[DeckForm_KbpsTextWindow].Control_Direction = true;
  QImage img = Canvas();
  Paint(img, DeckForm_KbpsTextWindow);
  EXPECT_EQ(CountColour(img, img.rect(), Sentinel()), 300 * 130);
}

TEST_F(TextDisplays, AccentedLetterUsesTheSystemFontEvenWithTheBitmapFontOn) {
  ASSERT_TRUE(LoadedKELDARSkin().DeckText.BitmapFontEnabled);
  LoadedKELDARSkin().DeckText.Normal = 0x000000FF;  // pure red
  LoadedKELDARSkin().DeckText.FontHeight = -12;
  SetSkinControlProcessedText(DeckForm_KbpsTextWindow, "\xC3\x89" "A");  // "ÉA"
  QImage img = Canvas();
  Paint(img, DeckForm_KbpsTextWindow);
  const QPoint at = At(DeckForm_KbpsTextWindow);
  const QRect first(at.x(), at.y(), 8, 13);
  int reddish = 0, other = 0;
  for (int y = first.top(); y <= first.bottom(); ++y)
    for (int x = first.left(); x <= first.right(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c == Sentinel()) continue;
      // Pure red, or red blended with the window beneath by antialiasing; no sheet colour.
      const bool blend = c.blue() <= 3 && c.red() + c.green() >= 250 && c.red() + c.green() <= 260;
      if (!blend) ++other;
      else if (c.red() > 128) ++reddish;
    }
  EXPECT_GT(reddish, 5);  // drawn in the text colour over the window, not copied from the sheet
  EXPECT_EQ(other, 0);
  EXPECT_TRUE(SameBlock(img, at + QPoint(8, 0), Bitmap(TKELDARSkinBitmap::DeckFontSmall), SmallGlyph('A')));
  // The third cell is past the text: a blank glyph.
  EXPECT_TRUE(SameBlock(img, at + QPoint(16, 0), Bitmap(TKELDARSkinBitmap::DeckFontSmall), SmallGlyph(' ')));
}

TEST_F(TextDisplays, BitmapFontOffDrawsEverythingWithTheSystemFont) {
  LoadedKELDARSkin().DeckText.BitmapFontEnabled = false;
  LoadedKELDARSkin().DeckText.Normal = 0x000000FF;
  SetSkinControlProcessedText(DeckForm_KbpsTextWindow, "A");
  QImage img = Canvas();
  Paint(img, DeckForm_KbpsTextWindow);
  const QPoint at = At(DeckForm_KbpsTextWindow);
  EXPECT_LT(CountColour(img, QRect(at.x(), at.y(), 8, 13), Sentinel()), 8 * 13);
  EXPECT_FALSE(SameBlock(img, at, Bitmap(TKELDARSkinBitmap::DeckFontSmall), SmallGlyph('A')));
  EXPECT_EQ(CountColour(img, QRect(at.x() + 8, at.y(), 16, 13), Sentinel()), 16 * 13);  // blanks draw nothing
}

TEST_F(TextDisplays, TransparentGlyphsLeaveTheKeyColourOut) {
  const QImage& font = Bitmap(TKELDARSkinBitmap::DeckFontSmall);
  const QColor face = font.pixelColor(0, 0);  // the cell face of the Default font
  SetKELDARSkinFontKeyColours(static_cast<std::uint32_t>(face.red() | (face.green() << 8) | (face.blue() << 16)), 0);
  LoadedKELDARSkin().Family.TransparentText = true;
  ResetKELDARSkinDisplayState();
  ASSERT_TRUE(KELDARSkinDisplayTransparent(DeckForm_KbpsTextWindow));
  SetSkinControlProcessedText(DeckForm_KbpsTextWindow, "W");
  QImage img = Canvas();
  Paint(img, DeckForm_KbpsTextWindow);
  const QPoint at = At(DeckForm_KbpsTextWindow);
  const QRect glyph = SmallGlyph('W');
  int keyed = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 8; ++x) {
      const QColor src = font.pixelColor(glyph.x() + x, glyph.y() + y);
      const QColor got = img.pixelColor(at.x() + x, at.y() + y);
      if (src == face) {
        EXPECT_EQ(got, Sentinel());
        ++keyed;
      } else {
        EXPECT_EQ(got, src);
      }
    }
  EXPECT_GT(keyed, 20);
  EXPECT_LT(keyed, 8 * 13);
  SetKELDARSkinFontKeyColours(0, 0);
}

TEST_F(TextDisplays, ConvertedSkinCanSwitchTransparencyOffPerGroup) {
  LoadedKELDARSkin().Family.TransparentText = true;
  SwitchOffKELDARSkinTransparentText(false);
  ResetKELDARSkinDisplayState();
  EXPECT_TRUE(KELDARSkinDisplayTransparent(DeckForm_SongCurrectPlayingTimeWindow));
  EXPECT_TRUE(KELDARSkinDisplayTransparent(DeckForm_SongTotalTimeWindow));
  EXPECT_FALSE(KELDARSkinDisplayTransparent(DeckForm_SongArtistWindow));
  EXPECT_FALSE(KELDARSkinDisplayTransparent(CDDatabaseForm_DBTextWindow));
  ResetKELDARSkinDisplayState();  // switch-offs count for one load only
  EXPECT_TRUE(KELDARSkinDisplayTransparent(DeckForm_SongArtistWindow));
}

TEST_F(TextDisplays, WindowCounterUsesTheWindowFontAndBackground) {
  SetSkinControlProcessedText(PlayListEditorForm_PLTextWindow1, "00012");
  const TSkinControlRect r = SkinControlWindowRect(PlayListEditorForm_PLTextWindow1);
  ASSERT_GT(r.Width, 0);
  QImage img = Canvas(400, 400);
  Paint(img, PlayListEditorForm_PLTextWindow1, TKELDARSkinnedWindow::Playlist);
  const QRect rect(r.Left, r.Top, r.Width, r.Height);
  const QColor bg = KELDARSkinColour(LoadedKELDARSkin().PlaylistText.NormalBG);
  const QColor ink = KELDARSkinColour(LoadedKELDARSkin().PlaylistText.Normal);
  EXPECT_EQ(CountColour(img, rect, Sentinel()), 0);
  EXPECT_GT(CountColour(img, rect, bg), r.Width * r.Height / 2);
  EXPECT_GT(CountColour(img, rect, ink), 0);
  EXPECT_EQ(CountColour(img, img.rect(), Sentinel()), 400 * 400 - r.Width * r.Height);  // clipped to the display

  LoadedKELDARSkin().Family.TransparentText = true;
  ResetKELDARSkinDisplayState();
  QImage clear = Canvas(400, 400);
  Paint(clear, PlayListEditorForm_PLTextWindow1, TKELDARSkinnedWindow::Playlist);
  EXPECT_EQ(CountColour(clear, rect, bg), 0);
  EXPECT_GT(CountColour(clear, rect, Sentinel()), r.Width * r.Height / 2);
}

TEST_F(TextDisplays, OnlyDisplaysArePaintedHere) {
  QImage img = Canvas();
  QPainter p(&img);
  EXPECT_FALSE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_PlayButton));
  EXPECT_FALSE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_MP3Button));
  EXPECT_FALSE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_MonoButton));
  EXPECT_FALSE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_VolumeImage));
  EXPECT_FALSE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_MainImage));
  EXPECT_TRUE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_PlayPauseStateImage));
  EXPECT_TRUE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Equalizer, EqualizerForm_EQLeftVolLevelCanvas));
  EXPECT_FALSE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, static_cast<KELDARSkinControls_IDs>(200)));
}

}  // namespace
