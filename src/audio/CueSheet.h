// The cue sheet of a CD image (".cue" beside its ".bin" files), read into a table of contents
// and a map of where every sector of the disc lies in the image files.
//
// Accepted: FILE with type BINARY (raw 2352-byte sectors, little-endian samples), TRACK with
// AUDIO, MODE1/2352 or MODE2/2352, INDEX, PREGAP (silence that is not in the file) and the
// descriptive commands, which are ignored. Anything else that would change where sectors lie
// (other file types or sector sizes), tracks out of order or beyond 99, a track without
// index 1, indexes that run backwards or past the end of their file, a missing file: the
// whole sheet is refused. Stateless; any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/CdToc.h"

namespace kaudio {

// A run of disc sectors: from the image file (file >= 0, at fileSector) or silence (-1).
struct CueSegment {
  int64_t start = 0;
  int64_t count = 0;
  int file = -1;
  int64_t fileSector = 0;
};

struct CueImage {
  CdToc toc;
  std::vector<std::string> files;  // as named by the sheet
  std::vector<CueSegment> segments;
};

// Sheets larger than this are refused unread.
inline constexpr size_t kCueSheetMaxBytes = 1 << 20;

// fileSectors gives the whole sectors of a named file, or -1 when it cannot be opened.
std::optional<CueImage> ParseCueSheet(std::string_view text,
                                      const std::function<int64_t(const std::string&)>& fileSectors);

}  // namespace kaudio
