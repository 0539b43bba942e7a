// Scrolling a 100 000-entry playlist: the list widget of a 600 x 400 playlist window with
// the Default skin repaints one screen of rows for a new top line each round (every
// display method, counter shown, the current and some selected lines among them).
// Reports the median and the 99th percentile in microseconds (target: median under 2 ms).
// Exit status 1 when missed.
#include <QApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "DefaultSkinnedWindows.h"
#include "TestSupport.h"
#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  TTempFolder program;
  // Settings first: their defaults would otherwise reset the current line set below.
  TDefaultSkinnedWindows windows(program.Path());
  TPlaylistEditorForm& playlist = windows.Playlist;

  constexpr int kEntries = 100000;
  TPlaylist& list = ThePlaylist();
  for (int i = 0; i < kEntries; ++i) {
    TPlayListBoxItem item;
    item.FullPathAndFilename = "/home/user/Music/Some Artist " + std::to_string(i % 97) + "/Album " +
                               std::to_string(i % 13) + "/Some Artist - Track number " + std::to_string(i) + ".mp3";
    item.ArtistName = "Some Artist " + std::to_string(i % 97);
    item.TitleName = "Track number " + std::to_string(i);
    item.FilePlaybackLength = 60 + i % 600;
    item.TagIDDataRetrieved = true;
    list.Add(std::move(item));
  }
  list.SetCurrentIndex(kEntries / 2 + 3);
  for (int i = 0; i < kEntries; i += 7) list.SetSelected(i, true);

  playlist.show();
  playlist.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  playlist.resize(600, 400);
  QApplication::processEvents();
  Options_PlayListBoxShowCounter.BooleanValue = true;

  TPlaylistListBox& box = *playlist.PlayListBox();
  QImage target(box.size(), QImage::Format_RGB32);
  const int rows = box.VisibleRows();
  constexpr int kRounds = 600;
  int failures = 0;
  for (int method : {2, 0, 1}) {
    Options_PlayListBoxDrawMethod.IntegerValue = method;
    std::vector<double> us;
    int top = kEntries / 2 - kRounds;
    for (int i = 0; i < kRounds + 20; ++i, top += 2) {
      box.SetTopIndex(top);
      const auto t0 = std::chrono::steady_clock::now();
      box.render(&target);
      const double t = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
      if (i >= 20) us.push_back(t);  // the first rounds warm the font caches
    }
    std::sort(us.begin(), us.end());
    const double median = us[us.size() / 2], p99 = us[us.size() * 99 / 100];
    std::printf("display method %d: %d rows of %dx%d, median %.1f us, p99 %.1f us, worst %.1f us\n", method, rows,
                box.width(), box.height(), median, p99, us.back());
    if (median >= 2000.0) ++failures;
  }
  std::printf("target median < 2 ms per screen: %s\n", failures == 0 ? "met" : "MISSED");
  return failures == 0 ? 0 : 1;
}
