#include "playlist/KELDAR_ZPL_Unit.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "util/AtomicFile.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextEncoding.h"

namespace {

void PutInt32(std::string& s, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  const char bytes[4] = {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                         static_cast<char>(u >> 24)};
  s.append(bytes, 4);
}

void PutInt64(std::string& s, int64_t v) {
  PutInt32(s, static_cast<int32_t>(static_cast<uint64_t>(v) & 0xFFFFFFFFu));
  PutInt32(s, static_cast<int32_t>(static_cast<uint64_t>(v) >> 32));
}

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

void PutString(std::string& s, const std::string& text) {
  // Most texts are plain ASCII: one code unit per byte, no conversion needed.
  if (IsAscii(text)) {
    PutInt32(s, static_cast<int32_t>(text.size()));
    const size_t at = s.size();
    s.resize(at + 2 * text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      s[at + 2 * i] = text[i];
      s[at + 2 * i + 1] = '\0';
    }
    return;
  }
  const std::u16string units = Utf8ToUtf16(text);
  PutInt32(s, static_cast<int32_t>(units.size()));
  const size_t at = s.size();
  s.resize(at + 2 * units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    s[at + 2 * i] = static_cast<char>(units[i] & 0xFF);
    s[at + 2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
}

// The whole file in one read; false when it is no readable regular file.
bool ReadFileBytes(const std::string& path, std::string& data) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  struct stat st {};
  bool ok = ::fstat(::fileno(file), &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    data.resize(static_cast<size_t>(st.st_size));
    const size_t read = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), file);
    data.resize(read);
    ok = !std::ferror(file);
  }
  std::fclose(file);
  return ok;
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
  // A count that is negative or runs past the end of the data is refused before anything
  // is allocated: the data ends inside this item, and the field keeps its value.
  bool String(std::string& v) {
    int32_t count;
    if (!Int32(count)) return false;
    const size_t available = m_data.size() - m_pos;
    if (count < 0 || static_cast<uint64_t>(count) * 2 > available) {
      m_pos = m_data.size();
      return false;
    }
    const size_t n = static_cast<size_t>(count);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(m_data.data()) + m_pos;
    m_pos += n * 2;
    bool ascii = true;
    for (size_t i = 0; i < n && ascii; ++i) ascii = bytes[2 * i + 1] == 0 && bytes[2 * i] < 0x80;
    if (ascii) {
      v.resize(n);
      for (size_t i = 0; i < n; ++i) v[i] = static_cast<char>(bytes[2 * i]);
      return true;
    }
    std::u16string units(n, u'\0');
    for (size_t i = 0; i < n; ++i) units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    v = Utf16ToUtf8(units);
    return true;
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
  size_t estimate = stream.size();
  for (const TPlayListBoxItem& item : playlist.Items())
    estimate += 85 + 24 + 2 * (item.FullPathAndFilename.size() + item.ArtistName.size() + item.TitleName.size() +
                               item.AlbumName.size() + item.TitleAlbumGenre.size() + item.TitleAlbumYear.size());
  stream.reserve(estimate);
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
  if (!ReadFileBytes(path, data)) {
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
