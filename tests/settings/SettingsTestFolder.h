// A scratch folder per test, removed afterwards, with small file helpers.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class SettingsTestFolder {
 public:
  SettingsTestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "keldar-settings-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (char* made = ::mkdtemp(buffer.data())) path_ = made;
  }
  ~SettingsTestFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  SettingsTestFolder(const SettingsTestFolder&) = delete;
  SettingsTestFolder& operator=(const SettingsTestFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // Names of everything in the folder (to spot left-over temporary files).
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    return names;
  }

 private:
  std::string path_;
};

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
