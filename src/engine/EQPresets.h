// The equalizer presets: eleven predefined ones and nineteen user slots, and the presets
// file beside the program ("keldar3.eqp") that keeps the user slots, fourteen lines each:
// name, preamp, bands 1 to 10, defined ("True"/"False"), editable. No Qt; UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct EQPresetsRecord {
  std::string EQPresetName;
  std::int32_t EQPreAmpValue = 50;
  std::array<std::int32_t, 10> EQBandsValue{50, 50, 50, 50, 50, 50, 50, 50, 50, 50};
  bool EQPresetIsDefined = false;
  bool EQPresetCanBeEdited = true;
};

inline constexpr int kEQPredefinedPresets = 11;
inline constexpr int kEQUserPresets = 19;
inline constexpr int kEQPresetSlots = kEQPredefinedPresets + kEQUserPresets;
inline constexpr int kEQPresetFileLinesPerSlot = 14;
inline constexpr int kEQPresetFileLines = kEQUserPresets * kEQPresetFileLinesPerSlot;  // 266
inline constexpr const char* kEQEmptyUserPresetName = "User Preset <Empty>";

struct EQPresetsStructure {
  std::int32_t EQPresetsTotal = 0;
  std::array<EQPresetsRecord, kEQPresetSlots> EQPresetsArray{};
};

// The eleven slider values of a preset: preamp first, then bands 1 to 10.
using TEQPresetValues = std::array<std::int32_t, 11>;
TEQPresetValues EQPresetValues(const EQPresetsRecord& preset);
void SetEQPresetValues(EQPresetsRecord& preset, const TEQPresetValues& values);

// Predefined preset `index` (0..10), and the empty user slot.
const EQPresetsRecord& EQPredefinedPreset(int index);
EQPresetsRecord EQEmptyUserPreset();

// The predefined presets in slots 0 to 10 and empty user slots 11 to 29; total 30.
void ResetEQPresetsValues(EQPresetsStructure& presets);

// The user slots as the file's lines (266).
std::vector<std::string> SetSavedEQPresetsStrings(const EQPresetsStructure& presets);
// Reads the user slots 11..total-1 from the lines. False when a line is missing or a value
// line is not a number or a flag; slots read before the fault keep their new values. Values
// outside 0..100 are limited to 0..100.
bool GetSavedEQPresetsStrings(const std::vector<std::string>& lines, EQPresetsStructure& presets);

// "keldar3.eqp" beside the program.
std::string EQPresetsFilePath();

// The whole load of the dialog's creation: a missing or unreadable file is written fresh; a
// damaged one is reported ("Invalid " + file, then "Press any key to Recreate: \r" + file),
// written fresh and read again.
void LoadEQPresetsFromFile(const std::string& path, EQPresetsStructure& presets);
// Writes the user slots; a failed write is ignored (false is returned for the caller's tests).
bool SaveEQPresetsToFile(const std::string& path, const EQPresetsStructure& presets);

// The first slot whose eleven values equal these, or -1.
int FindEQPresetWithValues(const EQPresetsStructure& presets, const TEQPresetValues& values);
// The first user slot that is editable and not defined, or -1.
int FirstFreeEQUserPreset(const EQPresetsStructure& presets);
