#include "cd/LibraryForSongs.h"

#include <algorithm>

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

bool IsLibraryCDTrack(const std::string& path) {
  return path.size() >= 4 && LowerAscii(path.substr(path.size() - 4)) == ".cda";
}

std::string TLibraryForSongs::Key(const std::string& path, const std::string& cddbId) {
  // A NUL cannot occur in a path, so the pair cannot be confused with another pair.
  return LowerAscii(path) + '\0' + LowerAscii(cddbId);
}

bool TLibraryForSongs::Contains(const std::string& path, const std::string& cddbId) const {
  return m_keys.count(Key(path, cddbId)) != 0;
}

bool TLibraryForSongs::Add(TLibraryForSongsItem item) {
  if (!m_keys.insert(Key(item.Lib_FullPathAndFilename, item.Lib_CDDB_ID)).second) return false;
  m_items.push_back(std::move(item));
  m_changed = true;
  return true;
}

bool TLibraryForSongs::Remove(int position) {
  if (position < 0 || position >= Count()) return false;
  const TLibraryForSongsItem& item = m_items[static_cast<std::size_t>(position)];
  m_keys.erase(Key(item.Lib_FullPathAndFilename, item.Lib_CDDB_ID));
  m_items.erase(m_items.begin() + position);
  m_changed = true;
  return true;
}

void TLibraryForSongs::Clear() {
  if (!m_items.empty()) m_changed = true;
  m_items.clear();
  m_keys.clear();
}

bool AddToLibrary(TLibraryForSongs& library, const std::string& artist, const std::string& path,
                  const std::string& cddbId, uint8_t rating, int32_t fileDate, int32_t fileSize, int32_t length,
                  int32_t endPos, int32_t startPos, int32_t cdIndex, const std::string& year,
                  const std::string& genre, const std::string& title, const std::string& album) {
  TLibraryForSongsItem item;
  item.Lib_ArtistName = artist;
  item.Lib_AlbumName = album;
  item.Lib_TitleName = title;
  item.Lib_TitleAlbumGenre = genre;
  item.Lib_TitleAlbumYear = year;
  item.Lib_TitleCDIndex = cdIndex;
  item.Lib_PlaybackStartPos = startPos;
  item.Lib_PlaybackEndPos = endPos;
  item.Lib_FilePlaybackLength = length;
  item.Lib_FileSize = fileSize;  // sign-extended from the 32-bit value
  item.Lib_FileDate = fileDate;
  item.Lib_TitleRating = rating;
  item.Lib_CDDB_ID = cddbId;
  item.Lib_FullPathAndFilename = path;
  return library.Add(std::move(item));
}
