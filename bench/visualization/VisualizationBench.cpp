// Three figures of the visualization plug-ins:
// 1. The host's work per frame at 512 x 512 with a plug-in that draws nothing and wants all
//    data and the clear: data conversion, clearing, copying and handing the frame to a "UI"
//    thread that takes it (render thread CPU between RenderProcs + the UI side's take).
//    Target: under 0.3 ms.
// 2. keldarallinone's artwork effect at 512 x 512 with a 1000 x 1000 JPEG cover: the first
//    frame (the cover is decoded) and the median of the following ones. Target: under 3 ms.
// 3. The CPU share of the whole keldar3 process over 10 s while a tone plays on the no-sound
//    device and the template plug-in draws into a 256 x 256 drawing area (reported).
// Exit status 1 when a target is missed.
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "PlayerProcess.h"
#include "ProcessCpuShare.h"
#include "TestSupport.h"
#include "allinone/SoniqueVisTemplateUnit.h"
#include "plugins/SoniqueVisPlugin_API.h"
#include "plugins/ZorvanePlayerApiSharedRecord.h"
#include "util/ProgramFolders.h"

namespace {

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// 1.
double HostOverheadMs() {
  void* library = dlopen(KELDAR_BENCH_NULL_VIS_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  if (!library) return -1;
  auto clock = reinterpret_cast<void (*)(double*, uint64_t*)>(dlsym(library, "NullVisPluginClock"));
  TSoniqueVisPluginHooks& hooks = SoniqueVisPluginHooks();
  hooks.GetWaveformData = [](float* s) {
    for (int i = 0; i < 512; ++i) s[i] = static_cast<float>((i % 37) - 18) / 19.0f;
  };
  hooks.GetSpectrumData = [](float* m) {
    for (int i = 0; i < 512; ++i) m[i] = static_cast<float>(i % 50) / 60.0f;
  };
  hooks.SamplingRate = [] { return 44100u; };
  // The "UI thread": takes every frame into an image of its own, as the paint box does.
  std::mutex m;
  std::condition_variable cv;
  int ready = 0;
  hooks.FrameReady = [&] {
    std::lock_guard lock(m);
    ++ready;
    cv.notify_one();
  };
  std::atomic<bool> done{false};
  double uiCpu = 0;
  uint64_t uiFrames = 0;
  std::thread ui([&] {
    std::vector<uint32_t> image;
    const double start = ThreadCpuSeconds();
    while (!done) {
      std::unique_lock lock(m);
      if (!cv.wait_for(lock, std::chrono::milliseconds(50), [&] { return ready > 0; })) continue;
      --ready;
      lock.unlock();
      int w = 0, h = 0;
      if (TakePendingVisFrame(image, w, h)) ++uiFrames;
    }
    uiCpu = ThreadCpuSeconds() - start;
  });
  SetVisPictureSize(512, 512);
  StartVisPlugin(KELDAR_BENCH_NULL_VIS_PLUGIN);
  // The size takes effect after the first shown frame; measure from the tenth on.
  double cpu0 = 0, cpu1 = 0;
  uint64_t f0 = 0, f1 = 0;
  for (int i = 0; i < 200 && f0 < 10; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    clock(&cpu0, &f0);
  }
  const double uiStartFrames = static_cast<double>(uiFrames);
  std::this_thread::sleep_for(std::chrono::seconds(4));
  clock(&cpu1, &f1);
  StopVisPlugin();
  done = true;
  ui.join();
  hooks = {};
  dlclose(library);
  if (f1 <= f0) return -1;
  const double renderMs = (cpu1 - cpu0) / static_cast<double>(f1 - f0) * 1000.0;
  const double uiMs = uiFrames > 0 ? uiCpu / static_cast<double>(uiFrames) * 1000.0 : 0;
  std::printf("host at 512x512: %llu frames; render thread %.3f ms, UI take %.3f ms per frame (%.0f UI frames)\n",
              static_cast<unsigned long long>(f1 - f0), renderMs, uiMs, static_cast<double>(uiFrames) - uiStartFrames);
  return renderMs + uiMs;
}

// 2.
bool ArtworkEffectMs(double& firstMs, double& medianMs) {
  TTempFolder dir;
  QImage cover(1000, 1000, QImage::Format_RGB32);
  for (int y = 0; y < 1000; ++y)
    for (int x = 0; x < 1000; ++x) cover.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
  if (!cover.save(QString::fromStdString(dir / "Artist - Album.jpg"))) return false;
  ::setenv("ZORVANEPLAYERAPI_RECORD", ("keldar-vis-bench-" + std::to_string(getpid())).c_str(), 1);
  if (!OpenApiSharedMemory()) return false;
  TNowPlayingValues values;
  values.FullPathAndFilename = dir / "song.mp3";
  values.ArtistName = "Artist";
  values.AlbumName = "Album";
  PublishNowPlaying(values);
  PublishNowPlaying(values);
  AllInOneOpenSettingsProc((dir / "vis.ini").c_str());
  AllInOneInitializeProc();
  AllInOneClickedProc(0, 0, 1);
  AllInOneClickedProc(0, 0, 1);  // effect 2: the artwork
  std::vector<uint32_t> pixels(512 * 512);
  VisRenderData data{};
  std::vector<double> times;
  for (int i = 0; i < 301; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    AllInOneRenderProc(pixels.data(), 512, 512, 512, &data);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (i == 0)
      firstMs = ms;
    else
      times.push_back(ms);
  }
  const bool red = (pixels[256 * 512 + 256] & 0xFFFFFF) != 0;
  AllInOneDeinitProc();
  CloseApiSharedMemory();
  medianMs = Median(times);
  return red;
}

// 3.
double PlayerCpuPercent(QSize& area) {
  TTempFolder dir;
  const std::string song = dir / "song.wav";
  if (std::system(("sox -n -r 44100 -c 2 -b 16 '" + song + "' synth 30 pinknoise gain -6 >/dev/null 2>&1").c_str()) != 0)
    return -1;
  std::filesystem::create_directories(dir / "program");
  std::filesystem::create_directories(dir / "runtime");
  std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
  // The frame adds 50 x 48 pixels around the drawing area.
  WriteTextFile(dir / "program/keldar3.ini",
                "[Settings]\nOptions_DeckCurrentVisualEffect=7\nOptions_VisExVisibleState=1\nOptions_VisExWidth=306\n"
                "Options_VisExHeight=304\n");
  ::setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
  ::setenv("ZORVANEPLAYERAPI_RECORD", ("keldar-vis-bench-player-" + std::to_string(getpid())).c_str(), 1);
  const std::string ctl = std::string(KELDAR_PROGRAM_DIR) + "/keldarctl";
  // The drawing area's size from a first player's snapshot; the figure from a second player
  // that writes none (a snapshot is a PNG four times a second, nothing a user's player does).
  const std::string shot = dir / "visuals.png";
  {
    ::setenv("KELDAR_VISUALS_SNAPSHOT", shot.c_str(), 1);
    TPlayerProcess sizer(dir / "program", dir / "runtime", dir / "messages.log");
    const bool started = sizer.Start({song});
    ::unsetenv("KELDAR_VISUALS_SNAPSHOT");
    if (!started) return -1;
    std::system((ctl + " play >/dev/null 2>&1").c_str());
    for (int i = 0; i < 50 && !std::filesystem::exists(shot); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    area = QImage(QString::fromStdString(shot)).size();
    sizer.Terminate();
  }
  TPlayerProcess player(dir / "program", dir / "runtime", dir / "messages.log");
  if (!player.Start({song})) return -1;
  std::system((ctl + " play >/dev/null 2>&1").c_str());
  std::this_thread::sleep_for(std::chrono::seconds(3));
  const double cpu0 = ProcessCpuSeconds(player.Pid());
  const auto t0 = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(10));
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double share = (ProcessCpuSeconds(player.Pid()) - cpu0) / wall * 100.0;
  player.Terminate();
  return share;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  TTempFolder scratch;
  SetProgramFolderForTesting(scratch.Path());
  bool ok = true;

  const double host = HostOverheadMs();
  std::printf("1. host overhead per frame at 512x512: %.3f ms (target < 0.3)\n", host);
  ok = ok && host >= 0 && host < 0.3;

  double first = 0, median = 0;
  const bool drawn = ArtworkEffectMs(first, median);
  std::printf("2. keldarallinone artwork effect at 512x512: first frame (decoding) %.2f ms, then median %.3f ms "
              "(target < 3)%s\n", first, median, drawn ? "" : " - NOT DRAWN");
  ok = ok && drawn && median < 3.0;

  QSize area;
  const double cpu = PlayerCpuPercent(area);
  std::printf("3. keldar3 with the template plug-in in a %dx%d drawing area, playing: %.2f %% of one core\n",
              area.width(), area.height(), cpu);
  return ok ? 0 : 1;
}
