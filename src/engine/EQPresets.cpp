#include "engine/EQPresets.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "util/KeyValueListFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace {

EQPresetsRecord Predefined(const char* name, std::array<std::int32_t, 10> bands) {
  EQPresetsRecord r;
  r.EQPresetName = name;
  r.EQPreAmpValue = 50;
  r.EQBandsValue = bands;
  r.EQPresetIsDefined = true;
  r.EQPresetCanBeEdited = false;
  return r;
}

const std::array<EQPresetsRecord, kEQPredefinedPresets>& PredefinedPresets() {
  static const std::array<EQPresetsRecord, kEQPredefinedPresets> presets{
      Predefined("Flat        (Predefined)", {50, 50, 50, 50, 50, 50, 50, 50, 50, 50}),
      Predefined("Classical   (Predefined)", {50, 50, 50, 50, 50, 50, 50, 25, 25, 12}),
      Predefined("Club        (Predefined)", {50, 50, 50, 67, 70, 70, 70, 67, 67, 50}),
      Predefined("Dance       (Predefined)", {82, 82, 73, 63, 50, 50, 30, 25, 25, 50}),
      Predefined("Pop         (Predefined)", {37, 37, 67, 73, 75, 68, 38, 37, 37, 37}),
      Predefined("Reggae      (Predefined)", {50, 50, 50, 38, 30, 50, 73, 73, 73, 50}),
      Predefined("Rock        (Predefined)", {75, 75, 67, 30, 23, 33, 67, 78, 78, 87}),
      Predefined("Techno      (Predefined)", {75, 75, 70, 50, 30, 32, 50, 75, 75, 78}),
      Predefined("Live        (Predefined)", {32, 32, 50, 67, 68, 70, 70, 67, 67, 63}),
      Predefined("Full Bass   (Predefined)", {82, 82, 82, 82, 70, 62, 33, 22, 22, 17}),
      Predefined("Full Treble (Predefined)", {12, 12, 12, 12, 33, 63, 87, 100, 100, 100}),
  };
  return presets;
}

// An optional sign and decimal digits only.
bool IsDecimalInteger(const std::string& t) {
  const std::size_t first = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  if (first == t.size()) return false;
  return std::all_of(t.begin() + static_cast<std::ptrdiff_t>(first), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A slider value line: a decimal integer (blanks around it allowed), limited to 0..100.
bool ParseSliderValue(const std::string& line, std::int32_t& value) {
  const std::string t = TrimText(line);
  if (t.size() > 20 || !IsDecimalInteger(t)) return false;
  errno = 0;
  const long long n = std::strtoll(t.c_str(), nullptr, 10);
  if (errno == ERANGE || n < INT32_MIN || n > INT32_MAX) return false;
  value = static_cast<std::int32_t>(std::clamp<long long>(n, 0, 100));
  return true;
}

// "True"/"False" in any case, or an integer (0 is false).
bool ParseFlag(const std::string& line, bool& flag) {
  const std::string t = TrimText(line);
  if (SameText(t, "true") || SameText(t, "false")) {
    flag = SameText(t, "true");
    return true;
  }
  if (!IsDecimalInteger(t)) return false;
  flag = t.find_first_not_of("+-0") != std::string::npos;
  return true;
}

const char* FlagText(bool flag) { return flag ? "True" : "False"; }

// Bigger than any presets file the program writes by far; such a file is treated as damaged
// instead of being read into memory.
constexpr std::uintmax_t kLargestPresetsFile = 4u << 20;

bool ReadPresetsFile(const std::string& path, std::vector<std::string>& lines, bool& tooLarge) {
  tooLarge = false;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return false;
  if (size > kLargestPresetsFile) {
    tooLarge = true;
    lines.clear();
    return true;
  }
  return ReadListFileLines(path, lines);
}

}  // namespace

TEQPresetValues EQPresetValues(const EQPresetsRecord& preset) {
  TEQPresetValues v{};
  v[0] = preset.EQPreAmpValue;
  for (std::size_t i = 0; i < 10; ++i) v[i + 1] = preset.EQBandsValue[i];
  return v;
}

void SetEQPresetValues(EQPresetsRecord& preset, const TEQPresetValues& values) {
  preset.EQPreAmpValue = values[0];
  for (std::size_t i = 0; i < 10; ++i) preset.EQBandsValue[i] = values[i + 1];
}

const EQPresetsRecord& EQPredefinedPreset(int index) {
  return PredefinedPresets()[static_cast<std::size_t>(std::clamp(index, 0, kEQPredefinedPresets - 1))];
}

EQPresetsRecord EQEmptyUserPreset() {
  EQPresetsRecord r;
  r.EQPresetName = kEQEmptyUserPresetName;
  return r;
}

void ResetEQPresetsValues(EQPresetsStructure& presets) {
  presets.EQPresetsTotal = 0;
  for (const EQPresetsRecord& p : PredefinedPresets())
    presets.EQPresetsArray[static_cast<std::size_t>(presets.EQPresetsTotal++)] = p;
  for (int i = 0; i < kEQUserPresets; ++i)
    presets.EQPresetsArray[static_cast<std::size_t>(presets.EQPresetsTotal++)] = EQEmptyUserPreset();
}

std::vector<std::string> SetSavedEQPresetsStrings(const EQPresetsStructure& presets) {
  std::vector<std::string> lines;
  lines.reserve(kEQPresetFileLines);
  for (int slot = kEQPredefinedPresets; slot < kEQPresetSlots; ++slot) {
    const EQPresetsRecord& p = presets.EQPresetsArray[static_cast<std::size_t>(slot)];
    lines.push_back(p.EQPresetName);
    lines.push_back(std::to_string(p.EQPreAmpValue));
    for (std::int32_t band : p.EQBandsValue) lines.push_back(std::to_string(band));
    lines.push_back(FlagText(p.EQPresetIsDefined));
    lines.push_back(FlagText(p.EQPresetCanBeEdited));
  }
  return lines;
}

bool GetSavedEQPresetsStrings(const std::vector<std::string>& lines, EQPresetsStructure& presets) {
  const int total = std::clamp(presets.EQPresetsTotal, kEQPredefinedPresets, kEQPresetSlots);
  std::size_t at = 0;
  for (int slot = kEQPredefinedPresets; slot < total; ++slot) {
    if (lines.size() < at + kEQPresetFileLinesPerSlot) return false;
    EQPresetsRecord p;
    p.EQPresetName = lines[at++];
    if (!ParseSliderValue(lines[at++], p.EQPreAmpValue)) return false;
    for (std::int32_t& band : p.EQBandsValue)
      if (!ParseSliderValue(lines[at++], band)) return false;
    if (!ParseFlag(lines[at++], p.EQPresetIsDefined)) return false;
    if (!ParseFlag(lines[at++], p.EQPresetCanBeEdited)) return false;
    presets.EQPresetsArray[static_cast<std::size_t>(slot)] = std::move(p);
  }
  return true;
}

std::string EQPresetsFilePath() { return ChangeFileExt(ProgramFilePath(), ".eqp"); }

bool SaveEQPresetsToFile(const std::string& path, const EQPresetsStructure& presets) {
  return WriteListFileLines(path, SetSavedEQPresetsStrings(presets));
}

void LoadEQPresetsFromFile(const std::string& path, EQPresetsStructure& presets) {
  std::vector<std::string> lines;
  bool tooLarge = false;
  if (!ReadPresetsFile(path, lines, tooLarge)) {
    ResetEQPresetsValues(presets);
    lines = SetSavedEQPresetsStrings(presets);
    SaveEQPresetsToFile(path, presets);
  }
  if (tooLarge || !GetSavedEQPresetsStrings(lines, presets)) {
    ShowMessage("Invalid " + path);
    ShowMessage("Press any key to Recreate: \r" + path);
    ResetEQPresetsValues(presets);
    SaveEQPresetsToFile(path, presets);
    GetSavedEQPresetsStrings(SetSavedEQPresetsStrings(presets), presets);
  }
}

int FindEQPresetWithValues(const EQPresetsStructure& presets, const TEQPresetValues& values) {
  for (int i = 0; i < presets.EQPresetsTotal && i < kEQPresetSlots; ++i)
    if (EQPresetValues(presets.EQPresetsArray[static_cast<std::size_t>(i)]) == values) return i;
  return -1;
}

int FirstFreeEQUserPreset(const EQPresetsStructure& presets) {
  for (int i = kEQPredefinedPresets; i < presets.EQPresetsTotal && i < kEQPresetSlots; ++i) {
    const EQPresetsRecord& p = presets.EQPresetsArray[static_cast<std::size_t>(i)];
    if (p.EQPresetCanBeEdited && !p.EQPresetIsDefined) return i;
  }
  return -1;
}
