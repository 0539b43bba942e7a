// Times loading the built-in Default skin and an own-format skin folder (a copy of the
// exported Default-source folder). Target: each under 40 ms. Exit status 1 when missed.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "DefaultSkinSupport.h"
#include "TestSupport.h"
#include "skin/KELDARSkinLoader.h"
#include "util/ProgramFolders.h"

namespace {

double TimeLoad(const std::string& path, int rounds) {
  TQuietSkinWindows windows;
  LoadKELDARSkin(path, windows, true);  // warm-up
  double best = 1e9;
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    LoadKELDARSkin(path, windows, true);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    best = std::min(best, ms);
  }
  return best;
}

}  // namespace

int main() {
  TTempFolder program;
  SetProgramFolderForTesting(program.Path());
  const std::filesystem::path source = std::string(KELDAR_PROGRAM_DIR) + "/skins/Default-source";
  const std::filesystem::path copy = program.Path() + "/skins/Copy";
  std::filesystem::create_directories(copy);
  std::filesystem::copy(source, copy, std::filesystem::copy_options::recursive);

  const double builtIn = TimeLoad("Default", 20);
  const double folder = TimeLoad(copy.string() + "/keldarskin.ini", 20);
  std::printf("Default skin (built-in): %.2f ms (best of 20)\n", builtIn);
  std::printf("own-format skin folder:  %.2f ms (best of 20)\n", folder);
  const bool ok = builtIn < 40.0 && folder < 40.0;
  std::printf("target < 40 ms each: %s\n", ok ? "met" : "MISSED");
  return ok ? 0 : 1;
}
