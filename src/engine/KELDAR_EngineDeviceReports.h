// The two device report boxes of the preferences: the output device and the CD drives.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "kaudio.h"

// The sound system an output device of our audio library goes through ("PulseAudio", "ALSA",
// "JACK", "none"), from the device's driver name.
std::string AudioOutputName(const std::string& driver);
// The warning shown when our audio library does not start.
const char* AudioLibraryVersionConflictText();
// The box text for the output device's description and capabilities; output names the sound
// system the device goes through.
std::string SoundDeviceInfoText(const std::string& description, const KAUDIO_INFO& info,
                                const std::string& output);
// Fills SoundDeviceDescription with output device 1's name and shows the report.
void ShowSoundDeviceInfo();

// What one CD drive reports about itself.
struct TCDDriveInfo {
  std::string Vendor;
  std::string Product;
  std::string Revision;
  std::uint32_t Capabilities = 0;
  std::uint32_t MaxReadSpeed = 0;  // KB/s
  std::uint32_t CacheSize = 0;     // KB
  bool CanReadCDText = false;
};
// Filled by the CD layer: drive i's report, nothing past the last drive. Empty: no drives.
std::function<std::optional<TCDDriveInfo>(int)>& CDDriveInfoProvider();
std::string CDDriveInfoText(int drive, const TCDDriveInfo& info);
// One box per drive; none at all without drives.
void ShowCDDrivesInfo();
