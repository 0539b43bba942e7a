#include "skin/KELDARSkinPackageKinds.h"

#include <algorithm>
#include <cctype>

#include "util/ProgramFolders.h"

namespace {
std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}
std::string DirectoryOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

bool ContainsNoCase(const std::string& text, const std::string& part) {
  return Lower(text).find(Lower(part)) != std::string::npos;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && Lower(text.substr(text.size() - tail.size())) == Lower(tail);
}

SkinPackageKinds DetectKELDARSkinPackageKind(const std::string& fullPath) {
  if (EndsWithNoCase(fullPath, ".ksk")) return skKeldarPackage;
  if (EndsWithNoCase(fullPath, ".wsz")) return skWinampPackage;
  if (EndsWithNoCase(fullPath, ".zip")) return skKjofolPackage;
  std::string withSlash = fullPath;
  if (withSlash.empty() || (withSlash.back() != '/' && withSlash.back() != '\\')) withSlash += '/';
  if (withSlash == "Default/" || withSlash == "Default\\") return skKeldarFolder;
  if (ContainsNoCase(fullPath, "keldarskin.ini")) return skKeldarFolder;
  if (ContainsNoCase(fullPath, ".rc")) return skKjofolFolder;
  if (ContainsNoCase(fullPath, "main.bmp")) return skWinampFolder;
  return skUnknown;
}

std::string KELDARSkinsFolder() { return ProgramFolder() + "/skins/"; }

std::string KELDARSkinRelativeName(const std::string& fullPath) {
  const std::string prefix = KELDARSkinsFolder();
  if (fullPath.compare(0, prefix.size(), prefix) == 0) return fullPath.substr(prefix.size());
  return fullPath;
}

std::string KELDARSkinFullName(const std::string& relativeName) {
  if (relativeName == "Default" || relativeName.empty() || relativeName.front() == '/') return relativeName;
  return KELDARSkinsFolder() + relativeName;
}

std::string KELDARSkinRememberedName(const std::string& fullPath, SkinPackageKinds kind) {
  if (fullPath == "Default") return "Default";
  const std::string folder = KELDARSkinRelativeName(DirectoryOf(fullPath));
  switch (kind) {
    case skKeldarFolder:
    case skUnknown: return folder + "/keldarskin.ini";
    case skWinampFolder: return folder + "/MAIN.BMP";
    case skKjofolFolder: return folder + "/" + FileNameOf(fullPath);
    case skKeldarPackage:
    case skWinampPackage:
    case skKjofolPackage: return KELDARSkinRelativeName(fullPath);
  }
  return "Default";
}
