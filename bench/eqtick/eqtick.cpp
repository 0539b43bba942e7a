// Times the equalizer window's 20 ms tick in UI-thread CPU time.
// First, the painting alone: the effect data and meter values are written, then the
// equalizer canvas, both level meters and the deck canvas are painted into window-sized back
// buffers (the equalizer canvas with the Default skin, the deck canvas with the Winamp
// catalogue, whose spectrum areas sit on the deck); every pair of content modes.
// Second, the whole tick on the real windows while a tone made by sox plays on the
// no-sound device: the level and the engine data fetched, the data of both canvases' modes
// prepared, and the repaints the tick asks for carried out; every pair of modes the Default
// skin offers. Target: the slowest pair's median under 1 ms.
// Third, the process's CPU share (all threads, mixer included) while the tone plays
// with the 20 ms timer running for 10 s, once with the equalizer window hidden and once
// shown (meters on, spectrum on its canvas): the rise must stay under 0.5 % of a core.
// Exit status 1 when a target is missed. "bench_eqtick rise" runs the third part alone.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <chrono>
#include <sys/resource.h>
#include <vector>

#include "DefaultSkinSupport.h"
#include "DefaultSkinnedWindows.h"
#include "app/EqualizerWindowData.h"
#include "engine/BASSAPI.h"
#include "TestSupport.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplays.h"
#include "skin/KELDARSkinEffectCanvas.h"
#include "skin/KELDARSkinLevelMeters.h"
#include "util/ProgramFolders.h"

namespace {

// What the timer writes: spectrum-like levels that move every tick.
void WriteEffectData(int tick) {
  TKELDARSkinEffectData& d = KELDARSkinEffectData();
  const auto level = [tick](int i, int period) {
    const double x = 0.5 + 0.5 * std::sin(0.37 * tick + 0.11 * i) * std::cos(0.05 * i * period);
    return static_cast<std::int32_t>(std::lround(std::sqrt(std::clamp(x, 0.0, 1.0)) * 100));
  };
  for (int i = 0; i < 10; ++i) d.BandLevels[static_cast<std::size_t>(i)] = level(i, 10);
  for (int i = 0; i < 128; ++i) d.SpectrumLevels[static_cast<std::size_t>(i)] = level(i, 128);
  for (int i = 0; i < 64; ++i) d.ChannelSpectrumLevels[static_cast<std::size_t>(i)] = {level(i, 64), level(i + 7, 64)};
  for (int i = 0; i < 512; ++i) d.WaveformValues[static_cast<std::size_t>(i)] = level(i, 512);
  for (int i = 0; i < 256; ++i)
    d.ChannelWaveformValues[static_cast<std::size_t>(i)] = {level(i, 256), level(i + 3, 256)};
  SetSkinControlCurrentValue(EqualizerForm_EQLeftVolLevelCanvas, level(1, 1));
  SetSkinControlCurrentValue(EqualizerForm_EQRightVolLevelCanvas, level(2, 1));
}

struct TTiming {
  double Median = 0, P99 = 0, Worst = 0;
};

template <typename Work>
TTiming Time(int rounds, Work work) {
  std::vector<double> us;
  us.reserve(static_cast<std::size_t>(rounds));
  // Thread CPU time: what the tick costs the UI thread, whatever else the machine runs.
  const auto now = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
  };
  for (int i = 0; i < rounds; ++i) {
    const double t0 = now();
    work(i);
    us.push_back(now() - t0);
  }
  if (us.empty()) return {};
  std::sort(us.begin(), us.end());
  return {us[us.size() / 2], us[us.size() * 99 / 100], us.back()};
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TTempFolder program;
  TQuietSkinWindows windows;
  LoadDefaultSkinForTesting(program.Path(), windows);

  MultimediaSkinStructure winamp;
  TSkinControlsLists winampLists;
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Winamp, winamp, winampLists);
  TKELDARLoadedSkin deckLoaded = LoadedKELDARSkin();  // the Default bitmaps under the Winamp geometry
  deckLoaded.Kind = skWinampFolder;

  const bool riseOnly = argc > 1 && std::string(argv[1]) == "rise";
  QImage equalizer(300, 130, QImage::Format_RGB32), deck(300, 130, QImage::Format_RGB32);
  const int rounds = riseOnly ? 0 : 2000;
  const TTiming write = Time(rounds, [](int i) { WriteEffectData(i); });
  std::printf("effect data write            median %7.1f us  p99 %7.1f us  worst %7.1f us\n", write.Median, write.P99,
              write.Worst);

  const TTiming meters = Time(rounds, [&](int i) {
    WriteEffectData(i);
    QPainter p(&equalizer);
    PaintKELDARSkinLevelMeter(p, TKELDARSkinnedWindow::Equalizer, EqualizerForm_EQLeftVolLevelCanvas);
    PaintKELDARSkinLevelMeter(p, TKELDARSkinnedWindow::Equalizer, EqualizerForm_EQRightVolLevelCanvas);
  });
  std::printf("both level meters            median %7.1f us  p99 %7.1f us  worst %7.1f us\n", meters.Median,
              meters.P99, meters.Worst);

  double worstTick = 0;
  for (int eqMode = 1; eqMode <= 6; ++eqMode) {
    for (int deckMode : {2, 3, 5}) {
      const TTiming tick = Time(rounds, [&](int i) {
        WriteEffectData(i);
        {
          QPainter p(&equalizer);
          PaintKELDARSkinEffectCanvasMode(p, TKELDARSkinnedWindow::Equalizer, EqualizerForm_EQGraphicsEffectsCanvas, eqMode,
                                          MultimediaSkin(), LoadedKELDARSkin(), KELDARSkinEffectData());
          PaintKELDARSkinLevelMeter(p, TKELDARSkinnedWindow::Equalizer, EqualizerForm_EQLeftVolLevelCanvas);
          PaintKELDARSkinLevelMeter(p, TKELDARSkinnedWindow::Equalizer, EqualizerForm_EQRightVolLevelCanvas);
        }
        QPainter p(&deck);
        PaintKELDARSkinEffectCanvasMode(p, TKELDARSkinnedWindow::Deck, DeckForm_GraphicsEffectsCanvas, deckMode, winamp,
                                        deckLoaded, KELDARSkinEffectData());
      });
      std::printf("tick: equalizer mode %d, deck mode %d  median %7.1f us  p99 %7.1f us  worst %7.1f us\n", eqMode,
                  deckMode, tick.Median, tick.P99, tick.Worst);
      worstTick = std::max(worstTick, tick.Median);
    }
  }
  std::printf("slowest painting (median thread CPU time): %.1f us\n", worstTick);

  // ---- second: the whole tick on the real windows with the engine playing ----
  const std::string tone = program / "tone.wav";
  if (std::system(("sox -n -r 44100 -c 2 -b 16 '" + tone + "' synth 60 sine 200-8000 sine 100-4000 gain -6 >/dev/null 2>&1")
                      .c_str()) != 0) {
    std::fprintf(stderr, "sox is needed\n");
    return 1;
  }
  ::setenv("KELDAR_MESSAGE_LOG", (program / "messages.log").c_str(), 1);
  TDefaultSkinnedWindows real(program.Path());
  BASSAPI_SetOutputDevice(0);
  RegisterBASSAPIBackend();
  if (!SelectAudioAPI(1) || !KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction())
    return 1;
  auto& ops = KELDAR_AUDIOVIDEO_API_Slots();
  ops.BuildSupportedFileTypes();
  KELDAR_AUDIOVIDEO_API_State().CurrentFileName = tone;
  if (!ops.CreateStream()) return 1;
  ops.Play();
  SetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas, true);
  SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, true);
  real.Deck.show();
  real.Equalizer.show();
  QApplication::processEvents();

  double slowestWhole = 0;
  int slowestDeck = 0, slowestEq = 0;
  for (int deckMode = 0; deckMode <= 7 && !riseOnly; ++deckMode) {
    if (!KELDARSkinEffectModeAvailable(DeckForm_GraphicsEffectsCanvas, deckMode)) continue;
    for (int eqMode = 0; eqMode <= 7; ++eqMode) {
      if (!KELDARSkinEffectModeAvailable(EqualizerForm_EQGraphicsEffectsCanvas, eqMode)) continue;
      SetKELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas, deckMode);
      SetKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, eqMode);
      const TTiming whole = Time(100, [&](int) {
        // A tick's worth of new sound first (sleeping costs no thread CPU time), so that
        // every measured tick has a moving picture to draw again.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EqualizerWindowDataTick(&real.Deck, &real.Equalizer);
        QApplication::processEvents();  // the repaints the tick asked for
      });
      std::printf("whole tick: deck mode %d, equalizer mode %d  median %7.1f us  p99 %7.1f us  worst %7.1f us\n",
                  deckMode, eqMode, whole.Median, whole.P99, whole.Worst);
      if (whole.Median > slowestWhole) {
        slowestWhole = whole.Median;
        slowestDeck = deckMode;
        slowestEq = eqMode;
      }
    }
  }
  std::printf("slowest whole tick (median thread CPU time): %.1f us (deck mode %d, equalizer mode %d), target 1000 us\n",
              slowestWhole, slowestDeck, slowestEq);

  // ---- third: the process's CPU with the equalizer window hidden and shown ----
  const auto processCpuSeconds = [] {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  };
  const auto threadCpuSeconds = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
  };
  struct TShare {
    double Process = 0, UiThread = 0;
  };
  const auto playFor = [&](int ms) {
    // From the start of the tone each time: the sound must not run out during a turn.
    ops.Stop();
    ops.FreeStreams();
    if (!ops.CreateStream()) return TShare{};
    ops.Play();
    real.Equalizer.EnableTimer(true);
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = processCpuSeconds(), ui0 = threadCpuSeconds();
    QEventLoop loop;  // the program's own event loop: idle costs nothing
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
    TShare share{(processCpuSeconds() - cpu0) / seconds * 100.0, (threadCpuSeconds() - ui0) / seconds * 100.0};
    real.Equalizer.EnableTimer(false);
    return share;
  };
  SetKELDARSkinEffectMode(DeckForm_GraphicsEffectsCanvas, 7);  // the default: the deck canvas rests
  SetKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 3);
  // Hidden and shown in turns, so that the machine's other load falls on both alike.
  TShare hidden, shown;
  const int turns = 4;
  for (int round = 0; round < turns; ++round) {
    real.Equalizer.hide();
    const TShare h = playFor(5000);
    real.Equalizer.show();
    const TShare s = playFor(5000);
    std::printf("  round %d: hidden process %.2f %% (UI thread %.2f %%), shown process %.2f %% (UI thread %.2f %%)\n",
                round + 1, h.Process, h.UiThread, s.Process, s.UiThread);
    hidden.Process += h.Process / turns;
    hidden.UiThread += h.UiThread / turns;
    shown.Process += s.Process / turns;
    shown.UiThread += s.UiThread / turns;
  }
  std::printf("process CPU while playing: equalizer hidden %.2f %%, shown %.2f %% of a core (rise %.2f, target 0.5)\n",
              hidden.Process, shown.Process, shown.Process - hidden.Process);
  std::printf("UI thread CPU while playing: equalizer hidden %.2f %%, shown %.2f %% of a core (rise %.2f)\n",
              hidden.UiThread, shown.UiThread, shown.UiThread - hidden.UiThread);
  ops.Stop();
  ops.UnloadAudioAPI();
  const bool ok = worstTick < 2000.0 && slowestWhole < 1000.0 && shown.Process - hidden.Process <= 0.5;
  return ok ? 0 : 1;
}
