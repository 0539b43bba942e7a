#include "audio/OutputDevices.h"

#include "audio/NullOutput.h"
#include "audio/PortAudioOutput.h"

namespace kaudio {

std::vector<OutputDeviceEntry> ListOutputDevices() {
  std::vector<OutputDeviceEntry> list;
  for (const auto& d : PortAudioOutputDevices()) list.push_back({d.name, d.driver, d.isDefault, d.paIndex});
  return list;
}

std::unique_ptr<OutputDevice> OpenOutputDevice(int device, uint32_t rate, Mixer* mixer) {
  std::unique_ptr<OutputDevice> out;
  if (device == 0) {
    out = std::make_unique<NullOutput>();
  } else {
    const auto list = ListOutputDevices();
    const OutputDeviceEntry* chosen = nullptr;
    if (device < 0) {
      for (const auto& d : list)
        if (d.isDefault && !chosen) chosen = &d;
    } else if (size_t(device) <= list.size()) {
      chosen = &list[size_t(device) - 1];
    }
    if (!chosen) return nullptr;
    out = std::make_unique<PortAudioOutput>(chosen->paIndex);
  }
  if (!out->Open(rate, 2, mixer)) return nullptr;
  return out;
}

}  // namespace kaudio
