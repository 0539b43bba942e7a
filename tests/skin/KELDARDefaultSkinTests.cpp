// The built-in Default skin: every bitmap has the size the own catalogue asks for, sheets
// and strips carry distinct images, and the exported source folder matches the built-in copy.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <set>

#include "TestSupport.h"
#include "skin/KELDARSkinBitmapLayout.h"
#include "skin/KELDARSkinBuiltInFiles.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinDefinitionFile.h"

namespace {

struct TSize {
  int W, H;
};

class DefaultSkin : public ::testing::Test {
 protected:
  void SetUp() override { BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own, skin, lists); }
  const StringIdentStructure& c(KELDARSkinControls_IDs id) const { return skin[id]; }
  TSize Own(KELDARSkinControls_IDs id) const { return {c(id).Control_Width, c(id).Control_Height}; }
  // Frames then two knobs, one pixel between pieces, along the track's stacking axis.
  TSize Strip(KELDARSkinControls_IDs track, KELDARSkinControls_IDs knob) const {
    const auto& t = c(track);
    const auto& k = c(knob);
    const int n = t.Control_NumberOfImages;
    if (t.Control_Direction)
      return {n * (t.Control_Width + 1) + 2 * (k.Control_Width + 1) - 1, std::max(t.Control_Height, k.Control_Height)};
    return {std::max(t.Control_Width, k.Control_Width), n * (t.Control_Height + 1) + 2 * (k.Control_Height + 1) - 1};
  }
  // Widest row of a resizable window's sheet and the bottom of its last row.
  TSize Sheet(int b, int windowButtons, int scrollKnob, int firstMenu, bool panels) const {
    const auto w = [&](int id) { return c(static_cast<KELDARSkinControls_IDs>(id)).Control_Width; };
    const auto h = [&](int id) { return c(static_cast<KELDARSkinControls_IDs>(id)).Control_Height; };
    int rowA = w(b + 1) + w(b + 4) + w(b + 3) + w(b + 2) + 3;
    const int buttonIds[4] = {b + 10, b + 11, PlayListEditorForm_PLListScrollUpButton,
                              PlayListEditorForm_PLListScrollDownButton};
    for (int i = 0; i < windowButtons; ++i) rowA += 1 + w(buttonIds[i]);
    int rowC = w(b + 5) + 1 + w(b + 6);
    if (scrollKnob) rowC += 1 + 2 * w(scrollKnob) + 1;
    const int rowD = w(b + 7) + w(b + 9) + w(b + 8) + 2;
    int width = std::max({rowA, rowC, rowD});
    int height = 2 * h(b + 1) + h(b + 5) + h(b + 7) + 3;
    if (firstMenu) {
      int rowE = -1;
      for (int k = 0; k < 5; ++k) rowE += 2 * w(firstMenu + k) + 2;
      width = std::max(width, rowE);
      height += 1 + h(firstMenu);
      if (panels) {
        width = std::max(width, 5 * (2 * w(PlayListEditorForm_PLAddFilesButton) + 2) - 1);
        height += 3 * (1 + h(PlayListEditorForm_PLAddFilesButton));
      }
    }
    return {width, height};
  }
  static QImage Load(TKELDARSkinBitmap b) {
    const QByteArray bytes = BuiltInKELDARSkinFile(KELDARSkinBitmapFileName(b));
    return QImage::fromData(bytes, "BMP");
  }
  static QImage Crop(const QImage& img, int x, int y, int w, int h) { return img.copy(x, y, w, h); }
  MultimediaSkinStructure skin;
  TSkinControlsLists lists;
};

TEST_F(DefaultSkin, EveryBitmapHasTheSizeTheCatalogueRequires) {
  using B = TKELDARSkinBitmap;
  const TSize deck = Own(DeckForm_MainImage), eq = Own(EqualizerForm_EQMainImage), fs = Own(FullScreenForm_FSMainImage);
  const TSize glyph = Own(DeckForm_PlayPauseStateImage);
  const TSize meter = Own(EqualizerForm_EQLeftVolLevelCanvas);
  const int bandFrames = c(EqualizerForm_EQFFT10VisualEffects).Control_NumberOfImages *
                         c(EqualizerForm_EQFFT10VisualEffects).Control_Width;
  const struct {
    B Bitmap;
    TSize Size;
  } expected[] = {
      {B::DeckNotActive, deck}, {B::DeckPressed1, deck}, {B::DeckPressed2, deck}, {B::DeckActive, deck},
      {B::DeckVolumeBar, Strip(DeckForm_VolumeImage, DeckForm_VolumeButton)},
      {B::DeckBalanceBar, Strip(DeckForm_BalanceImage, DeckForm_BalanceButton)},
      {B::DeckPitchBar, Strip(DeckForm_PitchImage, DeckForm_PitchButton)},
      {B::DeckPositionBar, Strip(DeckForm_PosBarImage, DeckForm_PosBarButton)},
      {B::DeckPlayerState, {4 * glyph.W + c(DeckForm_TransmissionImage).Control_Width, glyph.H}},
      {B::DeckFontSmall, {34 * c(DeckForm_FontSmall).Control_Width, 5 * c(DeckForm_FontSmall).Control_Height}},
      {B::DeckNumbers, {16 * c(DeckForm_NumbersFont).Control_Width, c(DeckForm_NumbersFont).Control_Height}},
      {B::EqualizerNotActive, eq}, {B::EqualizerPressed1, eq}, {B::EqualizerPressed2, eq}, {B::EqualizerActive, eq},
      {B::EqualizerBandBar, Strip(EqualizerForm_EQBand5Image, EqualizerForm_EQBand5Button)},
      {B::EqualizerVolLevelVisuals, {c(EqualizerForm_EQLeftVolLevelCanvas).Control_NumberOfImages * meter.W, meter.H}},
      {B::EqualizerFFTVisuals, {bandFrames + 6, std::max(c(EqualizerForm_EQGraphicsEffectsCanvas).Control_Height,
                                                         c(EqualizerForm_EQFFT10VisualEffects).Control_Height + 2)}},
      {B::PlaylistBackground, Sheet(PlayListEditorForm_PLMainImage, 4, PlayListEditorForm_PLScrollButton,
                                    PlayListEditorForm_PLMenu1Buttons, true)},
      {B::VisualsScreenBackground, Sheet(VisualsScreenForm_VisExMainImage, 2, 0, 0, false)},
      {B::DBBackground, Sheet(CDDatabaseForm_DBMainImage, 2, CDDatabaseForm_DBScrollButton, CDDatabaseForm_DBMenu1Buttons, false)},
      {B::FullScreenNotActive, fs}, {B::FullScreenActive, fs},
      {B::FullScreenPositionBar, Strip(FullScreenForm_FSPosBarImage, FullScreenForm_FSPosBarButton)},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(KELDARSkinBitmapFileName(e.Bitmap));
    const QImage img = Load(e.Bitmap);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), e.Size.W);
    EXPECT_EQ(img.height(), e.Size.H);
    const QByteArray file = BuiltInKELDARSkinFile(KELDARSkinBitmapFileName(e.Bitmap));
    ASSERT_GT(file.size(), 30);
    EXPECT_EQ(static_cast<unsigned char>(file[28]) | (static_cast<unsigned char>(file[29]) << 8), 24) << "bits per pixel";
    const auto viaLayout = ExpectedKELDARSkinBitmapSize(e.Bitmap, skin);
    EXPECT_EQ(viaLayout.Width, e.Size.W);
    EXPECT_EQ(viaLayout.Height, e.Size.H);
  }
  EXPECT_FALSE(Load(B::PlaylistListBoxImage).isNull());
}

TEST_F(DefaultSkin, MasksHaveNoBuiltInCopyAndTextFilesDo) {
  for (auto b : {TKELDARSkinBitmap::DeckVolumeBarMask, TKELDARSkinBitmap::DeckPitchBarMask,
                 TKELDARSkinBitmap::DeckPositionBarMask})
    EXPECT_FALSE(HasBuiltInKELDARSkinFile(KELDARSkinBitmapFileName(b)));
  EXPECT_TRUE(BuiltInKELDARSkinFile("Deck_Text.ini").contains("FontHeight=11"));
  EXPECT_TRUE(BuiltInKELDARSkinFile("DB_Text.ini").contains("Headers=#c8d0d4"));
  EXPECT_TRUE(BuiltInKELDARSkinFile("Playlist_Text.ini").contains("NormalBG=#4AA5FF"));
  EXPECT_TRUE(HasBuiltInKELDARSkinFile("Regions_Text.ini"));
  EXPECT_FALSE(BuiltInKELDARSkinFile("readme.txt").isEmpty());
  EXPECT_EQ(KELDARSkinResourceName("Deck_BackgroundImageNOTActive.bmp"), "DECK_BACKGROUNDIMAGENOTACTIVE");
}

TEST_F(DefaultSkin, FourStateSheetsDifferAtEveryToggle) {
  const QImage sheets[4] = {Load(TKELDARSkinBitmap::DeckNotActive), Load(TKELDARSkinBitmap::DeckPressed1),
                            Load(TKELDARSkinBitmap::DeckPressed2), Load(TKELDARSkinBitmap::DeckActive)};
  for (auto id : {DeckForm_RepeatButton, DeckForm_ShuffleButton, DeckForm_EQButton, DeckForm_PLButton,
                  DeckForm_VisExButton, DeckForm_DBButton}) {
    const auto& t = c(id);
    for (int a = 0; a < 4; ++a)
      for (int b = a + 1; b < 4; ++b)
        EXPECT_NE(Crop(sheets[a], t.Control_Left, t.Control_Top, t.Control_Width, t.Control_Height),
                  Crop(sheets[b], t.Control_Left, t.Control_Top, t.Control_Width, t.Control_Height))
            << "toggle " << int(id) << " sheets " << a << "/" << b;
  }
  // Push buttons: unlit and lit (pressed) images differ.
  const auto& play = c(DeckForm_PlayButton);
  EXPECT_NE(Crop(sheets[0], play.Control_Left, play.Control_Top, play.Control_Width, play.Control_Height),
            Crop(sheets[3], play.Control_Left, play.Control_Top, play.Control_Width, play.Control_Height));
}

TEST_F(DefaultSkin, SliderFramesFillStepByStep) {
  const QImage strip = Load(TKELDARSkinBitmap::DeckVolumeBar);
  const auto& t = c(DeckForm_VolumeImage);
  const QRgb empty = strip.pixel(t.Control_Width / 2, t.Control_Height / 2);  // frame 0, mid groove
  int previous = -1;
  for (int f = 0; f < t.Control_NumberOfImages; ++f) {
    const int x = SliderStripFramePosition(DeckForm_VolumeImage, f, skin).X + t.Control_Width / 2;
    int filled = 0;
    for (int y = 0; y < t.Control_Height; ++y) filled += strip.pixel(x, y) != empty && strip.pixel(x, y) != strip.pixel(x, 0);
    EXPECT_GT(filled, previous) << "frame " << f;
    previous = filled;
  }
}

TEST_F(DefaultSkin, EveryFontGlyphIsDrawnAndDistinct) {
  const QImage font = Load(TKELDARSkinBitmap::DeckFontSmall);
  const int w = c(DeckForm_FontSmall).Control_Width, h = c(DeckForm_FontSmall).Control_Height;
  const QImage blank = Crop(font, 0, 0, w, h);
  std::set<std::pair<int, int>> cells;
  int distinct = 0;
  std::vector<QImage> seen;
  for (int code = 33; code <= 126; ++code) {
    std::int32_t col = 0, row = 0;
    ASSERT_TRUE(KELDARSkinSmallFontCell(static_cast<unsigned char>(code), col, row));
    ASSERT_TRUE(cells.insert({col, row}).second) << "two glyphs share a cell";
    ASSERT_LT(col, KELDARSkinSmallFontColumns);
    const QImage g = Crop(font, col * w, row * h, w, h);
    EXPECT_NE(g, blank) << "glyph " << char(code) << " is empty";
    if (std::find(seen.begin(), seen.end(), g) == seen.end()) ++distinct;
    seen.push_back(g);
  }
  EXPECT_EQ(cells.size() + 1, 95u);  // with the blank: 95 cells, 94 glyphs
  EXPECT_GE(distinct, 90);           // a few pairs may legitimately look alike at this size
  const QImage numbers = Load(TKELDARSkinBitmap::DeckNumbers);
  const int nw = c(DeckForm_NumbersFont).Control_Width, nh = c(DeckForm_NumbersFont).Control_Height;
  const QImage nblank = Crop(numbers, 10 * nw, 0, nw, nh);
  for (int i = 0; i < 16; ++i)
    if (i != 10) {
      EXPECT_NE(Crop(numbers, i * nw, 0, nw, nh), nblank) << "numbers glyph " << i;
    }
}

TEST_F(DefaultSkin, SourceFolderHoldsTheBuiltInSkin) {
  const std::string folder = std::string(KELDAR_PROGRAM_DIR) + "/skins/Default-source/";
  EXPECT_EQ(ReadTextFile(folder + "keldarskin.ini"), BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own));
  const std::string onDisk = ReadTextFile(folder + "Deck_Numbers.bmp");
  const QByteArray builtIn = BuiltInKELDARSkinFile("Deck_Numbers.bmp");
  EXPECT_EQ(onDisk, std::string(builtIn.constData(), static_cast<std::size_t>(builtIn.size())));
}

}  // namespace
