// Running one LADSPA effect on the player's interleaved float blocks.
//
// A TLadspaChoice is the effect the user chose with its control values; the UI thread makes
// it, publishes it and changes only its values (atomics). TLadspaRunner lives on the
// processing thread: it instantiates the chosen effect for the stream's rate and channel count
// (again only when they or the choice change) and runs it in place.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "LadspaCatalogue.h"

struct TLadspaChoice {
  const TLadspaEffectInfo* Effect = nullptr;
  // One value per entry of Effect->Controls, in that order.
  std::unique_ptr<std::atomic<float>[]> Values;

  explicit TLadspaChoice(const TLadspaEffectInfo* effect);
};

class TLadspaRunner {
 public:
  TLadspaRunner() = default;
  ~TLadspaRunner() { Reset(); }
  TLadspaRunner(const TLadspaRunner&) = delete;
  TLadspaRunner& operator=(const TLadspaRunner&) = delete;

  // In place on frames x channels interleaved samples; channels other than 1 and 2, or no
  // choice, leave the block as it is.
  void Process(float* samples, uint32_t frames, uint32_t channels, uint32_t rate, const TLadspaChoice* choice);
  // Frees the instances (only while no block is being processed).
  void Reset();

 private:
  bool Prepare(const TLadspaChoice* choice, uint32_t channels, uint32_t rate);

  static constexpr uint32_t kChunk = 4096;
  const TLadspaChoice* m_choice = nullptr;
  uint32_t m_channels = 0, m_rate = 0;
  bool m_ready = false;
  std::vector<LADSPA_Handle> m_instances;
  std::vector<std::vector<LADSPA_Data>> m_ports;  // every port's value storage, per instance
  std::vector<float> m_in[2], m_out[2];
};
