// The "VIS Plugins" page operations: the list, the information texts, and Start and Stop
// Plugin with their messages, on copies of the test plug-ins in a program folder of our own.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>

#include "TestSupport.h"
#include "TestVisPluginState.h"
#include "plugins/SoniqueVisPlugin_API.h"
#include "plugins/SoniqueVisPluginPreferences.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"

namespace {

namespace fs = std::filesystem;

class VisPluginsPage : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolderForTesting(folder.Path());
    fs::create_directories(folder / "visplugins/default");
    fs::copy_file(KELDAR_TEST_VIS_PLUGIN, folder / "visplugins/default/good.svp");
    fs::copy_file(KELDAR_TEST_NOQUERY_VIS_PLUGIN, folder / "visplugins/bad.SVP");
    library = dlopen((folder / "visplugins/default/good.svp").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    state = reinterpret_cast<TTestVisPluginStateProc>(dlsym(library, "TestVisPluginState"))();
    state->Reset();
    SoniqueVisPluginHooks() = {};
    VisPluginsPageHooks() = {};
    Options_VisExCurrentPluginName.StringValue = "DEFAULT/Good.svp";
  }
  void TearDown() override {
    StopVisPlugin();
    VisPluginsPageHooks() = {};
    if (library) dlclose(library);
  }

  int IndexOf(const TVisPluginsPage& page, const std::string& name) {
    for (size_t i = 0; i < page.Names.size(); ++i)
      if (page.Names[i] == name) return static_cast<int>(i);
    return -1;
  }

  TTempFolder folder;
  TMessageLogCapture log{folder / "messages.log"};
  void* library = nullptr;
  TTestVisPluginState* state = nullptr;
};

TEST_F(VisPluginsPage, ListsThePluginsAndSelectsTheCurrentOneIgnoringCase) {
  TVisPluginsPage page;
  ShowVisPluginsPage(page);
  ASSERT_GE(page.Names.size(), 2u);
  EXPECT_EQ(page.Names[0], "bad.SVP") << "the folder's own files before its sub-folders'";
  EXPECT_EQ(page.Names[1], "default/good.svp");
  EXPECT_EQ(page.FullPaths[1], folder / "visplugins/default/good.svp");
  EXPECT_EQ(page.Selected, 1);
  EXPECT_EQ(page.GroupCaption, "Available Visualization Plugins: " + std::to_string(page.Names.size()));
  EXPECT_EQ(page.Information.Format, "Sonique Visual Plugin");
  EXPECT_EQ(page.Information.Name, "Test Vis Plugin");
  EXPECT_EQ(page.Information.Version, "1");
  EXPECT_EQ(page.Information.Memo, (std::vector<std::string>{"- WaveForm Data", "- Spectrum Data",
                                                             "- Player Vis Proc Data", "- Button Clicks Supported"}));
  EXPECT_FALSE(SoniqueVisPluginStatus().Loaded) << "showing information loads nothing for good";
}

TEST_F(VisPluginsPage, InformationTextsFollowTheFlagsAndTheVersion) {
  state->Version = 0;
  state->RequiredData = 2;
  const TVisPluginInformation spectrumOnly = VisPluginInformation(folder / "visplugins/default/good.svp");
  EXPECT_EQ(spectrumOnly.Memo,
            (std::vector<std::string>{"", "- Spectrum Data", "", "- Button Clicks NOT Supported"}));
  EXPECT_EQ(spectrumOnly.Version, "0");

  const TVisPluginInformation noQuery = VisPluginInformation(folder / "visplugins/bad.SVP");
  EXPECT_EQ(noQuery.Format, "Sonique Visual Plugin");
  EXPECT_EQ(noQuery.Name, "");
  EXPECT_EQ(noQuery.Version, "0");

  fs::copy_file(KELDAR_TEST_VIS_PLUGIN, folder / "visplugins/other.so");
  EXPECT_EQ(VisPluginInformation(folder / "visplugins/other.so").Format, "Unknown Visual Plugin Type");

  const TVisPluginInformation empty = EmptyVisPluginInformation();
  EXPECT_EQ(empty.Format, "Info not available");
  EXPECT_EQ(empty.Name, "Info not available");
  EXPECT_EQ(empty.Version, "0");
  EXPECT_EQ(empty.Memo, std::vector<std::string>{"Info not available"});
}

TEST_F(VisPluginsPage, StartPluginStoresTheChoiceAndBringsUpTheVisualsWindow) {
  std::string order;
  TVisPluginsPageHooks& hooks = VisPluginsPageHooks();
  hooks.HideVisualsWindow = [&] {
    order += "hide ";
    StopVisPlugin();
  };
  // The visuals window starts the stored plug-in when it shows.
  hooks.ShowVisualsWindowThroughCanvas = [&] {
    order += "show ";
    StartVisPlugin(VisPluginFullPath(Options_VisExCurrentPluginName.StringValue));
  };
  TVisPluginsPage page;
  ShowVisPluginsPage(page);
  Options_VisExCurrentPluginName.StringValue = "somethingelse.svp";
  StartVisPluginsPageEntry(page);
  EXPECT_EQ(order, "hide show ");
  EXPECT_EQ(Options_VisExCurrentPluginName.StringValue, "default/good.svp");
  EXPECT_TRUE(SoniqueVisPluginStatus().Running);
  EXPECT_EQ(ReadTextFile(log.Path()), "");

  // While a video plays the plug-in does not stay on.
  hooks.VideoPlaying = [] { return true; };
  StartVisPluginsPageEntry(page);
  EXPECT_FALSE(SoniqueVisPluginStatus().Running);
}

TEST_F(VisPluginsPage, StartPluginReportsPluginsThatCannotRunAndWrongExtensions) {
  TVisPluginsPageHooks& hooks = VisPluginsPageHooks();
  hooks.ShowVisualsWindowThroughCanvas = [] {
    StartVisPlugin(VisPluginFullPath(Options_VisExCurrentPluginName.StringValue));
  };
  int preferencesShown = 0;
  hooks.ShowPreferencesOnVisPluginsPage = [&] { ++preferencesShown; };
  hooks.PreferencesVisible = [] { return false; };
  TVisPluginsPage page;
  ShowVisPluginsPage(page);
  SelectVisPluginsPageEntry(page, IndexOf(page, "bad.SVP"));
  StartVisPluginsPageEntry(page);
  EXPECT_NE(ReadTextFile(log.Path()).find(folder / "visplugins/bad.SVP was not found."), std::string::npos)
      << ReadTextFile(log.Path());
  EXPECT_EQ(page.Information.Name, "Info not available");
  EXPECT_FALSE(SoniqueVisPluginStatus().Loaded);

  page.FullPaths.push_back(folder / "visplugins/notaplugin.dll");
  page.Names.push_back("notaplugin.dll");
  const std::string before = Options_VisExCurrentPluginName.StringValue;
  SelectVisPluginsPageEntry(page, static_cast<int>(page.FullPaths.size()) - 1);
  StartVisPluginsPageEntry(page);
  EXPECT_NE(ReadTextFile(log.Path()).find("Error: The plugin's extension is not .svp. \\rSelect new plugin :"),
            std::string::npos);
  EXPECT_EQ(preferencesShown, 1);
  EXPECT_EQ(Options_VisExCurrentPluginName.StringValue, before) << "the current plug-in is left as it was";

  SelectVisPluginsPageEntry(page, -1);
  StartVisPluginsPageEntry(page);
  EXPECT_EQ(preferencesShown, 1) << "nothing selected, nothing done";
}

TEST_F(VisPluginsPage, StopPluginStopsEmptiesTheInformationAndRepaints) {
  int repaints = 0;
  VisPluginsPageHooks().RepaintDrawingArea = [&] { ++repaints; };
  StartVisPlugin(folder / "visplugins/default/good.svp");
  ASSERT_TRUE(SoniqueVisPluginStatus().Running);
  TVisPluginsPage page;
  ShowVisPluginsPage(page);
  StopVisPluginsPagePlugin(page);
  EXPECT_FALSE(SoniqueVisPluginStatus().Running);
  EXPECT_EQ(page.Information.Memo, std::vector<std::string>{"Info not available"});
  EXPECT_EQ(repaints, 1);
  EXPECT_NE(state->CallsSoFar().find("SD"), std::string::npos) << "settings saved and released at the stop";
}

}  // namespace
