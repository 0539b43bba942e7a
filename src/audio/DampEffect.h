// Dynamic amplification: raises quiet passages towards a target level and pulls the gain
// back at once when the signal would exceed it.
#pragma once

#include <kaudio.h>

#include <cstdint>

namespace kaudio {

class DampEffect {
 public:
  DampEffect();
  void SetParameters(const KAUDIO_FX_DAMP_PARAMS& p);
  KAUDIO_FX_DAMP_PARAMS Parameters() const { return params_; }
  void Process(float* samples, uint32_t frames, uint32_t channels, uint32_t rate);
  float Gain() const { return gain_; }

 private:
  KAUDIO_FX_DAMP_PARAMS params_{};
  float gain_ = 1.0f;
  double holdSeconds_ = 0.0;  // time left before the gain may rise again
};

}  // namespace kaudio
