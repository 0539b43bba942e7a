// Recording: the capture inputs and the one recording channel. Inputs are the sound
// server's sources (monitors included) when a PulseAudio server answers, else PortAudio's
// capture devices. The capture runs on its own thread, which hands every block to the
// attached encoders and then to the caller's callback.
#pragma once

#include <kaudio.h>

#include <memory>

namespace kaudio {

class Encoder;

// Recording handles share the channel calls; these answer for them (false: not ours).
bool IsRecordingHandle(uint32_t handle);
bool RecordingPlay(uint32_t handle);
bool RecordingStop(uint32_t handle);
uint32_t RecordingIsActive(uint32_t handle);
// The recording's format; false when handle is not a recording.
bool RecordingFormat(uint32_t handle, uint32_t* rate, uint32_t* channels, uint32_t* flags);
// Encoders fed from the recording thread.
void RecordingAttach(uint32_t handle, std::shared_ptr<Encoder> encoder);
void RecordingDetach(uint32_t handle, const Encoder* encoder);

}  // namespace kaudio
