#include "NowPlayingSnapshot.h"

#include <sys/stat.h>

#include <cctype>

#include "zorvaneplayerapi_record.h"

namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Text(const uint8_t* record, int offset) {
  char buffer[ZPAPI_TEXT_FIELD_SIZE];
  zpapi_record_text(record, offset, buffer);
  return buffer;
}

uint8_t* Record() {
  // Mapped once the player made it; the player removes it only when it exits.
  static uint8_t* record = nullptr;
  if (record == nullptr) record = zpapi_record_open(0);
  return record;
}

}  // namespace

int64_t ShownTimeSeconds(const std::string& text) {
  std::string t = text;
  while (!t.empty() && (t.front() == ' ' || t.front() == '-')) t.erase(t.begin());
  const size_t colon = t.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= t.size()) return -1;
  int64_t minutes = 0, seconds = 0;
  for (size_t i = 0; i < colon; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(t[i])) || minutes > 1000000) return -1;
    minutes = minutes * 10 + (t[i] - '0');
  }
  for (size_t i = colon + 1; i < t.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(t[i])) || seconds > 1000) return -1;
    seconds = seconds * 10 + (t[i] - '0');
  }
  return minutes * 60 + seconds;
}

std::string FindSongArtwork(const std::string& path, const std::string& artist, const std::string& album,
                            const std::string& programFolder) {
  if (path.empty() || path.find("://") != std::string::npos) return {};
  std::string folder = path.substr(0, path.rfind('/') + 1);
  std::string upper;
  for (char c : path) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  const bool cdTrack = upper.size() > 4 && upper.compare(upper.size() - 4, 4, ".CDA") == 0;
  if (cdTrack) folder = programFolder + "/cdartwork/";
  std::string base;
  if (!artist.empty() && !album.empty())
    base = folder + artist + " - " + album;
  else if (cdTrack)
    return {};
  else {
    const size_t dot = path.rfind('.');
    base = dot != std::string::npos && dot > path.rfind('/') ? path.substr(0, dot) : path;
  }
  for (const char* extension : {".JPG", ".PNG", ".BMP"}) {
    std::string lower;
    for (const char* p = extension; *p; ++p) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*p))));
    if (IsFile(base + extension)) return base + extension;
    if (IsFile(base + lower)) return base + lower;
  }
  return {};
}

bool ReadNowPlayingRecord(TNowPlayingSnapshot& s) {
  const uint8_t* record = Record();
  s.PlayerThere = record != nullptr;
  if (!record) return false;
  const std::string status = Text(record, ZPAPI_OFS_PlayerStatusText);
  s.Status = status == "Playing" || status == "Paused" ? status : "Stopped";
  s.Title = Text(record, ZPAPI_OFS_TitleName);
  s.Artist = Text(record, ZPAPI_OFS_ArtistName);
  s.Album = Text(record, ZPAPI_OFS_AlbumName);
  s.Path = Text(record, ZPAPI_OFS_FullPathAndFilename);
  s.PlaylistPosition = Text(record, ZPAPI_OFS_PlaylistPositionText);
  const int64_t total = ShownTimeSeconds(Text(record, ZPAPI_OFS_TotalTimeText));
  const std::string currentText = Text(record, ZPAPI_OFS_CurrentTimeText);
  int64_t current = ShownTimeSeconds(currentText);
  // A display showing the time left counts down from the length.
  if (current >= 0 && currentText.find('-') != std::string::npos && total >= 0) current = total - current;
  s.LengthMicroseconds = total > 0 ? total * 1000000 : 0;
  s.PositionMicroseconds = current > 0 ? current * 1000000 : 0;
  return true;
}
