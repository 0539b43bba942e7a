#include "dialogs/SkinsListing.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "skin/KELDARSkinPackageKinds.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

namespace fs = std::filesystem;

namespace {

// A file inside the folder whose name matches, case ignored; empty when there is none.
std::string FileNoCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.is_regular_file(ec) && SameText(entry.path().filename().string(), name)) return entry.path().string();
  return {};
}

bool Wanted(TSkinFormatChoice format, TSkinFormatChoice kind) {
  return format == TSkinFormatChoice::All || format == kind;
}

void ListFolder(const fs::path& folder, TSkinFormatChoice format, std::set<std::string>& seen,
                std::vector<TListedSkin>& skins) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (const auto& entry : fs::directory_iterator(folder, ec)) entries.push_back(entry);
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
  const auto add = [&](const std::string& name, const std::string& path) {
    if (seen.insert(UpperCaseAscii(name)).second) skins.push_back({name, path});
  };
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (entry.is_directory(ec)) {
      if (Wanted(format, TSkinFormatChoice::Keldar)) {
        const std::string ini = FileNoCase(entry.path(), "keldarskin.ini");
        if (!ini.empty()) add(name, ini);
      }
      if (Wanted(format, TSkinFormatChoice::Winamp)) {
        const std::string main = FileNoCase(entry.path(), "main.bmp");
        if (!main.empty()) add(name, main);
      }
      if (Wanted(format, TSkinFormatChoice::Kjofol)) {
        for (const auto& inner : fs::directory_iterator(entry.path(), ec))
          if (inner.is_regular_file(ec) && SameText(inner.path().extension().string(), ".rc"))
            add(name + "/" + inner.path().filename().string(), inner.path().string());
      }
      continue;
    }
    const std::string extension = UpperCaseAscii(entry.path().extension().string());
    if ((extension == ".KSK" && Wanted(format, TSkinFormatChoice::Keldar)) ||
        (extension == ".WSZ" && Wanted(format, TSkinFormatChoice::Winamp)) ||
        ((extension == ".ZIP" || extension == ".RC") && Wanted(format, TSkinFormatChoice::Kjofol)))
      add(name, entry.path().string());
  }
}

}  // namespace

std::vector<TListedSkin> ListSkins(TSkinFormatChoice format) {
  std::vector<TListedSkin> skins{{"Default", "Default"}};
  std::set<std::string> seen{"DEFAULT"};
  ListFolder(fs::path(ProgramFolder()) / "skins", format, seen, skins);
  if (ExecutableFolder() != ProgramFolder()) ListFolder(fs::path(ExecutableFolder()) / "skins", format, seen, skins);
  return skins;
}

std::string SkinTypeText(const std::string& fullPath) {
  switch (DetectKELDARSkinPackageKind(fullPath)) {
    case skKeldarFolder: return "KELDAR Skin";
    case skKeldarPackage: return "KELDAR Compressed Skin";
    case skWinampFolder: return "Winamp Skin";
    case skWinampPackage: return "Winamp Compressed Skin";
    case skKjofolFolder: return "Kjofol Skin";
    case skKjofolPackage: return "Kjofol Compressed Skin";
    case skUnknown: break;
  }
  return "Unknown Skin Type";
}

std::string SkinFolderReadme(const std::string& folder) {
  const std::string path = FileNoCase(folder, "readme.txt");
  if (path.empty()) return {};
  std::ifstream in(path, std::ios::binary);
  std::string text(64 * 1024, '\0');
  in.read(text.data(), std::streamsize(text.size()));
  text.resize(size_t(in.gcount()));
  return text;
}
