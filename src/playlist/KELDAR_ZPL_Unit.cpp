#include "playlist/KELDAR_ZPL_Unit.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "util/AtomicFile.h"
#include "util/LittleEndianFields.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextEncoding.h"

namespace {

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

void TPlaylistItemStreamReader::Feed(const char* bytes, std::size_t count) {
  // Read in place when nothing is left over from the last piece.
  std::string_view data(bytes, count);
  if (!m_pending.empty()) {
    m_pending.append(bytes, count);
    data = m_pending;
  }
  std::size_t used = 0;
  for (;;) {
    TStreamReader reader(data, used);
    // An item that fails here may only be waiting for its next bytes; reading it again
    // later sets the same fields to the same values.
    if (reader.AtEnd() || !ReadItem(reader, m_item)) break;
    m_playlist.Add(m_item);
    used = reader.Position();
  }
  if (m_pending.empty()) m_pending.assign(data.substr(used));
  else m_pending.erase(0, used);
}

void TPlaylistItemStreamReader::Finish() {
  TStreamReader reader(m_pending);
  while (!reader.AtEnd()) {
    ReadItem(reader, m_item);
    m_playlist.Add(m_item);
  }
  m_pending.clear();
}

void ReadPlaylistItemsFromStream(TPlaylist& playlist, const std::string& stream, bool clearFirst) {
  if (clearFirst) playlist.Clear();
  TPlaylistItemStreamReader reader(playlist);
  reader.Feed(stream.data(), stream.size());
  reader.Finish();
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
