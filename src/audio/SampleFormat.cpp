#include "audio/SampleFormat.h"

#include <kaudio.h>

#include <cmath>
#include <cstring>

namespace kaudio {

uint32_t BytesPerSample(uint32_t flags) {
  if (flags & KAUDIO_SAMPLE_FLOAT) return 4;
  if (flags & KAUDIO_SAMPLE_8BITS) return 1;
  return 2;
}

void FloatToFormat(const float* src, size_t samples, uint32_t bytesPerSample, void* dst) {
  if (bytesPerSample == 4) {
    std::memcpy(dst, src, samples * sizeof(float));
    return;
  }
  if (bytesPerSample == 2) {
    auto* out = static_cast<int16_t*>(dst);
    for (size_t i = 0; i < samples; ++i) {
      float v = src[i] * 32768.0f;
      v = v > 32767.0f ? 32767.0f : (v < -32768.0f ? -32768.0f : v);
      out[i] = int16_t(std::lrintf(v));
    }
    return;
  }
  auto* out = static_cast<uint8_t*>(dst);
  for (size_t i = 0; i < samples; ++i) {
    float v = src[i] * 128.0f + 128.0f;
    v = v > 255.0f ? 255.0f : (v < 0.0f ? 0.0f : v);
    out[i] = uint8_t(std::lrintf(v));
  }
}

}  // namespace kaudio
