// A plug-in that draws nothing and asks for everything, so that what is measured around its
// RenderProc is the host's own work. RenderProc reads the render thread's CPU clock.
#include <time.h>

#include <cstdint>

#include "SoniqueVisPlugin_API.h"

namespace {
double g_cpuSeconds = 0;
uint64_t g_frames = 0;

void Init() {}
int32_t Render(uint32_t* pixels, int32_t, int32_t, int32_t, VisRenderData*) {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  g_cpuSeconds = static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  ++g_frames;
  pixels[0] ^= 1;  // touch the picture as any plug-in does
  return 1;
}
VisPluginInfo g_info = {0, "null", 7, &Init, &Render, nullptr, nullptr, nullptr, nullptr};
}  // namespace

// The render thread's CPU time at the last RenderProc, and the number of frames so far.
extern "C" __attribute__((visibility("default"))) void NullVisPluginClock(double* cpuSeconds, uint64_t* frames) {
  *cpuSeconds = g_cpuSeconds;
  *frames = g_frames;
}
extern "C" __attribute__((visibility("default"))) VisPluginInfo* QueryModule() { return &g_info; }
