#include "LadspaSettings.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr size_t kMaxLine = 4096;
constexpr size_t kMaxControls = 256;
constexpr unsigned long kMaxPort = 4096;

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
  return s.substr(a, b - a);
}

bool ParseNumber(const std::string& text, float& value) {
  if (text.empty() || text.size() > 64) return false;
  errno = 0;
  char* end = nullptr;
  const float v = std::strtof(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ParsePort(const std::string& text, unsigned long& port) {
  if (text.empty() || text.size() > 6) return false;
  unsigned long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned long>(c - '0');
  }
  if (v > kMaxPort) return false;
  port = v;
  return true;
}

}  // namespace

TLadspaSettings ParseLadspaSettings(const std::string& text) {
  TLadspaSettings s;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > kMaxLine) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    if (key == "Library") {
      s.Library = value;
    } else if (key == "Label") {
      s.Label = value;
    } else if (key.rfind("Control ", 0) == 0) {
      unsigned long port = 0;
      float v = 0;
      if (ParsePort(Trim(key.substr(8)), port) && ParseNumber(value, v) &&
          (s.Controls.size() < kMaxControls || s.Controls.count(port)))
        s.Controls[port] = v;
    }
  }
  return s;
}

std::string FormatLadspaSettings(const TLadspaSettings& settings) {
  std::string out = "Library=" + settings.Library + "\nLabel=" + settings.Label + "\n";
  for (const auto& [port, value] : settings.Controls) {
    char number[64];
    std::snprintf(number, sizeof number, "%.9g", static_cast<double>(value));
    out += "Control " + std::to_string(port) + "=" + number + "\n";
  }
  return out;
}

TLadspaSettings LoadLadspaSettingsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text;
  char buffer[4096];
  // A settings file is small; a huge one is not ours.
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<size_t>(in.gcount()));
    if (text.size() > 1 << 20) return {};
  }
  return ParseLadspaSettings(text);
}

bool SaveLadspaSettingsFile(const std::string& path, const TLadspaSettings& settings) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << FormatLadspaSettings(settings);
    if (!out.flush()) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}
