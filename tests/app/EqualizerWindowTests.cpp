// The equalizer window's data with the real engine on the no-sound device and the Default
// skin: the five window timers, the 20 ms tick feeding the level meters and effect modes 2-6
// (checked in the pixels of the real windows, and against the stopped fallbacks), the data
// rules on known engine buffers, and the slider readouts on the deck artist display.
#include <gtest/gtest.h>

#include <QImage>

#include <chrono>
#include <cstring>
#include <limits>
#include <map>
#include <thread>

#include "app/DeckController.h"
#include "app/DeckMainTimer.h"
#include "app/EqualizerWindowData.h"
#include "app/skinunitmouseclickprocedures.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "skin/KELDARSkinEffectCanvas.h"
#include "skin/KELDARSkinLevelMeters.h"
#include "skin/SkinRuntimeState.h"
#include "skinwindows/SkinnedWindowFixture.h"

namespace {

KELDAR_AUDIOVIDEO_API_EngineState& Engine() { return KELDAR_AUDIOVIDEO_API_State(); }
KELDAR_AUDIOVIDEO_API_Operations& Ops() { return KELDAR_AUDIOVIDEO_API_Slots(); }

// ---- the data rules on known buffers ----

TEST(EqualizerWindowDataRules, LevelWordsBecomeMeterPercents) {
  EXPECT_EQ(LevelMeterPercents(0x40008000u).Left, 100);
  EXPECT_EQ(LevelMeterPercents(0x40008000u).Right, 50);
  EXPECT_EQ(LevelMeterPercents(0).Left, 0);
  EXPECT_EQ(LevelMeterPercents(0x00000147u).Left, 0);  // 327 × 100 >> 15 rounds down
  EXPECT_EQ(LevelMeterPercents(0x01480000u).Right, 1);  // 328 × 100 >> 15
}

TEST(EqualizerWindowDataRules, EachModeTakesItsOwnBuffer) {
  static KELDAR_AUDIOVIDEO_API_EngineState e;  // large: not on the stack
  e.ChannelInfo.SamplingRate = 44100;
  e.ChannelInfo.Channels = 2;
  e.FloatSupport = 1;
  e.FFTData.fill(0);
  // A peak at 1000 Hz (bin 23) belongs to band 6 (bins 16..33) only.
  e.FFTData[23] = 0.25f;
  e.FFTData[8] = 0.64f;
  TKELDARSkinEffectData d;
  PrepareEqualizerEffectData(2, e, d);
  EXPECT_EQ(d.BandLevels[5], 50);
  EXPECT_EQ(d.BandLevels[4], 80);  // 500 Hz: bins 8..16 hold the 0.64
  EXPECT_EQ(d.BandLevels[6], 0);
  EXPECT_EQ(d.BandLevels[9], 0);
  e.FFTData[511] = 0.01f;  // the last band reaches the top bin
  PrepareEqualizerEffectData(2, e, d);
  EXPECT_EQ(d.BandLevels[9], 10);

  PrepareEqualizerEffectData(3, e, d);
  EXPECT_EQ(d.SpectrumLevels[2], 80);  // bin 8
  EXPECT_EQ(d.SpectrumLevels[1], 0);
  EXPECT_EQ(d.SpectrumLevels[127], 0);

  e.FFTChannelData.fill(0);
  e.FFTChannelData[8 * 3] = 0.09f;
  e.FFTChannelData[8 * 3 + 1] = 0.01f;
  PrepareEqualizerEffectData(4, e, d);
  EXPECT_EQ(d.ChannelSpectrumLevels[3][0], 30);
  EXPECT_EQ(d.ChannelSpectrumLevels[3][1], 10);

  e.MixedWaveformData.fill(0);
  e.MixedWaveformData[7] = -1;
  e.MixedWaveformData[8] = 1;
  PrepareEqualizerEffectData(5, e, d);
  EXPECT_EQ(d.WaveformValues[7], 0);
  EXPECT_EQ(d.WaveformValues[8], 100);
  EXPECT_EQ(d.WaveformValues[9], 50);

  const float frame[2] = {0.5f, -0.5f};
  e.WaveformData.fill(0);
  std::memcpy(e.WaveformData.data() + 5 * sizeof frame, frame, sizeof frame);
  PrepareEqualizerEffectData(6, e, d);
  EXPECT_EQ(d.ChannelWaveformValues[5][0], 75);
  EXPECT_EQ(d.ChannelWaveformValues[5][1], 25);
  EXPECT_EQ(d.ChannelWaveformValues[4][0], 50);

  // A broken value reads as silence, never as a wild bar.
  e.FFTData[8] = std::numeric_limits<float>::quiet_NaN();
  PrepareEqualizerEffectData(3, e, d);
  EXPECT_EQ(d.SpectrumLevels[2], 0);
}

// ---- the real windows with the engine ----

TTempFolder& SongFolder() {
  static TTempFolder folder;
  return folder;
}

class EqualizerWindow : public SkinnedWindows {
 protected:
  static void SetUpTestSuite() {
    SkinWindowTestApplication();
    SetProgramFolderForTesting(SongFolder().Path());
    InitSettingsDefaults();
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
    Ops().BuildSupportedFileTypes();
    const std::string tone = SongFolder() / "tone.wav";
    // Two tones, a different one on each side, at about half scale.
    ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + tone +
                           "' synth 30 sine 440 sine 2500 gain -6 >/dev/null 2>&1").c_str()),
              0);
  }
  static void TearDownTestSuite() { Ops().UnloadAudioAPI(); }

  void SetUp() override {
    SkinnedWindows::SetUp();
    BindSkinControlActions(*set);
    ShowOnly({deck.get(), equalizer.get()});
    SetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas, true);
    SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, true);
  }
  void TearDown() override {
    Ops().Stop();
    Ops().FreeStreams();
    SkinnedWindows::TearDown();
  }

  static void PlayTone() {
    Engine().CurrentFileName = SongFolder() / "tone.wav";
    ASSERT_TRUE(Ops().CreateStream());
    Ops().Play();
  }
  // Ticks the way the timer does, giving the mixer time between ticks.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      equalizer->Timer1Timer();
      QCoreApplication::processEvents();
    }
  }
  // The canvas of `window` in this mode (the area it needs sits on one of the two canvases).
  static KELDARSkinControls_IDs CanvasFor(std::int32_t mode) {
    return KELDARSkinEffectModeAvailable(EqualizerForm_EQGraphicsEffectsCanvas, mode)
               ? EqualizerForm_EQGraphicsEffectsCanvas
               : DeckForm_GraphicsEffectsCanvas;
  }
  QImage CanvasPixels(KELDARSkinControls_IDs canvas) {
    QWidget* window = canvas == EqualizerForm_EQGraphicsEffectsCanvas ? static_cast<QWidget*>(equalizer.get())
                                                                      : static_cast<QWidget*>(deck.get());
    return Grab(window).copy(ControlRect(canvas));
  }
};

TEST_F(EqualizerWindow, FiveWindowTimersRunTogether) {
  EXPECT_EQ(deck->MainTimer().interval(), 400);
  EXPECT_EQ(playlist->StatusTimer().interval(), 400);
  EXPECT_EQ(library->Timer1().Timer().interval(), 400);
  EXPECT_EQ(equalizer->DataTimer().interval(), 20);
  EXPECT_EQ(visuals->Timer1().Timer().interval(), 1000);
  const auto active = [this] {
    return std::vector<bool>{deck->MainTimer().isActive(), playlist->StatusTimer().isActive(),
                             library->Timer1().Timer().isActive(), equalizer->DataTimer().isActive(),
                             visuals->Timer1().Timer().isActive()};
  };
  deck->EnableWindowTimers(true);
  EXPECT_EQ(active(), std::vector<bool>(5, true));
  deck->EnableWindowTimers(false);
  EXPECT_EQ(active(), std::vector<bool>(5, false));
}

TEST_F(EqualizerWindow, PlayingToneFillsBothMetersAndEveryModeStoppedFallsBack) {
  PlayTone();
  Ticks(10);
  const std::int32_t left = GetSkinControlValue(EqualizerForm_EQLeftVolLevelCanvas);
  const std::int32_t right = GetSkinControlValue(EqualizerForm_EQRightVolLevelCanvas);
  EXPECT_GT(left, 10);
  EXPECT_GT(right, 10);
  EXPECT_LE(left, 100);
  EXPECT_GT(KELDARSkinLevelMeterFrame(EqualizerForm_EQLeftVolLevelCanvas), 0);
  EXPECT_GT(KELDARSkinLevelMeterFrame(EqualizerForm_EQRightVolLevelCanvas), 0);
  const QImage metersPlaying = Grab(equalizer.get());

  // Each mode with the tone playing, on the canvas that has its area.
  std::map<std::int32_t, QImage> playing;
  for (std::int32_t mode = 2; mode <= 6; ++mode) {
    SCOPED_TRACE(mode);
    const KELDARSkinControls_IDs canvas = CanvasFor(mode);
    ASSERT_TRUE(KELDARSkinEffectModeAvailable(canvas, mode));
    SetKELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas, 0);
    SetKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 0);
    SetKELDARSkinEffectMode(canvas, mode);
    Ticks(3);
    playing[mode] = CanvasPixels(canvas);
  }
  const TKELDARSkinEffectData& data = KELDARSkinEffectData();
  // 440 Hz sits in the 500 Hz band (bins 8..16 at 44100 Hz), 2500 Hz in the 2000 Hz band.
  EXPECT_GT(data.BandLevels[4], 0);
  EXPECT_GT(data.BandLevels[6], 0);
  EXPECT_EQ(data.BandLevels[9], 0);

  Ops().Stop();
  Ticks(2);
  EXPECT_EQ(GetSkinControlValue(EqualizerForm_EQLeftVolLevelCanvas), 0);
  EXPECT_EQ(GetSkinControlValue(EqualizerForm_EQRightVolLevelCanvas), 0);
  EXPECT_EQ(KELDARSkinLevelMeterFrame(EqualizerForm_EQLeftVolLevelCanvas), 0);
  const QImage metersStopped = Grab(equalizer.get());
  EXPECT_NE(metersPlaying.copy(ControlRect(EqualizerForm_EQLeftVolLevelCanvas)),
            metersStopped.copy(ControlRect(EqualizerForm_EQLeftVolLevelCanvas)));
  EXPECT_NE(metersPlaying.copy(ControlRect(EqualizerForm_EQRightVolLevelCanvas)),
            metersStopped.copy(ControlRect(EqualizerForm_EQRightVolLevelCanvas)));

  for (std::int32_t mode = 2; mode <= 6; ++mode) {
    SCOPED_TRACE(mode);
    const KELDARSkinControls_IDs canvas = CanvasFor(mode);
    SetKELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas, 0);
    SetKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 0);
    SetKELDARSkinEffectMode(canvas, mode);
    Ticks(1);
    EXPECT_NE(playing[mode], CanvasPixels(canvas)) << "the tone draws nothing beyond the stopped frame";
  }
  // Stopped: silent spectra and the waveforms' middle line.
  for (std::int32_t v : data.BandLevels) EXPECT_EQ(v, 0);
  for (std::int32_t v : data.SpectrumLevels) EXPECT_EQ(v, 0);
  for (const auto& pair : data.ChannelSpectrumLevels) EXPECT_EQ(pair[0] + pair[1], 0);
  for (std::int32_t v : data.WaveformValues) EXPECT_EQ(v, 50);
  for (const auto& pair : data.ChannelWaveformValues) EXPECT_EQ(pair[0] * 100 + pair[1], 5050);
}

TEST_F(EqualizerWindow, NothingIsFetchedWhileBothWindowsAreHidden) {
  PlayTone();
  Ticks(5);
  ASSERT_GT(GetSkinControlValue(EqualizerForm_EQLeftVolLevelCanvas), 0);
  ShowOnly({playlist.get()});
  SetSkinControlCurrentValue(EqualizerForm_EQLeftVolLevelCanvas, 0);
  Ticks(3);
  EXPECT_EQ(GetSkinControlValue(EqualizerForm_EQLeftVolLevelCanvas), 0);
  ShowOnly({deck.get()});  // the deck alone still has its canvas to feed
  Ticks(3);
  EXPECT_GT(GetSkinControlValue(EqualizerForm_EQLeftVolLevelCanvas), 0);
}

// Counts the paint events a widget receives.
struct TPaintCounter : QObject {
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

TEST_F(EqualizerWindow, OnlyAMovingPictureIsDrawnAgain) {
  SetKELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas, 7);
  SetKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 3);
  Ticks(2);  // stopped: the fallbacks are in place
  TPaintCounter counter;
  equalizer->installEventFilter(&counter);
  deck->installEventFilter(&counter);
  Ticks(5);
  EXPECT_EQ(counter.Paints, 0) << "a still picture is drawn again";
  PlayTone();
  Ticks(10);  // the first ticks may still see the mixer starting
  EXPECT_GE(counter.Paints, 3);
  const int playing = counter.Paints;
  SetKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 7);
  SetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas, false);
  SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, false);
  Ticks(5);
  EXPECT_EQ(counter.Paints, playing) << "nothing on show follows the sound";
  equalizer->removeEventFilter(&counter);
  deck->removeEventFilter(&counter);
}

TEST_F(EqualizerWindow, AStoppedTickRestsUntilThePlayerOrTheWindowsWakeIt) {
  deck->EnableWindowTimers(true);
  ASSERT_TRUE(equalizer->DataTimer().isActive());
  Ticks(2);  // stopped: the meters and canvases settle, then the timer rests
  EXPECT_TRUE(equalizer->DataTimerResting());
  EXPECT_FALSE(equalizer->DataTimer().isActive());

  PlayTone();  // the engine tells the player at once, not on some later tick
  EXPECT_TRUE(equalizer->DataTimer().isActive());
  EXPECT_EQ(equalizer->DataTimer().interval(), 20);
  Ticks(10);
  EXPECT_TRUE(equalizer->DataTimer().isActive()) << "a playing tick never rests";
  EXPECT_GT(GetSkinControlValue(EqualizerForm_EQLeftVolLevelCanvas), 0);

  Ops().Pause();
  Ticks(3);  // the paused picture stands still
  EXPECT_TRUE(equalizer->DataTimerResting());
  Ops().Resume();
  EXPECT_TRUE(equalizer->DataTimer().isActive());
  Ops().Stop();
  Ticks(3);
  EXPECT_TRUE(equalizer->DataTimerResting());
  EXPECT_EQ(GetSkinControlValue(EqualizerForm_EQLeftVolLevelCanvas), 0) << "rests only once the meters fell";

  // The windows coming back, a mode or the meters switched: their data may be behind.
  equalizer->hide();
  equalizer->show();
  EXPECT_TRUE(equalizer->DataTimer().isActive());
  Ticks(2);
  ASSERT_TRUE(equalizer->DataTimerResting());
  MultimediaSkin()[EqualizerForm_EQGraphicsEffectsCanvas].Control_LeftClickProcedure();
  EXPECT_TRUE(equalizer->DataTimer().isActive());
  Ticks(2);
  ASSERT_TRUE(equalizer->DataTimerResting());
  MultimediaSkin()[EqualizerForm_EQLeftVolLevelCanvas].Control_LeftClickProcedure();
  EXPECT_TRUE(equalizer->DataTimer().isActive());

  // Disabled at exit: nothing wakes it any more.
  deck->EnableWindowTimers(false);
  PlayTone();
  EXPECT_FALSE(equalizer->DataTimer().isActive());
}

TEST_F(EqualizerWindow, DraggingABandShowsItsReadoutOnTheArtistLineUntilRelease) {
  SetSkinControlText(DeckForm_SongArtistWindow, "The Artist");
  MultimediaSkin()[DeckForm_SongArtistWindow].Control_ProcessedTextString = "The Artist";
  const QRect track = ControlRect(EqualizerForm_EQBand1Image);
  const QPoint middle = track.center();
  const QPoint top(track.center().x(), track.top() + 1);
  Press(equalizer.get(), middle);
  MoveHeld(equalizer.get(), top);
  EXPECT_EQ(GetSkinControlValue(EqualizerForm_EQBand1Image), 100);
  EXPECT_EQ(MultimediaSkin()[DeckForm_SongArtistWindow].Control_ProcessedTextString, "EQ Band 31 Hz:100%");
  // The deck's 400 ms tick leaves the readout alone during the drag.
  DeckMainTimerTick();
  EXPECT_EQ(MultimediaSkin()[DeckForm_SongArtistWindow].Control_ProcessedTextString, "EQ Band 31 Hz:100%");
  Release(equalizer.get(), top);
  EXPECT_EQ(MultimediaSkin()[DeckForm_SongArtistWindow].Control_ProcessedTextString, "The Artist");
  // The engine built the band's hint, which is now the slider's hint.
  EXPECT_EQ(Engine().Sliders.Bands[0], 100);
  EXPECT_EQ(GetSkinControlText(EqualizerForm_EQBand1Image), "EQ Band 31 Hz:100%");

  // The deck's own sliders: volume in percent, pitch in semitones.
  const QRect volume = ControlRect(DeckForm_VolumeImage);
  Press(deck.get(), QPoint(volume.left() + volume.width() * 3 / 4, volume.center().y()));
  EXPECT_EQ(MultimediaSkin()[DeckForm_SongArtistWindow].Control_ProcessedTextString,
            std::to_string(GetSkinControlValue(DeckForm_VolumeImage)) + "%");
  Release(deck.get(), QPoint(volume.left() + volume.width() * 3 / 4, volume.center().y()));
  const QRect pitch = ControlRect(DeckForm_PitchImage);
  const QPoint pitchLow = MultimediaSkin()[DeckForm_PitchImage].Control_Direction
                              ? QPoint(pitch.center().x(), pitch.bottom())
                              : QPoint(pitch.left() + 1, pitch.center().y());
  Press(deck.get(), pitchLow);
  EXPECT_EQ(MultimediaSkin()[DeckForm_SongArtistWindow].Control_ProcessedTextString, "-24 semitones");
  Release(deck.get(), pitchLow);
  EXPECT_EQ(MultimediaSkin()[DeckForm_SongArtistWindow].Control_ProcessedTextString, "The Artist");
}

}  // namespace
