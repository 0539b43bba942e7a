#include "audio/Spectrum.h"

#include <kaudio.h>

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/tx.h>
}

#include <cmath>
#include <memory>

namespace kaudio {

namespace {

struct Transform {
  AVTXContext* ctx = nullptr;
  av_tx_fn fn = nullptr;
  float* in = nullptr;
  float* out = nullptr;  // n/2+1 complex values
  float* window = nullptr;
  float windowSum = 0.0f;
  ~Transform() {
    av_tx_uninit(&ctx);
    av_free(in);
    av_free(out);
    av_free(window);
  }
};

constexpr int kSizes = 5;  // 256 .. 4096

Transform* GetTransform(uint32_t size) {
  thread_local std::unique_ptr<Transform> cache[kSizes];
  int slot = 0;
  while ((256u << slot) != size) ++slot;
  auto& t = cache[slot];
  if (!t) {
    auto fresh = std::make_unique<Transform>();
    float scale = 1.0f;
    if (av_tx_init(&fresh->ctx, &fresh->fn, AV_TX_FLOAT_RDFT, 0, int(size), &scale, 0) < 0)
      return nullptr;
    fresh->in = static_cast<float*>(av_malloc(sizeof(float) * (size + 2)));
    fresh->out = static_cast<float*>(av_malloc(sizeof(float) * (size + 2)));
    fresh->window = static_cast<float*>(av_malloc(sizeof(float) * size));
    for (uint32_t i = 0; i < size; ++i) {
      fresh->window[i] = 0.5f - 0.5f * std::cos(2.0f * float(M_PI) * float(i) / float(size - 1));
      fresh->windowSum += fresh->window[i];
    }
    t = std::move(fresh);
  }
  return t.get();
}

}  // namespace

uint32_t FftSizeOf(uint32_t request) {
  if (!(request & 0x80000000u)) return 0;
  const uint32_t kind = request & 0x7;
  if (kind > 4) return 0;
  return 256u << kind;
}

size_t FftOutputFloats(uint32_t request, uint32_t channels) {
  const uint32_t size = FftSizeOf(request);
  const uint32_t per = (request & KAUDIO_DATA_FFT_INDIVIDUAL) ? channels : 1;
  return size_t(size / 2) * per;
}

bool ComputeSpectrum(const float* samples, uint32_t channels, uint32_t request, float* out) {
  const uint32_t size = FftSizeOf(request);
  if (!size || !channels) return false;
  Transform* t = GetTransform(size);
  if (!t) return false;
  const bool individual = (request & KAUDIO_DATA_FFT_INDIVIDUAL) && channels > 1;
  const bool window = !(request & KAUDIO_DATA_FFT_NOWINDOW);
  const float norm = 2.0f / (window ? t->windowSum : float(size));
  const uint32_t passes = individual ? channels : 1;
  for (uint32_t pass = 0; pass < passes; ++pass) {
    for (uint32_t i = 0; i < size; ++i) {
      float v;
      if (individual) {
        v = samples[size_t(i) * channels + pass];
      } else {
        v = 0.0f;
        for (uint32_t c = 0; c < channels; ++c) v += samples[size_t(i) * channels + c];
        v /= float(channels);
      }
      t->in[i] = window ? v * t->window[i] : v;
    }
    t->fn(t->ctx, t->out, t->in, sizeof(float));
    for (uint32_t k = 0; k < size / 2; ++k) {
      const float re = t->out[2 * k], im = t->out[2 * k + 1];
      const float mag = std::sqrt(re * re + im * im) * norm;
      out[individual ? size_t(k) * channels + pass : k] = mag;
    }
  }
  return true;
}

}  // namespace kaudio
