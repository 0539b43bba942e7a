// Library functions: version, configuration, devices, start and stop, errors, CPU.
#include <kaudio.h>

#include <chrono>

#include "audio/AddonRegistry.h"
#include "audio/Config.h"
#include "audio/Errors.h"
#include "audio/Library.h"
#include "audio/NullOutput.h"
#include "audio/PortAudioOutput.h"
#include "audio/PulseAudioOutput.h"
#include "audio/SyncDispatcher.h"

using namespace kaudio;

namespace {

// The devices after device 0: a running sound server's sinks first (the server's default sink
// is the default device), then PortAudio's (plain ALSA, JACK), whose default is the default
// only when no server answers.
struct DeviceEntry {
  std::string name;
  std::string driver;
  bool isDefault;
  std::string sink;  // a sound server's sink
  int paIndex;       // else PortAudio's device
};

std::vector<DeviceEntry> ListDevices() {
  std::vector<DeviceEntry> list;
  for (auto& s : PulseAudioSinks()) list.push_back({s.description, "PulseAudio", s.isDefault, s.name, -1});
  const bool server = !list.empty();
  for (auto& d : PortAudioOutputDevices()) list.push_back({d.name, d.driver, d.isDefault && !server, {}, d.paIndex});
  return list;
}

std::unique_ptr<OutputDevice> OpenDevice(int device, uint32_t rate) {
  if (device == 0) {
    auto out = std::make_unique<NullOutput>();
    if (out->Open(rate, 2, &Lib().mixer)) return out;
    return nullptr;
  }
  const auto list = ListDevices();
  const DeviceEntry* entry = nullptr;
  if (device < 0) {
    for (auto& d : list)
      if (d.isDefault && !entry) entry = &d;
  } else if (size_t(device) <= list.size()) {
    entry = &list[size_t(device) - 1];
  }
  if (!entry) return nullptr;
  std::unique_ptr<OutputDevice> out;
  if (entry->paIndex < 0) out = std::make_unique<PulseAudioOutput>(entry->sink, entry->name);
  else out = std::make_unique<PortAudioOutput>(entry->paIndex);
  if (!out->Open(rate, 2, &Lib().mixer)) return nullptr;
  return out;
}

}  // namespace

extern "C" {

KAUDIO_DWORD KAUDIO_GetVersion(void) { return KAUDIO_VERSION; }

KAUDIO_BOOL KAUDIO_SetConfig(KAUDIO_DWORD option, KAUDIO_DWORD value) {
  Config& c = GetConfig();
  switch (option) {
    case KAUDIO_CONFIG_BUFFER: c.bufferMs = std::clamp<uint32_t>(value, 10, 5000); break;
    case KAUDIO_CONFIG_UPDATEPERIOD: c.updatePeriodMs = std::clamp<uint32_t>(value, 5, 100); break;
    case KAUDIO_CONFIG_FLOATDSP: c.floatDsp = value ? 1 : 0; break;
    case KAUDIO_CONFIG_NET_TIMEOUT: c.netTimeoutMs = std::max<uint32_t>(value, 100); break;
    case KAUDIO_CONFIG_NET_BUFFER: c.netBufferMs = std::clamp<uint32_t>(value, 500, 60000); break;
    default: return Fail(KAUDIO_ERROR_ILLTYPE);
  }
  SetError(0);
  return 1;
}

KAUDIO_DWORD KAUDIO_GetConfig(KAUDIO_DWORD option) {
  Config& c = GetConfig();
  switch (option) {
    case KAUDIO_CONFIG_BUFFER: return c.bufferMs;
    case KAUDIO_CONFIG_UPDATEPERIOD: return c.updatePeriodMs;
    case KAUDIO_CONFIG_FLOATDSP: return c.floatDsp;
    case KAUDIO_CONFIG_NET_TIMEOUT: return c.netTimeoutMs;
    case KAUDIO_CONFIG_NET_BUFFER: return c.netBufferMs;
    default: SetError(KAUDIO_ERROR_ILLTYPE); return KAUDIO_DWORD(-1);
  }
}

KAUDIO_BOOL KAUDIO_Init(int device, KAUDIO_DWORD freq, KAUDIO_DWORD flags, void*, const void*) {
  if (IsInitialized()) return Fail(KAUDIO_ERROR_ALREADY);
  if (device < -1) return Fail(KAUDIO_ERROR_DEVICE);
  if (freq == 0) freq = 44100;
  if (freq < 8000 || freq > 384000) return Fail(KAUDIO_ERROR_FREQ);
  {
    // Device numbers follow the list as it is now.
    std::lock_guard lock(Lib().mutex);
    Lib().deviceNames.clear();
    Lib().deviceDrivers.clear();
    Lib().deviceDefault.clear();
  }
  std::unique_ptr<OutputDevice> out = OpenDevice(device, freq);
  int used = device;
  if (!out && device == KAUDIO_DEVICE_DEFAULT) {
    // No sound card: keep playing against the clock so the program stays usable.
    out = OpenDevice(0, freq);
    used = 0;
  }
  if (!out) return Fail(device > 0 ? KAUDIO_ERROR_DEVICE : KAUDIO_ERROR_DRIVER);
  if (!out->Start()) return Fail(KAUDIO_ERROR_DRIVER);
  {
    std::lock_guard lock(Lib().mutex);
    Lib().output = std::move(out);
    Lib().device = used < 0 ? 1 : used;
    Lib().initFlags = flags;
    Lib().initialized = true;
  }
  Syncs();
  StartProcessing();
  SetError(0);
  return 1;
}

int KAUDIO_GetDevice(void) {
  std::lock_guard lock(Lib().mutex);
  return Lib().initialized ? Lib().device : -1;
}

KAUDIO_BOOL KAUDIO_Free(void) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  for (auto& ch : Snapshot()) FreeChannel(ch->handle);
  StopProcessing();
  Syncs().Drain();
  Lib().mixer.DetachAll();
  std::unique_ptr<OutputDevice> out;
  {
    std::lock_guard lock(Lib().mutex);
    out = std::move(Lib().output);
    Lib().initialized = false;
    Lib().device = -1;
    Lib().deviceNames.clear();
    Lib().deviceDrivers.clear();
    Lib().deviceDefault.clear();
  }
  if (out) out->Close();
  // PortAudio's devices are a snapshot taken when it starts: the next start looks again.
  PortAudioShutdown();
  FreeAllAddons();
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_Start(void) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  if (!Lib().output->Start()) return Fail(KAUDIO_ERROR_START);
  WakeProcessing();
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_Pause(void) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  Lib().output->Pause();
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_Stop(void) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  Lib().output->Pause();
  for (auto& ch : Snapshot())
    if (!ch->IsDecode()) ch->Stop();
  SetError(0);
  return 1;
}

int KAUDIO_ErrorGetCode(void) { return LastError(); }

KAUDIO_BOOL KAUDIO_GetInfo(KAUDIO_INFO* info) {
  if (!info) return Fail(KAUDIO_ERROR_ILLPARAM);
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  *info = KAUDIO_INFO{};
  info->flags = KAUDIO_DSCAPS_CONTINUOUSRATE;  // every rate is resampled to the output
  info->minrate = 8000;
  info->maxrate = 384000;
  const uint32_t rate = OutputRate();
  info->latency = uint32_t(uint64_t(OutputLatencyFrames()) * 1000 / rate);
  info->minbuf = info->latency + 2 * GetConfig().updatePeriodMs.load() + 20;
  info->initflags = Lib().initFlags;
  info->speakers = 2;
  info->freq = rate;
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_GetDeviceInfo(KAUDIO_DWORD device, KAUDIO_DEVICEINFO* info) {
  if (!info) return Fail(KAUDIO_ERROR_ILLPARAM);
  std::lock_guard lock(Lib().mutex);
  auto& names = Lib().deviceNames;
  auto& drivers = Lib().deviceDrivers;
  auto& defaults = Lib().deviceDefault;
  if (names.empty()) {
    auto keep = [&](const std::string& text) { return Lib().deviceTexts.insert(text).first->c_str(); };
    names.push_back(keep("No sound"));
    drivers.push_back(keep("none"));
    defaults.push_back(false);
    for (auto& d : ListDevices()) {
      names.push_back(keep(d.name));
      drivers.push_back(keep(d.driver));
      defaults.push_back(d.isDefault);
    }
  }
  if (device >= names.size()) return Fail(KAUDIO_ERROR_DEVICE);
  info->name = names[device];
  info->driver = drivers[device];
  info->flags = KAUDIO_DEVICE_ENABLED;
  if (Lib().initialized && Lib().device == int(device)) info->flags |= KAUDIO_DEVICE_INIT;
  if (defaults[device]) info->flags |= KAUDIO_DEVICE_ISDEFAULT;
  SetError(0);
  return 1;
}

float KAUDIO_GetCPU(void) {
  using Clock = std::chrono::steady_clock;
  static std::mutex mutex;
  static Clock::time_point lastTime = Clock::now();
  static uint64_t lastBusy = BusyNanos();
  static float lastValue = 0.0f;
  std::lock_guard lock(mutex);
  const auto now = Clock::now();
  const double wall = std::chrono::duration<double>(now - lastTime).count();
  if (wall >= 0.25) {
    const uint64_t busy = BusyNanos();
    lastValue = float(double(busy - lastBusy) / 1e9 / wall * 100.0);
    lastBusy = busy;
    lastTime = now;
  }
  return lastValue;
}

}  // extern "C"
