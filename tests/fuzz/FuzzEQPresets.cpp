// The equalizer presets file's lines: whatever they hold, every value read stays within
// 0..100, and what is read back after writing is what was written.
#include <cstdlib>
#include <sstream>

#include "FuzzInput.h"
#include "engine/EQPresets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  std::istringstream in(fuzz::Text(data, size));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  EQPresetsStructure presets;
  ResetEQPresetsValues(presets);
  GetSavedEQPresetsStrings(lines, presets);
  for (const auto& preset : presets.EQPresetsArray)
    for (const std::int32_t value : EQPresetValues(preset))
      if (value < 0 || value > 100) std::abort();

  EQPresetsStructure again;
  ResetEQPresetsValues(again);
  if (!GetSavedEQPresetsStrings(SetSavedEQPresetsStrings(presets), again)) std::abort();
  for (int slot = 0; slot < kEQPresetSlots; ++slot)
    if (EQPresetValues(again.EQPresetsArray[size_t(slot)]) != EQPresetValues(presets.EQPresetsArray[size_t(slot)]))
      std::abort();
  return 0;
}
