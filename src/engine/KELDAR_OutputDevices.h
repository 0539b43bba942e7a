// The sound output devices the audio library offers, and the user's choice among them.
// Device 0 is "no sound"; the numbers of the others follow the library's list as it is now
// (a sound server's sinks, then the devices without a server), so the choice is kept by name.
// UI thread only.
#pragma once

#include <string>
#include <vector>

struct TKELDAROutputDevice {
  int Number = 0;
  std::string Name;
  std::string Driver;
  bool IsDefault = false;  // what the default device (-1) opens
};

// Every device of the library's list, device 0 first.
std::vector<TKELDAROutputDevice> ListOutputDevices();

// The number of the first device with this name; -1 (the default device) for an empty name or
// a device that is not there any more.
int OutputDeviceNumberByName(const std::string& name);

// The engine's copy of the chosen device's name (empty: the default device); the library
// opens it when it starts.
std::string& KELDAR_OutputDeviceName();
