#include "util/GeneralPurposeFunctions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <limits>
#include <filesystem>
#include <set>
#include <utility>

#include "util/ProgramFolders.h"

namespace fs = std::filesystem;

namespace {

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Length in bytes of the UTF-8 character starting at i ("?" stands for one character).
std::size_t CharLength(const std::string& s, std::size_t i) {
  std::size_t n = 1;
  while (i + n < s.size() && IsUtf8Continuation(s[i + n])) ++n;
  return n;
}

bool SameAsciiChar(char a, char b) {
  auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  return up(a) == up(b);
}

// Classic wildcard match with one remembered star; "?" consumes a whole UTF-8 character.
bool WildcardMatch(const std::string& name, const std::string& mask) {
  std::size_t n = 0, m = 0;
  std::size_t starMask = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && mask[m] == '?') {
      n += CharLength(name, n);
      ++m;
    } else if (m < mask.size() && SameAsciiChar(mask[m], name[n])) {
      ++n;
      ++m;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      starName += CharLength(name, starName);
      n = starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// Names of the regular files (symbolic links followed) directly in folder, sorted.
std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "." : folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    if (it->is_regular_file(sec)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> SubFolderNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "." : folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    if (!it->is_directory(sec)) continue;
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;  // hidden, "." and ".."
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string EntryPath(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : IncludeTrailingPathDelimiter(folder) + name;
}

bool IsDvdFolder(const std::string& folder) {
  const std::string withSeparator = IncludeTrailingPathDelimiter(folder);
  const std::size_t pos = PosText("VIDEO_TS/", withSeparator);
  return pos != std::string::npos && SameText(withSeparator.substr(pos), "VIDEO_TS/");
}

void SearchTree(const std::string& folder, const std::string& pattern,
                std::vector<std::string>& list, std::set<std::pair<dev_t, ino_t>>& visited) {
  struct stat st {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  if (!visited.insert({st.st_dev, st.st_ino}).second) return;  // a symbolic-link loop
  FindFilesInFolder(folder, pattern, list);
  for (const std::string& sub : SubFolderNamesIn(folder))
    SearchTree(EntryPath(folder, sub), pattern, list, visited);
}

bool StatRegularFile(const std::string& path, struct stat& st) {
  if (path.empty()) return false;
  std::error_code ec;
  const std::string absolute = fs::absolute(path, ec).string();
  if (ec) return false;
  return ::stat(absolute.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool MatchesFileMask(const std::string& name, const std::string& mask) {
  if (WildcardMatch(name, mask)) return true;
  // "abc.*" also stands for "abc", and "*.*" for every name.
  if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0)
    return WildcardMatch(name, mask.substr(0, mask.size() - 2));
  return false;
}

void FindFilesInFolder(const std::string& folder, const std::string& pattern,
                       std::vector<std::string>& list) {
  const std::vector<std::string> names = FileNamesIn(folder);
  if (IsDvdFolder(folder)) {
    auto ifo = std::find_if(names.begin(), names.end(),
                            [](const std::string& n) { return SameText(n, "VIDEO_TS.IFO"); });
    if (ifo != names.end()) {
      if (MatchesFileMask(*ifo, pattern)) list.push_back(EntryPath(folder, *ifo));
      return;
    }
  }
  const std::string patternExt = ExtractFileExt(pattern);
  const bool checkExtension = !patternExt.empty() && !HasWildcard(patternExt);
  for (const std::string& name : names) {
    if (!MatchesFileMask(name, pattern)) continue;
    if (checkExtension && !SameText(ExtractFileExt(name), patternExt)) continue;
    list.push_back(EntryPath(folder, name));
  }
}

void FindFilesInFolderTree(const std::string& folder, const std::string& pattern,
                           std::vector<std::string>& list) {
  std::set<std::pair<dev_t, ino_t>> visited;
  SearchTree(folder, pattern, list, visited);
}

std::string FindFirstFileName(const std::string& folder, const std::string& pattern) {
  for (const std::string& name : FileNamesIn(folder))
    if (MatchesFileMask(name, pattern)) return name;
  return {};
}

bool DeleteFileIfExists(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
  return ::unlink(path.c_str()) == 0;
}

void DeleteAllFilesInFolder(const std::string& folder) {
  if (folder.empty()) return;
  std::error_code ec;
  std::vector<fs::path> doomed;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    // A link is removed itself, never what it points to.
    if (it->is_symlink(sec) || !it->is_directory(sec)) doomed.push_back(it->path());
  }
  for (const fs::path& p : doomed) ::unlink(p.c_str());
}

std::int64_t GetFileSize64(const std::string& path) {
  struct stat st {};
  if (!StatRegularFile(path, st)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

namespace {

std::int32_t DateStampOf(const struct stat& st) {
  std::tm local {};
  const std::time_t mtime = st.st_mtime;
  if (!::localtime_r(&mtime, &local)) return -1;
  int year = local.tm_year + 1900;
  int month = local.tm_mon + 1, day = local.tm_mday;
  int hour = local.tm_hour, minute = local.tm_min, second = local.tm_sec;
  if (year < 1980) {
    year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  } else if (year > 2107) {
    year = 2107, month = 12, day = 31, hour = 23, minute = 59, second = 58;
  }
  second = std::min(second, 59);  // a leap second still fits the 2-second grid
  const std::uint32_t date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const std::uint32_t time = static_cast<std::uint32_t>((hour << 11) | (minute << 5) | (second / 2));
  return static_cast<std::int32_t>((date << 16) | time);
}

}  // namespace

std::int32_t GetFileDateStamp(const std::string& path) {
  struct stat st {};
  return StatRegularFile(path, st) ? DateStampOf(st) : -1;
}

bool GetFileSizeAndDateStamp(const std::string& path, std::int64_t& size, std::int32_t& date) {
  struct stat st {};
  if (!StatRegularFile(path, st)) {
    size = -1;
    date = -1;
    return false;
  }
  size = static_cast<std::int64_t>(st.st_size);
  date = DateStampOf(st);
  return true;
}

TMinutesAndSeconds SplitSecondsToMinutesAndSeconds(std::int64_t seconds) {
  if (seconds < 0) return {};
  return {seconds / 60, seconds % 60};
}

std::int64_t MinutesAndSecondsToSeconds(std::int64_t minutes, std::int64_t seconds) {
  if (minutes < 0 || seconds < 0) return 0;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  if (minutes > (kMax - seconds) / 60) return kMax;  // saturate instead of overflowing
  return minutes * 60 + seconds;
}
