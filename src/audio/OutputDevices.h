// The output devices the library offers: device 0 ("no sound"), then the PortAudio devices
// (ALSA, and a sound server through ALSA's plug-ins; JACK).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/OutputDevice.h"

namespace kaudio {

struct OutputDeviceEntry {
  std::string name;
  std::string driver;
  bool isDefault = false;
  int paIndex = -1;
};

// Devices 1 and up, in device-number order.
std::vector<OutputDeviceEntry> ListOutputDevices();

// device -1: the default; 0: no sound. Null when the device cannot be opened.
std::unique_ptr<OutputDevice> OpenOutputDevice(int device, uint32_t rate, Mixer* mixer);

}  // namespace kaudio
