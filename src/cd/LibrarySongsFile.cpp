#include "cd/LibrarySongsFile.h"

#include <filesystem>
#include <system_error>

#include "util/AtomicFile.h"
#include "util/GeneralPurposeFunctions.h"
#include "util/LittleEndianFields.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace {

bool ReadRecord(TStreamReader& r, TLibraryForSongsItem& item) {
  return r.String(item.Lib_ArtistName) && r.String(item.Lib_AlbumName) && r.String(item.Lib_TitleName) &&
         r.String(item.Lib_TitleAlbumGenre) && r.String(item.Lib_TitleAlbumYear) && r.Int32(item.Lib_TitleCDIndex) &&
         r.Int32(item.Lib_PlaybackStartPos) && r.Int32(item.Lib_PlaybackEndPos) &&
         r.Int32(item.Lib_FilePlaybackLength) && r.Int64(item.Lib_FileSize) && r.Int32(item.Lib_FileDate) &&
         r.Uint8(item.Lib_TitleRating) && r.String(item.Lib_CDDB_ID) && r.String(item.Lib_FullPathAndFilename);
}

}  // namespace

std::string LibrarySongsFilePath() { return ChangeFileExt(ProgramFilePath(), ".SDB"); }

bool ReadLibraryRecords(const std::string& data, TLibraryForSongs& library) {
  TStreamReader reader(data);
  while (!reader.AtEnd()) {
    TLibraryForSongsItem item;
    if (!ReadRecord(reader, item)) return false;
    library.Add(std::move(item));
  }
  return true;
}

std::string WriteLibraryRecords(const TLibraryForSongs& library) {
  std::string s;
  std::size_t estimate = 0;
  for (const TLibraryForSongsItem& item : library.Items())
    estimate += 45 + 2 * (item.Lib_ArtistName.size() + item.Lib_AlbumName.size() + item.Lib_TitleName.size() +
                          item.Lib_TitleAlbumGenre.size() + item.Lib_TitleAlbumYear.size() +
                          item.Lib_CDDB_ID.size() + item.Lib_FullPathAndFilename.size());
  s.reserve(estimate);
  for (const TLibraryForSongsItem& item : library.Items()) {
    PutString(s, item.Lib_ArtistName);
    PutString(s, item.Lib_AlbumName);
    PutString(s, item.Lib_TitleName);
    PutString(s, item.Lib_TitleAlbumGenre);
    PutString(s, item.Lib_TitleAlbumYear);
    PutInt32(s, item.Lib_TitleCDIndex);
    PutInt32(s, item.Lib_PlaybackStartPos);
    PutInt32(s, item.Lib_PlaybackEndPos);
    PutInt32(s, item.Lib_FilePlaybackLength);
    PutInt64(s, item.Lib_FileSize);
    PutInt32(s, item.Lib_FileDate);
    PutUint8(s, item.Lib_TitleRating);
    PutString(s, item.Lib_CDDB_ID);
    PutString(s, item.Lib_FullPathAndFilename);
  }
  return s;
}

TLibraryFileState LoadLibrary(TLibraryForSongs& library, const std::string& path) {
  TLibraryFileState state;
  library.Clear();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) {
    library.SetChanged(false);
    return state;
  }
  std::string data;
  const bool ok = ReadWholeFile(path, data) && ReadLibraryRecords(data, library);
  library.SetChanged(false);
  if (!ok) {
    state.LoadFailed = true;
    ShowMessage("Loading CDDatabase Failed...", {}, TMessageIcon::Error);
  }
  return state;
}

bool SaveLibrary(const TLibraryForSongs& library, const TLibraryFileState& state, const std::string& path) {
  if (state.LoadFailed && !library.Changed()) return true;
  if (!WriteFileAtomically(path, WriteLibraryRecords(library))) {
    ShowMessage("Saving CDDatabase Failed...", {}, TMessageIcon::Error);
    return false;
  }
  return true;
}
