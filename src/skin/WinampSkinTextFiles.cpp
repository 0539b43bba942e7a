#include "skin/WinampSkinTextFiles.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Lines without their end-of-line characters; at most maxLines when given.
std::vector<std::string_view> Lines(std::string_view text, std::size_t maxLines = SIZE_MAX) {
  std::vector<std::string_view> lines;
  while (!text.empty() && lines.size() < maxLines) {
    const auto nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  return lines;
}

std::int32_t Channel(std::string_view field) {
  field = Trim(field);
  field = field.substr(0, field.find(' '));
  field = field.substr(0, field.find('\t'));
  std::int64_t value = 0;
  std::size_t digits = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return 0;  // not a number
    if (++digits > 9) return 255;
    value = value * 10 + (c - '0');
  }
  if (digits == 0) return 0;
  if (value >= 256) value /= 10;  // a stray digit typed after the number
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, 255));
}

}  // namespace

std::uint32_t ParseWinampVisColourLine(std::string_view line) {
  char separator = ',';
  if (line.find(',') == std::string_view::npos) {
    if (line.find('\t') != std::string_view::npos) separator = '\t';
    else if (line.find(' ') != std::string_view::npos) separator = ' ';
    else separator = '/';
  }
  std::array<std::int32_t, 3> rgb{};
  std::string_view rest = Trim(line);
  for (int i = 0; i < 3 && !rest.empty(); ++i) {
    const auto at = rest.find(separator);
    rgb[static_cast<std::size_t>(i)] = Channel(rest.substr(0, at));
    if (at == std::string_view::npos) break;
    rest = rest.substr(at + 1);
    if (separator == ' ' || separator == '\t') rest = Trim(rest);
  }
  return static_cast<std::uint32_t>(rgb[0]) | (static_cast<std::uint32_t>(rgb[1]) << 8) |
         (static_cast<std::uint32_t>(rgb[2]) << 16);
}

TWinampVisColours ParseWinampVisColours(std::string_view text) {
  TWinampVisColours colours{};
  const auto lines = Lines(text, 23);
  for (std::size_t i = 0; i < lines.size(); ++i) colours[i + 1] = ParseWinampVisColourLine(lines[i]);
  return colours;
}

std::string WinampTextWithLines(std::string_view pledit, std::initializer_list<const char*> lines) {
  std::string out(pledit);
  if (!out.empty() && out.back() != '\n') out += "\r\n";
  for (const char* line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::string WinampLibraryText(std::string_view pledit) {
  std::string last;
  for (std::string_view line : Lines(pledit)) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (Lower(Trim(line.substr(0, eq))) == "normalbg") last = "Headers" + std::string(line.substr(eq));
  }
  if (last.empty()) return std::string(pledit);
  return WinampTextWithLines(pledit, {last.c_str()});
}

std::string WinampRegionsText(std::string_view region) {
  // Skins write these names in every letter case.
  static const std::array<std::pair<const char*, const char*>, 4> kRenames = {{{"[normal]", "[DeckForm]"},
                                                                               {"[equalizer]", "[EqualizerForm]"},
                                                                               {"pointlist", "PolygonPoints"},
                                                                               {"numpoints", "PolygonPointsNumber"}}};
  std::string out;
  out.reserve(region.size() + 64);
  for (std::string_view line : Lines(region)) {
    std::string text(line);
    for (const auto& [from, to] : kRenames) {
      const std::string lower = Lower(text);
      const auto at = lower.find(from);
      if (at != std::string::npos) text.replace(at, std::string_view(from).size(), to);
    }
    out += text;
    out += "\r\n";
  }
  return out;
}
