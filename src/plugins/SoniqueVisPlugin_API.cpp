#include "plugins/SoniqueVisPlugin_API.h"

#include <dlfcn.h>
#include <semaphore.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <vector>

#include "plugins/PluginCallGuard.h"
#include "plugins/PluginMemoryGuard.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxPluginName = 256;
constexpr auto kFramePause = std::chrono::milliseconds(15);
// Once nothing has played for about a second the picture of silence has settled: the thread
// then rests until the player wakes it (playback may have started) or a click or a resize
// asks for a new picture, so a stopped player costs nothing.
constexpr int kQuietFramesBeforeRest = 66;

// The one active plug-in. UI-thread fields are plain; what the render thread shares with
// the UI thread is atomic or guarded by frameMutex.
struct THost {
  void* library = nullptr;
  bool infoPresent = false;
  VisPluginInfo info{};  // our copy, taken through the guard at load
  std::string name;
  bool initialized = false;
  std::atomic<bool> running{false};
  std::atomic<bool> lastResult{false};
  std::atomic<bool> unusable{false};

  std::atomic<int32_t> pictureWidth{256}, pictureHeight{256};
  std::atomic<uint64_t> pendingSize{0};
  std::atomic<bool> pendingFlag{false};
  std::atomic<bool> resetTime{false};
  long double timeAccumulator = 0;  // render thread

  std::thread thread;
  std::atomic<bool> threadAlive{false};
  std::atomic<uint64_t> framesShown{0};

  // The plug-in's buffer belongs to the render thread. Each finished frame is copied whole
  // into the frame bitmap under frameMutex, and the UI thread takes that bitmap under the
  // same mutex: no tearing, and neither thread waits for the other's frame.
  std::mutex frameMutex;
  std::condition_variable frameCondition;
  // The pause between frames: posted only to end the thread. A condition variable there cost
  // a system call per frame: the mutex it takes back counts as contended, so its release
  // always wakes the kernel.
  sem_t stopSignal{};
  bool terminate = false;
  bool framePending = false;     // the frame bitmap holds a frame the UI has not drawn yet
  bool redrawRequested = false;  // a click or resize while resting
  bool wakeRequested = false;    // the player's state changed while resting
  std::vector<uint32_t> buffer;
  int32_t renderWidth = 0, renderHeight = 0, renderPitch = 0;
  std::vector<uint32_t> frame;  // opaque pixels, frameWidth per row
  int32_t frameWidth = 0, frameHeight = 0;
  VisRenderData data{};

  THost() { sem_init(&stopSignal, 0, 0); }
  // A program that ends without stopping the plug-in: the thread is ended (the plug-in's
  // code is not called again); a running std::thread must never be destroyed.
  ~THost() {
    if (thread.joinable()) {
      SignalTerminate();
      thread.join();
    }
    sem_destroy(&stopSignal);
  }

  // Asks the render thread to end, resting or between frames.
  void SignalTerminate() {
    {
      std::lock_guard lock(frameMutex);
      terminate = true;
    }
    frameCondition.notify_all();
    sem_post(&stopSignal);
  }
};

THost& Host() {
  static THost host;
  return host;
}

// The render thread: waits the pause between frames, or less when a stop posts the signal.
void PauseBetweenFrames(THost& h) {
  constexpr long kPauseNs = std::chrono::duration_cast<std::chrono::nanoseconds>(kFramePause).count();
  static_assert(kPauseNs < 1'000'000'000);
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_nsec += kPauseNs;
  if (deadline.tv_nsec >= 1'000'000'000) {
    deadline.tv_nsec -= 1'000'000'000;
    ++deadline.tv_sec;
  }
  while (sem_clockwait(&h.stopSignal, CLOCK_MONOTONIC, &deadline) != 0 && errno == EINTR) {
  }
}

uint64_t PackSize(int32_t w, int32_t h) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(w)) << 32) | static_cast<uint32_t>(h);
}

// The buffer at the remembered picture size; created before the thread's first frame.
void CreatePicture(THost& h) {
  const int32_t w = std::max(1, h.pictureWidth.load());
  const int32_t ht = std::max(1, h.pictureHeight.load());
  std::lock_guard lock(h.frameMutex);
  h.buffer.assign(static_cast<size_t>(w) * static_cast<size_t>(ht), 0);
  h.renderWidth = w;
  h.renderHeight = ht;
  h.renderPitch = w;
}

void FreePicture(THost& h) {
  std::lock_guard lock(h.frameMutex);
  h.framePending = false;
  h.buffer = {};
  h.frame = {};
  h.frameWidth = h.frameHeight = 0;
}

// Nearest integer, ties to even (the default rounding mode): adding and taking away 1.5 * 2^52
// leaves no bits below the units, exact for |value| < 2^51. A library call per value cost
// a tenth of the render thread's time.
double RoundHalfEven(double value) {
  constexpr double kShift = 6755399441055744.0;
  return (value + kShift) - kShift;
}

// Rounds to the nearest integer, ties to even, and keeps the low 8 bits.
int8_t LowByte(double value) {
  if (!std::isfinite(value)) return 0;
  value = std::clamp(value, -1e9, 1e9);
  return static_cast<int8_t>(static_cast<uint8_t>(static_cast<int64_t>(RoundHalfEven(value)) & 0xFF));
}

// Two output values per input frame: the 256 frames stretch over 512 indices, index i reading
// frame i / 2 rounded to the nearest, ties to even.
const std::array<uint8_t, 512>& WaveformFrameIndices() {
  static const std::array<uint8_t, 512> indices = [] {
    std::array<uint8_t, 512> k{};
    for (int i = 0; i < 512; ++i) k[i] = static_cast<uint8_t>(std::min(255.0, RoundHalfEven(i * 0.5)));
    return k;
  }();
  return indices;
}

void FillWaveform(THost& h) {
  float samples[512] = {};
  if (SoniqueVisPluginHooks().GetWaveformData) SoniqueVisPluginHooks().GetWaveformData(samples);
  const std::array<uint8_t, 512>& frameOf = WaveformFrameIndices();
  for (int i = 0; i < 512; ++i) {
    const int k = frameOf[i];
    h.data.Waveform[0][i] = LowByte(static_cast<double>(samples[2 * k]) * 127.0);
    h.data.Waveform[1][i] = LowByte(static_cast<double>(samples[2 * k + 1]) * 127.0);
  }
}

void FillSpectrum(THost& h) {
  float magnitudes[512] = {};
  if (SoniqueVisPluginHooks().GetSpectrumData) SoniqueVisPluginHooks().GetSpectrumData(magnitudes);
  // Square roots lift the quiet bins that a linear scale would leave at zero.
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 2; ++c) {
      const double m = magnitudes[2 * i + c];
      h.data.Spectrum[c][i] = static_cast<uint8_t>(LowByte(m > 0 ? std::sqrt(m) * 127.0 : 0.0));
    }
}

}  // namespace

void CopyVisPixelsOpaque(uint32_t* to, const uint32_t* from, size_t count) {
  // Two pixels at a time: this runs for every pixel of every frame.
  size_t i = 0;
  for (; i + 2 <= count; i += 2) {
    uint64_t pair;
    std::memcpy(&pair, from + i, sizeof pair);
    pair |= 0xFF000000FF000000ull;
    std::memcpy(to + i, &pair, sizeof pair);
  }
  for (; i < count; ++i) to[i] = from[i] | 0xFF000000u;
}

namespace {

// Copies the finished frame into the frame bitmap and tells the UI thread. The render thread
// does not wait for the drawing: on a busy desktop that wait cost a wake-up per frame, and a
// slow UI thread would have slowed the plug-in. A frame the UI has not drawn yet is replaced
// by the newer one.
void PresentFrame(THost& h) {
  const auto& ready = SoniqueVisPluginHooks().FrameReady;
  if (!ready) return;
  {
    std::lock_guard lock(h.frameMutex);
    if (h.terminate) return;
    const size_t width = static_cast<size_t>(h.renderWidth);
    h.frame.resize(width * static_cast<size_t>(h.renderHeight));
    for (int32_t y = 0; y < h.renderHeight; ++y)
      CopyVisPixelsOpaque(h.frame.data() + y * width, h.buffer.data() + static_cast<size_t>(y) * h.renderPitch, width);
    h.frameWidth = h.renderWidth;
    h.frameHeight = h.renderHeight;
    h.framePending = true;
  }
  ready();
}

// Wakes a resting render thread for one new picture.
void RequestRedraw(THost& h) {
  {
    std::lock_guard lock(h.frameMutex);
    h.redrawRequested = true;
  }
  h.frameCondition.notify_all();
}

}  // namespace

void WakeVisPlugin() {
  THost& h = Host();
  {
    std::lock_guard lock(h.frameMutex);
    h.wakeRequested = true;
  }
  h.frameCondition.notify_all();
}

namespace {

void TakePendingSize(THost& h) {
  if (!h.pendingFlag.exchange(false, std::memory_order_acquire)) return;
  const uint64_t size = h.pendingSize.load(std::memory_order_acquire);
  const auto w = static_cast<int32_t>(size >> 32), ht = static_cast<int32_t>(size & 0xFFFFFFFFu);
  if (w <= 0 || ht <= 0) return;
  h.pictureWidth = w;
  h.pictureHeight = ht;
  CreatePicture(h);
  RequestRedraw(h);  // the first picture at the new size, also while resting
}

void RenderFrame(THost& h, uint32_t rate) {
  h.lastResult = false;
  if (!h.infoPresent || !h.running) return;
  const TSoniqueVisPluginHooks& hooks = SoniqueVisPluginHooks();

  // Each frame stands for 512 samples at the playing rate; nothing playing resets the clock.
  if (h.resetTime.exchange(false)) h.timeAccumulator = 0;
  if (rate > 0)
    h.timeAccumulator += 512000.0L / static_cast<long double>(rate);
  else
    h.timeAccumulator = 0;
  h.data.Milliseconds = static_cast<uint32_t>(static_cast<uint64_t>(std::nearbyint(h.timeAccumulator)));

  if (hooks.MainWindowVisible && !hooks.MainWindowVisible()) return;
  if (h.unusable) return;

  if (h.info.RequiredData & VIS_REQUIRES_WAVEFORM) FillWaveform(h);
  if (h.info.RequiredData & VIS_REQUIRES_SPECTRUM) FillSpectrum(h);
  if (h.info.RequiredData & VIS_REQUIRES_CLEAR)
    for (int32_t y = 0; y < h.renderHeight; ++y)
      std::memset(h.buffer.data() + static_cast<size_t>(y) * h.renderPitch, 0, static_cast<size_t>(h.renderWidth) * 4);

  int32_t result = 0;
  const VisRenderProc render = h.info.RenderProc;
  uint32_t* pixels = h.buffer.data();
  const int32_t w = h.renderWidth, ht = h.renderHeight, pitch = h.renderPitch;
  VisRenderData* data = &h.data;
  const TPluginCallResult outcome =
      RunGuardedPluginCall(result, [=] { return render(pixels, w, ht, pitch, data); });
  if (outcome == TPluginCallResult::Crashed) h.unusable = true;
  if (outcome != TPluginCallResult::Completed || (result & 0xFF) != 1) return;

  PresentFrame(h);
  TakePendingSize(h);
  h.framesShown.fetch_add(1, std::memory_order_relaxed);
  h.lastResult = true;
}

void RenderThread(THost& h) {
  // Visualization is the first thing to give way when the machine is busy: the lowest
  // ordinary priority. (Linux's SCHED_IDLE would stop the pictures altogether while any other
  // program keeps the processors busy.)
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
  bool go = h.lastResult.load();
  if (go) {
    go = h.info.RenderProc != nullptr;
    h.lastResult = go;
  }
  int quietFrames = 0;
  while (go) {
    // The playing rate, read once per tick: 0 while nothing plays.
    const auto& rateHook = SoniqueVisPluginHooks().SamplingRate;
    const uint32_t rate = rateHook ? rateHook() : 0;
    quietFrames = rate > 0 ? 0 : std::min(quietFrames + 1, kQuietFramesBeforeRest);
    const bool resting = quietFrames >= kQuietFramesBeforeRest;
    if (!resting) PauseBetweenFrames(h);
    {
      std::unique_lock lock(h.frameMutex);
      if (!resting) {
        if (h.terminate) break;
      } else {
        h.frameCondition.wait(lock, [&] { return h.terminate || h.redrawRequested || h.wakeRequested; });
        if (h.terminate) break;
        if (!h.redrawRequested) {
          h.wakeRequested = false;
          continue;  // look at the playing rate again: still nothing playing rests again
        }
      }
      h.wakeRequested = false;
      h.redrawRequested = false;
    }
    try {
      const auto& video = SoniqueVisPluginHooks().VideoPlaying;
      if (!(video && video())) RenderFrame(h, rate);
    } catch (...) {
      // A getter or hook that failed costs this frame only.
    }
  }
  {
    std::lock_guard lock(h.frameMutex);
    if (h.renderWidth > 0 && h.renderHeight > 0) {
      h.pictureWidth = h.renderWidth;
      h.pictureHeight = h.renderHeight;
    }
  }
  FreePicture(h);
  h.threadAlive = false;
}

// Reads the plug-in's record through the guard: QueryModule may crash, return null, or
// point anywhere.
bool QueryRecord(void* library, VisPluginInfo& info, std::string& name) {
  auto query = reinterpret_cast<VisQueryModuleProc>(dlsym(library, VIS_QUERY_MODULE_EXPORT));
  if (query == nullptr) return false;
  VisPluginInfo* record = nullptr;
  if (RunGuardedPluginCall(record, [=] { return query(); }) != TPluginCallResult::Completed ||
      record == nullptr)
    return false;
  if (!CopyFromPluginMemory(&info, record, sizeof info)) return false;
  name.clear();
  if (info.PluginName) ReadPluginString(info.PluginName, name, kMaxPluginName);
  return true;
}

void ReleaseLibrary(THost& h) {
  if (h.library) dlclose(h.library);
  h.library = nullptr;
  h.infoPresent = false;
  h.info = {};
  h.name.clear();
  h.initialized = false;
}

bool LoadVisPlugin(THost& h, const std::string& path) {
  ReleaseLibrary(h);
  h.lastResult = false;
  h.unusable = false;
  h.library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h.library == nullptr) return false;
  if (!QueryRecord(h.library, h.info, h.name)) {
    ReleaseLibrary(h);
    return false;
  }
  h.infoPresent = true;
  h.lastResult = true;
  return true;
}

void InitVisPlugin(THost& h) {
  h.lastResult = false;
  if (h.initialized || h.info.InitializeProc == nullptr) return;
  const std::string ini = VisPluginSettingsPath();
  if (const VisOpenSettingsProc open = h.info.OpenSettingsProc) {
    int32_t ignored = 0;
    const char* iniPath = ini.c_str();
    if (RunGuardedPluginCall(ignored, [=] { return open(iniPath); }) == TPluginCallResult::Crashed) {
      h.unusable = true;
      return;
    }
  }
  const VisInitializeProc init = h.info.InitializeProc;
  const TPluginCallResult outcome = RunGuardedPluginCall([=] { init(); });
  if (outcome == TPluginCallResult::Crashed) h.unusable = true;
  if (outcome != TPluginCallResult::Completed) return;
  h.initialized = true;
  h.lastResult = true;
}

// Folder and file name compared the way our file names are: the folder prefix literally.
std::string StripFolder(const std::string& path, const std::string& folder) {
  const std::string prefix = IncludeTrailingPathDelimiter(folder);
  if (path.size() >= prefix.size() && path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size());
  return {};
}

std::string WithoutTrailingDelimiter(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

TSoniqueVisPluginHooks& SoniqueVisPluginHooks() {
  static TSoniqueVisPluginHooks hooks;
  return hooks;
}

void StopVisPlugin() {
  THost& h = Host();
  if (!h.running) return;
  h.lastResult = false;
  h.SignalTerminate();
  if (h.thread.joinable()) h.thread.join();
  while (sem_trywait(&h.stopSignal) == 0) {
  }  // a signal the thread did not wait for is not left for the next one
  // No plug-in call is in flight from here on.
  if (h.initialized && h.infoPresent && !h.unusable) {
    const std::string ini = VisPluginSettingsPath();
    const char* iniPath = ini.c_str();
    if (const VisSaveSettingsProc save = h.info.SaveSettingsProc) {
      int32_t ignored = 0;
      if (RunGuardedPluginCall(ignored, [=] { return save(iniPath); }) == TPluginCallResult::Crashed)
        h.unusable = true;
    }
    // The plug-in frees what it holds (views, bitmaps, its own plug-ins) before its code goes.
    if (const VisDeinitProc deinit = h.info.DeinitProc; deinit && !h.unusable) {
      int32_t ignored = 0;
      RunGuardedPluginCall(ignored, [=] { return deinit(); });
    }
  }
  ReleaseLibrary(h);
  h.running = false;
}

void StartVisPlugin(const std::string& path) {
  THost& h = Host();
  if (h.running) StopVisPlugin();
  if (h.running) return;
  if (!LoadVisPlugin(h, path)) return;
  InitVisPlugin(h);
  CreatePicture(h);
  {
    std::lock_guard lock(h.frameMutex);
    h.terminate = false;
    h.framePending = false;
  }
  h.data = {};
  h.framesShown = 0;
  h.running = true;
  h.threadAlive = true;
  h.thread = std::thread([&h] { RenderThread(h); });
}

void VisPluginClicked(int32_t x, int32_t y, int32_t buttons) {
  THost& h = Host();
  h.lastResult = false;
  if (!h.infoPresent || h.info.ClickedProc == nullptr || h.info.Version == 0 || h.unusable) return;
  const VisClickedProc clicked = h.info.ClickedProc;
  int32_t ignored = 0;
  if (RunGuardedPluginCall(ignored, [=] { return clicked(x, y, buttons); }) == TPluginCallResult::Crashed)
    h.unusable = true;
  h.lastResult = true;
  RequestRedraw(h);
}

void SetVisPictureSize(int32_t width, int32_t height) {
  THost& h = Host();
  // Size first, then the flag: the render thread takes the flag before it reads the size.
  h.pendingSize.store(PackSize(width, height), std::memory_order_release);
  h.pendingFlag.store(true, std::memory_order_release);
  RequestRedraw(h);
}

bool TakePendingVisFrame(std::vector<uint32_t>& pixels, int& width, int& height) {
  THost& h = Host();
  std::lock_guard lock(h.frameMutex);
  if (!h.framePending) return false;
  // A swap, not a copy: the render thread fills the caller's old vector with its next frame.
  pixels.swap(h.frame);
  width = h.frameWidth;
  height = h.frameHeight;
  h.framePending = false;
  return true;
}

TSoniqueVisPluginStatus SoniqueVisPluginStatus() {
  THost& h = Host();
  TSoniqueVisPluginStatus s;
  s.Loaded = h.library != nullptr;
  s.InfoPresent = h.infoPresent;
  s.Initialized = h.initialized;
  s.Running = h.running;
  s.ThreadAlive = h.threadAlive;
  s.LastResult = h.lastResult;
  s.Unusable = h.unusable;
  s.PluginName = h.name;
  s.Version = h.info.Version;
  s.RequiredData = h.info.RequiredData;
  s.PictureWidth = h.pictureWidth;
  s.PictureHeight = h.pictureHeight;
  s.FramesShown = h.framesShown;
  return s;
}

void ResetVisTimeStamp() { Host().resetTime = true; }

TQueriedVisPluginInfo QueryVisPluginInfo(const std::string& path) {
  TQueriedVisPluginInfo result;
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return result;
  VisPluginInfo info{};
  std::string name;
  if (QueryRecord(library, info, name)) {
    result.PluginName = name;
    result.Version = info.Version;
    result.RequiredData = info.RequiredData;
  }
  dlclose(library);
  return result;
}

std::vector<std::string> VisPluginsFolders() {
  std::vector<std::string> folders;
  for (const auto& base : {ProgramFolder(), ExecutableFolder()}) {
    if (base.empty()) continue;
    const std::string folder = IncludeTrailingPathDelimiter(base) + "visplugins";
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) continue;
    bool known = false;
    for (const auto& f : folders) known = known || fs::equivalent(f, folder, ec);
    if (!known) folders.push_back(folder);
  }
  return folders;
}

std::string VisPluginFullPath(const std::string& relativeName) {
  const std::string name = WithoutTrailingDelimiter(relativeName);
  for (const auto& folder : VisPluginsFolders()) {
    const std::string path = folder + "/" + name;
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
  }
  return IncludeTrailingPathDelimiter(ProgramFolder()) + "visplugins/" + name;
}

std::string VisPluginRelativeName(const std::string& fullPath) {
  std::vector<std::string> folders = VisPluginsFolders();
  folders.push_back(IncludeTrailingPathDelimiter(ProgramFolder()) + "visplugins");
  for (const auto& folder : folders) {
    std::string rest = StripFolder(fullPath, folder);
    if (!rest.empty()) return WithoutTrailingDelimiter(rest);
  }
  return WithoutTrailingDelimiter(fullPath);
}

std::vector<std::string> FindVisPluginFiles() {
  std::vector<std::string> files;
  std::set<std::string> names;
  for (const auto& folder : VisPluginsFolders()) {
    std::vector<std::string> here;
    FindFilesInFolderTree(folder, "*.SVP", here);
    for (const auto& path : here)
      if (names.insert(UpperCaseAscii(StripFolder(path, folder))).second) files.push_back(path);
  }
  return files;
}

std::string VisPluginSettingsPath() { return IncludeTrailingPathDelimiter(ProgramFolder()) + "vis.ini"; }
