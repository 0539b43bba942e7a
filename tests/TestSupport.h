// Small helpers shared by the test suites: temporary folders and the message log.
#pragma once

#include <unistd.h>

#include <cstdint>
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

// A canonical PCM WAV: RIFF header, 16-byte fmt chunk, then a data chunk holding samples as given.
inline std::string PcmWav(int channels, int rate, int bits, const std::string& samples) {
  std::string out;
  auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF); };
  auto u16 = [&](std::uint16_t v) { out += static_cast<char>(v & 0xFF); out += static_cast<char>(v >> 8); };
  const auto align = static_cast<std::uint16_t>(channels * bits / 8);
  const auto dataBytes = static_cast<std::uint32_t>(samples.size());
  out += "RIFF";
  u32(36 + dataBytes);
  out += "WAVEfmt ";
  u32(16);
  u16(1);
  u16(static_cast<std::uint16_t>(channels));
  u32(static_cast<std::uint32_t>(rate));
  u32(static_cast<std::uint32_t>(rate) * align);
  u16(align);
  u16(static_cast<std::uint16_t>(bits));
  out += "data";
  u32(dataBytes);
  return out + samples;
}

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
