// keldarskinshots OUTPUT-FOLDER: shows the deck, equalizer, playlist, visuals and library
// windows with the built-in Default skin, each at its default size, and saves what is on
// screen as deck.png, equalizer.png, playlist.png, visuals.png and library.png.
// Settings are read from and written to a scratch folder, never the program folder.
#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/EqualizerForm.h"
#include "app/FullScreenControlsForm.h"
#include "app/KELDAR_DatabaseForm.h"
#include "app/PlaylistEditorForm.h"
#include "app/ProgramStartup.h"
#include "app/SkinnedWindowSet.h"
#include "app/VisualsScreenForm.h"
#include "app/deck.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinLoader.h"
#include "util/ProgramFolders.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: keldarskinshots OUTPUT-FOLDER\n");
    return 2;
  }
  const std::filesystem::path output = std::filesystem::absolute(argv[1]);
  std::error_code ec;
  std::filesystem::create_directories(output, ec);
  char scratchPattern[] = "/tmp/keldarskinshots-XXXXXX";
  const char* scratch = ::mkdtemp(scratchPattern);
  if (!scratch) return 1;

  QApplication application(argc, argv);
  InitProgramPaths();
  SetProgramFolderForTesting(scratch);
  InitSettingsDefaults();
  StartupFlags().FirstShowPending = false;  // no engine, no plug-ins: only the windows

  TDeckForm deck;
  TEqualizerForm equalizer;
  TPlaylistEditorForm playlist;
  TVisualsScreenForm visuals;
  TKELDAR_DatabaseForm library;
  TFullScreenControlsForm fullScreen;
  TSkinnedWindowSet windows(&deck, &equalizer, &playlist, &visuals, &library, &fullScreen);
  LoadKELDARSkin("Default", windows, true);

  const std::pair<QWidget*, const char*> shots[] = {
      {&deck, "deck.png"}, {&equalizer, "equalizer.png"}, {&playlist, "playlist.png"},
      {&visuals, "visuals.png"}, {&library, "library.png"}};
  int failures = 0;
  for (const auto& [window, name] : shots) {
    window->show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const QString file = QString::fromStdString((output / name).string());
    if (!window->grab().save(file, "PNG")) {
      std::fprintf(stderr, "keldarskinshots: cannot write %s\n", file.toUtf8().constData());
      ++failures;
    } else {
      std::printf("%s\n", file.toUtf8().constData());
    }
  }
  std::filesystem::remove_all(scratch, ec);
  return failures ? 1 : 0;
}
