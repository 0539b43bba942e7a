#include "util/GeneralPurposeInputFilenameFunctions.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

namespace fs = std::filesystem;

namespace {

std::string CapitaliseFirst(std::string s) {
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
  return s;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The stored spelling of name inside folder ("" = current folder), or empty when missing.
std::string StoredName(const std::string& folder, const std::string& name) {
  const std::string direct = folder + name;
  if (name == "." || name == ".." || Exists(direct.empty() ? "." : direct)) return name;
  std::vector<std::string> candidates;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "." : folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (SameText(entry, name)) candidates.push_back(std::move(entry));
  }
  if (candidates.empty()) return {};
  return *std::min_element(candidates.begin(), candidates.end());
}

}  // namespace

bool IsURL(const std::string& text) {
  for (const char* scheme : {"http://", "https://", "ftp://", "mms://"})
    if (PosText(scheme, text) != std::string::npos) return true;
  return false;
}

TArtistAndTitle ArtistAndTitleFromFileName(const std::string& path) {
  std::string name = ExtractFileName(path);
  name.erase(name.size() - ExtractFileExt(name).size());
  TArtistAndTitle result;
  const std::size_t dash = name.find('-');
  if (dash == std::string::npos) {
    result.Title = name;
  } else {
    result.Artist = name.substr(0, dash);
    result.Title = name.substr(dash + 1);
  }
  result.Artist = CapitaliseFirst(TrimText(result.Artist));
  result.Title = CapitaliseFirst(TrimText(result.Title));
  if (result.Artist.empty()) result.Artist = "Unknown Artist";
  if (result.Title.empty()) result.Title = "Untitled";
  return result;
}

std::string ExpandToLongPathName(const std::string& path) {
  if (IsURL(path)) return path;
  const std::size_t first = path.find('/');
  if (first == std::string::npos) return path;
  // The first component, up to and including the first separator, stays as it is.
  std::string result = path.substr(0, first + 1);
  std::size_t pos = first + 1;
  while (pos < path.size()) {
    std::size_t next = path.find('/', pos);
    if (next == std::string::npos) next = path.size();
    const std::string component = path.substr(pos, next - pos);
    pos = next + 1;
    if (component.empty()) continue;  // doubled or trailing separator
    const std::string stored = StoredName(result, component);
    if (stored.empty()) return path;
    result += stored + "/";
  }
  if (result.size() > 1) result.pop_back();
  return result;
}
