// The library's global state: the device, the mixer, the handle table and the processing
// thread. The table lock is a leaf: nothing else is locked while it is held.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "audio/Channel.h"
#include "audio/Mixer.h"
#include "audio/OutputDevice.h"

namespace kaudio {

struct Library {
  std::mutex mutex;
  bool initialized = false;
  int device = -1;
  uint32_t initFlags = 0;
  std::unique_ptr<OutputDevice> output;
  Mixer mixer;
  std::unordered_map<uint32_t, std::shared_ptr<Channel>> channels;
  std::unordered_map<uint32_t, uint32_t> owners;  // DSP, FX and sync handles -> channel
  // The device list as last read (again at every KAUDIO_Init: a sound server comes and goes).
  // Its texts are kept for good: KAUDIO_DEVICEINFO hands them out.
  std::set<std::string> deviceTexts;
  std::vector<const char*> deviceNames;
  std::vector<const char*> deviceDrivers;
  std::vector<bool> deviceDefault;
};

Library& Lib();
uint32_t NewHandle();
bool IsInitialized();
uint32_t OutputRate();
uint32_t OutputLatencyFrames();
// The output's clock and control, for channels; harmless without an output.
uint64_t OutputPlayedFrames();
// A voice was detached for a seek or a stop: what the output holds of it is not heard.
void DropOutputQueue();
void WakeOutput();
// Registers a channel and returns its handle.
uint32_t RegisterChannel(std::shared_ptr<Channel> channel);
// Looks a channel up; sets KAUDIO_ERROR_HANDLE when there is none.
std::shared_ptr<Channel> FindChannel(uint32_t handle);
std::shared_ptr<Channel> FindOwner(uint32_t subHandle);
void RememberOwner(uint32_t subHandle, uint32_t channel);
void ForgetOwner(uint32_t subHandle);
// Removes it from the table, stops it and raises its free syncs.
bool FreeChannel(uint32_t handle);
std::vector<std::shared_ptr<Channel>> Snapshot();

// The processing thread that keeps playing channels' buffers full.
void StartProcessing();
void StopProcessing();
void WakeProcessing();
// Library CPU time in nanoseconds (processing, network decoding, mixing).
void AddBusyNanos(uint64_t ns);
uint64_t BusyNanos();

}  // namespace kaudio
