// Renders the preferences dialog (three pages), the tag editor with artwork and the "Add URL
// to Playlist" dialog into PNG files, from a scratch program folder (for docs/screenshots).
//
//   keldardialogshots OUTPUT_FOLDER
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableWidget>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cd/FreedbServerList.h"
#include "dialogs/OpenURLDialog.h"
#include "dialogs/PreferencesDialog.h"
#include "dialogs/TAGDialog.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EncodersList.h"
#include "playlist/InputPluginEngineHooks.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"

namespace fs = std::filesystem;

namespace {
bool Save(QWidget& widget, const std::string& path) {
  widget.show();
  QApplication::processEvents();
  const bool ok = widget.grab().save(QString::fromStdString(path), "PNG");
  widget.hide();
  return ok;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: keldardialogshots OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string out = argv[1];
  QApplication app(argc, argv);
  const fs::path scratch = fs::temp_directory_path() / ("keldardialogshots-" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  SetProgramFolderForTesting(scratch.string());
  ::setenv("KELDAR_MESSAGE_LOG", (scratch / "messages.log").c_str(), 1);
  InitSettingsDefaults();
  // The picture input plug-in decodes the artwork.
  fs::create_directories(scratch / "inputplugins");
  for (const char* name : {"zpinput_pictures.so", "zpinput_archives.so"})
    fs::create_symlink(fs::path(KELDAR_PROGRAM_DIR) / "inputplugins" / name, scratch / "inputplugins" / name);
  InstallInputPluginEngineHooks(nullptr);
  LoadAllInputPlugins(nullptr);
  BASSAPI_SetOutputDevice(0);
  RegisterBASSAPIBackend();
  SelectAudioAPI(1);
  KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction();
  KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
  ResetEncodersListToDefault();
  ResetServerListToDefault(FreedbServers());
  bool ok = true;

  TPreferencesDialogForm preferences;
  for (const char* page : {"General Options", "Audio Library Options", "Encoders Options"}) {
    preferences.SelectPage(page);
    std::string name = std::string("preferences-") + page + ".png";
    for (char& c : name) c = c == ' ' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
    ok = Save(preferences, out + "/" + name) && ok;
  }

  // A song with tags and an artwork picture beside it.
  const std::string song = (scratch / "Night Drive.mp3").string();
  std::system(("ffmpeg -v error -f lavfi -i sine=frequency=330:duration=1 -c:a libmp3lame -b:a 64k "
               "-metadata title='Night Drive' -metadata artist='The Example Band' -metadata album='Long Roads' "
               "-metadata date=2021 -metadata genre=Synthwave -metadata track=4 -y '" + song + "' >/dev/null 2>&1")
                  .c_str());
  QImage art(300, 300, QImage::Format_RGB32);
  {
    QPainter p(&art);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(0x2a, 0x10, 0x50));
    sky.setColorAt(1, QColor(0xff, 0x6a, 0x3d));
    p.fillRect(art.rect(), sky);
    p.setBrush(QColor(0xff, 0xd2, 0x4a));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(150, 190), 70, 70);
    p.fillRect(0, 200, 300, 100, QColor(0x12, 0x0a, 0x24));
  }
  art.save(QString::fromStdString((scratch / "The Example Band - Long Roads.jpg").string()), "JPG");
  TTAGDialogForm tags;
  tags.TagDialogFilenameActualLocation = tags.TagDialogFilenameOriginalLocation = song;
  ok = Save(tags, out + "/tag-editor.png") && ok;

  std::ofstream(URLFavouritesFilePath()) << "URLLink=http://radio.example.org:8000/jazz.ogg;URLDescription=Jazz all night;\n"
                                         << "URLLink=http://stream.example.net/news.mp3;URLDescription=World news;\n"
                                         << "URLLink=mms://live.example.com/classic;URLDescription=Classic FM;\n";
  TOpenURLDialogForm url;
  ok = Save(url, out + "/add-url.png") && ok;

  UnloadAllInputPlugins();
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  std::error_code ec;
  fs::remove_all(scratch, ec);
  return ok ? 0 : 1;
}
