// Template visualization plug-in: a stereo spectrum analyser with falling peak caps, and an
// oscilloscope; a click switches between the two. Written against SoniqueVisPlugin_API.h
// alone, as a starting point for anyone writing a plug-in.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "SoniqueVisPlugin_API.h"

namespace {

constexpr int kBars = 32;

// Set by ClickedProc on the UI thread, read once per frame on the render thread.
std::atomic<int> g_mode{0};
// Render thread only.
float g_level[2][kBars] = {};
float g_peak[2][kBars] = {};
float g_peakFall[2][kBars] = {};

// The spectrum bins of each bar, on a roughly logarithmic scale: bar b takes bins
// first[b] to last[b] - 1. Worked out once; they never change.
struct TBarBins {
  int First[kBars], Last[kBars];
  TBarBins() {
    for (int b = 0; b < kBars; ++b) {
      First[b] = static_cast<int>(std::pow(256.0, static_cast<double>(b) / kBars)) - 1;
      Last[b] = std::max(First[b] + 1, static_cast<int>(std::pow(256.0, static_cast<double>(b + 1) / kBars)) - 1);
    }
  }
};
const TBarBins kBarBins;

uint32_t Rgb(int r, int g, int b) {
  return (static_cast<uint32_t>(std::clamp(r, 0, 255)) << 16) | (static_cast<uint32_t>(std::clamp(g, 0, 255)) << 8) |
         static_cast<uint32_t>(std::clamp(b, 0, 255));
}

// Green at the bottom through yellow to red at the top of a bar.
uint32_t BarColour(float height) {
  const float t = std::clamp(height, 0.0f, 1.0f);
  if (t < 0.5f) return Rgb(static_cast<int>(t * 2 * 255), 220, 40);
  return Rgb(255, static_cast<int>((1.0f - t) * 2 * 220), 40);
}

void FillRect(uint32_t* pixels, int width, int height, int pitch, int x0, int y0, int x1, int y1, uint32_t colour) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width), y1 = std::min(y1, height);
  for (int y = y0; y < y1; ++y) std::fill(pixels + static_cast<ptrdiff_t>(y) * pitch + x0, pixels + static_cast<ptrdiff_t>(y) * pitch + x1, colour);
}

// A dark blue gradient, lighter towards the bottom.
uint32_t BackgroundAt(int y, int height) {
  const int shade = 8 + 16 * y / std::max(1, height);
  return Rgb(shade / 2, shade / 2, shade);
}

void DrawBackground(uint32_t* pixels, int width, int height, int pitch) {
  for (int y = 0; y < height; ++y)
    std::fill(pixels + static_cast<ptrdiff_t>(y) * pitch, pixels + static_cast<ptrdiff_t>(y) * pitch + width, BackgroundAt(y, height));
}

// The host keeps the picture between frames, so the analyser paints its background whole only
// once and then restores it where the last bars and caps stood: most of the picture is not
// written at all. A new picture, a new size, the other mode or a picture that was wiped (its
// first column, where no bar reaches, is not background) is painted whole again.
struct TPaintedBars {
  const uint32_t* Pixels = nullptr;
  int Width = 0, Height = 0, Pitch = 0;
  int Reach[2][kBars] = {};  // rows from the middle each bar and cap covered
};
TPaintedBars g_painted;

bool BackgroundStands(const uint32_t* pixels, int width, int height, int pitch) {
  if (g_painted.Pixels != pixels || g_painted.Width != width || g_painted.Height != height || g_painted.Pitch != pitch)
    return false;
  for (const int y : {0, height / 2, height - 1})
    if (pixels[static_cast<ptrdiff_t>(y) * pitch] != BackgroundAt(y, height)) return false;
  return true;
}

// Bars grouped on a roughly logarithmic scale, left channel above, right channel mirrored below.
void DrawSpectrum(uint32_t* pixels, int width, int height, int pitch, const VisRenderData& data) {
  const int half = height / 2;
  const int slot = std::max(1, width / kBars);
  const bool restore = BackgroundStands(pixels, width, height, pitch);
  if (!restore) {
    DrawBackground(pixels, width, height, pitch);
    g_painted = {pixels, width, height, pitch, {}};
  }
  for (int c = 0; c < 2; ++c)
    for (int b = 0; b < kBars; ++b) {
      const int x0 = b * slot + 1, x1 = (b + 1) * slot - 1;
      const int first = kBarBins.First[b], last = kBarBins.Last[b];
      int strongest = 0;
      for (int i = first; i < last && i < 256; ++i) strongest = std::max<int>(strongest, data.Spectrum[c][i]);
      const float target = std::min(1.0f, strongest / 110.0f);
      // Bars jump up and sink slowly; peak caps hang a moment, then fall faster and faster.
      g_level[c][b] = std::max(target, g_level[c][b] - 0.04f);
      if (g_level[c][b] >= g_peak[c][b]) {
        g_peak[c][b] = g_level[c][b];
        g_peakFall[c][b] = -0.02f;
      } else {
        g_peakFall[c][b] += 0.002f;
        g_peak[c][b] = std::max(g_level[c][b], g_peak[c][b] - std::max(0.0f, g_peakFall[c][b]));
      }
      const int bar = static_cast<int>(g_level[c][b] * (half - 2));
      const int peak = static_cast<int>(g_peak[c][b] * (half - 2));
      // Row k of a bar counts outwards from the middle; every third one is a gap. Rows the
      // last frame covered and this bar does not get their background back.
      const int reach = restore ? g_painted.Reach[c][b] : 0;
      for (int k = 0; k < std::max(bar, reach); ++k) {
        const int y = c == 0 ? half - 1 - k : half + k;
        if (k < bar && k % 3 != 2)
          FillRect(pixels, width, height, pitch, x0, y, x1, y + 1, BarColour(static_cast<float>(k) / std::max(1, half - 2)));
        else if (k < reach)
          FillRect(pixels, width, height, pitch, x0, y, x1, y + 1, BackgroundAt(y, height));
      }
      const int py = c == 0 ? half - 2 - peak : half + peak;
      FillRect(pixels, width, height, pitch, x0, py, x1, py + 2, Rgb(230, 230, 255));
      g_painted.Reach[c][b] = peak + 2;
    }
}

void Plot(uint32_t* pixels, int width, int height, int pitch, int x, int y, uint32_t colour) {
  if (x >= 0 && x < width && y >= 0 && y < height) pixels[static_cast<ptrdiff_t>(y) * pitch + x] = colour;
}

// Two traces joined point to point, with a dim glow under each line.
void DrawScope(uint32_t* pixels, int width, int height, int pitch, const VisRenderData& data) {
  DrawBackground(pixels, width, height, pitch);
  g_painted = {};  // the traces reach everywhere
  const int quarter = height / 4;
  for (int c = 0; c < 2; ++c) {
    const int base = c == 0 ? quarter : 3 * quarter;
    FillRect(pixels, width, height, pitch, 0, base, width, base + 1, Rgb(40, 50, 80));
    const uint32_t line = c == 0 ? Rgb(90, 255, 140) : Rgb(120, 180, 255);
    const uint32_t glow = c == 0 ? Rgb(20, 80, 40) : Rgb(30, 50, 90);
    int previous = base;
    for (int x = 0; x < width; ++x) {
      const int i = std::min(511, x * 512 / std::max(1, width));
      const int y = base - data.Waveform[c][i] * (quarter - 2) / 128;
      const int lo = std::min(previous, y), hi = std::max(previous, y);
      for (int v = lo - 1; v <= hi + 1; ++v) Plot(pixels, width, height, pitch, x, v, glow);
      for (int v = lo; v <= hi; ++v) Plot(pixels, width, height, pitch, x, v, line);
      previous = y;
    }
  }
}

void Initialize() {
  for (int c = 0; c < 2; ++c)
    for (int b = 0; b < kBars; ++b) g_level[c][b] = g_peak[c][b] = g_peakFall[c][b] = 0;
  g_painted = {};
}

int32_t Render(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch, VisRenderData* data) {
  if (pixels == nullptr || data == nullptr || width <= 0 || height <= 0 || pitch < width) return 0;
  if (g_mode.load() == 0)
    DrawSpectrum(pixels, width, height, pitch, *data);
  else
    DrawScope(pixels, width, height, pitch, *data);
  return 1;
}

int32_t Clicked(int32_t, int32_t, int32_t) {
  g_mode = (g_mode.load() + 1) % 2;
  return 1;
}

int32_t Deinit() { return 1; }

// No clearing by the host: the analyser keeps its background between frames, the scope paints it whole.
VisPluginInfo g_info = {1, "Keldar Spectrum and Scope", VIS_REQUIRES_WAVEFORM | VIS_REQUIRES_SPECTRUM,
                        &Initialize, &Render, nullptr, nullptr, &Deinit, &Clicked};

}  // namespace

extern "C" __attribute__((visibility("default"))) VisPluginInfo* QueryModule() { return &g_info; }
