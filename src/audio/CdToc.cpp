#include "audio/CdToc.h"

#include <cstdio>

namespace kaudio {

namespace {

int DigitSum(int64_t n) {
  int sum = 0;
  for (; n > 0; n /= 10) sum += static_cast<int>(n % 10);
  return sum;
}

}  // namespace

int64_t CdToc::TrackSectors(size_t i) const {
  if (i >= tracks.size()) return 0;
  const int64_t end = i + 1 < tracks.size() ? tracks[i + 1].start : leadout;
  return end > tracks[i].start ? end - tracks[i].start : 0;
}

std::string CdToc::FreedbDiscId() const {
  if (tracks.empty()) return {};
  int64_t n = 0;
  for (const CdTocTrack& t : tracks) n += DigitSum((t.start + kCdLeadIn) / kCdSectorsPerSecond);
  const int64_t seconds = (leadout + kCdLeadIn) / kCdSectorsPerSecond -
                          (tracks.front().start + kCdLeadIn) / kCdSectorsPerSecond;
  const uint32_t id = (static_cast<uint32_t>(n % 0xff) << 24) |
                      (static_cast<uint32_t>(seconds & 0xffff) << 8) |
                      static_cast<uint32_t>(tracks.size() & 0xff);
  char text[16];
  std::snprintf(text, sizeof text, "%08x", id);
  return text;
}

std::string CdToc::FreedbQuery() const {
  if (tracks.empty()) return {};
  std::string query = FreedbDiscId() + " " + std::to_string(tracks.size());
  for (const CdTocTrack& t : tracks) query += " " + std::to_string(t.start + kCdLeadIn);
  query += " " + std::to_string((leadout + kCdLeadIn) / kCdSectorsPerSecond);
  return query;
}

}  // namespace kaudio
