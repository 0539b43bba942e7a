#include "util/KeyValueListFunctions.h"

#include "util/AtomicFile.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "util/TextFunctions.h"

bool ReadListFileLines(const std::string& path, std::vector<std::string>& lines, std::size_t maxLines) {
  lines.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (lines.size() < maxLines && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lines.empty() && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    lines.push_back(std::move(line));
  }
  if (in.bad()) {
    lines.clear();
    return false;
  }
  return true;
}

bool WriteListFileLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  return WriteFileAtomically(path, text);
}

std::string TakeKeyValueField(std::string& line, const std::string& key) {
  return TakeFieldBetweenMarkers(line, key, ";").Value;
}

std::optional<std::pair<std::string, std::string>> ParseKeyValueLine(const std::string& line) {
  const std::string t = TrimText(line);
  if (t.empty() || t[0] == ';' || t[0] == '#' || t[0] == '[') return std::nullopt;
  const std::size_t eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return std::make_pair(TrimText(t.substr(0, eq)), TrimText(t.substr(eq + 1)));
}
