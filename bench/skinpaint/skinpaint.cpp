// Times a full repaint of the deck (300 x 130) and of a 600 x 400 playlist frame with the
// Default skin: the paint pass into the back buffer, and the whole widget paint (back
// buffer plus the blit and the list area). Target: each under 1 ms. Exit status 1 when missed.
#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "DefaultSkinnedWindows.h"
#include "TestSupport.h"

namespace {

struct TTiming {
  double Median = 0, Best = 0;
};

TTiming Time(const std::function<void()>& work, int rounds) {
  for (int i = 0; i < 20; ++i) work();  // warm-up
  std::vector<double> us;
  us.reserve(rounds);
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    work();
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(us.begin(), us.end());
  return {us[us.size() / 2], us.front()};
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  TTempFolder program;
  TDefaultSkinnedWindows windows(program.Path());
  TDeckForm& deck = windows.Deck;
  TPlaylistEditorForm& playlist = windows.Playlist;
  deck.show();
  playlist.show();
  playlist.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  playlist.resize(600, 400);
  QApplication::processEvents();

  const int rounds = 2000;
  QImage deckTarget(deck.size(), QImage::Format_RGB32);
  QImage playlistTarget(playlist.size(), QImage::Format_RGB32);
  const TTiming deckPass = Time([&] { deck.RenderSkin(); }, rounds);
  const TTiming deckWidget = Time([&] { deck.render(&deckTarget); }, rounds);
  const TTiming playlistPass = Time([&] { playlist.RenderSkin(); }, rounds);
  const TTiming playlistWidget = Time([&] { playlist.render(&playlistTarget); }, rounds);

  std::printf("deck %dx%d paint pass:        median %.1f us (best %.1f)\n", deck.width(), deck.height(),
              deckPass.Median, deckPass.Best);
  std::printf("deck %dx%d widget repaint:    median %.1f us (best %.1f)\n", deck.width(), deck.height(),
              deckWidget.Median, deckWidget.Best);
  std::printf("playlist %dx%d paint pass:    median %.1f us (best %.1f)\n", playlist.width(), playlist.height(),
              playlistPass.Median, playlistPass.Best);
  std::printf("playlist %dx%d widget repaint: median %.1f us (best %.1f)\n", playlist.width(), playlist.height(),
              playlistWidget.Median, playlistWidget.Best);
  const bool ok = deckWidget.Median < 1000.0 && playlistWidget.Median < 1000.0 && playlist.size() == QSize(600, 400);
  std::printf("target < 1 ms each: %s\n", ok ? "met" : "MISSED");
  return ok ? 0 : 1;
}
