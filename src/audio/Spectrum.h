// FFT magnitudes for the data requests. Scratch space and transform contexts are kept per
// thread, so repeated calls allocate nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kaudio {

// FFT size of a data request (256 .. 4096), 0 when the request is not an FFT.
uint32_t FftSizeOf(uint32_t request);
// Output floats a request fills for a channel count.
size_t FftOutputFloats(uint32_t request, uint32_t channels);
// samples: fftSize interleaved frames. Magnitudes are sine amplitudes (full scale ~1.0).
bool ComputeSpectrum(const float* samples, uint32_t channels, uint32_t request, float* out);

}  // namespace kaudio
