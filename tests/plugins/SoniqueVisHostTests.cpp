// The visualization host against small plug-ins of our own: call order, data conversion,
// time stamps, resizing, settings, frame hand-over and hostile libraries.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#include "TestSupport.h"
#include "TestVisPluginState.h"
#include "plugins/PluginCallGuard.h"
#include "plugins/SoniqueVisPlugin_API.h"
#include "util/ProgramFolders.h"

namespace {

using namespace std::chrono_literals;

// Polls until the condition holds or a generous time passed (the machine is shared).
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

class SoniqueVisHost : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolderForTesting(folder.Path());
    // Holding the library ourselves keeps one instance for the host and for us.
    library = dlopen(KELDAR_TEST_VIS_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    state = reinterpret_cast<TTestVisPluginStateProc>(dlsym(library, "TestVisPluginState"))();
    state->Reset();
    SoniqueVisPluginHooks() = {};
    ResetVisTimeStamp();
    SetVisPictureSize(256, 256);
  }
  void TearDown() override {
    StopVisPlugin();
    SoniqueVisPluginHooks() = {};
    if (library) dlclose(library);
  }

  void StartAndWaitForFrames(int frames) {
    StartVisPlugin(KELDAR_TEST_VIS_PLUGIN);
    ASSERT_TRUE(SoniqueVisPluginStatus().InfoPresent);
    ASSERT_TRUE(WaitFor([&] { return state->RenderCount >= frames; }));
  }

  TTempFolder folder;
  void* library = nullptr;
  TTestVisPluginState* state = nullptr;
};

TEST_F(SoniqueVisHost, OneActivationCallsTheEntriesInTheirOrder) {
  StartAndWaitForFrames(2);
  VisPluginClicked(12, 34, 1);
  EXPECT_TRUE(SoniqueVisPluginStatus().LastResult);
  const int before = state->RenderCount;
  ASSERT_TRUE(WaitFor([&] { return state->RenderCount >= before + 2; }));
  StopVisPlugin();

  const std::string calls = state->CallsSoFar();
  ASSERT_GE(calls.size(), 7u) << calls;
  EXPECT_EQ(calls.substr(0, 4), "QOIR") << calls;
  EXPECT_EQ(calls.substr(calls.size() - 3), "RSD") << calls;
  EXPECT_EQ(calls.find_first_not_of("RC", 3), calls.size() - 2) << "only frames and clicks in between: " << calls;
  EXPECT_NE(calls.find('C'), std::string::npos);
  EXPECT_EQ(state->ClickX, 12);
  EXPECT_EQ(state->ClickY, 34);
  EXPECT_EQ(state->ClickButtons, 1);
  EXPECT_EQ(state->SettingsPathSeen, folder / "vis.ini");
  EXPECT_EQ(state->Width, 256);
  EXPECT_EQ(state->Pitch, 256);

  const TSoniqueVisPluginStatus s = SoniqueVisPluginStatus();
  EXPECT_FALSE(s.Loaded);
  EXPECT_FALSE(s.Running);
  EXPECT_FALSE(s.ThreadAlive);
  EXPECT_FALSE(s.InfoPresent);
  const int after = state->RenderCount;
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(state->RenderCount, after) << "no frame after the stop";
}

TEST_F(SoniqueVisHost, AVersionZeroPluginNeverGetsClicks) {
  state->Version = 0;
  StartAndWaitForFrames(1);
  VisPluginClicked(1, 1, 1);
  EXPECT_FALSE(SoniqueVisPluginStatus().LastResult);
  StopVisPlugin();
  EXPECT_EQ(state->CallsSoFar().find('C'), std::string::npos);
  EXPECT_EQ(state->ClickButtons, -1);
}

TEST_F(SoniqueVisHost, OnlyTheRequestedDataIsWrittenAndConverted) {
  state->RequiredData = VIS_REQUIRES_SPECTRUM;
  std::atomic<int> waveformCalls{0};
  SoniqueVisPluginHooks().GetWaveformData = [&](float* s) {
    ++waveformCalls;
    for (int i = 0; i < 512; ++i) s[i] = 0.5f;
  };
  SoniqueVisPluginHooks().GetSpectrumData = [](float* m) {
    for (int i = 0; i < 256; ++i) {
      m[2 * i] = 0.25f;       // sqrt 0.5 x 127 = 63.5: ties go to the even 64
      m[2 * i + 1] = 0.01f;   // 0.1 x 127 = 12.7 -> 13
    }
    m[2 * 7] = 4.0f;  // 2 x 127 = 254 stays a byte
  };
  StartAndWaitForFrames(3);
  StopVisPlugin();
  EXPECT_EQ(waveformCalls, 0);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 512; ++i) ASSERT_EQ(state->LastData.Waveform[c][i], 0) << c << " " << i;
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(state->LastData.Spectrum[0][i], i == 7 ? 254 : 64) << i;
    ASSERT_EQ(state->LastData.Spectrum[1][i], 13) << i;
  }
}

TEST_F(SoniqueVisHost, WaveformStretchesTheFramesOverTwiceAsManyIndices) {
  state->RequiredData = VIS_REQUIRES_WAVEFORM;
  // Frame k carries a value that names it exactly: (k % 100) - 50 on the left, negated right.
  SoniqueVisPluginHooks().GetWaveformData = [](float* s) {
    for (int k = 0; k < 256; ++k) {
      s[2 * k] = static_cast<float>((k % 100) - 50) / 127.0f;
      s[2 * k + 1] = -static_cast<float>((k % 100) - 50) / 127.0f;
    }
  };
  StartAndWaitForFrames(2);
  StopVisPlugin();
  const int expectedFrames[] = {0, 0, 1, 2, 2, 2, 3, 4, 4, 4};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(state->LastData.Waveform[0][i], (expectedFrames[i] % 100) - 50) << i;
  for (int i = 0; i < 512; ++i) {
    const int k = std::min(255, static_cast<int>(std::nearbyint(i * 0.5)));
    ASSERT_EQ(state->LastData.Waveform[0][i], (k % 100) - 50) << i;
    ASSERT_EQ(state->LastData.Waveform[1][i], -((k % 100) - 50)) << i;
  }
  EXPECT_EQ(state->LastData.Waveform[0][511], (255 % 100) - 50) << "the last index reads frame 255";
  for (int i = 0; i < 256; ++i) ASSERT_EQ(state->LastData.Spectrum[0][i], 0);
}

TEST_F(SoniqueVisHost, MillisecondsCountFramesAtThePlayingRateAndRestartWithoutOne) {
  std::atomic<uint32_t> rate{44100};
  SoniqueVisPluginHooks().SamplingRate = [&] { return rate.load(); };
  StartAndWaitForFrames(40);
  for (int n = 0; n < 40; ++n) {
    const long double exact = (n + 1) * 512000.0L / 44100.0L;
    EXPECT_EQ(state->Milliseconds[n], static_cast<uint32_t>(std::nearbyint(exact))) << n;
  }
  EXPECT_EQ(state->Milliseconds[0], 12u);
  EXPECT_EQ(state->Milliseconds[1], 23u);
  rate = 0;
  int seen = state->RenderCount;
  ASSERT_TRUE(WaitFor([&] { return state->RenderCount >= seen + 2; }));
  StopVisPlugin();
  EXPECT_EQ(state->LastData.Milliseconds, 0u);
}

TEST_F(SoniqueVisHost, AStoppedPlayerRestsAfterASecondButClicksAndPlaybackDrawAgain) {
  std::atomic<uint32_t> rate{0};
  std::atomic<int> rateLooks{0};
  SoniqueVisPluginHooks().SamplingRate = [&] {
    ++rateLooks;
    return rate.load();
  };
  StartAndWaitForFrames(40);
  std::this_thread::sleep_for(1500ms);
  const int resting = state->RenderCount;
  const int looks = rateLooks;
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(state->RenderCount, resting) << "nothing plays: no frames after the picture settled";
  EXPECT_EQ(rateLooks, looks) << "a resting thread does not wake by itself";

  VisPluginClicked(5, 5, 1);
  ASSERT_TRUE(WaitFor([&] { return state->RenderCount == resting + 1; }, 2s));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(state->RenderCount, resting + 1) << "a click asks for one new picture";

  // The player wakes the thread when its state changes: still nothing playing, no picture.
  const int looksBeforeWake = rateLooks;
  WakeVisPlugin();
  ASSERT_TRUE(WaitFor([&] { return rateLooks > looksBeforeWake; }, 2s));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(state->RenderCount, resting + 1) << "a wake-up while nothing plays draws nothing";

  rate = 44100;
  WakeVisPlugin();
  ASSERT_TRUE(WaitFor([&] { return state->RenderCount >= resting + 10; }, 3s)) << "playback wakes the thread";
}

TEST_F(SoniqueVisHost, AHiddenMainWindowPausesDrawingButNotTheClock) {
  std::atomic<bool> visible{true};
  std::atomic<int> rateCalls{0};
  SoniqueVisPluginHooks().SamplingRate = [&] {
    ++rateCalls;
    return 44100u;
  };
  SoniqueVisPluginHooks().MainWindowVisible = [&] { return visible.load(); };
  StartAndWaitForFrames(1);
  visible = false;
  std::this_thread::sleep_for(40ms);
  const int frozen = state->RenderCount;
  const int ticks = rateCalls;
  ASSERT_TRUE(WaitFor([&] { return rateCalls >= ticks + 5; }));
  EXPECT_EQ(state->RenderCount, frozen);
  visible = true;
  ASSERT_TRUE(WaitFor([&] { return state->RenderCount > frozen; }));
  StopVisPlugin();
  EXPECT_GE(state->LastData.Milliseconds, static_cast<uint32_t>(11.6 * (ticks + 5))) << "hidden ticks kept counting";
}

TEST_F(SoniqueVisHost, AResizeWaitsForTheFirstShownFrame) {
  state->RenderResult = 0;
  StartAndWaitForFrames(2);
  SetVisPictureSize(100, 50);
  const int seen = state->RenderCount;
  ASSERT_TRUE(WaitFor([&] { return state->RenderCount >= seen + 4; }));
  EXPECT_EQ(state->Width, 256);
  EXPECT_EQ(SoniqueVisPluginStatus().PictureWidth, 256);
  EXPECT_EQ(SoniqueVisPluginStatus().FramesShown, 0u);

  state->RenderResult = 1;
  ASSERT_TRUE(WaitFor([&] { return state->Width == 100; }));
  EXPECT_EQ(state->Height, 50);
  EXPECT_EQ(state->Pitch, 100);
  StopVisPlugin();
  EXPECT_EQ(SoniqueVisPluginStatus().PictureWidth, 100);
  EXPECT_EQ(SoniqueVisPluginStatus().PictureHeight, 50);

  // The size outlives the plug-in within the run.
  state->Reset();
  StartAndWaitForFrames(1);
  EXPECT_EQ(state->Width, 100);
  EXPECT_EQ(state->Height, 50);
}

TEST_F(SoniqueVisHost, SettingsWrittenAtStopAreReadBackAtTheNextStart) {
  state->StoredValue = 42;
  StartAndWaitForFrames(1);
  StopVisPlugin();
  EXPECT_NE(ReadTextFile(folder / "vis.ini").find("value=42"), std::string::npos);
  state->Reset();
  StartVisPlugin(KELDAR_TEST_VIS_PLUGIN);
  EXPECT_EQ(state->RestoredValue, 42) << "read before InitializeProc: " << state->CallsSoFar();
  EXPECT_EQ(state->CallsSoFar().substr(0, 3), "QOI");
}

TEST_F(SoniqueVisHost, WithoutInitializeProcNothingIsDrawnAndTheThreadEnds) {
  state->WithInitialize = false;
  StartVisPlugin(KELDAR_TEST_VIS_PLUGIN);
  EXPECT_TRUE(SoniqueVisPluginStatus().InfoPresent);
  ASSERT_TRUE(WaitFor([] { return !SoniqueVisPluginStatus().ThreadAlive; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(state->RenderCount, 0);
  EXPECT_FALSE(SoniqueVisPluginStatus().Initialized);
  StopVisPlugin();
  EXPECT_EQ(state->CallsSoFar(), "Q") << "never initialised, so neither settings nor release calls";
}

TEST_F(SoniqueVisHost, TheClearBitBlanksThePictureBeforeEachFrameOtherwiseItIsKept) {
  state->RequiredData = VIS_REQUIRES_CLEAR;
  StartAndWaitForFrames(3);
  StopVisPlugin();
  EXPECT_EQ(state->FirstPixelBeforeDrawing, 0u);

  state->Reset();
  state->RequiredData = 0;
  StartAndWaitForFrames(3);
  StopVisPlugin();
  EXPECT_EQ(state->FirstPixelBeforeDrawing, 0x00FF0000u) << "last frame's pixels stay";
}

// The UI side: frames nobody draws yet never hold the render thread; the UI then draws the
// newest frame whole and opaque, and nothing once the plug-in has stopped.
TEST_F(SoniqueVisHost, UndrawnFramesNeverHoldTheRenderThreadAndTheNewestIsDrawnWhole) {
  std::atomic<int> ready{0};
  SoniqueVisPluginHooks().FrameReady = [&] { ++ready; };
  state->Fill = 0x00123456;
  StartVisPlugin(KELDAR_TEST_VIS_PLUGIN);
  ASSERT_TRUE(WaitFor([&] { return state->RenderCount >= 4; })) << "the render thread waited for the drawing";
  EXPECT_GE(ready, 3) << "every finished frame is announced";
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
  ASSERT_TRUE(TakePendingVisFrame(pixels, width, height));
  EXPECT_EQ(width, 256);
  EXPECT_EQ(height, 256);
  ASSERT_EQ(pixels.size(), 256u * 256u);
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFF123456u), 256 * 256)
      << "the plug-in's own pixels, made opaque, over the whole frame";
  // The vector handed back is filled with a later frame, never shared with the one taken.
  std::vector<uint32_t> later;
  ASSERT_TRUE(WaitFor([&] { return TakePendingVisFrame(later, width, height); }));
  EXPECT_NE(later.data(), pixels.data());
  StopVisPlugin();
  EXPECT_FALSE(TakePendingVisFrame(pixels, width, height)) << "nothing after the stop";
}

// The pause between frames holds through stops and starts: a stop ends the thread at once,
// even mid-pause, and leaves nothing that would cut the next activation's pauses short.
TEST_F(SoniqueVisHost, StopsEndThePauseAtOnceAndTheNextActivationKeepsItsPace) {
  SoniqueVisPluginHooks().SamplingRate = [] { return 44100u; };
  for (int activation = 0; activation < 3; ++activation) {
    StartAndWaitForFrames(state->RenderCount + 2);
    const auto stopAsked = std::chrono::steady_clock::now();
    StopVisPlugin();
    EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, 100ms) << "activation " << activation;
  }
  StartAndWaitForFrames(state->RenderCount + 1);
  const int before = state->RenderCount;
  std::this_thread::sleep_for(300ms);
  const int frames = state->RenderCount - before;
  // 15 ms a frame: at most about 20 in 300 ms. A pause that no longer waits draws hundreds.
  EXPECT_LE(frames, 24);
  EXPECT_GE(frames, 3) << "the thread kept drawing";
}

TEST(SoniqueVisPixels, CopiesAreOpaqueWhateverTheTopByteAndTheCount) {
  const uint32_t from[5] = {0x00123456, 0x7FABCDEF, 0xFF000000, 0x00000000, 0x80FFFFFF};
  uint32_t to[6] = {1, 2, 3, 4, 5, 0xCAFE};
  CopyVisPixelsOpaque(to, from, 5);
  EXPECT_EQ(to[0], 0xFF123456u);
  EXPECT_EQ(to[1], 0xFFABCDEFu);
  EXPECT_EQ(to[2], 0xFF000000u);
  EXPECT_EQ(to[3], 0xFF000000u);
  EXPECT_EQ(to[4], 0xFFFFFFFFu) << "the odd last pixel";
  EXPECT_EQ(to[5], 0xCAFEu) << "nothing past the count";
}

TEST_F(SoniqueVisHost, HostileLibrariesStartNothingAndTheHostCarriesOn) {
  WriteTextFile(folder / "text.svp", "not a library");
  StartVisPlugin(folder / "text.svp");
  EXPECT_FALSE(SoniqueVisPluginStatus().Loaded);
  EXPECT_FALSE(SoniqueVisPluginStatus().Running);
  EXPECT_EQ(QueryVisPluginInfo(folder / "text.svp").PluginName, "");

  StartVisPlugin(KELDAR_TEST_NOQUERY_VIS_PLUGIN);
  EXPECT_FALSE(SoniqueVisPluginStatus().Loaded) << "released again without QueryModule";
  const TQueriedVisPluginInfo none = QueryVisPluginInfo(KELDAR_TEST_NOQUERY_VIS_PLUGIN);
  EXPECT_EQ(none.PluginName, "");
  EXPECT_EQ(none.Version, 0u);
  EXPECT_EQ(none.RequiredData, 0);

  state->QueryReturnsNull = true;
  StartVisPlugin(KELDAR_TEST_VIS_PLUGIN);
  EXPECT_FALSE(SoniqueVisPluginStatus().InfoPresent);
  EXPECT_FALSE(SoniqueVisPluginStatus().Running);

  state->Reset();
  state->UnterminatedName = true;
  const TQueriedVisPluginInfo cut = QueryVisPluginInfo(KELDAR_TEST_VIS_PLUGIN);
  EXPECT_LE(cut.PluginName.size(), 100u);
  EXPECT_EQ(cut.PluginName.find_first_not_of('N'), std::string::npos);
  EXPECT_EQ(cut.Version, 1u);
  StartAndWaitForFrames(1);
  EXPECT_EQ(SoniqueVisPluginStatus().PluginName, cut.PluginName);
  StopVisPlugin();
}

TEST_F(SoniqueVisHost, ACrashInRenderProcFailsTheFrameAndTheHostStopsCallingIt) {
  const unsigned long crashes = GuardedPluginCrashCount();
  state->CrashInRender = true;
  StartVisPlugin(KELDAR_TEST_VIS_PLUGIN);
  ASSERT_TRUE(WaitFor([] { return SoniqueVisPluginStatus().Unusable; }));
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(GuardedPluginCrashCount(), crashes + 1);
  EXPECT_TRUE(SoniqueVisPluginStatus().Running);
  VisPluginClicked(1, 1, 1);
  StopVisPlugin();
  EXPECT_EQ(state->CallsSoFar(), "QOIR") << "a crashed plug-in gets no further calls";
  EXPECT_FALSE(SoniqueVisPluginStatus().Loaded);

  // The next plug-in starts afresh.
  state->Reset();
  StartAndWaitForFrames(2);
  EXPECT_FALSE(SoniqueVisPluginStatus().Unusable);
}

TEST_F(SoniqueVisHost, NamesRelativeToTheVisPluginsFolder) {
  std::filesystem::create_directories(folder / "visplugins/default");
  WriteTextFile(folder / "visplugins/default/a.svp", "x");
  WriteTextFile(folder / "visplugins/b.SVP", "x");
  WriteTextFile(folder / "visplugins/readme.txt", "x");
  const std::string full = folder / "visplugins/default/a.svp";
  EXPECT_EQ(VisPluginFullPath("default/a.svp"), full);
  EXPECT_EQ(VisPluginFullPath("default/a.svp/"), full) << "a trailing separator names the same file";
  EXPECT_EQ(VisPluginRelativeName(full), "default/a.svp");
  EXPECT_EQ(VisPluginRelativeName(full + "/"), "default/a.svp");
  const std::vector<std::string> files = FindVisPluginFiles();
  ASSERT_GE(files.size(), 2u);
  EXPECT_EQ(files[0], folder / "visplugins/b.SVP") << "a folder's own files before its sub-folders'";
  EXPECT_EQ(files[1], full);
  for (const auto& f : files) EXPECT_EQ(f.find("readme"), std::string::npos);
}

}  // namespace
