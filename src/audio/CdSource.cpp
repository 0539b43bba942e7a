#include "audio/CdSource.h"

#include <kaudio.h>

#include <algorithm>
#include <cstring>

namespace kaudio {

namespace {
// Sectors read at once: about a tenth of a second.
constexpr uint32_t kSectorsPerRead = 8;
}  // namespace

std::unique_ptr<CdSource> CdSource::Open(const std::string& drivePath, uint32_t track, int* error) {
  auto disc = CdDisc::Open(drivePath, error);
  if (!disc) return nullptr;
  const CdToc& toc = disc->Toc();
  if (track >= toc.tracks.size()) {
    *error = KAUDIO_ERROR_ILLPARAM;
    return nullptr;
  }
  if (!toc.tracks[track].audio) {
    *error = KAUDIO_ERROR_NOTAUDIO;
    return nullptr;
  }
  auto src = std::unique_ptr<CdSource>(new CdSource);
  src->first_ = toc.tracks[track].start;
  src->sectors_ = toc.TrackSectors(track);
  src->disc_ = std::move(disc);
  src->buffer_.resize(static_cast<size_t>(kSectorsPerRead) * kCdSectorBytes);
  return src;
}

ReadResult CdSource::Read(float* dst, size_t frames, size_t* got) {
  *got = 0;
  const uint64_t total = static_cast<uint64_t>(sectors_) * kCdSectorFrames;
  while (*got < frames && position_ < total) {
    const uint64_t sector = position_ / kCdSectorFrames;
    const uint32_t skip = static_cast<uint32_t>(position_ % kCdSectorFrames);
    const uint32_t count = static_cast<uint32_t>(
        std::min<uint64_t>(kSectorsPerRead, static_cast<uint64_t>(sectors_) - sector));
    if (!disc_->ReadAudio(first_ + static_cast<int64_t>(sector), count, buffer_.data())) {
      // An unreadable stretch ends the track rather than repeating forever.
      position_ = total;
      break;
    }
    const size_t available = static_cast<size_t>(count) * kCdSectorFrames - skip;
    const size_t take = std::min(available, frames - *got);
    const uint8_t* p = buffer_.data() + static_cast<size_t>(skip) * 4;
    float* out = dst + *got * 2;
    for (size_t i = 0; i < take * 2; ++i) {
      const int16_t s = static_cast<int16_t>(p[2 * i] | (p[2 * i + 1] << 8));
      out[i] = s / 32768.0f;
    }
    *got += take;
    position_ += take;
  }
  return *got ? ReadResult::Data : ReadResult::Ended;
}

bool CdSource::Seek(uint64_t frame) {
  if (frame > static_cast<uint64_t>(sectors_) * kCdSectorFrames) return false;
  position_ = frame;
  return true;
}

}  // namespace kaudio
