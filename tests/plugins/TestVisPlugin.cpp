// A visualization plug-in for the host tests: what it declares and how it behaves is set
// through TestVisPluginState(), which the test reaches by opening the same library; every
// call is logged there.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "SoniqueVisPlugin_API.h"
#include "TestVisPluginState.h"


namespace {
TTestVisPluginState g_state;
VisPluginInfo g_info;

void Log(char c) {
  std::lock_guard lock(g_state.CallsMutex);
  g_state.Calls += c;
}

// Faults like a plug-in built without our sanitizers would: a signal, not a UBSan report.
__attribute__((no_sanitize("undefined"))) void WriteThroughNull() {
  volatile int* volatile nowhere = nullptr;
  *nowhere = 1;
}

void Initialize() { Log('I'); }

int32_t Render(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch, VisRenderData* data) {
  Log('R');
  if (g_state.CrashInRender) WriteThroughNull();
  g_state.FirstPixelBeforeDrawing = pixels[0];
  const int n = g_state.RenderCount;
  if (n < 64) g_state.Milliseconds[n] = data->Milliseconds;
  g_state.Width = width;
  g_state.Height = height;
  g_state.Pitch = pitch;
  std::memcpy(&g_state.LastData, data, sizeof(VisRenderData));
  const uint32_t fill = g_state.Fill;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) pixels[y * pitch + x] = fill;
  ++g_state.RenderCount;  // last: a test that saw the count sees the frame's values
  return g_state.RenderResult.load();
}

int32_t Save(const char* ini) {
  Log('S');
  g_state.SettingsPathSeen = ini;
  // A real plug-in writes its own section; this one keeps one number in a file of its own.
  if (FILE* f = std::fopen(ini, "w")) {
    std::fprintf(f, "[testvis]\nvalue=%d\n", g_state.StoredValue);
    std::fclose(f);
  }
  return 1;
}

int32_t Open(const char* ini) {
  Log('O');
  g_state.SettingsPathSeen = ini;
  g_state.RestoredValue = -1;
  if (FILE* f = std::fopen(ini, "r")) {
    int v = 0;
    if (std::fscanf(f, "[testvis]\nvalue=%d", &v) == 1) g_state.RestoredValue = v;
    std::fclose(f);
  }
  return 1;
}

int32_t Deinit() {
  Log('D');
  return 1;
}

int32_t Clicked(int32_t x, int32_t y, int32_t buttons) {
  Log('C');
  g_state.ClickX = x;
  g_state.ClickY = y;
  g_state.ClickButtons = buttons;
  return 1;
}

// A name that runs into an unreadable page without a terminator.
const char* UnterminatedName() {
  static char* page = nullptr;
  const long size = sysconf(_SC_PAGESIZE);
  if (!page) {
    void* p = mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return "mmap failed";
    page = static_cast<char*>(p);
    std::memset(page, 'N', size);
    mprotect(page + size, size, PROT_NONE);
  }
  return page + size - 100;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) TTestVisPluginState* TestVisPluginState() { return &g_state; }

extern "C" __attribute__((visibility("default"))) VisPluginInfo* QueryModule() {
  Log('Q');
  if (g_state.QueryReturnsNull) return nullptr;
  g_info = {g_state.Version, g_state.UnterminatedName ? UnterminatedName() : "Test Vis Plugin",
            g_state.RequiredData, g_state.WithInitialize ? &Initialize : nullptr,
            g_state.WithRender ? &Render : nullptr, &Save, &Open, &Deinit, &Clicked};
  return &g_info;
}
