// The preferences dialog off screen with the engine on the no-sound device: the pages and the
// tree, every checkbox writing its setting at once, the audio options reaching the engine, the
// encoder and server list editors with their limits, "Get Servers List" against a local HTTP
// peer, "What's New", the skins list and the file associations.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

#include "DialogsTestSupport.h"
#include "LoopbackPeers.h"
#include "SoundServerPeer.h"
#include "cd/FreedbServerList.h"
#include "dialogs/FreedbServersFromInternet.h"
#include "dialogs/PreferencesDialog.h"
#include "dialogs/PreferencesHooks.h"
#include "dialogs/PreferencesPage.h"
#include "dialogs/SkinsListing.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EncodersList.h"
#include "engine/KELDAR_OutputDevices.h"
#include "settings/OutputDeviceSetting.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "kaudio.h"
#include "util/FileAssociations.h"
#include "util/KeyValueListFunctions.h"

namespace fs = std::filesystem;
using dialogs_test::TDialogTest;

namespace {

class PreferencesDialogTest : public TDialogTest {
 protected:
  static void SetUpTestSuite() {
    dialogs_test::App();
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
  }
  static void TearDownTestSuite() {
    if (KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI) KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  }
  void SetUp() override {
    TDialogTest::SetUp();
    ResetEncodersListToDefault();
    ResetServerListToDefault(FreedbServers());
    PreferencesHooks() = {};
  }
  void TearDown() override { PreferencesHooks() = {}; }
  template <typename T>
  T* Child(const TPreferencesDialogForm& dialog, const std::string& page, const char* name) {
    TPreferencesPage* p = dialog.Page(page);
    EXPECT_NE(p, nullptr) << page;
    T* child = p ? p->findChild<T*>(name) : nullptr;
    EXPECT_NE(child, nullptr) << page << " / " << name;
    return child;
  }
};

TEST_F(PreferencesDialogTest, SixteenPagesInOrderAndTheTreeChoosesThePage) {
  TPreferencesDialogForm dialog;
  EXPECT_EQ(dialog.windowTitle(), "KELDAR Preferences Dialog");
  const std::vector<std::string> expected = {
      "About",           "What's New",           "Credits",          "FAQ",            "Skins",
      "VIS Plugins",     "DSP Plugins",          "Generic Plugins",  "General Options", "Audio Library Options",
      "Encoders Options", "freedb Options",      "Utilities",        "Extensions",     "Recorded Files",
      "Help"};
  EXPECT_EQ(dialog.PageCaptions(), expected);
  dialog.ShowPage("Help");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.CurrentPageCaption(), "Help");
  // Every node is expanded on show; choosing one shows its page and its name as the title.
  const auto nodes = dialog.Tree()->findItems("freedb Options", Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_EQ(nodes.size(), 1);
  EXPECT_TRUE(nodes.first()->parent()->isExpanded());
  dialog.Tree()->setCurrentItem(nodes.first());
  EXPECT_EQ(dialog.CurrentPageCaption(), "freedb Options");
  EXPECT_EQ(dialog.findChild<QLabel*>("PageTitleLabel")->text(), "freedb Options");
  // The information pages carry the program's name and version.
  auto* about = dialog.Page("About")->findChild<QPlainTextEdit*>("InformationMemo");
  EXPECT_FALSE(about->toPlainText().isEmpty());
  dialog.hide();
}

TEST_F(PreferencesDialogTest, EveryGeneralCheckboxWritesItsSettingAtOnce) {
  bool onTop = false;
  int titleResets = 0;
  PreferencesHooks().ApplyStayOnTop = [&](bool on) { onTop = on; };
  PreferencesHooks().ResetApplicationTitle = [&] { ++titleResets; };
  TPreferencesDialogForm dialog;
  dialog.show();
  const std::pair<const char*, SettingsVariableBooleanRecord*> rows[] = {
      {"Always on Top", &Options_StayOnTopState},
      {"Show Splash Screen", &Options_ShowSplashScreen},
      {"Screen Saver Enabled", &Options_ScreenSaverState},
      {"Global Hotkeys support", &Options_EnableWideHotkeysSupport},
      {"Application Title scrolling", &Options_ApplicationTitleScrolling},
      {"Minimize to Tray", &Options_MinimizeToTrayState},
      {"Halt Playback on Defective File", &Options_PlaylistHaltOnDefectiveFile},
      {"Add Subdirectories too on ADD-DIR", &Options_PlaylistAddSubDirectories},
      {"Advanced Playlist mode", &Options_PlaylistAdvancedMode},
  };
  EXPECT_EQ(dialog.Page("General Options")->findChildren<QCheckBox*>().size(), qsizetype(std::size(rows)));
  for (const auto& [caption, setting] : rows) {
    auto* box = Child<QCheckBox>(dialog, "General Options", caption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->isChecked(), setting->BooleanValue) << caption;
    const bool before = setting->BooleanValue;
    box->click();
    EXPECT_EQ(setting->BooleanValue, !before) << caption;
    if (setting == &Options_StayOnTopState) {
      EXPECT_EQ(onTop, !before);
    }
    if (setting == &Options_PlaylistHaltOnDefectiveFile) {
      EXPECT_EQ(KELDAR_AUDIOVIDEO_API_State().ShowErrors, !before);
    }
    box->click();
    EXPECT_EQ(setting->BooleanValue, before) << caption;
  }
  EXPECT_EQ(titleResets, 2);
  // The other pages' checkboxes write theirs too.
  const std::tuple<const char*, const char*, SettingsVariableBooleanRecord*> others[] = {
      {"Audio Library Options", "Disable Interpolation", &Options_NonInterpolatedMixingState},
      {"Encoders Options", "Always to Output Dir", &Options_EncoderConvertUseOutputDir},
      {"freedb Options", "Use freedb Support", &Options_UsefreedbSupportState}};
  for (const auto& [page, caption, setting] : others) {
    auto* box = Child<QCheckBox>(dialog, page, caption);
    ASSERT_NE(box, nullptr);
    const bool before = setting->BooleanValue;
    box->click();
    EXPECT_EQ(setting->BooleanValue, !before) << caption;
  }
  EXPECT_EQ(KELDAR_AUDIOVIDEO_API_Settings().NonInterpolatedMixing, Options_NonInterpolatedMixingState.BooleanValue);
  dialog.hide();
}

TEST_F(PreferencesDialogTest, DefaultOptionsAsksAndNoLeavesTheSettingsFile) {
  TPreferencesDialogForm dialog;
  dialog.show();
  ResetToDefaultsOnExit = false;
  Child<QPushButton>(dialog, "General Options", "DefaultOptionsButton")->click();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{" Default options will take affect  \rthe next time you start "
                                                     "application\r       Do you wish to Continue?    "});
  EXPECT_FALSE(ResetToDefaultsOnExit);  // the log answers the default, No
  int centred = 0;
  PreferencesHooks().DefaultSliders = [&] { ++centred; };
  Child<QPushButton>(dialog, "General Options", "DefaultSlidersButton")->click();
  EXPECT_EQ(centred, 1);
  dialog.hide();
}

TEST_F(PreferencesDialogTest, AnalogPlaybackMakesCDATracksAnalogAtOnce) {
  ClearSupportedFileTypes();
  KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
  TPreferencesDialogForm dialog;
  dialog.show();
  auto* method = Child<QComboBox>(dialog, "Audio Library Options", "CDPlaybackMethodComboBox");
  ASSERT_NE(method, nullptr);
  ASSERT_EQ(method->count(), 2);
  EXPECT_EQ(method->itemText(1), "Analog Playback");
  EXPECT_EQ(GetMediaFileType("/dev/sr0/Track03.cda"), KELDAR_AUDIOVIDEO_API_mtCDTrack);
  method->setCurrentIndex(1);
  EXPECT_EQ(Options_CDPlaybackMethod.IntegerValue, 1);
  EXPECT_EQ(KELDAR_AUDIOVIDEO_API_Settings().CDPlaybackMethod, 1);
  EXPECT_EQ(GetMediaFileType("/dev/sr0/Track03.CDA"), KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack);
  method->setCurrentIndex(0);
  EXPECT_EQ(GetMediaFileType("/dev/sr0/Track03.cda"), KELDAR_AUDIOVIDEO_API_mtCDTrack);
  dialog.hide();
}

TEST_F(PreferencesDialogTest, BufferOf1200ShowsItAndTheLibraryUsesIt) {
  TPreferencesDialogForm dialog;
  dialog.show();
  auto* buffer = Child<QSlider>(dialog, "Audio Library Options", "BufferLengthTrackBar");
  auto* label = Child<QLabel>(dialog, "Audio Library Options", "BufferLengthLabel");
  ASSERT_TRUE(buffer && label);
  EXPECT_EQ(buffer->minimum(), 1);
  EXPECT_EQ(buffer->maximum(), 5000);
  EXPECT_EQ(label->text(), QString::number(Options_BufferLength.IntegerValue) + " ms");
  buffer->setValue(1200);
  EXPECT_EQ(label->text(), "1200 ms");
  EXPECT_EQ(Options_BufferLength.IntegerValue, 1200);
  EXPECT_EQ(KAUDIO_GetConfig(KAUDIO_CONFIG_BUFFER), 1200u);
  // The tracker options reach the engine's copies; the labels name the modes.
  auto* mode = Child<QSlider>(dialog, "Audio Library Options", "PlaybackModeTrackBar");
  mode->setValue(2);
  EXPECT_EQ(Options_MODPlaybackMode.IntegerValue, 2);
  EXPECT_EQ(KELDAR_AUDIOVIDEO_API_Settings().MODPlaybackMode, 2);
  EXPECT_EQ(Child<QLabel>(dialog, "Audio Library Options", "PlaybackModeTrackBarLabel")->text(), "FastTracker 2");
  auto* rate = Child<QComboBox>(dialog, "Audio Library Options", "OutputSamplingRateComboBox");
  EXPECT_EQ(rate->itemText(0), "96000 Hz");
  rate->setCurrentIndex(4);
  EXPECT_EQ(Options_DSPSamplingRate.IntegerValue, 11025);
  // The deck's timer refreshes the CPU figure with five decimals.
  KELDAR_AUDIOVIDEO_API_State().CPUUsage = std::nanf("");
  dialog.SelectPage("Audio Library Options");
  dialog.MainTimerTick();
  EXPECT_EQ(Child<QLabel>(dialog, "Audio Library Options", "CPUUsageLabel")->text(), "0.00000");
  KELDAR_AUDIOVIDEO_API_State().CPUUsage = 1.5f;
  dialog.MainTimerTick();
  EXPECT_EQ(Child<QLabel>(dialog, "Audio Library Options", "CPUUsageLabel")->text(), "1.50000");
  dialog.hide();
  Options_BufferLength.IntegerValue = 500;
  KELDAR_AUDIOVIDEO_API_Settings().BufferLengthMs = 500;
  KELDAR_AUDIOVIDEO_API_Slots().SetBufferLength();
}

// The engine started again the way the player starts it (no device forced), on whatever
// output the settings name now.
void RestartEngineOnTheChosenDevice() {
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  BASSAPI_SetOutputDevice(KAUDIO_DEVICE_DEFAULT);
  KELDAR_OutputDeviceName() = Options_OutputDeviceName.StringValue;
  ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
}

TEST_F(PreferencesDialogTest, OutputDevicesListNoSoundAndTheServersSinkAndTheChoiceIsOpenedNextStart) {
  TSoundServer server;
  ASSERT_TRUE(server.Up());
  RestartEngineOnTheChosenDevice();
  ASSERT_EQ(server.StreamCount(), 1) << "the default device plays into the server's sink";
  TPreferencesDialogForm dialog;
  dialog.show();
  auto* devices = Child<QComboBox>(dialog, "Audio Library Options", "OutputDeviceComboBox");
  ASSERT_NE(devices, nullptr);
  ASSERT_GE(devices->count(), 3);
  EXPECT_EQ(devices->itemText(0), "Default Device");
  EXPECT_EQ(devices->currentIndex(), 0);
  EXPECT_EQ(devices->itemText(1), "0: No sound (none)");
  int sink = -1;
  for (int i = 0; i < devices->count(); ++i)
    if (devices->itemText(i).contains("(PulseAudio)") && sink < 0) sink = i;
  ASSERT_EQ(sink, 2) << devices->itemText(2).toStdString();  // the server's sinks come first
  EXPECT_TRUE(devices->itemText(sink).endsWith(" - default"));
  const std::string sinkName = devices->itemData(sink).toString().toStdString();
  ASSERT_FALSE(sinkName.empty());

  // No sound: written at once, used from the next start on, silently.
  devices->setCurrentIndex(1);
  EXPECT_EQ(Options_OutputDeviceName.StringValue, "No sound");
  EXPECT_EQ(KELDAR_OutputDeviceName(), "No sound");
  EXPECT_EQ(server.StreamCount(), 1) << "the playing device stays until the next start";
  dialog.hide();
  RestartEngineOnTheChosenDevice();
  EXPECT_EQ(KAUDIO_GetDevice(), 0);
  EXPECT_EQ(server.StreamCount(), 0);

  // The server's sink by its name: the library opens that very device.
  dialog.show();
  EXPECT_EQ(devices->currentIndex(), 1);
  devices->setCurrentIndex(sink);
  EXPECT_EQ(Options_OutputDeviceName.StringValue, sinkName);
  dialog.hide();
  RestartEngineOnTheChosenDevice();
  EXPECT_EQ(KAUDIO_GetDevice(), 1);
  EXPECT_EQ(server.StreamCount(), 1);
  EXPECT_TRUE(MessageTexts().empty());

  // A device that has gone: the default device, no message, and the choice is still shown.
  Options_OutputDeviceName.StringValue = "USB headset unplugged";
  RestartEngineOnTheChosenDevice();
  EXPECT_NE(KAUDIO_GetDevice(), 0);
  EXPECT_EQ(server.StreamCount(), 1);
  EXPECT_TRUE(MessageTexts().empty());
  dialog.show();
  EXPECT_EQ(devices->currentText(), "USB headset unplugged (not available)");
  EXPECT_EQ(Options_OutputDeviceName.StringValue, "USB headset unplugged");
  devices->setCurrentIndex(0);
  EXPECT_EQ(Options_OutputDeviceName.StringValue, "");
  dialog.hide();

  // Back to the suite's engine on the no-sound device.
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  BASSAPI_SetOutputDevice(0);
  KELDAR_OutputDeviceName().clear();
  ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
}

TEST_F(PreferencesDialogTest, AnEmailFieldEmptiedAndLeftKeepsThePreviousAddress) {
  Options_freedbUserEmail.StringValue = "listener@example.org";
  TPreferencesDialogForm dialog;
  dialog.show();
  auto* email = Child<QLineEdit>(dialog, "freedb Options", "UserEmailEdit");
  ASSERT_NE(email, nullptr);
  EXPECT_EQ(email->text(), "listener@example.org");
  QFocusEvent in(QEvent::FocusIn);
  QApplication::sendEvent(email, &in);
  email->clear();
  emit email->editingFinished();
  EXPECT_EQ(email->text(), "listener@example.org");
  EXPECT_EQ(Options_freedbUserEmail.StringValue, "listener@example.org");
  email->setText("new@example.net");
  emit email->returnPressed();
  EXPECT_EQ(Options_freedbUserEmail.StringValue, "new@example.net");
  // No address anywhere: the setting's default.
  Options_freedbUserEmail.StringValue = "broken";
  dialog.Page("freedb Options")->Fill();
  QApplication::sendEvent(email, &in);
  email->setText("still no at sign");
  emit email->editingFinished();
  EXPECT_EQ(Options_freedbUserEmail.StringValue, Options_freedbUserEmail.DefaultStringValue);
  dialog.hide();
}

TEST_F(PreferencesDialogTest, EncoderListKeepsOneAndAtMost99) {
  TPreferencesDialogForm dialog;
  dialog.show();
  auto* remove = Child<QPushButton>(dialog, "Encoders Options", "RemoveEncoderButton");
  auto* add = Child<QPushButton>(dialog, "Encoders Options", "NewEncoderButton");
  auto* box = Child<QComboBox>(dialog, "Encoders Options", "EncodersComboBox");
  ASSERT_TRUE(remove && add && box);
  const int defaults = EncodersList().TotalEncoders;
  ASSERT_GE(defaults, 2);
  // "Remove" takes the selected one; the previous one becomes selected.
  Options_LastUsedEncoder.IntegerValue = 1;
  dialog.Page("Encoders Options")->Fill();
  const std::string third = EncodersList().Encoders.size() > 2 ? EncodersList().Encoders[2].EncName : "";
  remove->click();
  EXPECT_EQ(EncodersList().TotalEncoders, defaults - 1);
  EXPECT_EQ(Options_LastUsedEncoder.IntegerValue, 0);
  if (!third.empty()) {
    EXPECT_EQ(EncodersList().Encoders[1].EncName, third);
  }
  for (int i = 0; i < 200; ++i) remove->click();
  EXPECT_EQ(EncodersList().TotalEncoders, 1);
  EXPECT_EQ(box->count(), 1);
  // "New" adds the blank encoder and selects it, refused at 99.
  add->click();
  EXPECT_EQ(EncodersList().TotalEncoders, 2);
  EXPECT_EQ(box->currentText(), "Enter Encoder Name");
  EXPECT_EQ(Child<QLineEdit>(dialog, "Encoders Options", "CommandLineEdit")->text(), "Enter Encoder Command Line");
  EXPECT_EQ(Child<QLineEdit>(dialog, "Encoders Options", "ExtensionEdit")->text(), "Empty");
  EXPECT_EQ(Child<QComboBox>(dialog, "Encoders Options", "InputBitsComboBox")->currentText(), "32");
  EXPECT_EQ(Options_LastUsedEncoder.IntegerValue, 1);
  for (int i = 0; i < 200; ++i) add->click();
  EXPECT_EQ(EncodersList().TotalEncoders, 99);
  // Enter in a field writes the selected encoder; a ";" cannot go into the file.
  auto* command = Child<QLineEdit>(dialog, "Encoders Options", "CommandLineEdit");
  command->setText("oggenc -q 5 - -o %outputfile%;rm -rf");
  emit command->returnPressed();
  EXPECT_EQ(EncodersList().Encoders[size_t(Options_LastUsedEncoder.IntegerValue)].EncCmdLine,
            "oggenc -q 5 - -o %outputfile%rm -rf");
  dialog.hide();
}

TEST_F(PreferencesDialogTest, ServerListKeepsOneServer) {
  TPreferencesDialogForm dialog;
  dialog.show();
  auto* remove = Child<QPushButton>(dialog, "freedb Options", "RemoveServerButton");
  ASSERT_NE(remove, nullptr);
  ASSERT_EQ(FreedbServers().TotalServers, 12);
  for (int i = 0; i < 20; ++i) remove->click();
  EXPECT_EQ(FreedbServers().TotalServers, 1);
  Child<QPushButton>(dialog, "freedb Options", "NewServerButton")->click();
  EXPECT_EQ(FreedbServers().TotalServers, 2);
  EXPECT_EQ(FreedbServers().CurrentServer[1].ServerAddress, "Enter freedb server name");
  EXPECT_EQ(FreedbServerLine(FreedbServers().CurrentServer[1]),
            "Enter freedb server name http 80 /~cddb/cddb.cgi N000.00 W000.00 Random freedb server");
  EXPECT_EQ(Options_freedbLastUsedServer.IntegerValue, 1);
  // Enter in a field writes the fields back into the selected server.
  auto* location = Child<QLineEdit>(dialog, "freedb Options", "ServerLocationEdit");
  location->setText("Athens, Greece");
  emit location->returnPressed();
  EXPECT_EQ(FreedbServers().CurrentServer[1].ServerLocationDescription, "Athens, Greece");
  Child<QPushButton>(dialog, "freedb Options", "ResetServerListButton")->click();
  EXPECT_EQ(FreedbServers().TotalServers, 12);
  dialog.hide();
}

// A freedb server on the loopback that answers one request with this body.
class TFreedbPeer {
 public:
  explicit TFreedbPeer(std::string body)
      : server_([body](int fd) {
          char buffer[4096];
          std::string request;
          while (request.find("proto=") == std::string::npos) {
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, size_t(got));
          }
          const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                    std::to_string(body.size()) + "\r\n\r\n" + body;
          ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        }) {}
  freedbServerStructure Server() const {
    freedbServerStructure s;
    const std::string url = server_.Url("");
    s.ServerAddress = url.substr(std::string("http://").size());
    s.ServerPort = "80";
    s.ServerAdditionalAddress = "/~cddb/cddb.cgi";
    return s;
  }

 private:
  loopback::TOneConnectionServer server_;
};

TEST_F(PreferencesDialogTest, GetServersListWithAnErrorLineLoadsTheTwelveDefaults) {
  TFreedbPeer peer("500 Unrecognized command.\r\n");
  freedbServersStructure servers;
  servers.TotalServers = 1;
  EXPECT_FALSE(LoadfreedbServersFromInternet(peer.Server(), servers));
  EXPECT_EQ(servers.TotalServers, 12);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"500 Unrecognized command.\rPress OK to Load Default Server List"});
}

TEST_F(PreferencesDialogTest, GetServersListKeepsTheHttpMirrors) {
  TFreedbPeer peer(
      "210 OK, site information follows (until terminating `.')\r\n"
      "mirror.example http 80 /~cddb/cddb.cgi N048.12 E016.22 Vienna, Austria\r\n"
      "mirror.example cddbp 8880 - N048.12 E016.22 Vienna, Austria\r\n"
      "other.example HTTP 8080 /cddb/cddb.cgi S033.52 E151.13 Sydney, Australia\r\n"
      ".\r\n");
  freedbServersStructure servers;
  ASSERT_TRUE(LoadfreedbServersFromInternet(peer.Server(), servers));
  ASSERT_EQ(servers.TotalServers, 2);
  EXPECT_EQ(FreedbServerLine(servers.CurrentServer[0]),
            "mirror.example http 80 /~cddb/cddb.cgi N048.12 E016.22 Vienna, Austria");
  EXPECT_EQ(servers.CurrentServer[1].ServerPort, "8080");
  EXPECT_EQ(servers.CurrentServer[1].ServerLocationDescription, "Sydney, Australia");
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"210 OK, site information follows (until terminating `.')"});
}

TEST_F(PreferencesDialogTest, TheGetServersListButtonAsksTheSelectedServerAndRefillsTheBox) {
  TFreedbPeer mirrors(
      "210 OK, site information follows (until terminating `.')\r\n"
      "one.example http 80 /~cddb/cddb.cgi N048.12 E016.22 Vienna, Austria\r\n"
      "two.example http 80 /~cddb/cddb.cgi S033.52 E151.13 Sydney, Australia\r\n"
      ".\r\n");
  TFreedbPeer failing("500 Unrecognized command.\r\n");
  FreedbServers().CurrentServer[1] = mirrors.Server();
  FreedbServers().CurrentServer[2] = failing.Server();
  Options_freedbLastUsedServer.IntegerValue = 1;
  TPreferencesDialogForm dialog;
  dialog.show();
  auto* box = Child<QComboBox>(dialog, "freedb Options", "ServersComboBox");
  auto* get = Child<QPushButton>(dialog, "freedb Options", "GetServersListButton");
  ASSERT_TRUE(box && get);
  ASSERT_EQ(box->count(), 12);
  EXPECT_EQ(box->currentIndex(), 1);
  get->click();
  ASSERT_EQ(FreedbServers().TotalServers, 2);
  ASSERT_EQ(box->count(), 2);
  EXPECT_EQ(box->itemText(1), "two.example");
  EXPECT_EQ(Child<QLineEdit>(dialog, "freedb Options", "ServerLocationEdit")->text(), "Sydney, Australia");
  // An error line from the one asked: the line is shown and the twelve defaults come back.
  FreedbServers().CurrentServer[0] = failing.Server();
  Options_freedbLastUsedServer.IntegerValue = 0;
  dialog.Page("freedb Options")->Fill();
  get->click();
  EXPECT_EQ(FreedbServers().TotalServers, 12);
  EXPECT_EQ(box->count(), 12);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"210 OK, site information follows (until terminating `.')",
                                                      "500 Unrecognized command.\rPress OK to Load Default Server List"}));
  dialog.hide();
}

TEST_F(PreferencesDialogTest, GetServersListFromNobodyLoadsTheDefaults) {
  freedbServerStructure nobody;
  nobody.ServerAddress = "127.0.0.1:" + std::to_string(loopback::FreePort());
  nobody.ServerAdditionalAddress = "/~cddb/cddb.cgi";
  freedbServersStructure servers;
  EXPECT_FALSE(LoadfreedbServersFromInternet(nobody, servers));
  EXPECT_EQ(servers.TotalServers, 12);
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"Getting Server from Internet Failed.\rPress OK to Load Default Server List"});
}

TEST_F(PreferencesDialogTest, WhatsNewShowsTheFileOrSaysItIsMissing) {
  TPreferencesDialogForm dialog;
  auto* memo = dialog.Page("What's New")->findChild<QPlainTextEdit*>("InformationMemo");
  ASSERT_NE(memo, nullptr);
  const std::string beside = ExecutableFolder() + "/What's New.txt";
  if (!fs::exists(beside)) {
    dialog.Page("What's New")->Fill();
    EXPECT_EQ(memo->toPlainText(),
              "File What's New.txt  was NOT found !!!\nMake sure Zorvane Audio Player was installed properly.");
  }
  WriteTextFile(folder_ / "What's New.txt", "Version 3.0\n- everything\n");
  dialog.Page("What's New")->Fill();
  EXPECT_EQ(memo->toPlainText(), "Version 3.0\n- everything\n");
  // A 100 MB file is shown only in part.
  fs::resize_file(folder_ / "What's New.txt", 100u << 20);
  dialog.Page("What's New")->Fill();
  EXPECT_LE(memo->toPlainText().size(), 512 * 1024);
  EXPECT_TRUE(memo->toPlainText().startsWith("Version 3.0"));
}

TEST_F(PreferencesDialogTest, SkinsAreListedByFormatAndDescribed) {
  const fs::path skins = fs::path(folder_.Path()) / "skins";
  fs::create_directories(skins / "Ours");
  WriteTextFile((skins / "Ours" / "keldarskin.ini").string(), "[x]\n");
  WriteTextFile((skins / "Ours" / "ReadMe.TXT").string(), "Our own skin.");
  fs::create_directories(skins / "Classic");
  WriteTextFile((skins / "Classic" / "Main.bmp").string(), "BM");
  fs::create_directories(skins / "Kj");
  WriteTextFile((skins / "Kj" / "face.rc").string(), "x");
  for (const char* file : {"packed.ksk", "amp.wsz", "kj.zip", "notes.txt"}) WriteTextFile((skins / file).string(), "x");
  const auto names = [](TSkinFormatChoice format) {
    std::vector<std::string> list;
    for (const TListedSkin& skin : ListSkins(format)) list.push_back(skin.Name);
    return list;
  };
  EXPECT_EQ(names(TSkinFormatChoice::Keldar), (std::vector<std::string>{"Default", "Ours", "packed.ksk"}));
  EXPECT_EQ(names(TSkinFormatChoice::Winamp), (std::vector<std::string>{"Default", "Classic", "amp.wsz"}));
  EXPECT_EQ(names(TSkinFormatChoice::Kjofol), (std::vector<std::string>{"Default", "Kj/face.rc", "kj.zip"}));
  EXPECT_EQ(names(TSkinFormatChoice::All).size(), 7u);
  EXPECT_EQ(SkinTypeText((skins / "amp.wsz").string()), "Winamp Compressed Skin");
  EXPECT_EQ(SkinTypeText((skins / "Classic" / "Main.bmp").string()), "Winamp Skin");
  EXPECT_EQ(SkinTypeText((skins / "notes.txt").string()), "Unknown Skin Type");

  // The page: "All supported Skins" when nothing is chosen; the readme of a selected skin;
  // "Load Skin" hands the chosen skin to the loader, "Default" when that fails.
  std::vector<std::string> loads;
  PreferencesHooks().LoadSkin = [&](const std::string& path) {
    loads.push_back(path);
    return path == "Default";
  };
  TPreferencesDialogForm dialog;
  dialog.show();
  auto* list = Child<QListWidget>(dialog, "Skins", "SkinsListBox");
  EXPECT_EQ(Child<QComboBox>(dialog, "Skins", "SkinFormatComboBox")->currentText(), "All supported Skins");
  ASSERT_EQ(list->count(), 7);
  EXPECT_EQ(list->currentRow(), 0);
  const auto rows = list->findItems("Ours", Qt::MatchExactly);
  ASSERT_EQ(rows.size(), 1);
  list->setCurrentItem(rows.first());
  EXPECT_EQ(Child<QLabel>(dialog, "Skins", "SkinTypeLabel")->text(), "KELDAR Skin");
  EXPECT_EQ(Child<QPlainTextEdit>(dialog, "Skins", "SkinReadmeMemo")->toPlainText(), "Our own skin.");
  Child<QPushButton>(dialog, "Skins", "LoadSkinButton")->click();
  EXPECT_EQ(loads, (std::vector<std::string>{(skins / "Ours" / "keldarskin.ini").string(), "Default"}));
  // A package nobody can unpack has no comment.
  list->setCurrentItem(list->findItems("amp.wsz", Qt::MatchExactly).first());
  EXPECT_EQ(Child<QPlainTextEdit>(dialog, "Skins", "SkinReadmeMemo")->toPlainText(), "No comment found.");
  // The colour trackbars write their settings and show their values.
  auto* red = Child<QSlider>(dialog, "Skins", "RedTrackBar");
  red->setValue(-120);
  EXPECT_EQ(Options_RedColorEnhancement.IntegerValue, -120);
  EXPECT_EQ(Child<QLabel>(dialog, "Skins", "RedLabel")->text(), "Red: -120");
  Child<QPushButton>(dialog, "Skins", "ResetColoursButton")->click();
  EXPECT_EQ(Options_RedColorEnhancement.IntegerValue, 0);
  dialog.hide();
}

// Environment variable set for the scope of a test.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~TScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST_F(PreferencesDialogTest, UncheckingRemovesOnlyOurOwnAssociations) {
  TScopedEnv data("XDG_DATA_HOME", folder_ / "share");
  TScopedEnv config("XDG_CONFIG_HOME", folder_ / "config");
  fs::create_directories(folder_ / "share/applications");
  fs::create_directories(folder_ / "config");
  ClearSupportedFileTypes();
  KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
  // .MP3 opens with us; .OGG with another program.
  ASSERT_TRUE(AssociateExtension(".MP3", ExecutablePath()));
  WriteTextFile(folder_ / "share/applications/otherplayer.desktop",
                "[Desktop Entry]\nType=Application\nName=Other\nExec=/usr/bin/otherplayer %f\n");
  const std::string oggType = MimeTypesForExtension(".OGG").front();
  std::string mimeapps = ReadTextFile(MimeAppsListPath());
  mimeapps += oggType + "=otherplayer.desktop\n";
  WriteTextFile(MimeAppsListPath(), mimeapps);
  ASSERT_EQ(GetAssociatedProgram(".OGG"), "/usr/bin/otherplayer");

  TPreferencesDialogForm dialog;
  dialog.show();
  auto* rows = Child<QTreeWidget>(dialog, "Extensions", "ExtensionsCheckListBox");
  auto* apply = Child<QPushButton>(dialog, "Extensions", "ApplyExtensionsButton");
  ASSERT_EQ(rows->topLevelItemCount(), SupportedFileTypes().Count());
  EXPECT_FALSE(apply->isEnabled());
  int mp3 = -1, ogg = -1;
  for (int i = 0; i < SupportedFileTypes().Count(); ++i) {
    if (SupportedFileTypes().Rows[size_t(i)]->FileExtension == ".MP3") mp3 = i;
    if (SupportedFileTypes().Rows[size_t(i)]->FileExtension == ".OGG") ogg = i;
  }
  ASSERT_GE(mp3, 0);
  ASSERT_GE(ogg, 0);
  EXPECT_EQ(rows->topLevelItem(mp3)->checkState(0), Qt::Checked);
  EXPECT_EQ(rows->topLevelItem(ogg)->checkState(0), Qt::Unchecked);
  EXPECT_TRUE(rows->topLevelItem(mp3)->text(1).startsWith("["));
  rows->topLevelItem(mp3)->setCheckState(0, Qt::Unchecked);
  EXPECT_TRUE(apply->isEnabled());
  apply->click();
  EXPECT_NE(GetAssociatedProgram(".MP3"), ExecutablePath());
  EXPECT_EQ(GetAssociatedProgram(".OGG"), "/usr/bin/otherplayer");
  EXPECT_FALSE(apply->isEnabled());
  std::vector<std::string> written;
  ASSERT_TRUE(ReadListFileLines(folder_ / "UninstAssoc.ini", written)) << ProgramFolder();
  EXPECT_EQ(std::find(written.begin(), written.end(), "MP3"), written.end());
  // "Select All" and "Apply" take every type, .OGG included, and list them without dots.
  Child<QPushButton>(dialog, "Extensions", "SelectAllExtensionsButton")->click();
  apply->click();
  EXPECT_EQ(GetAssociatedProgram(".OGG"), ExecutablePath());
  ASSERT_TRUE(ReadListFileLines(folder_ / "UninstAssoc.ini", written));
  EXPECT_EQ(written.size(), size_t(rows->topLevelItemCount()));
  EXPECT_NE(std::find(written.begin(), written.end(), "MP3"), written.end());
  dialog.hide();
}

TEST_F(PreferencesDialogTest, UtilitiesRunTheReports) {
  int systemInfo = 0;
  PreferencesHooks().ShowSystemInformation = [&] { ++systemInfo; };
  TPreferencesDialogForm dialog;
  dialog.show();
  Child<QPushButton>(dialog, "Utilities", "SoundDeviceInfoButton")->click();
  Child<QPushButton>(dialog, "Utilities", "SystemInformationButton")->click();
  EXPECT_EQ(systemInfo, 1);
  // The device report of the no-sound device names it.
  const auto texts = MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_FALSE(texts.front().empty());
  dialog.hide();
}

}  // namespace
