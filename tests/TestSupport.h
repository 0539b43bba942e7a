// Small helpers shared by the test suites: temporary folders and the message log.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TTempFolder {
 public:
  TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "keldar-test-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    m_path = made ? made : pattern;
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

inline void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Routes ShowMessage into a log file for the lifetime of the object.
class TMessageLogCapture {
 public:
  explicit TMessageLogCapture(const std::string& path) : m_path(path) {
    std::remove(path.c_str());
    ::setenv("KELDAR_MESSAGE_LOG", path.c_str(), 1);
  }
  ~TMessageLogCapture() { ::unsetenv("KELDAR_MESSAGE_LOG"); }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};
