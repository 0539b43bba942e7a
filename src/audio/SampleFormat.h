// Conversion of float samples to the byte formats a channel hands out.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kaudio {

// bytesPerSample: 1 (unsigned 8-bit), 2 (signed 16-bit) or 4 (float).
void FloatToFormat(const float* src, size_t samples, uint32_t bytesPerSample, void* dst);
uint32_t BytesPerSample(uint32_t flags);

}  // namespace kaudio
