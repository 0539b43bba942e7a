// SubRip files: whatever the bytes, reading gives valid UTF-8 lines, every cue's shown lines
// stay within their limit, and finding a cue for any time returns texts of a cue or nothing.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "FuzzInput.h"
#include "engine/KELDAR_Subtitles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_subtitles_" + std::to_string(getpid()) + ".srt";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const auto lines = ReadSubtitleFileLines(path);
  if (!lines) std::abort();  // small files are always read
  for (const auto& line : *lines)
    if (!IsValidUtf8(line) || line.find('\n') != std::string::npos) std::abort();
  const auto records = ParseSubtitles(*lines);
  for (const auto& r : records) {
    if (r.SubtitleLine1.size() > kMaxSubtitleLineBytes || r.SubtitleLine2.size() > kMaxSubtitleLineBytes) std::abort();
    if (r.SubtitleLine1.empty() && !r.SubtitleLine2.empty()) std::abort();
  }
  const std::int64_t probe = size >= 4 ? static_cast<std::int64_t>(data[0] | data[1] << 8 | data[2] << 16) * 37 : 0;
  std::string a, b;
  FindSubtitle(records, probe, a, b);
  if (!a.empty()) {
    bool found = false;
    for (const auto& r : records) found |= r.SubtitleStartTime <= probe && probe <= r.SubtitleEndTime;
    if (!found) std::abort();
  }
  ParseSubtitleTime(fuzz::Text(data, size));
  return 0;
}
