#include "engine/KELDAR_OutputDevices.h"

#include <kaudio.h>

std::vector<TKELDAROutputDevice> ListOutputDevices() {
  std::vector<TKELDAROutputDevice> devices;
  KAUDIO_DEVICEINFO info{};
  for (KAUDIO_DWORD i = 0; KAUDIO_GetDeviceInfo(i, &info); ++i) {
    TKELDAROutputDevice device;
    device.Number = int(i);
    device.Name = info.name ? info.name : "";
    device.Driver = info.driver ? info.driver : "";
    device.IsDefault = (info.flags & KAUDIO_DEVICE_ISDEFAULT) != 0;
    devices.push_back(std::move(device));
  }
  return devices;
}

int OutputDeviceNumberByName(const std::string& name) {
  if (name.empty()) return KAUDIO_DEVICE_DEFAULT;
  for (const TKELDAROutputDevice& device : ListOutputDevices())
    if (device.Name == name) return device.Number;
  return KAUDIO_DEVICE_DEFAULT;
}

std::string& KELDAR_OutputDeviceName() {
  static std::string name;
  return name;
}
