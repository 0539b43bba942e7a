// The recording half of the library (see Recording.h).
#include <kaudio.h>
#include <portaudio.h>
#include <pulse/pulseaudio.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cmath>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/Encoder.h"
#include "audio/Errors.h"
#include "audio/Library.h"
#include "audio/Recording.h"

using namespace kaudio;

namespace {

struct InputEntry {
  std::string name;    // shown to the user
  std::string source;  // sound server source name, or empty
  int paDevice = -1;   // PortAudio device index
  uint32_t type = KAUDIO_INPUT_TYPE_UNDEF;
  bool on = false;
  float volume = 1.0f;
};

struct RecordState {
  std::mutex mutex;
  bool initialized = false;
  bool server = false;
  bool paInitialized = false;
  std::vector<InputEntry> inputs;
};
RecordState& State() {
  static RecordState s;
  return s;
}

// A source's type from what the server tells about it.
uint32_t SourceType(const pa_source_info* info) {
  if (info->monitor_of_sink != PA_INVALID_INDEX) return KAUDIO_INPUT_TYPE_WAVE;
  const char* port = info->active_port ? info->active_port->name : "";
  const std::string p = port ? port : "";
  if (p.find("mic") != std::string::npos) return KAUDIO_INPUT_TYPE_MIC;
  if (p.find("line") != std::string::npos) return KAUDIO_INPUT_TYPE_LINE;
  if (p.find("iec958") != std::string::npos || p.find("spdif") != std::string::npos) return KAUDIO_INPUT_TYPE_DIGITAL;
  return KAUDIO_INPUT_TYPE_UNDEF;
}

// Lists the server's sources; false when no server answers within a second.
bool ListServerSources(std::vector<InputEntry>& out, std::string& defaultSource) {
  pa_mainloop* loop = pa_mainloop_new();
  if (!loop) return false;
  pa_context* ctx = pa_context_new(pa_mainloop_get_api(loop), "keldar3 inputs");
  bool ok = false;
  if (ctx && pa_context_connect(ctx, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    pa_context_state_t st;
    while ((st = pa_context_get_state(ctx)) != PA_CONTEXT_READY && PA_CONTEXT_IS_GOOD(st) &&
           std::chrono::steady_clock::now() < until)
      pa_mainloop_iterate(loop, 0, nullptr), std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (pa_context_get_state(ctx) == PA_CONTEXT_READY) {
      struct Collect {
        std::vector<InputEntry>* out;
        std::string* def;
        int pending = 2;
      } c{&out, &defaultSource};
      pa_operation* o1 = pa_context_get_source_info_list(
          ctx,
          [](pa_context*, const pa_source_info* i, int eol, void* u) {
            auto* c = static_cast<Collect*>(u);
            if (eol) { --c->pending; return; }
            InputEntry e;
            e.name = i->description && *i->description ? i->description : i->name;
            e.source = i->name;
            e.type = SourceType(i);
            e.volume = float(pa_cvolume_avg(&i->volume)) / float(PA_VOLUME_NORM);
            c->out->push_back(std::move(e));
          },
          &c);
      pa_operation* o2 = pa_context_get_server_info(
          ctx,
          [](pa_context*, const pa_server_info* i, void* u) {
            auto* c = static_cast<Collect*>(u);
            if (i && i->default_source_name) *c->def = i->default_source_name;
            --c->pending;
          },
          &c);
      while (c.pending > 0 && std::chrono::steady_clock::now() < until + std::chrono::seconds(1) &&
             pa_context_get_state(ctx) == PA_CONTEXT_READY)
        pa_mainloop_iterate(loop, 1, nullptr);
      if (o1) pa_operation_unref(o1);
      if (o2) pa_operation_unref(o2);
      ok = c.pending == 0;
    }
    pa_context_disconnect(ctx);
  }
  if (ctx) pa_context_unref(ctx);
  pa_mainloop_free(loop);
  return ok;
}

class Recorder {
 public:
  uint32_t handle = 0;
  uint32_t rate = 44100, channels = 2, flags = 0;
  KAUDIO_RECORDPROC* proc = nullptr;
  void* user = nullptr;
  InputEntry input;
  std::atomic<bool> paused{true};
  std::atomic<bool> running{true};
  std::thread thread;
  std::mutex tapMutex;
  std::vector<std::shared_ptr<Encoder>> taps;
  pa_simple* simple = nullptr;
  PaStream* paStream = nullptr;

  void Run() {
    const uint32_t frames = std::max<uint32_t>(64, rate / 50);  // 20 ms blocks
    std::vector<float> block(size_t(frames) * channels);
    std::vector<int16_t> ints;
    while (running.load()) {
      int err = 0;
      if (simple) {
        if (pa_simple_read(simple, block.data(), block.size() * sizeof(float), &err) < 0) break;
      } else if (paStream) {
        const PaError e = Pa_ReadStream(paStream, block.data(), frames);
        if (e != paNoError && e != paInputOverflowed) break;
      } else {
        break;
      }
      if (paused.load()) continue;  // captured and dropped until the pause is released
      {
        std::lock_guard lock(tapMutex);
        for (auto& t : taps) t->Feed(block.data(), block.size());
      }
      bool keep = true;
      if (proc) {
        if (flags & KAUDIO_SAMPLE_FLOAT) {
          keep = proc(handle, block.data(), KAUDIO_DWORD(block.size() * sizeof(float)), user);
        } else {
          ints.resize(block.size());
          for (size_t i = 0; i < block.size(); ++i)
            ints[i] = int16_t(std::clamp(std::lrintf(block[i] * 32768.0f), -32768L, 32767L));
          keep = proc(handle, ints.data(), KAUDIO_DWORD(ints.size() * 2), user);
        }
      }
      if (!keep) break;
    }
    running.store(false);
  }

  void Close() {
    running.store(false);
    if (thread.joinable()) thread.join();
    if (simple) pa_simple_free(simple), simple = nullptr;
    if (paStream) Pa_CloseStream(paStream), paStream = nullptr;
    std::vector<std::shared_ptr<Encoder>> ended;
    {
      std::lock_guard lock(tapMutex);
      ended.swap(taps);
    }
    for (auto& e : ended) e->Stop();  // encoders end with their channel
  }
};

std::mutex g_recMutex;
std::shared_ptr<Recorder> g_recorder;

std::shared_ptr<Recorder> FindRecorder(uint32_t handle) {
  std::lock_guard lock(g_recMutex);
  return g_recorder && g_recorder->handle == handle ? g_recorder : nullptr;
}

}  // namespace

namespace kaudio {

bool IsRecordingHandle(uint32_t handle) { return handle != 0 && FindRecorder(handle) != nullptr; }

bool RecordingPlay(uint32_t handle) {
  auto r = FindRecorder(handle);
  if (!r) return false;
  r->paused.store(false);
  return true;
}

bool RecordingStop(uint32_t handle) {
  std::shared_ptr<Recorder> r;
  {
    std::lock_guard lock(g_recMutex);
    if (!g_recorder || g_recorder->handle != handle) return false;
    r = std::move(g_recorder);
  }
  r->Close();
  return true;
}

uint32_t RecordingIsActive(uint32_t handle) {
  auto r = FindRecorder(handle);
  if (!r || !r->running.load()) return KAUDIO_ACTIVE_STOPPED;
  return r->paused.load() ? KAUDIO_ACTIVE_PAUSED : KAUDIO_ACTIVE_PLAYING;
}

bool RecordingFormat(uint32_t handle, uint32_t* rate, uint32_t* channels, uint32_t* flags) {
  auto r = FindRecorder(handle);
  if (!r) return false;
  *rate = r->rate;
  *channels = r->channels;
  *flags = r->flags;
  return true;
}

void RecordingAttach(uint32_t handle, std::shared_ptr<Encoder> encoder) {
  if (auto r = FindRecorder(handle)) {
    std::lock_guard lock(r->tapMutex);
    r->taps.push_back(std::move(encoder));
  }
}

void RecordingDetach(uint32_t handle, const Encoder* encoder) {
  if (auto r = FindRecorder(handle)) {
    std::lock_guard lock(r->tapMutex);
    std::erase_if(r->taps, [&](const std::shared_ptr<Encoder>& e) { return e.get() == encoder; });
  }
}

}  // namespace kaudio

KAUDIO_BOOL KAUDIO_RecordInit(int device) {
  (void)device;
  auto& s = State();
  std::lock_guard lock(s.mutex);
  if (s.initialized) return Fail(KAUDIO_ERROR_ALREADY);
  s.inputs.clear();
  std::string def;
  s.server = ListServerSources(s.inputs, def);
  if (s.server) {
    for (auto& e : s.inputs) e.on = e.source == def;
  } else {
    if (Pa_Initialize() != paNoError) return Fail(KAUDIO_ERROR_DRIVER);
    s.paInitialized = true;
    const PaDeviceIndex defIn = Pa_GetDefaultInputDevice();
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
      const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
      if (!info || info->maxInputChannels <= 0) continue;
      InputEntry e;
      e.name = info->name ? info->name : "";
      e.paDevice = i;
      e.on = i == defIn;
      s.inputs.push_back(std::move(e));
    }
  }
  if (s.inputs.empty()) {
    if (s.paInitialized) Pa_Terminate(), s.paInitialized = false;
    return Fail(KAUDIO_ERROR_DEVICE);
  }
  s.initialized = true;
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_RecordFree(void) {
  std::shared_ptr<Recorder> r;
  {
    std::lock_guard lock(g_recMutex);
    r = std::move(g_recorder);
  }
  if (r) r->Close();
  auto& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.initialized) return Fail(KAUDIO_ERROR_INIT);
  if (s.paInitialized) Pa_Terminate(), s.paInitialized = false;
  s.inputs.clear();
  s.initialized = false;
  SetError(0);
  return 1;
}

const char* KAUDIO_RecordGetInputName(int input) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.initialized) return Fail(KAUDIO_ERROR_INIT);
  if (input < 0 || size_t(input) >= s.inputs.size()) return Fail(KAUDIO_ERROR_ILLPARAM);
  SetError(0);
  return s.inputs[size_t(input)].name.c_str();
}

KAUDIO_DWORD KAUDIO_RecordGetInput(int input, float* volume) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.initialized) { SetError(KAUDIO_ERROR_INIT); return KAUDIO_DWORD(-1); }
  if (input < 0 || size_t(input) >= s.inputs.size()) { SetError(KAUDIO_ERROR_ILLPARAM); return KAUDIO_DWORD(-1); }
  const auto& e = s.inputs[size_t(input)];
  if (volume) *volume = e.volume;
  SetError(0);
  return e.type | (e.on ? 0 : KAUDIO_INPUT_OFF);
}

KAUDIO_BOOL KAUDIO_RecordSetInput(int input, KAUDIO_DWORD flags, float volume) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.initialized) return Fail(KAUDIO_ERROR_INIT);
  if (input < 0 || size_t(input) >= s.inputs.size()) return Fail(KAUDIO_ERROR_ILLPARAM);
  auto& e = s.inputs[size_t(input)];
  if (flags & KAUDIO_INPUT_ON) {
    // One input is recorded at a time: switching one on switches the others off.
    for (auto& other : s.inputs) other.on = false;
    e.on = true;
  } else if (flags & KAUDIO_INPUT_OFF) {
    e.on = false;
  }
  if (volume >= 0.0f) e.volume = std::min(volume, 1.0f);
  SetError(0);
  return 1;
}

KAUDIO_HRECORD KAUDIO_RecordStart(KAUDIO_DWORD freq, KAUDIO_DWORD chans, KAUDIO_DWORD flags,
                                  KAUDIO_RECORDPROC* proc, void* user) {
  auto& s = State();
  InputEntry input;
  {
    std::lock_guard lock(s.mutex);
    if (!s.initialized) return Fail(KAUDIO_ERROR_INIT);
    for (const auto& e : s.inputs)
      if (e.on) input = e;
    if (!s.server && input.paDevice < 0) input.paDevice = Pa_GetDefaultInputDevice();
  }
  if (freq == 0) freq = 44100;
  if (chans == 0 || chans > 8 || freq > 384000) return Fail(KAUDIO_ERROR_FORMAT);
  {
    std::lock_guard lock(g_recMutex);
    if (g_recorder) return Fail(KAUDIO_ERROR_ALREADY);
  }
  auto r = std::make_shared<Recorder>();
  r->rate = freq;
  r->channels = chans;
  r->flags = flags;
  r->proc = proc;
  r->user = user;
  r->input = input;
  r->paused.store((flags & KAUDIO_RECORD_PAUSE) != 0);
  if (s.server) {
    pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, freq, uint8_t(chans)};
    pa_buffer_attr attr;
    attr.maxlength = attr.tlength = attr.prebuf = attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(pa_usec_to_bytes(20000, &spec));
    int err = 0;
    r->simple = pa_simple_new(nullptr, "keldar3", PA_STREAM_RECORD,
                              input.source.empty() ? nullptr : input.source.c_str(), "Recording", &spec,
                              nullptr, &attr, &err);
    if (!r->simple) return Fail(KAUDIO_ERROR_DEVICE);
  } else {
    PaStreamParameters in{};
    in.device = input.paDevice;
    in.channelCount = int(chans);
    in.sampleFormat = paFloat32;
    const PaDeviceInfo* info = in.device >= 0 ? Pa_GetDeviceInfo(in.device) : nullptr;
    if (!info) return Fail(KAUDIO_ERROR_DEVICE);
    in.suggestedLatency = info->defaultLowInputLatency;
    if (Pa_OpenStream(&r->paStream, &in, nullptr, freq, paFramesPerBufferUnspecified, paNoFlag, nullptr,
                      nullptr) != paNoError ||
        Pa_StartStream(r->paStream) != paNoError) {
      if (r->paStream) Pa_CloseStream(r->paStream), r->paStream = nullptr;
      return Fail(KAUDIO_ERROR_DEVICE);
    }
  }
  r->handle = NewHandle();
  {
    std::lock_guard lock(g_recMutex);
    g_recorder = r;
  }
  r->thread = std::thread([r] { r->Run(); });
  SetError(0);
  return r->handle;
}
