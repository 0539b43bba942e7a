// The DSP and general plug-in hosts with real plug-in libraries (our own test plug-ins, good
// and hostile) on the real engine, device 0: loading, the messages, the feeder's blocks, the
// order of the entries, and what start-up and exit do.
#include <dlfcn.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include <atomic>
#include <fstream>

#include "app/LaterDialogHooks.h"
#include "app/PluginHostSetup.h"
#include "app/StartupHooks.h"
#include "engine/EngineTestSupport.h"
#include "plugins/PluginCallGuard.h"
#include "plugins/zpdsp_plugins_Loader_API.h"
#include "plugins/zpdsp_sdk_header_Loader.h"
#include "plugins/zpgen_plugins_Loader_API.h"
#include "plugins/zpgen_sdk_header_Loader.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"

using namespace enginetest;

namespace {

const std::string kDspError = "Error: DSP Plugin Error. \rSelect new plugin :";

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The plug-ins' dialogs need the application object the player has.
void EnsureApplication() {
  static int argc = 1;
  static char name[] = "keldar_dspgen_plugins_tests";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

// Runs work on the plug-in's modal dialog once it shows, then closes it.
void OnModalDialog(const std::function<void(QDialog&)>& work) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, work] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    timer->stop();
    timer->deleteLater();
    work(*dialog);
    dialog->reject();
  });
  timer->start();
}

class DspGenPluginTest : public PlaybackEngineTest {
 protected:
  static void SetUpTestSuite() {
    PlaybackEngineTest::SetUpTestSuite();
    InstallPluginHost(nullptr);
  }
  static void TearDownTestSuite() {
    ClearPluginHost();
    PlaybackEngineTest::TearDownTestSuite();
  }
  void SetUp() override {
    PlaybackEngineTest::SetUp();
    program = (Dir() / "program").string();
    fs::remove_all(program);
    fs::create_directories(program + "/dspplugins/more");
    fs::create_directories(program + "/genplugins");
    SetProgramFolderForTesting(program);
    events = (Dir() / "events.log").string();
    fs::remove(events);
    setenv("ZPTEST_PLUGIN_LOG", events.c_str(), 1);
    pages.clear();
    LaterDialogHooks().ShowPreferencesPage = [this](const std::string& page) { pages.push_back(page); };
    Options_ZPDSPCurrentPluginName.StringValue = "None";
    Options_LastZPDSPState.BooleanValue = false;
  }
  void TearDown() override {
    StopDSPPlugin();
    StopGENPlugins();
    LaterDialogHooks().ShowPreferencesPage = nullptr;
    PlaybackEngineTest::TearDown();
  }

  // Copies a test plug-in into the program's folder; returns its full path there.
  std::string Install(const std::string& name, const std::string& folder = "dspplugins") {
    const std::string target = program + "/" + folder + "/" + name + ".so";
    fs::copy_file(std::string(KELDAR_TEST_PLUGIN_DIR) + "/" + name + ".so", target,
                  fs::copy_options::overwrite_existing);
    return target;
  }
  std::vector<std::string> Events() const {
    std::vector<std::string> lines;
    std::ifstream in(events);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto& m : Messages()) texts.push_back(m.Text);
    return texts;
  }
  // A counter the loaded DSP plug-in keeps about the blocks it was given.
  static uint32_t Stat(const char* name) {
    const auto& records = KELDAR_dsp_PLUGIN_DLL_Table().KELDAR_dsp_PLUGIN_DLL_Record;
    if (records.empty() || !records.front()) return 0;
    auto* value = static_cast<std::atomic<uint32_t>*>(dlsym(records.front()->PLUGIN_ModuleHandle, name));
    return value ? value->load() : 0;
  }
  static uint32_t Level() {
    uint32_t best = 0;
    for (int i = 0; i < 5; ++i) {
      Wait(40);
      const uint32_t level = KAUDIO_ChannelGetLevel(Engine().StreamHandle);
      if (level != 0xFFFFFFFFu) best = std::max(best, level & 0xFFFF);
    }
    return best;
  }

  // Peaks of the left and right channel over a few readings (0..32768 each).
  static std::pair<uint32_t, uint32_t> Levels() {
    uint32_t left = 0, right = 0;
    for (int i = 0; i < 5; ++i) {
      Wait(40);
      const uint32_t level = KAUDIO_ChannelGetLevel(Engine().StreamHandle);
      if (level == 0xFFFFFFFFu) continue;
      left = std::max(left, level & 0xFFFF);
      right = std::max(right, level >> 16);
    }
    return {left, right};
  }
  // A bundled plug-in from the program folder of the build.
  std::string InstallBundled(const std::string& name) {
    const std::string target = program + "/dspplugins/" + name + ".so";
    fs::copy_file(std::string(KELDAR_PROGRAM_DIR) + "/dspplugins/" + name + ".so", target,
                  fs::copy_options::overwrite_existing);
    return target;
  }

  std::string program, events;
  std::vector<std::string> pages;
};

TEST_F(DspGenPluginTest, APluginFailingItsInitializeIsReleasedWithTheMessages) {
  const std::string path = Install("zpdsp_initfails");
  Options_ZPDSPCurrentPluginName.StringValue = "zpdsp_initfails.so";
  StartDSPPlugin();
  EXPECT_FALSE(DSPPluginLoaded());
  EXPECT_EQ(KELDAR_dsp_PLUGIN_DLL_Table().KELDAR_dsp_PLUGIN_DLL_TotalInTable, 0);
  EXPECT_FALSE(Engine().Effects.DSP);
  EXPECT_FALSE(Options_LastZPDSPState.BooleanValue);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Error Loading dsp plugin: " + path, kDspError}));
  EXPECT_EQ(pages, std::vector<std::string>{"DSP Plugins"});
  EXPECT_EQ(DSPPluginShownInformation().Name, "Info NOT available");
  EXPECT_EQ(DSPPluginShownInformation().Version, "0");
  // It was initialized once and never closed: a failed plug-in gets no further calls.
  EXPECT_EQ(Events(), std::vector<std::string>{"zpdsp_initfails Initialize " + program + "/dspplugins/"});
}

TEST_F(DspGenPluginTest, HostileLibrariesFailToLoadWithTheMessageAndNeverCrashUs) {
  const unsigned long crashesBefore = GuardedPluginCrashCount();
  for (const std::string name : {"zpdsp_noexport", "zpdsp_nullinterface", "zpdsp_nullentries", "zpdsp_longname",
                                 "zpdsp_crashinit"}) {
    fs::remove(Dir() / "messages.log");
    const std::string path = Install(name);
    Options_ZPDSPCurrentPluginName.StringValue = name + ".so";
    StartDSPPlugin();
    EXPECT_FALSE(DSPPluginLoaded()) << name;
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Error Loading dsp plugin: " + path, kDspError})) << name;
  }
  EXPECT_EQ(GuardedPluginCrashCount(), crashesBefore + 1);  // the crash inside Initialize

  // A file that is not a library at all, and one that is not there.
  fs::remove(Dir() / "messages.log");
  std::ofstream(program + "/dspplugins/zpdsp_text.so") << "not a library";
  Options_ZPDSPCurrentPluginName.StringValue = "zpdsp_text.so";
  StartDSPPlugin();
  Options_ZPDSPCurrentPluginName.StringValue = "zpdsp_gone.so";
  StartDSPPlugin();
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Error Loading dsp plugin: " + program + "/dspplugins/zpdsp_text.so",
                                                      kDspError, "zpdsp_gone.so was not found.", kDspError}));
  // A setting pointing out of the plug-in folder is no plug-in of ours.
  fs::remove(Dir() / "messages.log");
  Install("zpdsp_good", "genplugins");
  Options_ZPDSPCurrentPluginName.StringValue = "../genplugins/zpdsp_good.so";
  StartDSPPlugin();
  EXPECT_FALSE(DSPPluginLoaded());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kDspError});
}

TEST_F(DspGenPluginTest, SelectingAPluginFeedsItTheBlocksAndNoneUnloadsItSilently) {
  Install("zpdsp_good", "dspplugins/more");
  Install("zpdsp_initfails");
  const std::vector<std::string> list = DSPPluginList();
  EXPECT_EQ(list, (std::vector<std::string>{"None", "zpdsp_initfails.so", "more/zpdsp_good.so"}));
  EXPECT_EQ(DSPPluginsGroupCaption(list), "Available DSP Plugins: 3");

  ASSERT_TRUE(Open(Tone("feed.wav", 10, 32000, 2, 440, -12)));
  const uint32_t channel = Engine().StreamHandle;
  Ops().Play();
  const uint32_t plain = Level();

  SelectDSPPlugin("more/zpdsp_good.so");
  ASSERT_TRUE(DSPPluginLoaded());
  EXPECT_TRUE(Engine().Effects.DSP);
  EXPECT_TRUE(Options_LastZPDSPState.BooleanValue);
  EXPECT_EQ(DSPPluginListIndexOfSetting(list), 2);
  EXPECT_EQ(DSPPluginShownInformation().Name, "zpdsp_good");
  EXPECT_EQ(DSPPluginShownInformation().Version, "7");
  Wait(800);  // what was decoded before the plug-in came has been heard
  EXPECT_GT(Stat("zptest_blocks"), 0u);
  EXPECT_EQ(Stat("zptest_rate"), 32000u);
  EXPECT_EQ(Stat("zptest_channels"), 2u);
  EXPECT_EQ(Stat("zptest_bytesPerSample"), 4u);
  EXPECT_EQ(Stat("zptest_oddLengths"), 0u);
  // The plug-in doubles every sample, and that is what is heard.
  const uint32_t processed = Level();
  EXPECT_NEAR(static_cast<double>(processed) / plain, 2.0, 0.1) << plain << " " << processed;
  // The channel handle it was given works with the audio library: its own effect runs too.
  EXPECT_GT(Stat("zptest_ownEffectBlocks"), 0u);

  ConfigureDSPPlugin();
  SelectDSPPlugin("None");
  EXPECT_FALSE(DSPPluginLoaded());
  EXPECT_FALSE(Engine().Effects.DSP);
  EXPECT_FALSE(Options_LastZPDSPState.BooleanValue);
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_TRUE(pages.empty());
  EXPECT_EQ(DSPPluginShownInformation().Name, "Info NOT available");
  const std::string c = std::to_string(channel);
  EXPECT_EQ(Events(), (std::vector<std::string>{
                          "zpdsp_good Initialize " + program + "/dspplugins/", "zpdsp_good LoadSettings",
                          "zpdsp_good CreateEffect " + c, "zpdsp_good Config",
                          // The hook and the effect go before the plug-in saves and closes.
                          "zpdsp_good StopEffect " + c, "zpdsp_good SaveSettings", "zpdsp_good Close"}));
  Wait(800);
  EXPECT_NEAR(static_cast<double>(Level()) / plain, 1.0, 0.1);
}

TEST_F(DspGenPluginTest, MonoIsFedWithItsRateAndSixChannelsGetNoHook) {
  Install("zpdsp_good");
  Options_ZPDSPCurrentPluginName.StringValue = "zpdsp_good.so";
  StartDSPPlugin();
  ASSERT_TRUE(DSPPluginLoaded());
  EXPECT_TRUE(Options_LastZPDSPState.BooleanValue);
  // As the play routine does: the switch is on, the stream opens, the effects are applied.
  ASSERT_TRUE(Open(Tone("mono.wav", 5, 22050, 1)));
  Ops().ApplyDSPState();
  Ops().Play();
  Wait(500);
  EXPECT_GT(Stat("zptest_blocks"), 0u);
  EXPECT_EQ(Stat("zptest_rate"), 22050u);
  EXPECT_EQ(Stat("zptest_channels"), 1u);
  EXPECT_EQ(Stat("zptest_bytesPerSample"), 4u);
  EXPECT_EQ(Stat("zptest_oddLengths"), 0u);
  Ops().Stop();
  Ops().FreeStreams();
  Ops().ApplyDSPState();

  fs::remove(events);
  ASSERT_TRUE(Open(Tone("six.wav", 3, 44100, 6)));
  Ops().ApplyDSPState();
  Ops().Play();
  const uint32_t before = Stat("zptest_blocks");
  Wait(500);
  EXPECT_EQ(Stat("zptest_blocks"), before);
  EXPECT_TRUE(Events().empty());  // no CreateEffect for a 5.1 channel
}

TEST_F(DspGenPluginTest, APluginCrashingOnTheProcessingThreadIsDroppedAndPlayingGoesOn) {
  Install("zpdsp_crashproc");
  Options_ZPDSPCurrentPluginName.StringValue = "zpdsp_crashproc.so";
  StartDSPPlugin();
  ASSERT_TRUE(DSPPluginLoaded());
  const unsigned long crashesBefore = GuardedPluginCrashCount();
  ASSERT_TRUE(Open(Tone("crash.wav", 5, 44100, 2)));
  Ops().ApplyDSPState();
  Ops().Play();
  Wait(600);
  EXPECT_EQ(GuardedPluginCrashCount(), crashesBefore + 1);
  EXPECT_TRUE(DSPPluginUnusable());
  EXPECT_GT(Level(), 0u);  // the sound goes on without the plug-in
  StopDSPPlugin();
  EXPECT_FALSE(DSPPluginLoaded());
}

TEST_F(DspGenPluginTest, GeneralPluginsStartInNameOrderAndCloseInReverse) {
  Install("zpgen_b", "genplugins");
  Install("zpgen_a", "genplugins");
  Install("zpgen_crashinit", "genplugins");
  const std::string noExport = Install("zpgen_noexport", "genplugins");
  const std::string longName = Install("zpgen_longname", "genplugins");
  Install("zpdsp_good", "genplugins");  // not a general plug-in's name: not loaded
  StartGENPlugins();
  // The plug-ins that could not be loaded are reported; the one crashing in Initialize counts
  // as loaded but is never called again.
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Error Loading gen plugin: " + longName,
                                                      "Error Loading gen plugin: " + noExport}));
  EXPECT_EQ(KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_TotalInTable, 3);
  EXPECT_EQ(GENPluginLines(), (std::vector<std::string>{"zpgen_a.so", "zpgen_b.so", "zpgen_crashinit.so"}));
  EXPECT_EQ(GENPluginsGroupCaption(), "Available Generic Plugins: 3");
  std::string name;
  uint32_t version = 0;
  ASSERT_TRUE(GENPluginInformation(1, name, version));
  EXPECT_EQ(name, "zpgen_b");
  EXPECT_EQ(version, 3u);
  ConfigureGENPlugin(0);
  ConfigureGENPlugin(2);
  StopGENPlugins();
  EXPECT_EQ(KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_TotalInTable, 0);
  const std::string folder = program + "/genplugins/";
  EXPECT_EQ(Events(), (std::vector<std::string>{"zpgen_a Initialize " + folder, "zpgen_b Initialize " + folder,
                                                "zpgen_a Config", "zpgen_b Close", "zpgen_a Close"}));
}

TEST_F(DspGenPluginTest, StartUpRestartsAndExitStopsThePlugins) {
  Install("zpdsp_good");
  Install("zpgen_a", "genplugins");
  Options_ZPDSPCurrentPluginName.StringValue = "ZPDSP_GOOD.so";  // a stored name in another case
  fs::rename(program + "/dspplugins/zpdsp_good.so", program + "/dspplugins/ZPDSP_GOOD.so");
  ASSERT_TRUE(StartupHooks().RestartPlugins);
  StartupHooks().RestartPlugins();
  EXPECT_TRUE(DSPPluginLoaded());
  EXPECT_TRUE(Options_LastZPDSPState.BooleanValue);
  EXPECT_EQ(KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_TotalInTable, 1);
  // A second restart (a skin switch does not do it, but nothing forbids it) reloads cleanly.
  StartupHooks().RestartPlugins();
  EXPECT_TRUE(DSPPluginLoaded());
  StartupHooks().StopPlugins();
  EXPECT_FALSE(DSPPluginLoaded());
  EXPECT_FALSE(Options_LastZPDSPState.BooleanValue);
  EXPECT_EQ(KELDAR_gen_PLUGIN_DLL_Table().KELDAR_gen_PLUGIN_DLL_TotalInTable, 0);
  EXPECT_TRUE(MessageTexts().empty());
  const std::string dsp = "zpdsp_good Initialize " + program + "/dspplugins/";
  const std::string gen = "zpgen_a Initialize " + program + "/genplugins/";
  EXPECT_EQ(Events(), (std::vector<std::string>{
                          dsp, "zpdsp_good LoadSettings", gen,
                          "zpdsp_good SaveSettings", "zpdsp_good Close", dsp, "zpdsp_good LoadSettings",
                          "zpgen_a Close", gen,
                          "zpdsp_good SaveSettings", "zpdsp_good Close", "zpgen_a Close"}));
}

// The LADSPA host running the example amplifier of ladspa-sdk at +6 dB (a gain of 1.995),
// found through LADSPA_PATH: what is heard is twice as loud, for stereo and mono streams.
TEST_F(DspGenPluginTest, LadspaAmplifierAtSixDecibelsDoublesTheTone) {
  const std::string ladspa = (Dir() / "ladspa").string();
  fs::create_directories(ladspa);
  ASSERT_TRUE(fs::exists("/usr/lib/ladspa/amp.so")) << "ladspa-sdk is not installed";
  fs::create_symlink("/usr/lib/ladspa/amp.so", ladspa + "/amp.so");
  setenv("LADSPA_PATH", ladspa.c_str(), 1);
  InstallBundled("zpdsp_ladspa");
  const std::string settings = program + "/dspplugins/zpdsp_ladspa.ini";
  WriteFile(settings, "Library=amp.so\nLabel=amp_stereo\nControl 0=1.99526\n");

  for (const int channels : {2, 1}) {
    ASSERT_TRUE(Open(Tone("amp" + std::to_string(channels) + ".wav", 10, 44100, channels, 440, -12)));
    Ops().Play();
    const uint32_t plain = Level();
    ASSERT_GT(plain, 1000u);
    SelectDSPPlugin("zpdsp_ladspa.so");
    ASSERT_TRUE(DSPPluginLoaded());
    EXPECT_EQ(DSPPluginShownInformation().Name, "LADSPA Effect Host");
    Wait(800);
    EXPECT_NEAR(static_cast<double>(Level()) / plain, 2.0, 0.1) << channels << " channel(s)";
    SelectDSPPlugin("None");
    Ops().Stop();
    Ops().FreeStreams();
  }
  EXPECT_TRUE(MessageTexts().empty());
  // What it ran is kept for the next start, written back by the plug-in at unloading.
  const std::string kept = ReadFile(settings);
  EXPECT_NE(kept.find("Label=amp_stereo\n"), std::string::npos) << kept;
  EXPECT_NE(kept.find("Control 0=1.99526"), std::string::npos) << kept;
  unsetenv("LADSPA_PATH");
}

// Crossfeed: a tone on the left channel only is heard, weaker, on the right as well.
TEST_F(DspGenPluginTest, CrossfeedPutsALeftOnlyToneAttenuatedIntoTheRight) {
  InstallBundled("zpdsp_crossfeed");
  const std::string left = (Dir() / "left.wav").string();
  ASSERT_TRUE(Shell("sox -n -r 44100 -c 2 '" + left + "' synth 10 sine 440 gain -12 remix 1 0"));
  ASSERT_TRUE(Open(left));
  Ops().Play();
  const auto [plainLeft, plainRight] = Levels();
  ASSERT_GT(plainLeft, 1000u);
  EXPECT_LT(plainRight, 10u);
  SelectDSPPlugin("zpdsp_crossfeed.so");
  ASSERT_TRUE(DSPPluginLoaded());
  Wait(800);
  const auto [fedLeft, fedRight] = Levels();
  EXPECT_GT(fedRight, plainLeft / 20) << fedLeft << " " << fedRight;
  EXPECT_LT(fedRight, fedLeft * 3 / 4) << fedLeft << " " << fedRight;
  SelectDSPPlugin("None");
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(ReadFile(program + "/dspplugins/zpdsp_crossfeed.ini"), "Level=default\n");
}

TEST_F(DspGenPluginTest, CrossfeedDialogOffersTheLibraryLevelsAndTheChoiceIsKept) {
  EnsureApplication();
  InstallBundled("zpdsp_crossfeed");
  SelectDSPPlugin("zpdsp_crossfeed.so");
  ASSERT_TRUE(DSPPluginLoaded());
  QStringList captions;
  OnModalDialog([&](QDialog& dialog) {
    for (auto* button : dialog.findChildren<QRadioButton*>()) {
      captions << button->text();
      if (button->text().startsWith("Jan Meier")) button->click();
    }
  });
  ConfigureDSPPlugin();
  EXPECT_EQ(captions, (QStringList{"Default (700 Hz, 4.5 dB)", "Chu Moy (700 Hz, 6 dB)", "Jan Meier (650 Hz, 9.5 dB)"}));
  SelectDSPPlugin("None");
  EXPECT_EQ(ReadFile(program + "/dspplugins/zpdsp_crossfeed.ini"), "Level=jmeier\n");
  // Loaded again, it starts from the kept level.
  SelectDSPPlugin("zpdsp_crossfeed.so");
  bool checked = false;
  OnModalDialog([&](QDialog& dialog) {
    for (auto* button : dialog.findChildren<QRadioButton*>())
      if (button->text().startsWith("Jan Meier")) checked = button->isChecked();
  });
  ConfigureDSPPlugin();
  EXPECT_TRUE(checked);
}

TEST_F(DspGenPluginTest, LadspaDialogListsTheEffectsAndItsSlidersSetTheControls) {
  EnsureApplication();
  const std::string ladspa = (Dir() / "ladspa-dialog").string();
  fs::create_directories(ladspa);
  fs::create_symlink("/usr/lib/ladspa/amp.so", ladspa + "/amp.so");
  setenv("LADSPA_PATH", ladspa.c_str(), 1);
  InstallBundled("zpdsp_ladspa");
  SelectDSPPlugin("zpdsp_ladspa.so");
  ASSERT_TRUE(DSPPluginLoaded());
  QStringList controlNames;
  int effectCount = 0;
  OnModalDialog([&](QDialog& dialog) {
    auto* effects = dialog.findChild<QComboBox*>();
    ASSERT_NE(effects, nullptr);
    effectCount = effects->count();
    const int mono = effects->findText("Mono Amplifier (amp_mono, amp.so)");
    ASSERT_GT(mono, 0);
    effects->setCurrentIndex(mono);
    const auto sliders = dialog.findChildren<QSlider*>();
    ASSERT_EQ(sliders.size(), 1);
    sliders.front()->setValue(sliders.front()->maximum());
    for (auto* label : dialog.findChildren<QLabel*>()) controlNames << label->text();
  });
  ConfigureDSPPlugin();
  EXPECT_GE(effectCount, 3);  // "(no effect)" and both amplifiers
  EXPECT_TRUE(controlNames.contains("Gain")) << controlNames.join("|").toStdString();
  SelectDSPPlugin("None");
  const std::string kept = ReadFile(program + "/dspplugins/zpdsp_ladspa.ini");
  EXPECT_NE(kept.find("Library=" + ladspa + "/amp.so\n"), std::string::npos) << kept;
  EXPECT_NE(kept.find("Label=amp_mono\n"), std::string::npos) << kept;
  EXPECT_NE(kept.find("Control 0=10\n"), std::string::npos) << kept;  // the top of the Gain slider
  unsetenv("LADSPA_PATH");
}

}  // namespace
