// Recording the sound input through the chosen encoder, and the recording inputs.
// UI thread only, except the recording callback (the library's recording thread), which
// only asks whether the encoder still runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/KELDAR_EncoderJob.h"

struct TRecordingState {
  static constexpr std::uint8_t kRecording = 0;
  static constexpr std::uint8_t kStopped = 2;
  std::uint8_t State = kStopped;
  std::atomic<std::uint32_t> Channel{0};
};
TRecordingState& RecordingState();

// "line-in", "microphone", ... from the top byte of the library's input flags.
std::string GetRecordingInputType(std::uint32_t inputFlags);
// Every input off, then Options_RecordingSourceInput on (volumes left as they are).
void SelectRecordingInput();
// Fills the engine's input listing from the library (installed at start-up).
void InstallRecordingInputHooks();

// Starts recording at rate and channels into job's encoder; false (state stopped) on failure.
bool StartRecording(BASSAPI_Encoder_Structure job, int rate, int channels);
void StopRecording();
bool IsRecording();

// Shows the recording dialog; installed by it.
std::function<void()>& RecordingDialogHook();
