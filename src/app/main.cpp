// keldar3: the program entry and its fixed start-up order.
#include <QApplication>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/ApiWindowClicks.h"
#include "app/ApplicationForms.h"
#include "app/CDHooks.h"
#include "app/LibraryHooks.h"
#include "app/CommandHooks.h"
#include "app/DeckControllerSetup.h"
#include "app/DialogsSetup.h"
#include "app/ExitSignals.h"
#include "app/PBOnceOnly.h"
#include "app/PlayerApiDispatcher.h"
#include "app/PlaylistWindowActions.h"
#include "app/PluginHostSetup.h"
#include "app/RecordingAndConversionSetup.h"
#include "app/ProgramStartup.h"
#include "app/QtMessagePresenter.h"
#include "app/SplashScreen.h"
#include "app/StartupHooks.h"
#include "app/skinunitmouseclickprocedures.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineHooks.h"
#include "playlist/InputPluginEngineHooks.h"
#include "playlist/InputPluginServices.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "playlist/PlaylistHooks.h"
#include "playlist/TPlaylist.h"
#include "plugins/ZorvanePlayerApiVariables.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/ConvertKjofolSkinToKELDARSkinUnit.h"
#include "skin/ConvertWinampSkinToKELDARSkinUnit.h"
#include "util/ProgramFolders.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ShowMessage.h"
#include "util/VersionInfo.h"

namespace {

// Without a display the player still runs, drawing off screen.
void ChooseOffscreenWithoutDisplay() {
  if (std::getenv("QT_QPA_PLATFORM")) return;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!x11 || !*x11) && (!wayland || !*wayland)) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

std::string AbsoluteArgument(const std::string& argument) {
  if (argument.empty() || argument.front() == '/' || IsURL(argument)) return argument;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(argument, ec);
  return ec ? argument : absolute.lexically_normal().string();
}

}  // namespace

int main(int argc, char** argv) {
  InitProgramPaths();
  // Relative names mean the folder we were started in, which the running instance does not know.
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(AbsoluteArgument(argv[i]));

  // 1. One instance per user; a second one hands its arguments over and ends at once.
  try {
    if (AlreadyRunning(kInstanceName, kApiReceiverClassName, true, arguments)) return 0;
  } catch (const EInstanceGuardError& error) {
    ShowMessage(error.what(), {}, TMessageIcon::Error);
    return 1;
  }

  // 2.-3. Application object and title.
  StartupFlags().FirstSkinLoadPending = true;
  ResetToDefaultsOnExit = false;
  ChooseOffscreenWithoutDisplay();
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(KELDAR_PRODUCT_NAME);
  QApplication::setApplicationVersion(KELDAR_PRODUCT_VERSION);
  QGuiApplication::setApplicationDisplayName(QString::fromStdString(ApplicationTitleText()));
  SetDefaultMessageTitle(ApplicationTitleText());
  // Off screen nobody can see or answer a message box, and the first start's "Loading Playlist
  // Failed..." would hold the player before its first window: messages go to standard error
  // with their default answer there.
  if (QGuiApplication::platformName() != "offscreen") InstallQtMessagePresenter();

  // 4. The "show contents while dragging" switch has no counterpart here.
  // 5. Every settings record gets its default before any window exists.
  RegisterBASSAPIBackend();
  InitSettingsDefaults();

  // 6.-8. The windows, in their fixed order; the splash in between when it is wanted.
  TApplicationForms forms;
  forms.CreateDeckForm();
  std::unique_ptr<TSplashScreenForm> splash;
  if (ReadSplashScreenSetting()) {
    splash = std::make_unique<TSplashScreenForm>();
    splash->show();
    splash->repaint();
  }
  forms.CreateRemainingForms();
  TDeckForm* deck = forms.Deck();
  Tzorvaneplayerapi* api = forms.Api();
  api->SetParameterHandler([](const std::string& argument) {
    try {
      HandleParameter(argument);
    } catch (...) {
    }
  });
  api->SetMessageHandler(HandlePlayerApiMessage);

  // The skin loader, the exit sequence and the control messages reach the skinned windows.
  TSkinnedWindowSet* skinned = forms.SkinnedWindows();
  StartupHooks().LoadSkin = KELDARSkinStartupLoader(*skinned);
  StartupHooks().CaptureSkinnedWindowState = [skinned] { skinned->CaptureState(); };
  StartupHooks().HideSkinnedWindowsAndReleaseSkin = [skinned] { skinned->HideAllAndReleaseSkin(); };
  InstallApiWindowHooks(*skinned);
  InstallDeckController(forms);
  InstallPlaylistWindowActions();
  InstallRecordingAndConversion(forms);
  InstallCommandHooks();
  // DSP and general plug-ins: restarted at the first showing, stopped at exit.
  InstallPluginHost(deck);
  InstallCDHooks(deck);
  if (forms.Library()) InstallLibraryHooks(*forms.Library());
  InstallDialogs(forms);
  StartupHooks().BindSkinControlActions = [skinned] { BindSkinControlActions(*skinned); };

  // Skin packages are unpacked by the archive input plug-in; a package handed to us loads at
  // once, or right after the first showing when it came with the start (which loads the
  // remembered skin first).
  SetKELDARSkinPackageExtractor([](const std::string& package, const std::string& folder) {
    return ExtractFromArchive(package, "*.*", folder);
  });
  SetKELDARSkinConverters(ConvertWinampSkinToKELDARSkin, ConvertKjofolSkinToKELDARSkin);
  PlaylistHooks().LoadSkinPackage = [deck](const std::string& path) {
    const auto load = [path] {
      if (StartupHooks().LoadSkin) StartupHooks().LoadSkin(path);
    };
    if (StartupFlags().FirstShowPending)
      QObject::connect(deck, &TDeckForm::FirstShowFinished, deck, load, Qt::SingleShotConnection);
    else
      load();
  };
  api->Listen(PlayerApiSocketPath());

  // The engine finds the input plug-ins through these when it builds its tables.
  InstallInputPluginEngineHooks(deck);
  // While an internet stream connects the engine keeps the event loop running.
  EngineUIHooks().ProcessEvents = [] { QCoreApplication::processEvents(); };
  EngineUIHooks().Beep = [] { QApplication::beep(); };

  // 9.-11. Folders, the default playlist, the supported file types.
  CreateProgramFolders();
  ThePlaylist().Clear();
  LoadZPLFile(ThePlaylist(), DefaultPlaylistPath(), true);
  if (KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes) KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();

  // 12. Command-line arguments in order; a failure skips the rest of them. Their playlists and
  // archives are read by the input plug-ins, which otherwise load only with the audio library
  // at the first show: load them now, so the arguments give what a running player gives.
  if (InputPluginLoaderHooks().LoadAll && !arguments.empty()) InputPluginLoaderHooks().LoadAll();
  try {
    for (const std::string& argument : arguments) HandleParameter(argument);
  } catch (...) {
  }

  InstallExitSignalHandlers([deck] { deck->close(); });
  // The desktop session ending closes the player like the user would.
  QObject::connect(&application, &QGuiApplication::commitDataRequest, deck, [deck] { deck->close(); });
  QObject::connect(&application, &QCoreApplication::aboutToQuit, deck, [deck] { deck->FormCloseQuery(); });
  QObject::connect(deck, &TDeckForm::FirstShowFinished, deck, [&splash] { splash.reset(); });
  if (std::getenv("KELDAR_REPORT_READY")) {
    QTimer::singleShot(0, [] {
      std::printf("keldar3: event loop running\n");
      std::fflush(stdout);
    });
  }

  // 13. The event loop; showing the main window runs its first-show sequence.
  deck->show();
  int result = application.exec();

  // 14. The windows go in reverse order of creation.
  splash.reset();
  ClearApiWindowHooks();
  ClearDeckController();
  ClearPluginHost();
  ClearCDHooks();
  ClearDialogs();
  PlaylistHooks().LoadSkinPackage = nullptr;
  SetKELDARSkinPackageExtractor({});
  SetKELDARSkinConverters({}, {});
  StartupHooks() = {};
  forms.DestroyAll();
  ReleaseInstanceLock();
  return result;
}
