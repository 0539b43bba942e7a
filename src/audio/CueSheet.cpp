#include "audio/CueSheet.h"

#include <cctype>

namespace kaudio {

namespace {

// Longest time an index may name: 99:59:74.
constexpr int64_t kMaxIndexSectors = (99 * 60 + 59) * 75 + 74;
// Longest disc we accept, well beyond any real one (10 hours).
constexpr int64_t kMaxDiscSectors = 10LL * 3600 * 75;

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Next word (a quoted text counts as one word, without its quotes).
std::string_view Word(std::string_view& rest) {
  rest = Trim(rest);
  if (rest.empty()) return {};
  std::string_view word;
  if (rest.front() == '"') {
    const size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) {
      word = rest.substr(1);
      rest = {};
    } else {
      word = rest.substr(1, close - 1);
      rest.remove_prefix(close + 1);
    }
    return word;
  }
  size_t end = 0;
  while (end < rest.size() && !std::isspace(static_cast<unsigned char>(rest[end]))) ++end;
  word = rest.substr(0, end);
  rest.remove_prefix(end);
  return word;
}

std::optional<int> SmallNumber(std::string_view s, int max) {
  if (s.empty() || s.size() > 3) return std::nullopt;
  int n = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n > max) return std::nullopt;
  return n;
}

// "mm:ss:ff" in sectors.
std::optional<int64_t> Msf(std::string_view s) {
  const size_t a = s.find(':');
  if (a == std::string_view::npos) return std::nullopt;
  const size_t b = s.find(':', a + 1);
  if (b == std::string_view::npos) return std::nullopt;
  const auto m = SmallNumber(s.substr(0, a), 99);
  const auto sec = SmallNumber(s.substr(a + 1, b - a - 1), 59);
  const auto f = SmallNumber(s.substr(b + 1), 74);
  if (!m || !sec || !f) return std::nullopt;
  return (static_cast<int64_t>(*m) * 60 + *sec) * 75 + *f;
}

struct Builder {
  CueImage image;
  int file = -1;
  int64_t fileSize = 0;     // sectors of the current file
  int64_t cursor = 0;       // file sector up to which segments were laid out
  int64_t position = 0;     // disc sector where the cursor lies
  int64_t lastIndex = 0;    // last index position in the current file
  bool trackOpen = false;
  bool trackHasIndex1 = false;
  int64_t pendingGap = 0;

  void Lay(int64_t count, int f, int64_t fileSector) {
    if (count <= 0) return;
    image.segments.push_back({position, count, f, fileSector});
    position += count;
  }

  bool CloseTrack() {
    if (trackOpen && !trackHasIndex1) return false;
    trackOpen = false;
    return true;
  }

  bool CloseFile() {
    if (file < 0) return true;
    Lay(fileSize - cursor, file, cursor);
    cursor = fileSize;
    return position <= kMaxDiscSectors;
  }
};

}  // namespace

std::optional<CueImage> ParseCueSheet(std::string_view text,
                                      const std::function<int64_t(const std::string&)>& fileSectors) {
  if (text.size() > kCueSheetMaxBytes) return std::nullopt;
  Builder b;
  int lastTrackNumber = 0;
  while (!text.empty()) {
    size_t eol = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    // A byte-order mark before the first command.
    if (line.size() >= 3 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    std::string_view rest = line;
    const std::string command = Upper(Word(rest));
    if (command == "FILE") {
      if (!b.CloseTrack() || !b.CloseFile()) return std::nullopt;
      const std::string name(Word(rest));
      if (Upper(Word(rest)) != "BINARY" || name.empty()) return std::nullopt;
      const int64_t sectors = fileSectors(name);
      if (sectors < 0) return std::nullopt;
      b.image.files.push_back(name);
      b.file = static_cast<int>(b.image.files.size()) - 1;
      b.fileSize = sectors;
      b.cursor = 0;
      b.lastIndex = 0;
    } else if (command == "TRACK") {
      if (b.file < 0 || !b.CloseTrack()) return std::nullopt;
      const auto number = SmallNumber(Word(rest), kCdMaxTracks);
      if (!number || *number <= lastTrackNumber) return std::nullopt;
      const std::string mode = Upper(Word(rest));
      if (mode != "AUDIO" && mode != "MODE1/2352" && mode != "MODE2/2352") return std::nullopt;
      lastTrackNumber = *number;
      b.image.toc.tracks.push_back({*number, mode == "AUDIO", 0});
      b.trackOpen = true;
      b.trackHasIndex1 = false;
      b.pendingGap = 0;
    } else if (command == "PREGAP") {
      const auto gap = Msf(Word(rest));
      if (!b.trackOpen || b.trackHasIndex1 || !gap) return std::nullopt;
      b.pendingGap += *gap;
    } else if (command == "INDEX") {
      const auto index = SmallNumber(Word(rest), 99);
      const auto at = Msf(Word(rest));
      if (!b.trackOpen || !index || !at) return std::nullopt;
      if (*at > kMaxIndexSectors || *at < b.lastIndex || *at > b.fileSize) return std::nullopt;
      if (*index == 0 && b.trackHasIndex1) return std::nullopt;
      b.lastIndex = *at;
      if (*index == 1 && !b.trackHasIndex1) {
        // Lay out the file up to here, then the silence of a pregap.
        b.Lay(*at - b.cursor, b.file, b.cursor);
        b.cursor = *at;
        b.Lay(b.pendingGap, -1, 0);
        b.pendingGap = 0;
        b.image.toc.tracks.back().start = b.position;
        b.trackHasIndex1 = true;
      }
    }
    // REM, TITLE, PERFORMER, CATALOG, FLAGS, ISRC, POSTGAP, SONGWRITER, CDTEXTFILE and
    // unknown commands say nothing about where sectors lie.
  }
  if (!b.CloseTrack() || !b.CloseFile() || b.image.toc.tracks.empty()) return std::nullopt;
  b.image.toc.leadout = b.position;
  // Every track must hold at least one sector.
  for (size_t i = 0; i < b.image.toc.tracks.size(); ++i)
    if (b.image.toc.TrackSectors(i) <= 0) return std::nullopt;
  return std::move(b.image);
}

}  // namespace kaudio
