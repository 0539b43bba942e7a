#include "app/deck.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include <cstdlib>
#include <ctime>
#if defined(__x86_64__) || defined(__i386__)
#include <fpu_control.h>
#endif

#include "app/EqualizerForm.h"
#include "app/KELDAR_DatabaseForm.h"
#include "app/NowPlaying.h"
#include "app/PlaylistEditorForm.h"
#include "app/ProgramStartup.h"
#include "app/StartupHooks.h"
#include "app/VisualsScreenForm.h"
#include "app/VisualsScreenPlugins.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineDeviceReports.h"
#include "engine/KELDAR_EngineHooks.h"
#include "engine/KELDAR_OutputDevices.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "playlist/TPlaylist.h"
#include "settings/OutputDeviceSetting.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/GeneralPurposeInternetFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShellFunctions.h"
#include "util/ShowMessage.h"
#include "util/VersionInfo.h"

namespace {
TDeckForm* g_deck = nullptr;

template <typename F>
void RunHook(const F& hook) {
  if (hook) hook();
}
}  // namespace

TStartupHooks& StartupHooks() {
  static TStartupHooks hooks;
  return hooks;
}

TDeckForm* DeckForm() { return g_deck; }

TDeckForm::TDeckForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Deck, parent) {
  g_deck = this;
  setObjectName("TDeckForm");
  setWindowTitle(QString::fromStdString(ApplicationTitleText()));
  resize(300, 130);  // until the skin sets the size
  m_timer1.setInterval(400);
  connect(&m_timer1, &QTimer::timeout, this, &TDeckForm::Timer1Timer);
  // The displays that rest while nothing plays wake as soon as the player's state changes.
  EngineUIHooks().PlayerStateChanged = [] {
    WakeEqualizerWindowData();
    PublishVisualsScreenSource(true);
  };
}

TDeckForm::~TDeckForm() {
  if (g_deck == this) g_deck = nullptr;
}

void TDeckForm::FormCreate() {
#if defined(__x86_64__) || defined(__i386__)
  // All floating-point exceptions masked, extended precision, round to nearest.
  fpu_control_t cw = 0x133F;
  _FPU_SETCW(cw);
#endif
}

void TDeckForm::showEvent(QShowEvent* event) {
  TSkinUnitTemplateForm::showEvent(event);
  if (StartupFlags().FirstShowPending) FormShow();
  setAcceptDrops(true);
  WakeEqualizerWindowData();  // the deck's canvas and the meters may be behind
  PublishVisualsScreenSource(false);
}

void TDeckForm::hideEvent(QHideEvent* event) {
  TSkinUnitTemplateForm::hideEvent(event);
  PublishVisualsScreenSource(false);
}

void TDeckForm::FormShow() {
  if (!StartupFlags().FirstShowPending) return;
  TStartupHooks& hooks = StartupHooks();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  LoadSettings();
  LoadCurrentAudioAPI();

  // "Default" is the built-in skin; anything else names a skin under the skins folder.
  std::string skin = Options_SkinToBeLoaded.StringValue;
  std::string skinPath = skin == "Default" ? skin : ProgramFolder() + "/skins/" + skin;
  if (hooks.LoadSkin && !hooks.LoadSkin(skinPath)) hooks.LoadSkin("Default");
  ApplyDeckState();
  SetScreenSaverActive(Options_ScreenSaverState.BooleanValue);
  StartupFlags().FirstSkinLoadPending = false;

  RunHook(hooks.BindSkinControlActions);
  RunHook(hooks.RepaintPlaylist);
  RunHook(hooks.LoadServerAndEncoderLists);
  RunHook(hooks.BuildFileDialogFilters);
  RunHook(hooks.RestartPlugins);
  EnableWindowTimers(true);
  RunHook(hooks.BuildPopUpMenus);
  RunHook(hooks.ApplyRecordingInput);
  if (Options_EnableWideHotkeysSupport.BooleanValue && hooks.RegisterGlobalHotkeys)
    StartupFlags().GlobalHotkeysRegistered = hooks.RegisterGlobalHotkeys();
  StartupFlags().FirstShowPending = false;
  emit FirstShowFinished();
}

void TDeckForm::LoadCurrentAudioAPI() {
  KELDAR_AUDIOVIDEO_API_EngineSettings& engine = KELDAR_AUDIOVIDEO_API_Settings();
  engine.OutputSamplingRate = static_cast<uint32_t>(Options_DSPSamplingRate.IntegerValue);
  engine.RecordingSamplingRate = Options_RecordingSamplingRate.IntegerValue;
  engine.RecordingChannels = Options_RecordingChannels.IntegerValue;
  engine.CDPlaybackMethod = Options_CDPlaybackMethod.IntegerValue;
  engine.NonInterpolatedMixing = Options_NonInterpolatedMixingState.BooleanValue;
  engine.BufferLengthMs = Options_BufferLength.IntegerValue;
  engine.FadeInOutMs = Options_FadeIn_Out_Msecs.IntegerValue;
  engine.RampingMode = Options_RampingMode.IntegerValue;
  engine.SurroundMode = Options_SurroundMode.IntegerValue;
  engine.MODPlaybackMode = Options_MODPlaybackMode.IntegerValue;
  engine.MODPanSeparationLevel = Options_MODPanSeperationLevel.IntegerValue;
  KELDAR_OutputDeviceName() = Options_OutputDeviceName.StringValue;

  if (!SelectAudioAPI(1)) {
    ShowMessage("Error Loading Audio API", "Audio API Message", TMessageIcon::Error);
    return;
  }
  if (!KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction())
    ShowMessage(AudioLibraryVersionConflictText(), {}, TMessageIcon::Warning);
}

void TDeckForm::UNLoadCurrentAudioAPI() {
  try {
    if (KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI) KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  } catch (...) {
    // Nothing at exit may stop the playlist and folders from being saved.
  }
}

void TDeckForm::CheckForUpdatesClick() { CheckForUpdates(KELDAR_PRODUCT_VERSION); }

void TDeckForm::EnableWindowTimers(bool enabled) {
  if (enabled) {
    m_timer1.start();
  } else {
    m_timer1.stop();
  }
  if (TPlaylistEditorForm* playlist = PlaylistEditorForm()) playlist->EnableTimer(enabled);
  if (TEqualizerForm* equalizer = EqualizerForm()) equalizer->EnableTimer(enabled);
  if (TVisualsScreenForm* visuals = VisualsScreenForm()) visuals->Timer1().Enable(enabled);
  if (TKELDAR_DatabaseForm* library = KELDAR_DatabaseForm()) library->Timer1().Enable(enabled);
}

void TDeckForm::Timer1Timer() {
  // The deck controller's tick publishes the now-playing record in its own place.
  if (StartupHooks().MainTimerTick)
    StartupHooks().MainTimerTick();
  else
    PublishNowPlaying(GatherNowPlayingValues());
  // What the visualization reads of the player, also when a stream learns its format late.
  PublishVisualsScreenSource(false);
}

void TDeckForm::CaptureDeckState() {
  Options_DeckLeft.IntegerValue = x();
  Options_DeckTop.IntegerValue = y();
}

void TDeckForm::ApplyDeckState() { move(Options_DeckLeft.IntegerValue, Options_DeckTop.IntegerValue); }

void TDeckForm::FormCloseQuery() {
  if (m_exitDone) return;
  m_exitDone = true;
  TStartupHooks& hooks = StartupHooks();
  if (StartupFlags().GlobalHotkeysRegistered && hooks.UnregisterGlobalHotkeys) {
    hooks.UnregisterGlobalHotkeys();
    StartupFlags().GlobalHotkeysRegistered = false;
  }
  // Settings are saved only once they were loaded: a close before the first showing
  // must not overwrite the user's file with defaults.
  if (!StartupFlags().FirstShowPending) {
    CaptureDeckState();
    RunHook(hooks.CaptureSkinnedWindowState);
    SaveSettings();
  }
  RunHook(hooks.HideSkinnedWindowsAndReleaseSkin);
  if (ResetToDefaultsOnExit) DeleteSettingsFile();
  EnableWindowTimers(false);
  QCoreApplication::processEvents();
  RunHook(hooks.StopPlugins);
  RunHook(hooks.SaveServerAndEncoderLists);
  RunHook(hooks.HideOpenURLDialog);
  UNLoadCurrentAudioAPI();
  SaveZPLFile(ThePlaylist(), DefaultPlaylistPath());
  EmptyTemporaryFolders();
}

void TDeckForm::closeEvent(QCloseEvent* event) {
  FormCloseQuery();
  event->accept();
  setAcceptDrops(false);
  QCoreApplication::quit();
}
