// The effect canvases: modes painted into images and the next-mode rule.
#include "SkinPaintFixture.h"
#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinBitmapFonts.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinEffectCanvas.h"

namespace {

class EffectCanvas : public DefaultSkinPaint {
 protected:
  void SetUp() override {
    DefaultSkinPaint::SetUp();
    KELDARSkinEffectData() = {};
    const TSkinControlRect r = SkinControlWindowRect(EqualizerForm_EQGraphicsEffectsCanvas);
    x0 = r.Left;
    top = r.Top;
    w = r.Width;
    h = r.Height;
    bottom = r.Top + r.Height - 1;
  }
  QImage PaintMode(int mode) {
    Options_EQCurrentVisualEffect.IntegerValue = mode;
    QImage img = Canvas();
    QPainter p(&img);
    EXPECT_TRUE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Equalizer, EqualizerForm_EQGraphicsEffectsCanvas));
    return img;
  }
  static QColor Table(int which, int k) {
    const auto& t = which == 1 ? LoadedKELDARSkin().SpectrumColours1 : LoadedKELDARSkin().SpectrumColours2;
    return KELDARSkinColour(t[static_cast<std::size_t>(k)]);
  }
  static QColor Sheet(TKELDARSkinBitmap b, int x, int y) { return Bitmap(b).pixelColor(x, y); }
  int x0 = 0, top = 0, w = 0, h = 0, bottom = 0;
};

TEST_F(EffectCanvas, DefaultGeometry) {
  EXPECT_EQ(w, 160);
  EXPECT_EQ(h, 37);
  ASSERT_EQ(LoadedKELDARSkin().SpectrumColours1.size(), 37u);
  // The colour table changes with height, so a bar's colours are checkable.
  EXPECT_NE(Table(1, 0), Table(1, 36));
}

TEST_F(EffectCanvas, ModeZeroLeavesTheWindowAndSevenShowsTheActiveImage) {
  QImage none = PaintMode(0);
  EXPECT_EQ(CountColour(none, none.rect(), Sentinel()), 300 * 130);
  QImage seven = PaintMode(7);
  EXPECT_TRUE(SameBlock(seven, QPoint(x0, top), Bitmap(TKELDARSkinBitmap::EqualizerActive), QRect(x0, top, w, h)));
}

TEST_F(EffectCanvas, SpectrumBarsColumnByColumn) {
  auto& d = KELDARSkinEffectData();
  for (std::size_t i = 0; i < 128; ++i) d.SpectrumLevels[i] = i < 64 ? 100 : 0;
  d.SpectrumLevels[1] = 50;  // column 1 samples entry round(1·128/160) = 1
  QImage img = PaintMode(3);
  // Column 0: a full bar, bottom row in entry 1, top row in entry 37.
  for (int k = 0; k < h; ++k) EXPECT_EQ(img.pixelColor(x0, bottom - k), Table(1, k)) << k;
  // Column 1: 18 rows above the bottom, background (pressed-1 image) above that.
  EXPECT_EQ(img.pixelColor(x0 + 1, bottom - 18), Table(1, 18));
  EXPECT_EQ(img.pixelColor(x0 + 1, bottom - 19), Sheet(TKELDARSkinBitmap::EqualizerPressed1, x0 + 1, bottom - 19));
  // Columns 79 and 80 sample entries 63 and 64.
  EXPECT_EQ(img.pixelColor(x0 + 79, top), Table(1, 36));
  EXPECT_EQ(img.pixelColor(x0 + 80, bottom), Table(1, 0));
  EXPECT_EQ(img.pixelColor(x0 + 80, bottom - 1), Sheet(TKELDARSkinBitmap::EqualizerPressed1, x0 + 80, bottom - 1));
  // Nothing outside the canvas.
  EXPECT_EQ(CountColour(img, QRect(0, 0, 300, top), Sentinel()), 300 * top);
  EXPECT_EQ(img.pixelColor(x0 + w, bottom), Sentinel());
}

TEST_F(EffectCanvas, TenBandBarsShowStripFrames) {
  auto& d = KELDARSkinEffectData();
  for (std::size_t i = 0; i < 10; ++i) d.BandLevels[i] = static_cast<std::int32_t>(i * 11);
  QImage img = PaintMode(2);
  const QImage& fft = Bitmap(TKELDARSkinBitmap::EqualizerFFTVisuals);
  for (int i = 0; i < 10; ++i) {
    const int f = SkinRoundHalfEven(19.0 * i * 11 / 100.0);
    EXPECT_TRUE(SameBlock(img, QPoint(x0 + i * 16, top), fft, QRect(f * 16, 0, 16, 37))) << i;
  }
  EXPECT_FALSE(SameBlock(img, QPoint(x0, top), fft, QRect(19 * 16, 0, 16, 37)));
}

TEST_F(EffectCanvas, WaveformDots) {
  auto& d = KELDARSkinEffectData();
  d.WaveformValues.fill(50);
  d.WaveformValues[0] = 100;
  QImage img = PaintMode(5);
  EXPECT_EQ(img.pixelColor(x0, top), Table(2, 36));
  EXPECT_EQ(img.pixelColor(x0, bottom), Sheet(TKELDARSkinBitmap::EqualizerPressed1, x0, bottom));
  EXPECT_EQ(img.pixelColor(x0 + 10, bottom - 18), Table(2, 18));
  EXPECT_EQ(img.pixelColor(x0 + 10, bottom - 17), Sheet(TKELDARSkinBitmap::EqualizerPressed1, x0 + 10, bottom - 17));
  EXPECT_EQ(img.pixelColor(x0 + 10, bottom - 19), Sheet(TKELDARSkinBitmap::EqualizerPressed1, x0 + 10, bottom - 19));
}

TEST_F(EffectCanvas, ChannelBarsAndDotsUseTheirAreas) {
  auto& d = KELDARSkinEffectData();
  for (auto& pair : d.ChannelSpectrumLevels) pair = {100, 0};
  QImage bars = PaintMode(4);
  const TSkinControlRect right = SkinControlWindowRect(EqualizerForm_EQGraphicsRightCanvas);
  EXPECT_EQ(bars.pixelColor(x0 + 63, top), Table(1, 36));
  EXPECT_EQ(bars.pixelColor(right.Left, bottom), Table(1, 0));
  EXPECT_EQ(bars.pixelColor(right.Left, bottom - 1), Sheet(TKELDARSkinBitmap::EqualizerPressed2, right.Left, bottom - 1));
  // Between the areas only the pressed-2 image.
  EXPECT_TRUE(SameBlock(bars, QPoint(x0 + 64, top), Bitmap(TKELDARSkinBitmap::EqualizerPressed2), QRect(x0 + 64, top, 32, h)));
  for (auto& pair : d.ChannelWaveformValues) pair = {0, 100};
  QImage dots = PaintMode(6);
  EXPECT_EQ(dots.pixelColor(x0 + 5, bottom), Table(2, 0));
  EXPECT_EQ(dots.pixelColor(right.Left + 5, top), Table(2, 36));
}

TEST_F(EffectCanvas, PreampLineAndRedCurve) {
  SetSkinSliderValue(EqualizerForm_EQPreAmpImage, 100);
  for (int i = 0; i < 10; ++i) SetSkinSliderValue(static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * i), 50);
  QImage img = PaintMode(1);
  const QImage& fft = Bitmap(TKELDARSkinBitmap::EqualizerFFTVisuals);
  // Preamp 100: the line's image on the canvas's top row.
  EXPECT_TRUE(SameBlock(img, QPoint(x0, top), fft, QRect(0, 38, 160, 1)));
  // Bands at 50: the curve runs along y = top + 36 − 18.
  const QColor red(255, 0, 0);
  EXPECT_EQ(img.pixelColor(x0 + 40, top + 18), red);
  EXPECT_EQ(img.pixelColor(x0 + 159, top + 18), red);
  EXPECT_EQ(img.pixelColor(x0 + w, top + 18), Sentinel());  // clipped to the canvas
  EXPECT_EQ(img.pixelColor(x0 + 40, top + 17), Sheet(TKELDARSkinBitmap::EqualizerNotActive, x0 + 40, top + 17));

  SetSkinSliderValue(EqualizerForm_EQPreAmpImage, 0);
  SetSkinSliderValue(EqualizerForm_EQBand1Image, 100);
  QImage low = PaintMode(1);
  EXPECT_TRUE(SameBlock(low, QPoint(x0, bottom), fft, QRect(0, 38, 160, 1)));
  EXPECT_EQ(low.pixelColor(x0, top), red);  // band 1 at 100: the curve starts at the top
}

TEST_F(EffectCanvas, NextModeOnTheDefaultSkin) {
  std::vector<int> cycle;
  int mode = 0;
  for (int i = 0; i < 8; ++i) cycle.push_back(mode = NextKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, mode));
  EXPECT_EQ(cycle, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0}));
  // The deck canvas has no areas of its own.
  EXPECT_EQ(NextKELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas, 0), 7);
  EXPECT_EQ(NextKELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas, 7), 0);
  MultimediaSkin()[EqualizerForm_EQDiagramPreAmpLine].Control_Enabled = false;
  EXPECT_EQ(NextKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 0), 2);
  Options_EQCurrentVisualEffect.IntegerValue = 7;
  EXPECT_EQ(AdvanceKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas), 0);
  EXPECT_EQ(AdvanceKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas), 2);
  EXPECT_EQ(Options_EQCurrentVisualEffect.IntegerValue, 2);
  // Converted skins never get the per-channel modes.
  LoadedKELDARSkin().Kind = skKjofolPackage;
  EXPECT_EQ(NextKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 3), 5);
  EXPECT_EQ(NextKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 5), 7);
}

TEST_F(EffectCanvas, WinampCatalogueDeckCanvasCycle) {
  MultimediaSkinStructure skin;
  TSkinControlsLists lists;
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Winamp, skin, lists);
  TKELDARLoadedSkin loaded;
  loaded.Kind = skWinampFolder;
  std::vector<int> cycle;
  int mode = 0;
  for (int i = 0; i < 5; ++i)
    cycle.push_back(mode = NextKELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas, mode, skin, loaded));
  EXPECT_EQ(cycle, (std::vector<int>{2, 3, 5, 7, 0}));
}

}  // namespace

namespace {

TEST_F(EffectCanvas, AbsurdCanvasWidthOnlyPaintsTheTarget) {
  MultimediaSkin()[EqualizerForm_EQGraphicsEffectsCanvas].Control_Width = 2000000000;
  MultimediaSkin()[DeckForm_SongArtistWindow].Control_Width = 2000000000;
  ResetKELDARSkinDisplayState();
  KELDARSkinEffectData().SpectrumLevels.fill(100);
  QImage img = PaintMode(3);  // returns at once instead of walking two thousand million columns
  EXPECT_EQ(img.pixelColor(299, bottom), Table(1, 0));
  QImage deck = Canvas();
  QPainter p(&deck);
  EXPECT_TRUE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_SongArtistWindow));
}

}  // namespace
