// Player-state glyph, transmission lamp, channel and file-type lamps, level meters.
#include "SkinPaintFixture.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinLamps.h"
#include "skin/KELDARSkinLevelMeters.h"

namespace {

using Lamps = DefaultSkinPaint;

bool Lit(KELDARSkinControls_IDs id) { return MultimediaSkin()[id].Control_NEWMouseState == meMouseClicked; }

std::string LitPattern() {
  std::string s;
  for (auto id : {DeckForm_MP3Button, DeckForm_MODButton, DeckForm_CDButton, DeckForm_VIDEOButton, DeckForm_URLButton})
    s += Lit(id) ? '1' : (MultimediaSkin()[id].Control_NEWMouseState == meMouseNOTClicked ? '0' : '?');
  return s;
}

TEST_F(Lamps, FileTypeLampCodes) {
  SetKELDARSkinFileTypeLampAnimation(false);
  const std::pair<int, const char*> table[] = {
      {10, "10000"}, {11, "01000"}, {12, "00100"}, {13, "00010"}, {14, "00001"}, {1, "10000"}, {2, "11000"},
      {3, "11100"},  {4, "11110"},  {5, "11111"},  {7, "11111"},  {9, "11111"},  {0, "00000"}, {6, "00000"},
      {8, "00000"},  {15, "00000"}, {-1, "00000"}, {99, "00000"}};
  for (const auto& [code, lit] : table) {
    SetKELDARSkinFileTypeLampCode(code);
    StepKELDARSkinFileTypeLamps();
    EXPECT_EQ(LitPattern(), lit) << "code " << code;
    EXPECT_EQ(KELDARSkinFileTypeLampCode(), code);  // no animation: the code stays
  }
}

TEST_F(Lamps, IdleAnimationRunsAfterLoadAndCyclesTheCodes) {
  EXPECT_TRUE(KELDARSkinFileTypeLampAnimation());
  EXPECT_EQ(KELDARSkinFileTypeLampCode(), 0);
  std::vector<std::string> seen;
  for (int i = 0; i < 11; ++i) {
    StepKELDARSkinFileTypeLamps();
    seen.push_back(LitPattern());
  }
  const std::vector<std::string> expected = {"00000", "10000", "11000", "11100", "11110", "11111",
                                             "00000", "11111", "00000", "11111", "00000"};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(KELDARSkinFileTypeLampCode(), 1);
  // A new load restarts it.
  SetKELDARSkinFileTypeLampAnimation(false);
  SetKELDARSkinFileTypeLampCode(12);
  ResetKELDARSkinDisplaysAfterLoad();
  EXPECT_TRUE(KELDARSkinFileTypeLampAnimation());
  EXPECT_EQ(KELDARSkinFileTypeLampCode(), 0);
}

TEST_F(Lamps, ChannelLamps) {
  EXPECT_EQ(MultimediaSkin()[DeckForm_MonoButton].Control_NEWMouseState, meMouseNOTClicked);  // after a load
  EXPECT_EQ(MultimediaSkin()[DeckForm_StereoButton].Control_NEWMouseState, meMouseNOTClicked);
  SetKELDARSkinChannelLamps(msMonoOutput);
  EXPECT_TRUE(Lit(DeckForm_MonoButton));
  EXPECT_FALSE(Lit(DeckForm_StereoButton));
  SetKELDARSkinChannelLamps(msStereoOutput);
  EXPECT_FALSE(Lit(DeckForm_MonoButton));
  EXPECT_TRUE(Lit(DeckForm_StereoButton));
  SetKELDARSkinChannelLamps(msSurroundOutput);
  EXPECT_TRUE(Lit(DeckForm_MonoButton));
  EXPECT_TRUE(Lit(DeckForm_StereoButton));
  SetKELDARSkinChannelLamps(msNULLOutput);
  EXPECT_EQ(MultimediaSkin()[DeckForm_MonoButton].Control_NEWMouseState, meMouseNOTClicked);
  EXPECT_EQ(MultimediaSkin()[DeckForm_StereoButton].Control_NEWMouseState, meMouseNOTClicked);
}

TEST_F(Lamps, PlayerStateGlyphAndTransmissionLamp) {
  const QImage& strip = Bitmap(TKELDARSkinBitmap::DeckPlayerState);
  const TSkinControlRect g = SkinControlWindowRect(DeckForm_PlayPauseStateImage);
  const TSkinControlRect l = SkinControlWindowRect(DeckForm_TransmissionImage);
  EXPECT_EQ(GetSkinControlValue(DeckForm_PlayPauseStateImage), 3);  // initial
  for (int frame = 0; frame < 4; ++frame) {
    SetKELDARSkinPlayerStateImage(frame);
    EXPECT_EQ(GetSkinControlValue(DeckForm_PlayPauseStateImage), frame);
    EXPECT_EQ(MultimediaSkin()[DeckForm_TransmissionImage].Control_NEWMouseState, frame);
    QImage img = Canvas();
    {
      QPainter p(&img);
      EXPECT_TRUE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_TransmissionImage));
      EXPECT_TRUE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Deck, DeckForm_PlayPauseStateImage));
    }
    EXPECT_TRUE(SameBlock(img, QPoint(g.Left, g.Top), strip, QRect(frame * g.Width, 0, g.Width, g.Height))) << frame;
    if (frame == 0)
      EXPECT_TRUE(SameBlock(img, QPoint(l.Left, l.Top), strip, QRect(4 * g.Width, 0, l.Width, l.Height)));
    else
      EXPECT_TRUE(SameBlock(img, QPoint(l.Left, l.Top), Bitmap(TKELDARSkinBitmap::DeckNotActive),
                            QRect(l.Left, l.Top, l.Width, l.Height)));
  }
  // Frames differ, so the block comparisons above can tell them apart.
  EXPECT_FALSE(SameBlock(strip, QPoint(0, 0), strip, QRect(g.Width, 0, g.Width, g.Height)));
  SetKELDARSkinPlayerStateImage(17);
  EXPECT_EQ(GetSkinControlValue(DeckForm_PlayPauseStateImage), 3);
}

class LevelMeters : public DefaultSkinPaint {
 protected:
  QImage PaintMeter(KELDARSkinControls_IDs id, int value) {
    SetSkinControlCurrentValue(id, value);
    QImage img = Canvas();
    QPainter p(&img);
    EXPECT_TRUE(PaintKELDARSkinDisplayControl(p, TKELDARSkinnedWindow::Equalizer, id));
    return img;
  }
};

TEST_F(LevelMeters, FrameForValue) {
  ASSERT_EQ(MultimediaSkin()[EqualizerForm_EQLeftVolLevelCanvas].Control_NumberOfImages, 32);
  const QImage& strip = Bitmap(TKELDARSkinBitmap::EqualizerVolLevelVisuals);
  const TSkinControlRect r = SkinControlWindowRect(EqualizerForm_EQLeftVolLevelCanvas);
  const QPoint at(r.Left, r.Top);
  EXPECT_TRUE(SameBlock(PaintMeter(EqualizerForm_EQLeftVolLevelCanvas, 100), at, strip, QRect(31 * 13, 0, 13, 65)));
  EXPECT_TRUE(SameBlock(PaintMeter(EqualizerForm_EQLeftVolLevelCanvas, 0), at, strip, QRect(0, 0, 13, 65)));
  EXPECT_FALSE(SameBlock(PaintMeter(EqualizerForm_EQLeftVolLevelCanvas, 0), at, strip, QRect(31 * 13, 0, 13, 65)));
  EXPECT_EQ(KELDARSkinLevelMeterFrame(EqualizerForm_EQLeftVolLevelCanvas), 0);
  SetSkinControlCurrentValue(EqualizerForm_EQLeftVolLevelCanvas, 50);
  EXPECT_EQ(KELDARSkinLevelMeterFrame(EqualizerForm_EQLeftVolLevelCanvas), 16);  // 15.5 rounds to even
  SetSkinControlCurrentValue(EqualizerForm_EQLeftVolLevelCanvas, 250);
  EXPECT_EQ(KELDARSkinLevelMeterFrame(EqualizerForm_EQLeftVolLevelCanvas), 31);
  SetSkinControlCurrentValue(EqualizerForm_EQLeftVolLevelCanvas, -4);
  EXPECT_EQ(KELDARSkinLevelMeterFrame(EqualizerForm_EQLeftVolLevelCanvas), 0);
}

TEST_F(LevelMeters, HorizontalMetersTakeStackedFrames) {
  auto& m = MultimediaSkin()[EqualizerForm_EQRightVolLevelCanvas];
  m.Control_Direction = false;
  QImage strip(13, 65 * 32, QImage::Format_RGB32);
  for (int f = 0; f < 32; ++f)
    for (int y = 0; y < 65; ++y)
      for (int x = 0; x < 13; ++x) strip.setPixel(x, f * 65 + y, qRgb(f * 7, 255 - f * 7, (x + y) % 256));
  LoadedKELDARSkin().Bitmaps[static_cast<std::size_t>(TKELDARSkinBitmap::EqualizerVolLevelVisuals)] = strip;
  const TSkinControlRect r = SkinControlWindowRect(EqualizerForm_EQRightVolLevelCanvas);
  EXPECT_TRUE(SameBlock(PaintMeter(EqualizerForm_EQRightVolLevelCanvas, 100), QPoint(r.Left, r.Top), strip,
                        QRect(0, 31 * 65, 13, 65)));
}

TEST_F(LevelMeters, OffShowsTheUnlitSheet) {
  MultimediaSkin()[EqualizerForm_EQLeftVolLevelCanvas].Control_CLICKEDMouseState = meMouseNOTClicked;
  const TSkinControlRect r = SkinControlWindowRect(EqualizerForm_EQLeftVolLevelCanvas);
  EXPECT_TRUE(SameBlock(PaintMeter(EqualizerForm_EQLeftVolLevelCanvas, 100), QPoint(r.Left, r.Top),
                        Bitmap(TKELDARSkinBitmap::EqualizerNotActive), QRect(r.Left, r.Top, r.Width, r.Height)));
}

}  // namespace
