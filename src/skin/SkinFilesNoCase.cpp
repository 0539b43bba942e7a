#include "skin/SkinFilesNoCase.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::vector<fs::path> SortedFiles(const std::string& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) files.push_back(it->path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::string SkinFolderWithSeparator(const std::string& folder) {
  if (folder.empty()) return "./";
  return folder.back() == '/' ? folder : folder + "/";
}

std::string FindSkinFileNoCase(const std::string& folder, const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  const std::string dir = SkinFolderWithSeparator(folder);
  std::error_code ec;
  if (fs::is_regular_file(dir + name, ec)) return dir + name;
  for (const fs::path& p : SortedFiles(dir))
    if (EqualNoCase(p.filename().string(), name)) return p.string();
  return {};
}

std::string FindFirstSkinFileWithExtension(const std::string& folder, const std::string& ext) {
  for (const fs::path& p : SortedFiles(SkinFolderWithSeparator(folder)))
    if (EqualNoCase(p.extension().string(), ext)) return p.string();
  return {};
}

std::string OnlySubFolder(const std::string& folder) {
  std::string found;
  std::error_code ec;
  int count = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) {
      ++count;
      found = it->path().string() + "/";
    } else if (it->is_regular_file(ec)) {
      // Loose files beside the folder do not count: archives carry readmes at the top.
    }
  }
  return count == 1 ? found : std::string();
}
