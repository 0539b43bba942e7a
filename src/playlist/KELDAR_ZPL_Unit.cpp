#include "playlist/KELDAR_ZPL_Unit.h"

#include <cstring>

#include "util/AtomicFile.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextEncoding.h"

namespace {

void PutInt32(std::string& s, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) s += static_cast<char>((u >> (8 * i)) & 0xFF);
}

void PutInt64(std::string& s, int64_t v) {
  uint64_t u = static_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) s += static_cast<char>((u >> (8 * i)) & 0xFF);
}

void PutString(std::string& s, const std::string& text) {
  std::u16string units = Utf8ToUtf16(text);
  PutInt32(s, static_cast<int32_t>(units.size()));
  for (char16_t c : units) {
    s += static_cast<char>(c & 0xFF);
    s += static_cast<char>(c >> 8);
  }
}

// Reads little-endian fields; every read fails (and changes nothing) past the end of the data.
class TStreamReader {
 public:
  explicit TStreamReader(const std::string& data) : m_data(data) {}
  bool AtEnd() const { return m_pos >= m_data.size(); }

  bool Int32(int32_t& v) {
    uint64_t u;
    if (!Raw(4, u)) return false;
    v = static_cast<int32_t>(static_cast<uint32_t>(u));
    return true;
  }
  bool Int64(int64_t& v) {
    uint64_t u;
    if (!Raw(8, u)) return false;
    v = static_cast<int64_t>(u);
    return true;
  }
  bool Byte(bool& v) {
    uint64_t u;
    if (!Raw(1, u)) return false;
    v = u != 0;
    return true;
  }
  bool String(std::string& v) {
    int32_t count;
    if (!Int32(count)) return false;
    if (count < 0) count = 0;
    size_t bytes = static_cast<size_t>(count) * 2;
    // A count that runs past the end takes what is there: the data ends inside this item.
    size_t available = (m_data.size() - m_pos) & ~static_cast<size_t>(1);
    bool complete = bytes <= available;
    if (!complete) bytes = available;
    std::u16string units(bytes / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
      units[i] = static_cast<char16_t>(static_cast<unsigned char>(m_data[m_pos + 2 * i]) |
                                       (static_cast<unsigned char>(m_data[m_pos + 2 * i + 1]) << 8));
    m_pos += bytes;
    v = Utf16ToUtf8(units);
    if (!complete) m_pos = m_data.size();
    return complete;
  }

 private:
  bool Raw(size_t n, uint64_t& u) {
    if (m_data.size() - m_pos < n) {
      m_pos = m_data.size();
      return false;
    }
    u = 0;
    for (size_t i = 0; i < n; ++i) u |= static_cast<uint64_t>(static_cast<unsigned char>(m_data[m_pos + i])) << (8 * i);
    m_pos += n;
    return true;
  }

  const std::string& m_data;
  size_t m_pos = 0;
};

bool ReadItem(TStreamReader& r, TPlayListBoxItem& item) {
  return r.String(item.FullPathAndFilename) && r.String(item.ArtistName) && r.String(item.TitleName) &&
         r.String(item.AlbumName) && r.String(item.TitleAlbumGenre) && r.String(item.TitleAlbumYear) &&
         r.Int32(item.TitleCDIndex) && r.Int32(item.PlaybackStartPos) && r.Int32(item.PlaybackEndpos) &&
         r.Int32(item.FilePlaybackLength) && r.Int64(item.FileSize) && r.Int32(item.FileDate) &&
         r.Int32(item.PitchValue) && r.Int32(item.TempoValue) && r.Int32(item.EQSamplerate) &&
         r.Int32(item.PreampValue) && r.Int32(item.EQBandValues[0]) && r.Int32(item.EQBandValues[1]) &&
         r.Int32(item.EQBandValues[2]) && r.Int32(item.EQBandValues[3]) && r.Int32(item.EQBandValues[4]) &&
         r.Int32(item.EQBandValues[5]) && r.Int32(item.EQBandValues[6]) && r.Int32(item.EQBandValues[7]) &&
         r.Int32(item.EQBandValues[8]) && r.Int32(item.EQBandValues[9]) && r.Byte(item.TagIDDataRetrieved);
}

}  // namespace

void WritePlaylistItemsToStream(const TPlaylist& playlist, std::string& stream) {
  for (const TPlayListBoxItem& item : playlist.Items()) {
    PutString(stream, item.FullPathAndFilename);
    PutString(stream, item.ArtistName);
    PutString(stream, item.TitleName);
    PutString(stream, item.AlbumName);
    PutString(stream, item.TitleAlbumGenre);
    PutString(stream, item.TitleAlbumYear);
    PutInt32(stream, item.TitleCDIndex);
    PutInt32(stream, item.PlaybackStartPos);
    PutInt32(stream, item.PlaybackEndpos);
    PutInt32(stream, item.FilePlaybackLength);
    PutInt64(stream, item.FileSize);
    PutInt32(stream, item.FileDate);
    PutInt32(stream, item.PitchValue);
    PutInt32(stream, item.TempoValue);
    PutInt32(stream, item.EQSamplerate);
    PutInt32(stream, item.PreampValue);
    for (int32_t band : item.EQBandValues) PutInt32(stream, band);
    stream += static_cast<char>(item.TagIDDataRetrieved ? 1 : 0);
  }
}

void ReadPlaylistItemsFromStream(TPlaylist& playlist, const std::string& stream, bool clearFirst) {
  if (clearFirst) playlist.Clear();
  TStreamReader reader(stream);
  // One record is reused for the whole pass, so fields a truncated item leaves unread keep
  // the previous item's values.
  TPlayListBoxItem item;
  while (!reader.AtEnd()) {
    ReadItem(reader, item);
    playlist.Add(item);
  }
}

bool LoadZPLFile(TPlaylist& playlist, const std::string& path, bool clearFirst) {
  std::string data;
  if (!ReadWholeFile(path, data)) {
    ShowMessage("Loading Playlist Failed...");
    return false;
  }
  ReadPlaylistItemsFromStream(playlist, data, clearFirst);
  return true;
}

bool SaveZPLFile(const TPlaylist& playlist, const std::string& path) {
  std::string data;
  WritePlaylistItemsToStream(playlist, data);
  if (!WriteFileAtomically(path, data)) {
    ShowMessage("Saving Playlist Failed...");
    return false;
  }
  return true;
}

std::string DefaultPlaylistPath() { return ChangeFileExt(ProgramFilePath(), ".ZPL"); }
