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

#include "DefaultSkinnedWindows.h"

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
  TDefaultSkinnedWindows windows(scratch);

  const std::pair<QWidget*, const char*> shots[] = {
      {&windows.Deck, "deck.png"}, {&windows.Equalizer, "equalizer.png"}, {&windows.Playlist, "playlist.png"},
      {&windows.Visuals, "visuals.png"}, {&windows.Library, "library.png"}};
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
