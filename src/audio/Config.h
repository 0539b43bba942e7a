// Library settings changed through KAUDIO_SetConfig; read by every thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace kaudio {

struct Config {
  std::atomic<uint32_t> bufferMs{500};
  std::atomic<uint32_t> updatePeriodMs{10};
  std::atomic<uint32_t> floatDsp{1};
  std::atomic<uint32_t> netTimeoutMs{5000};
  std::atomic<uint32_t> netBufferMs{5000};
};

Config& GetConfig();

}  // namespace kaudio
