// The bundled template plug-in keeps its picture between frames and repaints only what changed:
// whatever the spectrum does, each frame must come out as a whole repaint would draw it.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <random>
#include <vector>

#include "TestSupport.h"
#include "plugins/SoniqueVisPlugin_API.h"

namespace {

// One loaded copy of the plug-in. Two copies of the file load as two instances with state of
// their own, so both can be fed the same frames.
struct TLoadedTemplate {
  explicit TLoadedTemplate(const std::string& path) {
    library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return;
    auto query = reinterpret_cast<VisQueryModuleProc>(dlsym(library, VIS_QUERY_MODULE_EXPORT));
    info = query ? query() : nullptr;
    if (info && info->InitializeProc) info->InitializeProc();
  }
  ~TLoadedTemplate() {
    if (info && info->DeinitProc) info->DeinitProc();
    if (library) dlclose(library);
  }
  TLoadedTemplate(const TLoadedTemplate&) = delete;
  TLoadedTemplate& operator=(const TLoadedTemplate&) = delete;
  void* library = nullptr;
  VisPluginInfo* info = nullptr;
};

// The picture as the plug-in sees it: pitch wider than the width, the margin never to be written.
struct TPicture {
  static constexpr int kWidth = 300, kHeight = 151, kPitch = 320;
  std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t(kPitch) * kHeight, 0x00ABCDEFu);
  int32_t Render(const TLoadedTemplate& plugin, VisRenderData& data) {
    return plugin.info->RenderProc(pixels.data(), kWidth, kHeight, kPitch, &data);
  }
};

TEST(TemplateVisPlugin, KeptPicturesMatchWholeRepaintsThroughRisingFallingAndWipedFrames) {
  const std::filesystem::path built = std::filesystem::path(KELDAR_TEMPLATE_VIS_PLUGIN);
  ASSERT_TRUE(std::filesystem::exists(built)) << built;
  TTempFolder dir;
  const std::string copy = dir / "SoniqueVisTemplatesCopy.svp";
  std::filesystem::copy_file(built, copy);
  TLoadedTemplate kept(built.string()), whole(copy);
  ASSERT_TRUE(kept.info && whole.info && kept.info->RenderProc && whole.info->RenderProc);
  ASSERT_NE(kept.info, whole.info) << "the two copies share their state";

  TPicture keptPicture;
  std::mt19937 random(7);
  VisRenderData data{};
  for (int frame = 0; frame < 240; ++frame) {
    // Loud bursts, silence (bars sink, caps fall) and noise in between.
    const int phase = frame / 30 % 4;
    for (auto& channel : data.Spectrum)
      for (auto& bin : channel)
        bin = phase == 0 ? uint8_t(random() % 256) : phase == 1 ? 0 : phase == 2 ? uint8_t(random() % 60) : 255;
    if (frame == 100)  // the host wiped the picture
      for (int y = 0; y < TPicture::kHeight; ++y)
        std::fill_n(keptPicture.pixels.begin() + y * TPicture::kPitch, TPicture::kWidth, 0u);
    // The other copy draws every frame into a fresh picture, so it paints it whole.
    TPicture wholePicture;
    ASSERT_EQ(keptPicture.Render(kept, data), 1);
    ASSERT_EQ(wholePicture.Render(whole, data), 1);
    for (int y = 0; y < TPicture::kHeight; ++y)
      for (int x = 0; x < TPicture::kPitch; ++x) {
        const size_t at = size_t(y) * TPicture::kPitch + x;
        ASSERT_EQ(keptPicture.pixels[at], wholePicture.pixels[at]) << "frame " << frame << " at " << x << "," << y;
      }
  }
}

}  // namespace
