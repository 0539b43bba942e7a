// Times one 20 ms equalizer tick of the display side: the effect data and meter values are
// written, then the equalizer canvas, both level meters and the deck canvas are painted into
// window-sized back buffers, measured in UI-thread CPU time. The equalizer canvas uses the
// Default skin; the deck canvas the Winamp catalogue, whose spectrum areas sit on the deck.
// Every pair of content modes is timed; the slowest median is the tick. Target: under 2 ms.
// Exit status 1 when missed.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "DefaultSkinSupport.h"
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
  std::sort(us.begin(), us.end());
  return {us[us.size() / 2], us[us.size() * 99 / 100], us.back()};
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  TTempFolder program;
  TQuietSkinWindows windows;
  LoadDefaultSkinForTesting(program.Path(), windows);

  MultimediaSkinStructure winamp;
  TSkinControlsLists winampLists;
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Winamp, winamp, winampLists);
  TKELDARLoadedSkin deckLoaded = LoadedKELDARSkin();  // the Default bitmaps under the Winamp geometry
  deckLoaded.Kind = skWinampFolder;

  QImage equalizer(300, 130, QImage::Format_RGB32), deck(300, 130, QImage::Format_RGB32);
  const int rounds = 2000;
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
  std::printf("slowest tick (median thread CPU time): %.1f us, target 2000 us\n", worstTick);
  return worstTick < 2000.0 ? 0 : 1;
}
