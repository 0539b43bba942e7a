// Plays a generated MP3 on the no-sound device through the deck controller, with the
// built-in skin on a real (off-screen) main window, marquee text effects, title scrolling
// and the now-playing record, and times DeckMainTimerTick as the timer runs it. The UI
// thread's CPU time per tick is the figure that counts (target: under 0.5 ms); the wall
// time, and the tick followed by an immediate repaint of the main window, are shown beside it.
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "DefaultSkinnedWindows.h"
#include "app/DeckController.h"
#include "app/DeckControllerSetup.h"
#include "app/DeckMainTimer.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "playlist/TPlaylist.h"
#include "plugins/ZorvanePlayerApiSharedRecord.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplays.h"

namespace fs = std::filesystem;

namespace {

double ThreadMicros() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

struct TFigures {
  double Median, P99, Worst;
};
TFigures Figures(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back()};
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 100;
  const int intervalMs = argc > 2 ? std::atoi(argv[2]) : 400;
  const fs::path dir = fs::temp_directory_path() / ("keldar_maintimer_" + std::to_string(getpid()));
  fs::create_directories(dir / "skins");
  fs::create_directories(dir / "tempunzipped");
  const std::string wav = (dir / "tone.wav").string(), mp3 = (dir / "tone.mp3").string();
  if (std::system(("sox -n -r 44100 -c 2 '" + wav + "' synth 120 sine 300-3000 gain -6 >/dev/null 2>&1 && "
                   "lame --quiet -b 192 '" + wav + "' '" + mp3 + "'").c_str()) != 0) {
    std::fprintf(stderr, "sox and lame are needed\n");
    return 1;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("KELDAR_MESSAGE_LOG", (dir / "messages.log").c_str(), 1);
  const std::string record = "keldar-bench-maintimer-" + std::to_string(getpid());
  ::setenv("ZORVANEPLAYERAPI_RECORD", record.c_str(), 1);
  QApplication app(argc, argv);
  // The windows and their settings only, not the program's first show.
  TDefaultSkinnedWindows windows(dir.string());
  TDeckForm& deck = windows.Deck;

  BASSAPI_SetOutputDevice(0);
  RegisterBASSAPIBackend();
  if (!SelectAudioAPI(1) || !KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction())
    return 1;
  KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();

  ResetKELDARSkinDisplaysAfterLoad();
  deck.show();
  OpenApiSharedMemory();

  TDeckControllerWindows& hooks = DeckControllerWindows();
  hooks.SetApplicationTitle = [&deck](const std::string& t) { deck.setWindowTitle(QString::fromStdString(t)); };
  hooks.RepaintDeck = [&deck] { deck.update(); };
  hooks.PublishNowPlaying = [] { PublishNowPlaying(DeckNowPlayingValues()); };
  Options_SongArtistWindowTextEffect.IntegerValue = 1;
  Options_SongTitleWindowTextEffect.IntegerValue = 3;
  Options_ApplicationTitleScrolling.BooleanValue = true;
  SetSkinSliderValue(DeckForm_VolumeImage, 100);
  for (auto s : {DeckForm_BalanceImage, DeckForm_PitchImage, EqualizerForm_EQTempoImage, EqualizerForm_EQSampleRateImage})
    SetSkinSliderValue(s, 50);

  TPlayListBoxItem item;
  item.FullPathAndFilename = mp3;
  item.ArtistName = "A rather long artist name that scrolls";
  item.TitleName = "And a title that bounces to and fro";
  ThePlaylist().Add(item);
  DeckPlay();
  if (KELDAR_AUDIOVIDEO_API_State().PlayerState != KELDAR_AUDIOVIDEO_API_psPlaying) return 1;

  std::vector<double> cpu, wall, withPaint;
  for (int i = 0; i < ticks; ++i) {
    app.processEvents();  // the paints the previous tick asked for happen outside the tick
    std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    const double c0 = ThreadMicros();
    const auto w0 = std::chrono::steady_clock::now();
    DeckMainTimerTick();
    const double c1 = ThreadMicros();
    const auto w1 = std::chrono::steady_clock::now();
    deck.repaint();
    const double c2 = ThreadMicros();
    cpu.push_back(c1 - c0);
    wall.push_back(std::chrono::duration<double, std::micro>(w1 - w0).count());
    withPaint.push_back(c2 - c0);
  }
  const TFigures c = Figures(cpu), w = Figures(wall), p = Figures(withPaint);
  std::printf("deck main-timer tick, %d ticks at %d ms, playing an MP3 on the no-sound device:\n", ticks, intervalMs);
  std::printf("  UI-thread CPU  median %.1f us, p99 %.1f us, worst %.1f us (target < 500 us)\n", c.Median, c.P99,
              c.Worst);
  std::printf("  wall time      median %.1f us, p99 %.1f us, worst %.1f us\n", w.Median, w.P99, w.Worst);
  std::printf("  tick + repaint median %.1f us, p99 %.1f us, worst %.1f us (CPU)\n", p.Median, p.P99, p.Worst);
  std::printf("  shown time %s of %s, state %d\n", GetSkinControlText(DeckForm_SongCurrectPlayingTimeWindow).c_str(),
              GetSkinControlText(DeckForm_SongTotalTimeWindow).c_str(), KELDAR_AUDIOVIDEO_API_State().PlayerState);
  DeckStop();
  DeckControllerWindows() = {};
  CloseApiSharedMemory();
  ::shm_unlink(("/" + record).c_str());
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  fs::remove_all(dir);
  return c.Median < 500 ? 0 : 2;
}
