// keldarskinshots OUTPUT-FOLDER: shows the deck, equalizer, playlist, visuals and library
// windows with the built-in Default skin, each at its default size, and saves what is on
// screen as deck.png, equalizer.png, playlist.png, visuals.png and library.png; then plays
// pink noise made by sox on the no-sound device and saves the equalizer with its level meters and
// spectrum as equalizer-playing.png, and the presets dialog as presets.png.
// Settings are read from and written to a scratch folder, never the program folder.
// keldarskinshots --converted OUTPUT-FOLDER: the same windows with a converted Winamp skin
// (the bundled winampdefault pictures) and a K-Jofol skin drawn here, saved as
// winamp-deck.png, winamp-equalizer.png, winamp-playlist.png, kjofol-deck.png and
// kjofol-playlist.png.
#include <QApplication>
#include <QFile>
#include <algorithm>
#include <vector>
#include <QListWidget>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <chrono>
#include <thread>

#include "DefaultSkinnedWindows.h"
#include "app/EqualizerPresetsForm.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/ConvertKjofolSkinToKELDARSkinUnit.h"
#include "skin/ConvertWinampSkinToKELDARSkinUnit.h"
#include "skin/KELDARSkinEffectCanvas.h"
#include <QLinearGradient>
#include <QPainter>

namespace {

bool Save(QWidget& window, const std::filesystem::path& file) {
  const QString name = QString::fromStdString(file.string());
  if (!window.grab().save(name, "PNG")) {
    std::fprintf(stderr, "keldarskinshots: cannot write %s\n", name.toUtf8().constData());
    return false;
  }
  std::printf("%s\n", name.toUtf8().constData());
  return true;
}

// The equalizer while a tone plays: both meters on, the spectrum on its canvas.
bool ShootPlayingEqualizer(TDefaultSkinnedWindows& windows, const std::string& scratch, const std::filesystem::path& file) {
  const std::string tone = scratch + "/tone.wav";
  if (std::system(("sox -n -r 44100 -c 2 -b 16 '" + tone +
                   "' synth 20 pinknoise gain -3 >/dev/null 2>&1").c_str()) != 0) {
    std::fprintf(stderr, "keldarskinshots: sox is needed for the playing equalizer\n");
    return false;
  }
  BASSAPI_SetOutputDevice(0);
  RegisterBASSAPIBackend();
  if (!SelectAudioAPI(1) || !KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction())
    return false;
  auto& ops = KELDAR_AUDIOVIDEO_API_Slots();
  ops.BuildSupportedFileTypes();
  KELDAR_AUDIOVIDEO_API_State().CurrentFileName = tone;
  if (!ops.CreateStream()) return false;
  ops.Play();
  SetSkinToggleState(EqualizerForm_EQLeftVolLevelCanvas, true);
  SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, true);
  SetKELDARSkinEffectMode(EqualizerForm_EQGraphicsEffectsCanvas, 3);
  windows.Deck.show();
  windows.Equalizer.show();
  for (int i = 0; i < 60; ++i) {  // 1.2 s of ticks: the meters have risen
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    windows.Equalizer.Timer1Timer();
    QApplication::processEvents();
  }
  const bool saved = Save(windows.Equalizer, file);
  ops.Stop();
  ops.UnloadAudioAPI();
  return saved;
}

}  // namespace

// A K-Jofol skin of our own art: one rounded window with its buttons, display and equalizer.
void WriteArtKjofolSkin(const std::string& dir) {
  std::filesystem::create_directories(dir);
  const auto paint = [](int shade) {
    QImage img(320, 140, QImage::Format_RGB888);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient g(0, 0, 0, 140);
    g.setColorAt(0, QColor(60 + shade, 70 + shade, 96 + shade));
    g.setColorAt(1, QColor(20 + shade, 24 + shade, 36 + shade));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRect(0, 0, 320, 140), 18, 18);
    p.fillRect(QRect(16, 14, 200, 30), Qt::black);
    for (int i = 0; i < 5; ++i) {
      p.setBrush(QColor(90 + shade * 2, 104 + shade * 2, 140 + shade));
      p.drawEllipse(QRect(16 + 36 * i, 100, 28, 28));
    }
    p.fillRect(QRect(230, 14, 76, 112), QColor(12, 14, 22));
    return img;
  };
  paint(0).save(QString::fromStdString(dir + "/back.bmp"), "BMP");
  paint(40).save(QString::fromStdString(dir + "/down.bmp"), "BMP");
  QImage eq(7 * 20, 100, QImage::Format_RGB888);
  eq.fill(QColor(12, 14, 22));
  {
    QPainter p(&eq);
    for (int f = 0; f < 20; ++f) p.fillRect(QRect(7 * f + 2, 100 - 5 * (f + 1), 3, 5 * (f + 1)), QColor::fromHsv(120 - 6 * f, 200, 230));
  }
  eq.save(QString::fromStdString(dir + "/eq.bmp"), "BMP");
  QImage list(240, 260, QImage::Format_RGB888);
  list.fill(QColor(40, 46, 64));
  QPainter(&list).fillRect(QRect(10, 24, 220, 210), QColor(16, 18, 26));
  list.save(QString::fromStdString(dir + "/list.bmp"), "BMP");
  QFile rc(QString::fromStdString(dir + "/art.rc"));
  if (rc.open(QIODevice::WriteOnly)) {
    rc.write("About Drawn by keldarskinshots\r\nBackgroundImage back.bmp\r\nBackgroundImagePressed1 down.bmp\r\n"
             "PreviousSongButton 16 100 43 127 Prev BMP1\r\nPlayButton 52 100 79 127 Play BMP1\r\n"
             "PauseButton 88 100 115 127 Pause BMP1\r\nStopButton 124 100 151 127 Stop BMP1\r\n"
             "NextSongButton 160 100 187 127 Next BMP1\r\nEqualizerWindow 234 20 240 119 0 0 7\r\n"
             "EqualizerBmp 7 20 eq.bmp\r\nAnalyzerWindow 16 50 215 90 x\r\nAnalyzerColor 120 220 140\r\n"
             "PlaylistBmp list.bmp\r\nPlaylistWindowText 10 24 229 233\r\nPlaylistWindowColor 200 210 230\r\n");
  }
}

int ShootConverted(const std::filesystem::path& output, int argc, char** argv) {
  char scratchPattern[] = "/tmp/keldarskinshots-XXXXXX";
  const char* scratch = ::mkdtemp(scratchPattern);
  if (!scratch) return 1;
  QApplication application(argc, argv);
  InitProgramPaths();
  const std::string program = scratch;
  std::error_code ec;
  std::filesystem::create_directories(program + "/skins", ec);
  std::filesystem::copy(ExecutableFolder() + "/skins/winampdefault", program + "/skins/winampdefault",
                        std::filesystem::copy_options::recursive, ec);
  WriteArtKjofolSkin(program + "/skins/art");
  TDefaultSkinnedWindows windows(program);
  SetKELDARSkinConverters(ConvertWinampSkinToKELDARSkin, ConvertKjofolSkinToKELDARSkin);
  int failures = 0;
  const auto shoot = [&](const std::string& skin, const std::string& prefix, std::vector<QWidget*> shots) {
    LoadKELDARSkin(skin, windows.Set, false);
    const char* names[] = {"deck", "equalizer", "playlist"};
    const std::vector<QWidget*> all{&windows.Deck, &windows.Equalizer, &windows.Playlist};
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (std::find(shots.begin(), shots.end(), all[i]) == shots.end()) continue;
      all[i]->show();
      for (int k = 0; k < 5; ++k) QApplication::processEvents();
      if (!Save(*all[i], output / (prefix + "-" + names[i] + ".png"))) ++failures;
    }
  };
  shoot(program + "/skins/winampdefault/main.bmp", "winamp", {&windows.Deck, &windows.Equalizer, &windows.Playlist});
  shoot(program + "/skins/art/art.rc", "kjofol", {&windows.Deck, &windows.Playlist});
  SetKELDARSkinConverters({}, {});
  std::filesystem::remove_all(scratch, ec);
  return failures ? 1 : 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--converted") {
    const std::filesystem::path output = std::filesystem::absolute(argv[2]);
    std::error_code ec;
    std::filesystem::create_directories(output, ec);
    return ShootConverted(output, argc, argv);
  }
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
    if (!Save(*window, output / name)) ++failures;
  }
  if (!ShootPlayingEqualizer(windows, scratch, output / "equalizer-playing.png")) ++failures;
  {
    TEqualizerPresetsForm presets(nullptr, std::string(scratch) + "/keldar3.eqp");
    presets.show();
    presets.EQPresetsListBox().setCurrentRow(6);
    presets.EQPresetsListBoxClick();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (!Save(presets, output / "presets.png")) ++failures;
    presets.hide();
  }
  std::filesystem::remove_all(scratch, ec);
  return failures ? 1 : 0;
}
