#include "skin/SkinDefinitionIniLines.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The name of a section header line, or nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// Key part of an entry line, or nothing when the line has no '='.
std::optional<std::string_view> EntryKey(std::string_view line) {
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

}  // namespace

std::vector<std::string> SplitSkinIniLines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::string JoinSkinIniLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

std::unordered_map<std::string, std::string> ReadSkinIniSection(const std::vector<std::string>& lines,
                                                               std::string_view section) {
  std::unordered_map<std::string, std::string> values;
  bool inside = false, seen = false;
  for (const auto& line : lines) {
    if (auto name = SectionName(line)) {
      if (inside) break;  // only the first section of that name counts
      inside = !seen && EqualNoCase(*name, section);
      seen = seen || inside;
      continue;
    }
    if (!inside) continue;
    if (auto key = EntryKey(line); key && !key->empty())
      values.emplace(std::string(*key), std::string(Trim(std::string_view(line).substr(line.find('=') + 1))));
  }
  return values;
}

void WriteSkinIniSection(std::vector<std::string>& lines, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& values) {
  // Locate the first section of that name: [begin, end) are its entry lines.
  std::size_t begin = lines.size(), end = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(lines[i]);
    if (!name) continue;
    if (begin == lines.size()) {
      if (EqualNoCase(*name, section)) begin = i + 1;
    } else {
      end = i;
      break;
    }
  }
  if (begin == lines.size()) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + std::string(section) + "]");
    begin = end = lines.size();
  }
  std::unordered_map<std::string, std::size_t> where;
  for (std::size_t i = begin; i < end; ++i)
    if (auto key = EntryKey(lines[i]); key && !key->empty()) where.emplace(std::string(*key), i);

  // New keys go after the last non-blank line of the section.
  std::size_t insertAt = end;
  while (insertAt > begin && Trim(lines[insertAt - 1]).empty()) --insertAt;
  std::vector<std::string> added;
  std::unordered_map<std::string, std::size_t> addedAt;  // a repeated key is written once, last value
  for (const auto& [key, value] : values) {
    std::string line = key + "=" + value;
    if (auto it = where.find(key); it != where.end())
      lines[it->second] = std::move(line);
    else if (auto a = addedAt.find(key); a != addedAt.end())
      added[a->second] = std::move(line);
    else {
      addedAt.emplace(key, added.size());
      added.push_back(std::move(line));
    }
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(), added.end());
}
