// The audio back-end: fills every engine operation slot on top of our audio library.
#pragma once

#include <cstdint>

// Registers the back-end in the next free slot (slot 1 at start-up); called once by main().
int RegisterBASSAPIBackend();
// The initialiser of the back-end's slot: binds the slots, then starts the library.
// Result: the library passed our compatibility check.
bool BASSAPI_Initialize();
// Our compatibility check on the library's version word: major version 1.
bool BASSAPI_VersionAccepted(std::uint32_t version);
// The output device the initialiser opens: -1 the device KELDAR_OutputDeviceName names, or the
// default one (falls back to no sound with a message); 0 no sound without one (tests and
// headless runs).
void BASSAPI_SetOutputDevice(int device);

// Back-end internals shared by its units (UI thread).
// The handle of the current media type's channel; 0 for types without one.
std::uint32_t BASSAPI_CurrentHandle();
// The module flags the engine settings ask for (ramping, surround, playback mode).
std::uint32_t BASSAPI_ModuleFlags();
// A channel's length in whole seconds (rounded), 0 when unknown.
std::int64_t BASSAPI_LengthSeconds(std::uint32_t handle);
// Fills the engine's ChannelInfo from a channel (all 0 when it cannot be read).
void BASSAPI_ReadChannelInfo(std::uint32_t handle);
