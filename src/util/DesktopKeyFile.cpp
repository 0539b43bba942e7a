#include "util/DesktopKeyFile.h"

#include "util/AtomicFile.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool IsGroupHeader(const std::string& line) {
  const std::string t = Trim(line);
  return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

}  // namespace

bool TDesktopKeyFile::Load(const std::string& path) {
  lines_.clear();
  std::error_code ec;
  if (!fs::exists(path, ec)) return true;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(line);
  }
  return !in.bad();
}

bool TDesktopKeyFile::Save(const std::string& path) const {
  std::error_code ec;
  fs::path target = path;
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  std::string text;
  for (const std::string& line : lines_) text += line + '\n';
  return WriteFileAtomically(target.string(), text);
}

bool TDesktopKeyFile::KeyOfLine(const std::string& line, std::string& key, std::string& value) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] == '#' || t[0] == '[') return false;
  const std::size_t eq = t.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(t.substr(0, eq));
  value = Trim(t.substr(eq + 1));
  return true;
}

std::pair<std::size_t, std::size_t> TDesktopKeyFile::GroupRange(const std::string& group) const {
  const std::string header = "[" + group + "]";
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (Trim(lines_[i]) != header) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !IsGroupHeader(lines_[end])) ++end;
    return {i + 1, end};
  }
  return {std::string::npos, std::string::npos};
}

std::optional<std::string> TDesktopKeyFile::Get(const std::string& group,
                                                const std::string& key) const {
  auto [begin, end] = GroupRange(group);
  if (begin == std::string::npos) return std::nullopt;
  std::string k, v;
  for (std::size_t i = begin; i < end; ++i)
    if (KeyOfLine(lines_[i], k, v) && k == key) return v;
  return std::nullopt;
}

void TDesktopKeyFile::Set(const std::string& group, const std::string& key,
                          const std::string& value) {
  const std::string line = key + "=" + value;
  auto [begin, end] = GroupRange(group);
  if (begin == std::string::npos) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.push_back("");
    lines_.push_back("[" + group + "]");
    lines_.push_back(line);
    return;
  }
  std::string k, v;
  std::size_t lastKey = begin;  // insert after the group's last key line, before blank lines
  for (std::size_t i = begin; i < end; ++i) {
    if (!KeyOfLine(lines_[i], k, v)) {
      if (!Trim(lines_[i]).empty()) lastKey = i + 1;  // keep comments above the new line
      continue;
    }
    if (k == key) {
      lines_[i] = line;
      return;
    }
    lastKey = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastKey), line);
}

void TDesktopKeyFile::Remove(const std::string& group, const std::string& key) {
  auto [begin, end] = GroupRange(group);
  if (begin == std::string::npos) return;
  std::string k, v;
  for (std::size_t i = end; i-- > begin;)
    if (KeyOfLine(lines_[i], k, v) && k == key) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::string UnescapeKeyFileValue(const std::string& value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    const char n = value[++i];
    switch (n) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += '\\'; out += n;  // unknown escapes are kept for the next reader
    }
  }
  return out;
}

std::string EscapeKeyFileValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}
