// The song library in memory: the songs in insertion order, one per path and disc ID.
// The list position of a song is how the grid and every action find it. UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

struct TLibraryForSongsItem {
  std::string Lib_ArtistName;
  std::string Lib_AlbumName;
  std::string Lib_TitleName;
  std::string Lib_TitleAlbumGenre;
  std::string Lib_TitleAlbumYear;
  int32_t Lib_TitleCDIndex = 0;
  int32_t Lib_PlaybackStartPos = 0;
  int32_t Lib_PlaybackEndPos = 0;
  int32_t Lib_FilePlaybackLength = 0;
  int64_t Lib_FileSize = 0;
  int32_t Lib_FileDate = 0;  // packed DOS date/time; 0 or less means none
  uint8_t Lib_TitleRating = 0;
  std::string Lib_CDDB_ID;              // disc ID of a CD track, empty for files
  std::string Lib_FullPathAndFilename;  // for CD tracks only "TrackNN.cda"

  bool operator==(const TLibraryForSongsItem&) const = default;
};

// Whether a path names a CD track (extension ".cda", any case).
bool IsLibraryCDTrack(const std::string& path);

class TLibraryForSongs {
 public:
  int Count() const { return static_cast<int>(m_items.size()); }
  const TLibraryForSongsItem& Item(int position) const { return m_items[static_cast<std::size_t>(position)]; }
  const std::vector<TLibraryForSongsItem>& Items() const { return m_items; }

  // Appends the song unless one with the same path and disc ID (ASCII case ignored) is there;
  // false when it was already there.
  bool Add(TLibraryForSongsItem item);
  // Removes the song at the position; later songs move up one place. False when out of range.
  bool Remove(int position);
  void Clear();
  bool Contains(const std::string& path, const std::string& cddbId) const;

  // Set by every change; the window saves on hide only what it loaded plus changes.
  bool Changed() const { return m_changed; }
  void SetChanged(bool changed) { m_changed = changed; }

 private:
  static std::string Key(const std::string& path, const std::string& cddbId);
  std::vector<TLibraryForSongsItem> m_items;
  std::unordered_set<std::string> m_keys;
  bool m_changed = false;
};

// The library's field list, as the playlist hands over a song; the rating of a new song is 0.
bool AddToLibrary(TLibraryForSongs& library, const std::string& artist, const std::string& path,
                  const std::string& cddbId, uint8_t rating, int32_t fileDate, int32_t fileSize, int32_t length,
                  int32_t endPos, int32_t startPos, int32_t cdIndex, const std::string& year,
                  const std::string& genre, const std::string& title, const std::string& album);
