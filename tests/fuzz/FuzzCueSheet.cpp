// Cue sheets: whatever the text, a sheet that is accepted describes a real disc (1 to 99
// tracks in order, each holding sectors, a lead-out after them) whose sectors are laid out
// once each, in order, inside the files the sheet named.
#include <cstdlib>

#include "FuzzInput.h"
#include "audio/CueSheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte chooses the image files' size; a name starting with "x" is missing.
  const int64_t sectors = size ? static_cast<int64_t>(data[0]) * 97 : 0;
  const std::string text = size ? fuzz::Text(data + 1, size - 1) : std::string();
  const auto image = kaudio::ParseCueSheet(text, [&](const std::string& name) -> int64_t {
    return !name.empty() && name[0] == 'x' ? -1 : sectors;
  });
  if (!image) return 0;
  const auto& toc = image->toc;
  if (toc.tracks.empty() || toc.tracks.size() > 99) std::abort();
  for (size_t i = 0; i < toc.tracks.size(); ++i) {
    if (toc.TrackSectors(i) <= 0) std::abort();
    if (i && toc.tracks[i].number <= toc.tracks[i - 1].number) std::abort();
  }
  int64_t next = 0;
  for (const auto& segment : image->segments) {
    if (segment.start != next || segment.count <= 0) std::abort();
    if (segment.file >= static_cast<int>(image->files.size())) std::abort();
    if (segment.file >= 0 && (segment.fileSector < 0 || segment.fileSector + segment.count > sectors)) std::abort();
    next += segment.count;
  }
  if (next != toc.leadout) std::abort();
  // The freedb identity of any accepted disc is well formed.
  if (toc.FreedbDiscId().size() != 8) std::abort();
  return 0;
}
