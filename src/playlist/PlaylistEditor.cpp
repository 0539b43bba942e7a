#include "playlist/PlaylistEditor.h"

#include <filesystem>
#include <system_error>

#include "engine/KELDAR_SupportedFileTypes.h"
#include "playlist/InputPluginServices.h"
#include "playlist/PlaylistCDTrackNaming.h"
#include "playlist/PlaylistFileLoading.h"
#include "playlist/PlaylistHooks.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"

namespace fs = std::filesystem;

namespace {

bool Supported(KELDAR_AUDIOVIDEO_API_MediaFileType type) {
  return type != KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
}

// What one input string contributes to the staging list.
void StageString(const std::string& name, std::vector<std::string>& staged) {
  // A drive or a disc image given by itself stands for its tracks.
  if (IsCDDriveLocation(name) && PlaylistHooks().ListCDTracks) {
    try {
      for (const std::string& track : PlaylistHooks().ListCDTracks(IncludeTrailingPathDelimiter(name) + "Track00.CDA"))
        staged.push_back(track);
    } catch (...) {
    }
    return;
  }
  const auto type = GetMediaFileType(name);
  if (!Supported(type)) return;
  if (type != KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES) {
    staged.push_back(name);
    return;
  }
  std::vector<std::string> entries;
  if (ListArchive(name, entries)) {
    for (const std::string& entry : entries)
      if (Supported(GetMediaFileType(entry))) staged.push_back(name + "/" + entry);
    return;
  }
  // Not an archive itself but an entry inside one (from a playlist or a hand-over).
  std::string archive, member;
  SplitCompressedFilePath(name, archive, member);
  if (!member.empty() && Supported(GetMediaFileType(member))) staged.push_back(name);
}

}  // namespace

void ProccessAddedFiles(const std::vector<std::string>& InputFilesStringList, bool UseAllDialogs) {
  ProccessAddedFiles(ThePlaylist(), InputFilesStringList, UseAllDialogs);
}

void ProccessAddedFiles(TPlaylist& playlist, const std::vector<std::string>& InputFilesStringList,
                        bool UseAllDialogs) {
  if (!InputFilesStringList.empty() &&
      UpperCaseAscii(ExtractFileExt(InputFilesStringList.front())) == ".KSK" &&
      !IsURL(InputFilesStringList.front())) {
    InstallAndApplySkinPackage(InputFilesStringList.front());
    return;
  }
  ProccessAndAddAllSupportedFilesToPlaylist(playlist, InputFilesStringList, UseAllDialogs);
}

void ProccessAndAddAllSupportedFilesToPlaylist(TPlaylist& playlist,
                                               const std::vector<std::string>& InputFilesStringList,
                                               bool UseAllDialogs) {
  std::vector<std::string> staged;
  for (const std::string& name : InputFilesStringList)
    if (!name.empty()) StageString(name, staged);

  const bool onlyOne = staged.size() == 1;
  for (const std::string& name : staged) {
    const auto type = GetMediaFileType(name);
    if (!Supported(type)) continue;
    if (type == KELDAR_AUDIOVIDEO_API_mtShoutcastStream || type == KELDAR_AUDIOVIDEO_API_mtzpInputPLAYLIST) {
      if (LoadPlaylistFile(playlist, name, onlyOne) != KELDAR_PLAYLIST_NOT_A_PLAYLIST) continue;
    }
    TPlayListBoxItem item;
    item.FullPathAndFilename = name;
    const TArtistAndTitle derived = ArtistAndTitleFromFileName(name);
    item.ArtistName = derived.Artist;
    item.TitleName = derived.Title;
    playlist.Add(std::move(item));
  }

  try {
    NameCDTrackEntries(playlist, UseAllDialogs);
  } catch (...) {
    // Naming is a courtesy; the entries are in the list either way.
  }
}

void AddFileToStringlist(const std::string& InputFilename, std::vector<std::string>& InputStringlist) {
  InputStringlist.push_back(InputFilename);
}

void GetAllKnownSupportedFilesFromDirectories(const std::string& inputDirectory,
                                              std::vector<std::string>& inputListToAddThem,
                                              bool inputAddAndSubDirectories) {
  // One walk over the folder gives every file in search order; each type then takes its
  // matches from it, as a search with that type's mask would have found them. Walking the
  // tree once per type costs a walk for each of the table's rows.
  std::vector<std::string> all;
  try {
    if (inputAddAndSubDirectories) FindFilesInFolderTree(inputDirectory, "*", all);
    else FindFilesInFolder(inputDirectory, "*", all);
  } catch (...) {
    return;
  }
  std::vector<std::string> names;
  names.reserve(all.size());
  for (const std::string& path : all) names.push_back(ExtractFileName(path));
  const auto& rows = SupportedFileTypes().Rows;
  for (size_t i = 1; i < rows.size(); ++i) {
    const std::string& extension = rows[i]->FileExtension;
    const std::string pattern = "*" + extension;
    const bool plainExtension = !extension.empty() && extension.find_first_of("*?") == std::string::npos;
    for (size_t f = 0; f < all.size(); ++f) {
      const std::string& name = names[f];
      if (plainExtension) {
        if (SameText(ExtractFileExt(name), extension)) inputListToAddThem.push_back(all[f]);
      } else if (MatchesFileMask(name, pattern)) {
        inputListToAddThem.push_back(all[f]);
      }
    }
  }
}

void AddDirectoryToPlaylist(TPlaylist& playlist, const std::string& folder) {
  std::vector<std::string> collection;
  if (PlaylistHooks().ListCDTracks) {
    try {
      for (const std::string& track : PlaylistHooks().ListCDTracks(IncludeTrailingPathDelimiter(folder) + "Track00.CDA"))
        AddFileToStringlist(track, collection);
    } catch (...) {
    }
  }
  GetAllKnownSupportedFilesFromDirectories(folder, collection, Options_PlaylistAddSubDirectories.BooleanValue);
  ProccessAddedFiles(playlist, collection, true);
  std::string songsDir = folder;
  while (songsDir.size() > 1 && songsDir.back() == '/') songsDir.pop_back();
  Options_SongsDir.StringValue = songsDir;
}

void AddURLToPlayList(TPlaylist& playlist, const std::string& InputURLString) {
  if (!IsURL(InputURLString)) return;
  ProccessAddedFiles(playlist, {InputURLString}, true);
}

bool InstallAndApplySkinPackage(const std::string& packagePath) {
  const std::string skins = ProgramFolder() + "/skins";
  const std::string name = ExtractFileName(packagePath);
  const std::string installed = skins + "/" + name;
  std::error_code ec;
  const bool alreadyThere = fs::equivalent(fs::path(packagePath).parent_path(), skins, ec);
  if (!alreadyThere && !fs::exists(installed, ec)) {
    fs::create_directories(skins, ec);
    fs::copy_file(packagePath, installed, fs::copy_options::skip_existing, ec);
  }
  if (!fs::is_regular_file(installed, ec)) return false;
  Options_SkinToBeLoaded.StringValue = name;
  if (PlaylistHooks().LoadSkinPackage) PlaylistHooks().LoadSkinPackage(installed);
  return true;
}

std::string ExtractArchiveEntry(const std::string& locator, const std::string& folder) {
  std::string archive, member;
  SplitCompressedFilePath(locator, archive, member);
  if (archive.empty() || member.empty()) return {};
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!ExtractFromArchive(archive, member, folder)) return {};
  const std::string extracted = IncludeTrailingPathDelimiter(folder) + ExtractFileName(member);
  return fs::is_regular_file(extracted, ec) ? extracted : std::string();
}

std::string ExtractArchiveEntryForPlaying(const std::string& locator) {
  return ExtractArchiveEntry(locator, ProgramFolder() + "/tempunzipped");
}
