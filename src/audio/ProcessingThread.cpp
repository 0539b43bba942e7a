// The processing thread: decodes, runs effects and resamples for every playing channel,
// keeping each voice's buffer full, and turns drained voices into ended channels.
#include <kaudio.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <thread>

#include "audio/Config.h"
#include "audio/Library.h"

namespace kaudio {

uint64_t ThreadCpuNanos();

namespace {
// The longest rest while something plays: on a machine too busy to wake us on time, the
// buffers still have most of their length when we come.
constexpr uint32_t kLongestRestMs = 100;
std::mutex g_mutex;
std::condition_variable g_wake;
bool g_quit = false;
bool g_kick = false;
std::thread g_thread;

void Run() {
  std::vector<std::shared_ptr<Channel>> list;
  std::unique_lock lock(g_mutex);
  while (!g_quit) {
    lock.unlock();
    const uint64_t t0 = ThreadCpuNanos();
    list = Snapshot();
    std::vector<uint32_t> autofree;
    bool active = false;
    uint32_t spareMs = kLongestRestMs;
    for (auto& ch : list) {
      if (ch->IsDecode()) continue;
      if (ch->Service() && (ch->flags & KAUDIO_STREAM_AUTOFREE)) autofree.push_back(ch->handle);
      if (ch->NeedsService()) {
        active = true;
        spareMs = std::min(spareMs, ch->SpareMs());
      }
    }
    auto* out = Lib().output.get();
    if (out && !out->IsRunning()) active = false;
    list.clear();  // channels freed meanwhile are destroyed here, not under a lock
    for (uint32_t h : autofree) FreeChannel(h);
    AddBusyNanos(ThreadCpuNanos() - t0);
    lock.lock();
    // Nothing plays: sleep until a channel starts or the output resumes. Buffers well ahead
    // wait as long as they can spare: the wake-ups cost more than the refills.
    const uint32_t period = GetConfig().updatePeriodMs.load();
    if (active)
      g_wake.wait_for(lock, std::chrono::milliseconds(std::max(period, spareMs)), [] { return g_quit || g_kick; });
    else
      g_wake.wait(lock, [] { return g_quit || g_kick; });
    g_kick = false;
  }
}
}  // namespace

void StartProcessing() {
  std::lock_guard lock(g_mutex);
  if (g_thread.joinable()) return;
  g_quit = false;
  g_thread = std::thread(Run);
}

void StopProcessing() {
  {
    std::lock_guard lock(g_mutex);
    g_quit = true;
  }
  g_wake.notify_all();
  if (g_thread.joinable()) g_thread.join();
}

void WakeProcessing() {
  {
    std::lock_guard lock(g_mutex);
    g_kick = true;
  }
  g_wake.notify_all();
}

}  // namespace kaudio
