#include "audio/Errors.h"

#include <atomic>

namespace kaudio {

namespace {
std::atomic<int> g_lastError{0};
}

void SetError(int code) { g_lastError.store(code, std::memory_order_relaxed); }
int LastError() { return g_lastError.load(std::memory_order_relaxed); }

}  // namespace kaudio
