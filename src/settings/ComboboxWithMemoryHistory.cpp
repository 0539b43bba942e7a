#include "settings/ComboboxWithMemoryHistory.h"

#include <algorithm>
#include <cstddef>

#include "settings/ProfileIniFile.h"
#include "settings/SettingsFunctionsToINIFiles.h"

namespace {

std::string HistoryKey(std::size_t index) { return "H" + std::to_string(index); }

}  // namespace

std::vector<std::string> LoadHistoryList(const std::string& section, int capacity) {
  std::vector<std::string> items;
  try {
    TProfileIniFile file(SettingsFilePath());
    if (!file.Load()) return items;
    for (int i = 0; i < capacity; ++i) {
      std::string value = file.ReadString(section, HistoryKey(static_cast<std::size_t>(i)), {});
      if (!value.empty()) items.push_back(std::move(value));
    }
  } catch (...) {
    items.clear();
  }
  return items;
}

void SaveHistoryList(const std::string& section, int capacity,
                     const std::vector<std::string>& items) {
  try {
    TProfileIniFile file(SettingsFilePath());
    if (!file.Load()) return;
    for (std::size_t i = 0; i < items.size(); ++i)
      if (!file.WriteString(section, HistoryKey(i), items[i])) return;
    for (std::size_t i = items.size(); i < static_cast<std::size_t>(std::max(capacity, 0)); ++i)
      if (file.ReadValue(section, HistoryKey(i)) && !file.DeleteKey(section, HistoryKey(i)))
        return;
    file.Close();
  } catch (...) {
  }
}

void InsertIntoHistoryList(std::vector<std::string>& items, const std::string& text,
                           int capacity) {
  if (!text.empty() && std::find(items.begin(), items.end(), text) == items.end())
    items.insert(items.begin(), text);
  const std::size_t limit = static_cast<std::size_t>(std::max(capacity, 0));
  while (items.size() > limit) items.pop_back();
}
