// The engine interface: a table of operation slots that the chosen audio back-end fills,
// the back-end registration table, and the engine state shared with its callers.
// Every slot may be empty until a back-end is initialised; callers check before calling.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// One registered back-end.
struct KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord {
  // Binds the operation slots and starts the library; true on success.
  std::function<bool()> KELDAR_AUDIOVIDEO_API_InitializeFunction;
  std::string KELDAR_AUDIOVIDEO_API_AudioAPIDeveloper;
  std::string KELDAR_AUDIOVIDEO_API_AudioAPIName;
  std::string KELDAR_AUDIOVIDEO_API_AudioAPIVersion;
  std::string KELDAR_AUDIOVIDEO_API_AudioAPIDLLFileName;
};

// Ten slots (1-based as the program counts them; slot 0 unused), a count and the choice.
struct KELDAR_AUDIOVIDEO_API_AudioAPIToLoadStructure {
  static constexpr int kSlots = 10;
  KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord Slots[kSlots + 1];
  int Count = 0;
  int Chosen = -1;
};

KELDAR_AUDIOVIDEO_API_AudioAPIToLoadStructure& KELDAR_AUDIOVIDEO_API_AudioAPIToLoad();
// Registers a back-end in the next free slot; returns its slot index or -1 when full.
int RegisterAudioAPI(KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord record);
// Copies the slot into the current back-end and remembers it; false when it has no initialiser.
bool SelectAudioAPI(int slot);
const KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord& KELDAR_AUDIOVIDEO_API_CurrentAudioAPI();

// Engine copies of the settings, filled before the back-end is initialised.
struct KELDAR_AUDIOVIDEO_API_EngineSettings {
  uint32_t OutputSamplingRate = 48000;
  int32_t RecordingSamplingRate = 44100;
  int32_t RecordingChannels = 2;
  int32_t CDPlaybackMethod = 0;
  bool NonInterpolatedMixing = false;
  int32_t BufferLengthMs = 500;
  int32_t FadeInOutMs = 0;
  int32_t RampingMode = 1;
  int32_t SurroundMode = 0;
  int32_t MODPlaybackMode = 0;
  int32_t MODPanSeparationLevel = 50;
};
KELDAR_AUDIOVIDEO_API_EngineSettings& KELDAR_AUDIOVIDEO_API_Settings();

// Operation slots filled by the back-end's initialiser.
struct KELDAR_AUDIOVIDEO_API_Operations {
  std::function<void()> UnloadAudioAPI;
};
KELDAR_AUDIOVIDEO_API_Operations& KELDAR_AUDIOVIDEO_API_Slots();
