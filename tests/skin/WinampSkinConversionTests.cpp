// Winamp skins drawn by the tests (every pixel different) converted into our format and
// compared pixel by pixel with the rectangles the classic layout names.
#include <gtest/gtest.h>

#include <QFile>
#include <filesystem>

#include "ConversionTestSupport.h"
#include "TestSupport.h"
#include "WinampClassicSkinPainter.h"
#include "skin/ConvertWinampSkinToKELDARSkinUnit.h"
#include "skin/KELDARSkinBitmapLayout.h"
#include "skin/KELDARSkinTextSettings.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace {

namespace fs = std::filesystem;
using namespace convert_test;
using B = TKELDARSkinBitmap;

class WinampConversion : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolderForTesting(program.Path());
    ASSERT_TRUE(WriteWinampClassicSkin(program / "skins/winampdefault", true, 99));
    ASSERT_TRUE(WriteWinampClassicSkin(skin, true, 1));
    fs::create_directories(out);
  }
  QImage Source(const std::string& name) const { return Bmp(skin + "/" + name); }
  QImage Fallback(const std::string& name) const { return Bmp(program / ("skins/winampdefault/" + name)); }
  QImage Out(B b) const { return Bmp(out + "/" + KELDARSkinBitmapFileName(b)); }
  void Convert() { ConvertWinampSkinToKELDARSkin(skin, out); }
  MultimediaSkinStructure Table() const { return ConvertedTable(out, TKELDARSkinFamily::Winamp); }

  TTempFolder program;
  TMessageLogCapture log{program / "messages.log"};
  std::string skin = program / "skins/classic";
  std::string out = program / "converted";
};

TEST_F(WinampConversion, DeckSpritesComeFromTheirClassicRectangles) {
  Convert();
  const MultimediaSkinStructure t = Table();
  EXPECT_EQ(t[DeckForm_MainImage].Control_Width, 275);
  const QImage na = Out(B::DeckNotActive), a = Out(B::DeckActive), p1 = Out(B::DeckPressed1), p2 = Out(B::DeckPressed2);
  ASSERT_EQ(na.size(), QSize(275, 116));
  const QImage main = Source("main.bmp");
  EXPECT_TRUE(SameRect(na, 0, 70, main, 0, 70, 275, 18));  // background between the sprites
  EXPECT_TRUE(SameRect(a, 0, 70, main, 0, 70, 275, 18));

  const QImage cb = Source("cbuttons.bmp");
  EXPECT_TRUE(SameRect(na, 39, 88, cb, 23, 0, 23, 18));   // play
  EXPECT_TRUE(SameRect(a, 39, 88, cb, 23, 18, 23, 18));
  EXPECT_TRUE(SameRect(na, 108, 88, cb, 92, 0, 22, 18));  // next
  EXPECT_TRUE(SameRect(a, 137, 90, cb, 114, 16, 22, 16)); // eject: 16 high, pressed row at 16

  const QImage title = Source("titlebar.bmp");
  EXPECT_TRUE(SameRect(a, 0, 0, title, 27, 0, 275, 3));
  EXPECT_TRUE(SameRect(na, 0, 0, title, 27, 15, 275, 3));
  EXPECT_TRUE(SameRect(na, 264, 3, title, 18, 0, 9, 9));  // close
  EXPECT_TRUE(SameRect(a, 264, 3, title, 18, 9, 9, 9));

  const QImage sr = Source("shufrep.bmp");
  EXPECT_TRUE(SameRect(na, 211, 90, sr, 1, 0, 27, 15));   // repeat off (the shuffle button covers its first column)
  EXPECT_TRUE(SameRect(p2, 164, 90, sr, 28, 45, 47, 15));  // shuffle on, pressed
  EXPECT_TRUE(SameRect(p1, 242, 58, sr, 69, 61, 23, 12));  // PL off, pressed
  EXPECT_TRUE(SameRect(a, 219, 58, sr, 0, 73, 23, 12));    // EQ on

  const QImage ms = Source("monoster.bmp");
  EXPECT_TRUE(SameRect(a, 240, 41, ms, 0, 0, 29, 12));
  EXPECT_TRUE(SameRect(na, 212, 41, ms, 29, 12, 27, 12));

  EXPECT_TRUE(SameRect(Out(B::DeckPlayerState), 0, 0, Source("playpaus.bmp"), 0, 0, 42, 9));
}

TEST_F(WinampConversion, SliderStripsFontsAndNumbers) {
  Convert();
  const MultimediaSkinStructure t = Table();
  const QImage vol = Out(B::DeckVolumeBar), volume = Source("volume.bmp");
  const auto frame = [&](KELDARSkinControls_IDs track, int f) { return SliderStripFramePosition(track, f, t); };
  EXPECT_TRUE(SameRect(vol, frame(DeckForm_VolumeImage, 0).X, frame(DeckForm_VolumeImage, 0).Y, volume, 0, 0, 68, 13));
  // Frame 13 twice, then the rest one picture behind.
  EXPECT_TRUE(SameRect(vol, 0, frame(DeckForm_VolumeImage, 14).Y, volume, 0, 195, 68, 13));
  EXPECT_TRUE(SameRect(vol, 0, frame(DeckForm_VolumeImage, 28).Y, volume, 0, 405, 68, 13));
  const TSkinPixelPoint pressed = SliderStripKnobPosition(DeckForm_VolumeImage, 0, t);
  const TSkinPixelPoint normal = SliderStripKnobPosition(DeckForm_VolumeImage, 1, t);
  EXPECT_TRUE(SameRect(vol, pressed.X, pressed.Y, volume, 0, 422, 14, 11));
  EXPECT_TRUE(SameRect(vol, normal.X, normal.Y, volume, 15, 422, 14, 11));
  EXPECT_TRUE(t[DeckForm_VolumeButton].Control_Enabled);

  const QImage bal = Out(B::DeckBalanceBar), balance = Source("balance.bmp");
  EXPECT_TRUE(SameRect(bal, 0, frame(DeckForm_BalanceImage, 0).Y, balance, 9, 15 * 27, 38, 13));
  EXPECT_TRUE(SameRect(bal, 0, frame(DeckForm_BalanceImage, 27).Y, balance, 9, 0, 38, 13));
  EXPECT_TRUE(SameRect(bal, 0, frame(DeckForm_BalanceImage, 28).Y, balance, 9, 0, 38, 13));
  EXPECT_TRUE(SameRect(bal, 0, frame(DeckForm_BalanceImage, 55).Y, balance, 9, 15 * 27, 38, 13));

  // Small font: lower-case letters show the upper-case glyphs.
  const QImage font = Out(B::DeckFontSmall), text = Source("text.bmp");
  ASSERT_EQ(font.size(), QSize(34 * 5, 5 * 6));
  EXPECT_TRUE(SameRect(font, 2 * 5, 1 * 6, text, 10, 0, 5, 6));   // 'C'
  EXPECT_TRUE(SameRect(font, 2 * 5, 3 * 6, text, 10, 0, 5, 6));   // 'c'
  EXPECT_TRUE(SameRect(font, 16 * 5, 0, text, 0, 6, 5, 6));       // '0'
  EXPECT_TRUE(SameRect(font, 31 * 5, 0, text, 15, 12, 5, 6));     // '?'
  EXPECT_TRUE(SameRect(font, 0, 0, text, 150, 0, 5, 6));          // blank
  EXPECT_TRUE(SameRect(font, 2 * 5, 0, text, 130, 0, 5, 6));      // double quote

  const QImage digits = Out(B::DeckNumbers), nums = Source("nums_ex.bmp");
  EXPECT_TRUE(SameRect(digits, 7 * 9, 0, nums, 63, 0, 9, 13));
  EXPECT_TRUE(SameRect(digits, 11 * 9, 0, nums, 99, 0, 9, 13));   // minus
  EXPECT_TRUE(SameRect(digits, 13 * 9, 0, Out(B::DeckNotActive), 69, 26, 9, 13));  // colon

  const QImage pos = Out(B::DeckPositionBar), posbar = Source("posbar.bmp");
  EXPECT_TRUE(SameRect(pos, 0, 0, posbar, 0, 0, 248, 10));
  const TSkinPixelPoint pp = SliderStripKnobPosition(DeckForm_PosBarImage, 0, t);
  const TSkinPixelPoint pn = SliderStripKnobPosition(DeckForm_PosBarImage, 1, t);
  EXPECT_TRUE(SameRect(pos, pp.X, pp.Y, posbar, 278, 0, 29, 10));
  EXPECT_TRUE(SameRect(pos, pn.X, pn.Y, posbar, 248, 0, 29, 10));
  EXPECT_FALSE(t[DeckForm_PitchImage].Control_Enabled);
}

TEST_F(WinampConversion, EqualizerAndSpectrumPictures) {
  WriteTextFile(skin + "/viscolor.txt",
                "1,2,3\r\n4,5,6\r\n255,0,0 // red\r\n0,255,0\r\n9,9,9\r\n10,10,10\r\n11,11,11\r\n12,12,12\r\n"
                "13,13,13\r\n14,14,14\r\n15,15,15\r\n16,16,16\r\n17,17,17\r\n18,18,18\r\n19,19,19\r\n20,20,20\r\n"
                "21,21,21\r\n0,0,200\r\n100,0,0\r\n101,0,0\r\n102,0,0\r\n103,0,0\r\n104,0,0\r\n");
  Convert();
  const MultimediaSkinStructure t = Table();
  const QImage eq = Source("eqmain.bmp");
  const QImage na = Out(B::EqualizerNotActive), a = Out(B::EqualizerActive), p1 = Out(B::EqualizerPressed1),
               p2 = Out(B::EqualizerPressed2);
  EXPECT_TRUE(SameRect(na, 0, 40, eq, 0, 40, 70, 60));
  EXPECT_TRUE(SameRect(a, 0, 0, eq, 0, 134, 260, 3));  // active title
  EXPECT_TRUE(SameRect(na, 0, 0, eq, 0, 149, 260, 3));
  EXPECT_TRUE(SameRect(a, 264, 3, eq, 0, 116, 9, 9));
  EXPECT_TRUE(SameRect(a, 14, 18, eq, 69, 119, 25, 12));   // on
  EXPECT_TRUE(SameRect(p2, 39, 18, eq, 10 + 3 * 59 + 25, 119, 33, 12));  // auto, on pressed
  EXPECT_TRUE(SameRect(p1, 14, 18, eq, 128, 119, 25, 12));
  EXPECT_TRUE(SameRect(a, 217, 18, eq, 224, 176, 44, 12));
  EXPECT_TRUE(SameRect(p1, 86, 17, eq, 0, 294, 113, 19));  // graph background

  const QImage bands = Out(B::EqualizerBandBar);
  const TSkinPixelPoint f20 = SliderStripFramePosition(EqualizerForm_EQPreAmpImage, 20, t);
  EXPECT_TRUE(SameRect(bands, f20.X, f20.Y, eq, 13 + 15 * 5, 229, 14, 63));  // picture 19
  const TSkinPixelPoint f3 = SliderStripFramePosition(EqualizerForm_EQPreAmpImage, 3, t);
  EXPECT_TRUE(SameRect(bands, f3.X, f3.Y, eq, 13 + 45, 164, 14, 63));

  const QImage fft = Out(B::EqualizerFFTVisuals);
  const int W = fft.width();
  EXPECT_EQ(fft.pixel(W - 5, 0) & 0xFFFFFF, 0xFF0000u);  // line 3: pure red
  EXPECT_EQ(fft.pixel(W - 5, 1) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(fft.pixel(W - 5, 15) & 0xFFFFFF, 0x0000C8u);  // line 18
  EXPECT_EQ(fft.pixel(W - 3, 0) & 0xFFFFFF, 0x680000u);   // line 23
  EXPECT_EQ(fft.pixel(W - 3, 8) & 0xFFFFFF, 0x640000u);   // line 19
  EXPECT_EQ(fft.pixel(W - 3, 10) & 0xFFFFFF, 0x660000u);  // line 21
  // Frame 0 is a one-pixel bar on row 15; frame 15 reaches row 0 in red.
  EXPECT_EQ(fft.pixel(0, 15) & 0xFFFFFF, 0x0000C8u);
  EXPECT_EQ(fft.pixel(0, 14) & 0xFFFFFF, 0x010203u);  // above frame 0's bar: the background
  EXPECT_EQ(fft.pixel(15 * 6, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(fft.pixel(1, 13) & 0xFFFFFF, 0x010203u);
  EXPECT_EQ(fft.pixel(2, 13) & 0xFFFFFF, 0x040506u);
  EXPECT_TRUE(SameRect(fft, 0, 17, eq, 0, 314, 113, 1));  // preamp line
  // The deck display's dotted background while a spectrum runs.
  const QImage deckP1 = Out(B::DeckPressed1);
  EXPECT_EQ(deckP1.pixel(24, 44) & 0xFFFFFF, 0x040506u);
  EXPECT_EQ(deckP1.pixel(25, 44) & 0xFFFFFF, 0x010203u);
  EXPECT_EQ(Out(B::DeckNotActive).pixel(24, 44), Source("main.bmp").pixel(24, 44));
}

TEST_F(WinampConversion, PlaylistVisualsAndLibrarySheets) {
  Convert();
  const MultimediaSkinStructure t = Table();
  const QImage pl = Source("pledit.bmp"), sheet = Out(B::PlaylistBackground);
  const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, t);
  EXPECT_GE(sheet.width(), 302);
  EXPECT_TRUE(SameRect(sheet, l.TitleMainX, l.RowB, pl, 26, 0, 100, 20));   // active
  EXPECT_TRUE(SameRect(sheet, l.TitleRightX, l.RowA, pl, 153, 21, 25, 20)); // inactive
  EXPECT_TRUE(SameRect(sheet, l.VerticalRightX, l.RowC, pl, 31, 42, 20, 29));
  EXPECT_TRUE(SameRect(sheet, l.ScrollKnobX, l.RowC, pl, 61, 53, 8, 18));
  EXPECT_TRUE(SameRect(sheet, l.BottomExtraX, l.RowD, pl, 179, 0, 25, 38));
  EXPECT_TRUE(SameRect(sheet, l.BottomRightX, l.RowD, pl, 126, 72, 150, 38));
  EXPECT_TRUE(SameRect(sheet, l.WindowButtonX[0], l.RowA, pl, 167, 3, 9, 9));
  EXPECT_TRUE(SameRect(sheet, l.WindowButtonX[0], l.RowA + 10, pl, 52, 42, 9, 9));
  EXPECT_TRUE(SameRect(sheet, l.WindowButtonX[3], l.RowA, pl, 261, 79, 8, 5));
  EXPECT_TRUE(SameRect(sheet, l.MenuX[1], l.RowE, pl, 40, 80, 25, 18));
  EXPECT_TRUE(SameRect(sheet, l.MenuX[4] + 26, l.RowE, pl, 229, 80, 25, 18));
  // Remove menu, middle panel button: its edge 18 pixels lower, pressed item 23 to the right.
  EXPECT_TRUE(SameRect(sheet, l.PanelX[1][1], l.RowG, pl, 100, 111 + 18 + 18, 3, 18));
  EXPECT_TRUE(SameRect(sheet, l.PanelX[1][1] + 3, l.RowG, pl, 54, 130, 22, 18));
  EXPECT_TRUE(SameRect(sheet, l.PanelX[1][1] + 26 + 3, l.RowG, pl, 77, 130, 22, 18));

  const QImage mb = Source("mb.bmp");
  for (B b : {B::VisualsScreenBackground, B::DBBackground}) {
    const auto bg = b == B::DBBackground ? CDDatabaseForm_DBMainImage : VisualsScreenForm_VisExMainImage;
    const TResizableSheetLayout m = ResizableSheetLayout(bg, t);
    const QImage s = Out(b);
    const auto& tl = t[static_cast<KELDARSkinControls_IDs>(bg + 1)];
    const auto& vl = t[static_cast<KELDARSkinControls_IDs>(bg + 5)];
    EXPECT_TRUE(SameRect(s, 0, m.RowB, mb, 0, 0, tl.Control_Width, tl.Control_Height));
    EXPECT_TRUE(SameRect(s, 0, m.RowA, mb, 0, tl.Control_Height + 1, tl.Control_Width, tl.Control_Height));
    EXPECT_TRUE(SameRect(s, 0, m.RowC, mb, 127, 42, vl.Control_Width, std::min(vl.Control_Height, 119 - 42)));
    EXPECT_TRUE(SameRect(s, m.WindowButtonX[0], m.RowA, mb, 167, 3, 9, 9));
  }
  EXPECT_GE(Out(B::DBBackground).width(), 302);
  EXPECT_GE(Out(B::DBBackground).height(), 186);
  EXPECT_FALSE(Out(B::FullScreenNotActive).isNull());
}

TEST_F(WinampConversion, TextSettingsRegionsAndReadme) {
  WriteTextFile(skin + "/pledit.txt", "[Text]\r\nNormal=#00FF00\r\nNormalBG=#0A0B0C\r\nFont=Tahoma\r\n");
  WriteTextFile(skin + "/REGION.TXT", "[Normal]\r\nNumPoints=4\r\nPointList=0,0, 275,0, 275,116, 0,116\r\n");
  WriteTextFile(skin + "/ReadMe.txt", "made by us\r\n");
  Convert();
  const TKELDARSkinTextSettings deck = ParseKELDARSkinTextSettings(ReadTextFile(out + "/Deck_Text.ini"));
  EXPECT_EQ(deck.Normal, 0x0000FF00u);
  EXPECT_EQ(deck.FontHeight, -8);
  EXPECT_TRUE(deck.BitmapFontEnabled);
  const TKELDARSkinTextSettings list = ParseKELDARSkinTextSettings(ReadTextFile(out + "/Playlist_Text.ini"));
  EXPECT_EQ(list.Font, "Tahoma");
  EXPECT_EQ(list.ItemHeight, 12);
  EXPECT_FALSE(list.BitmapEnabled);
  const TKELDARSkinTextSettings lib = ParseKELDARSkinTextSettings(ReadTextFile(out + "/DB_Text.ini"));
  EXPECT_EQ(lib.Headers, 0x000C0B0Au);
  const auto regions = ParseKELDARSkinRegions(ReadTextFile(out + "/Regions_Text.ini"));
  EXPECT_EQ(regions[0].PolygonPointsNumber, "4");
  EXPECT_EQ(ParseKELDARSkinPolygons(regions[0]).Coordinates.size(), 8u);
  EXPECT_EQ(ReadTextFile(out + "/readme.txt"), "made by us\r\n");
}

TEST_F(WinampConversion, UpperCaseNamesGiveTheSameSkin) {
  Convert();
  const std::string upper = program / "skins/UPPER";
  fs::create_directories(upper);
  for (const auto& entry : fs::directory_iterator(skin)) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "MAIN.BMP") name = "Main.bmp";
    fs::copy_file(entry.path(), upper + "/" + name);
  }
  const std::string out2 = program / "converted2";
  fs::create_directories(out2);
  ConvertWinampSkinToKELDARSkin(upper, out2);
  for (int i = 0; i < KELDARSkinBitmapCount; ++i) {
    const std::string name = KELDARSkinBitmapFileName(static_cast<B>(i));
    if (!fs::exists(out + "/" + name)) continue;
    EXPECT_EQ(ReadTextFile(out + "/" + name), ReadTextFile(out2 + "/" + name)) << name;
  }
  EXPECT_EQ(ReadTextFile(out + "/Deck_Text.ini"), ReadTextFile(out2 + "/Deck_Text.ini"));
}

TEST_F(WinampConversion, MissingFilesTakeTheSkinsOwnAlternativeBeforeTheFallback) {
  fs::remove(skin + "/balance.bmp");
  fs::remove(skin + "/nums_ex.bmp");
  fs::remove(skin + "/eqmain.bmp");
  Convert();
  const MultimediaSkinStructure t = Table();
  // Balance from the skin's own volume picture (x 9).
  const QImage bal = Out(B::DeckBalanceBar), volume = Source("volume.bmp");
  EXPECT_TRUE(SameRect(bal, 0, SliderStripFramePosition(DeckForm_BalanceImage, 0, t).Y, volume, 9, 15 * 27, 38, 13));
  // Digits from the skin's numbers.bmp; the minus is the blank with a bar from the 2.
  const QImage digits = Out(B::DeckNumbers), numbers = Source("numbers.bmp");
  EXPECT_TRUE(SameRect(digits, 3 * 9, 0, numbers, 27, 0, 9, 13));
  EXPECT_TRUE(SameRect(digits, 11 * 9, 0, numbers, 90, 0, 9, 6));
  EXPECT_TRUE(SameRect(digits, 11 * 9 + 2, 6, numbers, 20, 6, 5, 1));
  EXPECT_TRUE(SameRect(digits, 11 * 9 + 7, 6, numbers, 97, 6, 2, 1));
  EXPECT_TRUE(SameRect(digits, 13 * 9, 0, Source("main.bmp"), 69, 26, 9, 13));
  // The equalizer from the fallback skin.
  EXPECT_TRUE(SameRect(Out(B::EqualizerNotActive), 0, 40, Fallback("eqmain.bmp"), 0, 40, 70, 60));
  EXPECT_TRUE(ReadMessageLog(log.Path()).empty());
}

TEST_F(WinampConversion, PositionBarWidthsDecideTheKnob) {
  const QImage full = Source("posbar.bmp");
  for (int width : {248, 258, 277}) {
    SCOPED_TRACE(width);
    ASSERT_TRUE(full.copy(0, 0, width, 10).save(QString::fromStdString(skin + "/posbar.bmp"), "BMP"));
    Convert();
    const MultimediaSkinStructure t = Table();
    const QImage pos = Out(B::DeckPositionBar);
    const auto& knob = t[DeckForm_PosBarButton];
    const TSkinPixelPoint pressed = SliderStripKnobPosition(DeckForm_PosBarImage, 0, t);
    const TSkinPixelPoint normal = SliderStripKnobPosition(DeckForm_PosBarImage, 1, t);
    if (width == 248) {
      EXPECT_EQ(knob.Control_Width, 29);
      EXPECT_TRUE(AllBlack(pos, normal.X, normal.Y, 29, 10));
      EXPECT_TRUE(AllBlack(pos, pressed.X, pressed.Y, 29, 10));
    } else if (width == 258) {
      EXPECT_EQ(knob.Control_Width, 10);
      EXPECT_TRUE(knob.Control_Enabled);
      EXPECT_TRUE(SameRect(pos, normal.X, normal.Y, full, 248, 0, 10, 10));
      EXPECT_TRUE(AllBlack(pos, pressed.X, pressed.Y, 10, 10));
    } else {
      EXPECT_EQ(knob.Control_Width, 29);
      EXPECT_TRUE(SameRect(pos, normal.X, normal.Y, full, 248, 0, 29, 10));
    }
  }
}

TEST_F(WinampConversion, BitmapsOfEveryFormatAndSize) {
  const QImage main = Source("main.bmp");
  // 8-bit palettised and RLE8, 4-bit and RLE4, 1-bit, 16-bit, 32-bit, top-down: written by
  // hand, since Qt only writes 24-bit bitmaps.
  struct TCase {
    const char* name;
    int bits;
    int compression;
    bool topDown;
  };
  for (const TCase c : {TCase{"pal8", 8, 0, false}, TCase{"rle8", 8, 1, false}, TCase{"pal4", 4, 0, false},
                        TCase{"rle4", 4, 2, false}, TCase{"pal1", 1, 0, false}, TCase{"rgb16", 16, 0, false},
                        TCase{"rgb32", 32, 0, true}, TCase{"rgb24down", 24, 0, true}}) {
    SCOPED_TRACE(c.name);
    const QImage reference = WriteTestBmp(skin + "/main.bmp", main, c.bits, c.compression, c.topDown);
    ASSERT_FALSE(reference.isNull());
    Convert();
    const QImage na = Out(B::DeckNotActive);
    if (c.bits == 16) {
      // Five bits per channel widen to eight in more than one accepted way.
      for (int y = 70; y < 88; ++y)
        for (int x = 0; x < 275; ++x) {
          const QRgb got = na.pixel(x, y), want = reference.pixel(x, y);
          ASSERT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)) +
                        std::abs(qBlue(got) - qBlue(want)),
                    24)
              << x << "," << y;
        }
    } else {
      EXPECT_TRUE(SameRect(na, 0, 70, reference, 0, 70, 275, 18));
    }
  }
  // Smaller and larger than the layout: what lies outside stays black, nothing else moves.
  ASSERT_TRUE(main.copy(0, 0, 100, 50).save(QString::fromStdString(skin + "/main.bmp"), "BMP"));
  Convert();
  EXPECT_TRUE(SameRect(Out(B::DeckNotActive), 0, 20, main, 0, 20, 100, 30));
  EXPECT_TRUE(AllBlack(Out(B::DeckNotActive), 100, 20, 100, 20));
  QImage big(600, 400, QImage::Format_RGB888);
  big.fill(Qt::white);
  for (int y = 0; y < 116; ++y)
    for (int x = 0; x < 275; ++x) big.setPixel(x, y, main.pixel(x, y));
  ASSERT_TRUE(big.save(QString::fromStdString(skin + "/main.bmp"), "BMP"));
  Convert();
  EXPECT_EQ(Out(B::DeckNotActive).size(), QSize(275, 116));
  EXPECT_TRUE(SameRect(Out(B::DeckNotActive), 0, 70, main, 0, 70, 275, 18));
}

TEST_F(WinampConversion, HostileFilesLeaveImagesEmptyAndNeverCrash) {
  // A 0-byte file, a header promising a gigantic picture, a truncated file, wild palette
  // indices: each falls back to the fallback skin's picture or stays empty.
  WriteTextFile(skin + "/main.bmp", "");
  std::string huge(54, '\0');
  huge[0] = 'B';
  huge[1] = 'M';
  const auto le32 = [&](std::string& s, int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(at + i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  le32(huge, 10, 54);
  le32(huge, 14, 40);
  le32(huge, 18, 100000);
  le32(huge, 22, 100000);
  huge[26] = 1;
  huge[28] = 24;
  WriteTextFile(skin + "/cbuttons.bmp", huge);
  const std::string text = ReadTextFile(skin + "/text.bmp");
  WriteTextFile(skin + "/text.bmp", text.substr(0, text.size() / 2));
  // Palette of two colours, pixels pointing at index 200.
  QImage wild(68, 433, QImage::Format_Indexed8);
  wild.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
  wild.fill(200);
  WriteTestBmp(skin + "/volume.bmp", wild, 8, 0, false, /*keepIndices=*/true);
  std::string vis;
  while (vis.size() < 1024 * 1024) vis += "12,34,56 junk junk\r\n";
  WriteTextFile(skin + "/viscolor.txt", vis);
  fs::remove_all(program / "skins/winampdefault");
  Convert();
  const auto messages = ReadMessageLog(log.Path());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "The " + program.Path() +
                                  "/skins/winampdefault directory is missing. It's possible that some Winamp skins MAY "
                                  "NOT WORK properly, or HALT the program. Please look at the Help section for more "
                                  "information.");
  EXPECT_TRUE(AllBlack(Out(B::DeckNotActive), 0, 70, 275, 18));  // no background picture anywhere
  EXPECT_EQ(Out(B::DeckNotActive).size(), QSize(275, 116));
  EXPECT_EQ(Out(B::EqualizerFFTVisuals).pixel(Out(B::EqualizerFFTVisuals).width() - 5, 0) & 0xFFFFFF, 0x0C2238u);
}

}  // namespace
