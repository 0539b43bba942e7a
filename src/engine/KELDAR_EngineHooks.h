// Small hook interfaces through which the engine reaches higher layers. Each is installed
// once at start-up by the layer that owns the service; an empty hook means that service is
// not built into this program (the engine then carries on without it).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The UI thread's event loop and the bell. UI thread only.
struct KELDAR_EngineUIHooks {
  std::function<void()> ProcessEvents;  // empty: the engine just sleeps a moment while it waits
  std::function<void()> Beep;
  // Told after the player state changed (play, pause, resume, stop, end of a song), so that
  // displays which rest while nothing plays wake at once.
  std::function<void()> PlayerStateChanged;
};
KELDAR_EngineUIHooks& EngineUIHooks();

// The input plug-in loader: loads every input plug-in into its table (returns the count) and
// releases them all, last first. UI thread only.
struct KELDAR_InputPluginLoaderHooks {
  std::function<int()> LoadAll;
  std::function<void()> UnloadAll;
};
KELDAR_InputPluginLoaderHooks& InputPluginLoaderHooks();

// The recording device: Open starts the default recording device (false on failure, with
// the library's error code set); InputName gives input i's name and type text, nothing past
// the last one. UI thread only.
struct KELDAR_RecordingInputHooks {
  struct TInput {
    std::string Name;
    std::string TypeText;
  };
  std::function<bool()> Open;
  std::function<std::optional<TInput>(int)> InputName;
};
KELDAR_RecordingInputHooks& RecordingInputHooks();

// The loaded DSP plug-in. Process runs on the audio library's processing thread for every
// block of the current channel (float samples, in place); CreateEffect and StopEffect run
// on the UI thread. A null entry means no plug-in is loaded. The DSP plug-in host stores
// these; the engine removes its feeder before the host unloads a plug-in.
struct KELDAR_DSPPluginHook {
  using ProcessFn = void (*)(void* buffer, std::uint32_t length, std::uint32_t rate,
                             std::uint32_t channels, std::uint32_t bytesPerSample);
  using ChannelFn = void (*)(std::uint32_t channel);
  std::atomic<ProcessFn> Process{nullptr};
  std::atomic<ChannelFn> CreateEffect{nullptr};
  std::atomic<ChannelFn> StopEffect{nullptr};
};
KELDAR_DSPPluginHook& DSPPluginHook();
