#include "playlist/PlaylistCDTrackNaming.h"

#include <cctype>

#include "engine/KELDAR_SupportedFileTypes.h"
#include "playlist/PlaylistHooks.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

bool IsCDTrackLocator(const std::string& locator) {
  // The extension test first: classifying every entry of a long list would cost more.
  if (UpperCaseAscii(ExtractFileExt(locator)) != ".CDA") return false;
  const auto type = GetMediaFileType(locator);
  return type == KELDAR_AUDIOVIDEO_API_mtCDTrack || type == KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack;
}

bool IsCDDriveLocation(const std::string& location) {
  if (IsURL(location)) return false;
  const std::string ext = UpperCaseAscii(ExtractFileExt(location));
  if (ext == ".CUE") return true;
  std::string device = location;
  while (device.size() > 1 && device.back() == '/') device.pop_back();
  if (device.rfind("/dev/sr", 0) != 0 || device.size() == 7) return false;
  for (size_t i = 7; i < device.size(); ++i)
    if (device[i] < '0' || device[i] > '9') return false;
  return true;
}

int CDTrackIndexFromLocator(const std::string& locator) {
  const std::string name = ExtractFileName(locator);
  const size_t at = PosText("Track", name);
  if (at == std::string::npos) return -1;
  int number = 0;
  bool digits = false;
  for (size_t i = at + 5; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])); ++i) {
    digits = true;
    if (number < 100000) number = number * 10 + (name[i] - '0');
  }
  return digits ? number - 1 : -1;
}

void NameCDTrackEntries(TPlaylist& playlist, bool useAllDialogs, bool forceRefill) {
  const auto& hook = PlaylistHooks().NameCDTracks;
  if (!hook) return;
  std::string drive;
  for (int i = playlist.Count() - 1; i >= 0 && drive.empty(); --i) {
    const TPlayListBoxItem& item = playlist.Item(i);
    if ((forceRefill || !item.TagIDDataRetrieved) && IsCDTrackLocator(item.FullPathAndFilename))
      drive = ExtractFilePath(item.FullPathAndFilename);
  }
  if (drive.empty()) return;

  const bool freedbAllowed = useAllDialogs && Options_UsefreedbSupportState.BooleanValue;
  TPlaylistCDDiscNames names;
  if (!hook(drive, freedbAllowed, names)) return;

  for (int i = 0; i < playlist.Count(); ++i) {
    TPlayListBoxItem& item = playlist.Item(i);
    if (item.TagIDDataRetrieved && !forceRefill) continue;
    if (!SameText(ExtractFilePath(item.FullPathAndFilename), drive) ||
        !IsCDTrackLocator(item.FullPathAndFilename))
      continue;
    const int track = CDTrackIndexFromLocator(item.FullPathAndFilename);
    const bool known = track >= 0;
    const size_t t = known ? static_cast<size_t>(track) : 0;
    const TArtistAndTitle derived = ArtistAndTitleFromFileName(item.FullPathAndFilename);
    item.ArtistName = names.Artist.empty() ? derived.Artist : names.Artist;
    const std::string title = known && t < names.TrackTitles.size() ? names.TrackTitles[t] : std::string();
    item.TitleName = title.empty() ? derived.Title : title;
    item.AlbumName = names.Title;
    item.TitleAlbumGenre = names.Genre;
    item.TitleAlbumYear = names.Year;
    item.TitleCDIndex = track;
    if (known && t < names.TrackLengths.size()) playlist.SetItemLength(item, names.TrackLengths[t]);
    item.TagIDDataRetrieved = true;
  }
}
