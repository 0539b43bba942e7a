#include "cd/ArtworkFunctions.h"

#include <filesystem>
#include <system_error>

#include "plugins/ZorvanePlayerApiSharedRecord.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace fs = std::filesystem;

namespace {

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// The existing file whose name equals base + extension ignoring case; empty when none. The
// exact spelling is tried first, so a folder is read only when the name differs in case.
std::string ExistingWithExtension(const std::string& base, const std::string& extension) {
  for (const std::string& spelling : {base + extension, base + LowerCaseAscii(extension)})
    if (IsFile(spelling)) return spelling;
  const std::string folder = ExtractFilePath(base);
  const std::string wanted = UpperCaseAscii(ExtractFileName(base) + extension);
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (UpperCaseAscii(name) == wanted && it->is_regular_file(ec)) return folder + name;
  }
  return {};
}

}  // namespace

std::string ArtworkBaseName(const std::string& path, const std::string& artist, const std::string& album) {
  if (!artist.empty() && !album.empty()) return ExtractFilePath(path) + artist + " - " + album;
  const std::string extension = ExtractFileExt(path);
  return path.substr(0, path.size() - extension.size());
}

std::string FindArtworkFile(const std::string& path, const std::string& artist, const std::string& album) {
  const std::string base = ArtworkBaseName(path, artist, album);
  for (const char* extension : KELDAR_ARTWORK_EXTENSIONS) {
    std::string found = ExistingWithExtension(base, extension);
    if (!found.empty()) return found;
  }
  return {};
}

bool IsArtworkFile(const std::string& file) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(file));
  for (const char* known : KELDAR_ARTWORK_EXTENSIONS)
    if (extension == known) return true;
  return false;
}

std::string CDArtworkFolder(const std::string& programFolder) {
  return IncludeTrailingPathDelimiter(programFolder) + "cdartwork/";
}

std::string NoArtworkPicturePath(const std::string& programFolder) {
  return CDArtworkFolder(programFolder) + "NoArtworkSelected.bmp";
}

bool InstallArtwork(const std::string& path, const std::string& artist, const std::string& album, bool choose,
                    const std::string& file, const TArtworkInstallHooks& hooks) {
  const std::string base = ArtworkBaseName(path, artist, album);
  std::string source = file;
  if (choose) source = hooks.ChooseFile ? hooks.ChooseFile(KELDAR_ARTWORK_FILE_FILTER, ExtractFilePath(base)) : "";
  if (source.empty()) return false;
  if (!IsArtworkFile(source)) {
    ShowMessage("Unsupported artwork file type", {}, TMessageIcon::Error);
    return false;
  }
  const std::string target = base + ExtractFileExt(source);
  std::error_code ec;
  bool copied = false;
  bool attempted = true;
  if (fs::exists(target, ec)) {
    const TMessageAnswer answer =
        ShowMessage("Artwork File " + target + " exists" + "\r" + "Would you like to replace it?", {},
                    TMessageIcon::Question, TMessageButtons::YesNo, TMessageAnswer::No);
    attempted = answer == TMessageAnswer::Yes;
    // Copying a file onto itself would truncate it: replacing it by itself is done already.
    if (attempted && fs::equivalent(source, target, ec))
      copied = true;
    else if (attempted)
      copied = fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec) && !ec;
  } else {
    copied = fs::copy_file(source, target, fs::copy_options::none, ec) && !ec;
  }
  if (attempted && !copied) ShowMessage("Installation of Artwork Image:\r" + source + "\r" + "Failed", {}, TMessageIcon::Error);
  if (hooks.ShowAgain) hooks.ShowAgain();
  RequestBlankNowPlayingTick();
  return copied;
}
