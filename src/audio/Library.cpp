#include "audio/Library.h"

#include <ctime>

#include "audio/Errors.h"
#include "audio/TempoSource.h"

namespace kaudio {

namespace {
std::atomic<uint32_t> g_nextHandle{1};
std::atomic<uint64_t> g_busyNanos{0};
}  // namespace

Library& Lib() {
  static Library lib;
  return lib;
}

uint32_t NewHandle() {
  uint32_t h = g_nextHandle.fetch_add(1);
  if (h == 0) h = g_nextHandle.fetch_add(1);
  return h;
}

bool IsInitialized() {
  std::lock_guard lock(Lib().mutex);
  return Lib().initialized;
}

uint32_t OutputRate() {
  auto* out = Lib().output.get();
  return out ? out->Rate() : 44100;
}

uint32_t OutputLatencyFrames() {
  auto* out = Lib().output.get();
  return out ? out->LatencyFrames() : 0;
}

uint64_t OutputPlayedFrames() {
  auto* out = Lib().output.get();
  return out ? out->PlayedFrames() : UINT64_MAX;
}

void DropOutputQueue() {
  if (auto* out = Lib().output.get()) out->DropQueued();
}

void WakeOutput() {
  if (auto* out = Lib().output.get()) out->Wake();
}

uint32_t RegisterChannel(std::shared_ptr<Channel> channel) {
  const uint32_t h = channel->handle;
  std::lock_guard lock(Lib().mutex);
  Lib().channels[h] = std::move(channel);
  return h;
}

std::shared_ptr<Channel> FindChannel(uint32_t handle) {
  {
    std::lock_guard lock(Lib().mutex);
    auto it = Lib().channels.find(handle);
    if (it != Lib().channels.end()) return it->second;
  }
  SetError(5);
  return nullptr;
}

std::shared_ptr<Channel> FindOwner(uint32_t sub) {
  uint32_t owner = 0;
  {
    std::lock_guard lock(Lib().mutex);
    auto it = Lib().owners.find(sub);
    if (it != Lib().owners.end()) owner = it->second;
  }
  if (!owner) { SetError(5); return nullptr; }
  return FindChannel(owner);
}

void RememberOwner(uint32_t sub, uint32_t channel) {
  std::lock_guard lock(Lib().mutex);
  Lib().owners[sub] = channel;
}

void ForgetOwner(uint32_t sub) {
  std::lock_guard lock(Lib().mutex);
  Lib().owners.erase(sub);
}

bool FreeChannel(uint32_t handle) {
  std::shared_ptr<Channel> ch;
  {
    std::lock_guard lock(Lib().mutex);
    auto it = Lib().channels.find(handle);
    if (it == Lib().channels.end()) { SetError(5); return false; }
    ch = std::move(it->second);
    Lib().channels.erase(it);
    for (auto o = Lib().owners.begin(); o != Lib().owners.end();)
      o = o->second == handle ? Lib().owners.erase(o) : std::next(o);
  }
  ch->Shutdown();
  ch->syncs.Raise(handle, KAUDIO_SYNC_FREE, 0);
  if (ch->ctype == KAUDIO_CTYPE_STREAM_TEMPO && (ch->flags & KAUDIO_FX_FREESOURCE))
    if (auto* t = dynamic_cast<TempoSource*>(ch->source.get())) FreeChannel(t->Inner()->handle);
  return true;
}

std::vector<std::shared_ptr<Channel>> Snapshot() {
  std::vector<std::shared_ptr<Channel>> list;
  std::lock_guard lock(Lib().mutex);
  list.reserve(Lib().channels.size());
  for (auto& [h, ch] : Lib().channels) list.push_back(ch);
  return list;
}

void AddBusyNanos(uint64_t ns) { g_busyNanos.fetch_add(ns, std::memory_order_relaxed); }
uint64_t BusyNanos() { return g_busyNanos.load() + Lib().mixer.BusyNanos(); }

uint64_t ThreadCpuNanos() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return uint64_t(ts.tv_sec) * 1000000000ull + uint64_t(ts.tv_nsec);
}

}  // namespace kaudio
