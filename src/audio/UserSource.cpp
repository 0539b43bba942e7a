#include "audio/UserSource.h"

#include <cstring>

namespace kaudio {

ReadResult UserSource::Read(float* dst, size_t frames, size_t* got) {
  *got = 0;
  if (!proc_ || ended_) return ReadResult::Ended;
  const size_t frameBytes = size_t(bps_) * format_.channels;
  raw_.resize(frames * frameBytes);
  const KAUDIO_DWORD r = proc_(handle_, raw_.data(), KAUDIO_DWORD(raw_.size()), user_);
  const size_t bytes = std::min<size_t>(r & ~KAUDIO_STREAMPROC_END, raw_.size());
  if (r & KAUDIO_STREAMPROC_END) ended_ = true;
  const size_t n = bytes / frameBytes;
  const size_t samples = n * format_.channels;
  if (bps_ == 4) {
    std::memcpy(dst, raw_.data(), samples * 4);
  } else if (bps_ == 2) {
    const auto* s = reinterpret_cast<const int16_t*>(raw_.data());
    for (size_t i = 0; i < samples; ++i) dst[i] = float(s[i]) / 32768.0f;
  } else {
    for (size_t i = 0; i < samples; ++i) dst[i] = (float(raw_[i]) - 128.0f) / 128.0f;
  }
  *got = n;
  position_ += n;
  if (n) return ReadResult::Data;
  return ended_ ? ReadResult::Ended : ReadResult::Stalled;
}

}  // namespace kaudio
