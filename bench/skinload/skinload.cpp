// Times loading the built-in Default skin and an own-format skin folder (a copy of the
// exported Default-source folder), target each under 40 ms; and a Winamp and a K-Jofol skin
// with their conversion (it runs at every load), target each under 100 ms. Exit status 1
// when a target is missed.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "DefaultSkinSupport.h"
#include "TestSupport.h"
#include "WinampClassicSkinPainter.h"
#include "skin/ConvertKjofolSkinToKELDARSkinUnit.h"
#include "skin/ConvertWinampSkinToKELDARSkinUnit.h"
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

  // Foreign skins drawn here: the classic Winamp pictures and a K-Jofol skin cut from them.
  SetKELDARSkinConverters(ConvertWinampSkinToKELDARSkin, ConvertKjofolSkinToKELDARSkin);
  WriteWinampClassicSkin(program.Path() + "/skins/winampdefault", false);
  const std::string winamp = program.Path() + "/skins/classic";
  WriteWinampClassicSkin(winamp, true);
  const std::string kjofol = program.Path() + "/skins/kj";
  std::filesystem::create_directories(kjofol);
  PaintWinampClassicBitmap("eqmain.bmp", true).save(QString::fromStdString(kjofol + "/back.bmp"), "BMP");
  PaintWinampClassicBitmap("pledit.bmp", true).save(QString::fromStdString(kjofol + "/list.bmp"), "BMP");
  PaintWinampClassicBitmap("text.bmp", true).save(QString::fromStdString(kjofol + "/font.bmp"), "BMP");
  PaintWinampClassicBitmap("numbers.bmp", true).save(QString::fromStdString(kjofol + "/time.bmp"), "BMP");
  WriteTextFile(kjofol + "/skin.rc",
                "BackgroundImage back.bmp\r\nBackgroundImagePressed1 back.bmp\r\nFontImage font.bmp\r\n"
                "FontSize 5 6\r\nTimeFontImage time.bmp\r\nTimeFontSize 9 13\r\nVolumeControlImage font.bmp\r\n"
                "VolumeControlButton 10 200 109 209 v\r\nSeekImage back.bmp\r\nSeekRegion 10 220 200 229\r\n"
                "PlayButton 10 10 30 30 Play BMP1\r\nPlaylistBmp list.bmp\r\nPlaylistWindowText 12 20 250 70\r\n"
                "AnalyzerWindow 100 100 160 120 x\r\nAnalyzerColor 200 100 0\r\n");

  const double builtIn = TimeLoad("Default", 20);
  const double folder = TimeLoad(copy.string() + "/keldarskin.ini", 20);
  std::printf("Default skin (built-in): %.2f ms (best of 20)\n", builtIn);
  std::printf("own-format skin folder:  %.2f ms (best of 20)\n", folder);
  const double winampMs = TimeLoad(winamp + "/main.bmp", 10);
  const double kjofolMs = TimeLoad(kjofol + "/skin.rc", 10);
  std::printf("Winamp skin, converted:  %.2f ms (best of 10)\n", winampMs);
  std::printf("K-Jofol skin, converted: %.2f ms (best of 10)\n", kjofolMs);
  const bool own = builtIn < 40.0 && folder < 40.0;
  const bool foreign = winampMs < 100.0 && kjofolMs < 100.0;
  std::printf("target < 40 ms each: %s\n", own ? "met" : "MISSED");
  std::printf("target < 100 ms each with conversion: %s\n", foreign ? "met" : "MISSED");
  const bool ok = own && foreign;
  return ok ? 0 : 1;
}
