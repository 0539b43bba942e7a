// keldarskinshots OUTPUT-FOLDER: shows the deck, equalizer, playlist, visuals and library
// windows with the built-in Default skin, each at its default size, and saves what is on
// screen as deck.png, equalizer.png, playlist.png, visuals.png and library.png; then plays
// pink noise made by sox on the no-sound device and saves the equalizer with its level meters and
// spectrum as equalizer-playing.png, and the presets dialog as presets.png.
// Settings are read from and written to a scratch folder, never the program folder.
#include <QApplication>
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
#include "skin/KELDARSkinEffectCanvas.h"

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
