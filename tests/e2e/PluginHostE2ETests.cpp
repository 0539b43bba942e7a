// The real player's start-up and exit steps for DSP and general plug-ins, with our test
// plug-ins in its program folder: the chosen DSP plug-in is loaded at the first showing and fed
// the playing song, the general plug-ins start, and exit closes them all (DSP first, general
// plug-ins last loaded first). A chosen plug-in that fails shows the messages and the player
// runs on without DSP.
#include <gtest/gtest.h>

#include <fstream>

#include "DeckE2EFixture.h"

namespace {

class PluginHostE2E : public DeckE2E {
 protected:
  void SetUp() override {
    DeckE2E::SetUp();
    fs::create_directories(program + "/dspplugins");
    fs::create_directories(program + "/genplugins");
    events = dir / "events.log";
    ::setenv("ZPTEST_PLUGIN_LOG", events.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("ZPTEST_PLUGIN_LOG");
    DeckE2E::TearDown();
  }
  void Install(const std::string& name, const std::string& folder) {
    fs::copy_file(std::string(KELDAR_TEST_PLUGIN_DIR) + "/" + name + ".so", program + "/" + folder + "/" + name + ".so");
  }
  std::vector<std::string> Events() const {
    std::vector<std::string> lines;
    std::ifstream in(events);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::string events;
};

TEST_F(PluginHostE2E, TheChosenDspPluginIsFedAndEverythingClosesAtExit) {
  Install("zpdsp_good", "dspplugins");
  Install("zpgen_a", "genplugins");
  Install("zpgen_b", "genplugins");
  Settings("Options_ZPDSPCurrentPluginName=zpdsp_good.so\nOptions_LastZPDSPState=1\n");
  ASSERT_TRUE(StartWith({Song("one.wav", 20, 440)}));
  Ctl("play");
  ASSERT_TRUE(WaitForState("Playing", "1"));
  EXPECT_TRUE(WaitFor([&] {
    for (const auto& line : Events())
      if (line.rfind("zpdsp_good CreateEffect ", 0) == 0) return true;
    return false;
  }));
  EXPECT_EQ(player.Terminate(), 0);
  const std::vector<std::string> e = Events();
  ASSERT_GE(e.size(), 7u);
  EXPECT_EQ(e[0], "zpdsp_good Initialize " + program + "/dspplugins/");
  EXPECT_EQ(e[1], "zpdsp_good LoadSettings");
  EXPECT_EQ(e[2], "zpgen_a Initialize " + program + "/genplugins/");
  EXPECT_EQ(e[3], "zpgen_b Initialize " + program + "/genplugins/");
  // Exit: the feeder and the effect go, the DSP plug-in saves and closes, then the general
  // plug-ins close in reverse order.
  const std::vector<std::string> tail(e.end() - 5, e.end());
  EXPECT_EQ(tail[0].rfind("zpdsp_good StopEffect ", 0), 0u) << tail[0];
  EXPECT_EQ(std::vector<std::string>(tail.begin() + 1, tail.end()),
            (std::vector<std::string>{"zpdsp_good SaveSettings", "zpdsp_good Close", "zpgen_b Close", "zpgen_a Close"}));
  EXPECT_EQ(CountMessagesStartingWith("Error Loading"), 0);
  EXPECT_EQ(CountMessagesStartingWith("Error: DSP Plugin Error."), 0);
  // The switch was saved on while the plug-in ran.
  EXPECT_NE(ReadTextFile(program + "/keldar3.ini").find("Options_LastZPDSPState=1"), std::string::npos);
}

TEST_F(PluginHostE2E, AFailingDspPluginIsReportedAndThePlayerPlaysWithoutIt) {
  Install("zpdsp_initfails", "dspplugins");
  Settings("Options_ZPDSPCurrentPluginName=zpdsp_initfails.so\nOptions_LastZPDSPState=1\n");
  ASSERT_TRUE(StartWith({Song("one.wav", 20, 440)}));
  EXPECT_EQ(CountMessagesStartingWith("Error Loading dsp plugin: " + program + "/dspplugins/zpdsp_initfails.so"), 1);
  EXPECT_EQ(CountMessagesStartingWith("Error: DSP Plugin Error. \rSelect new plugin :"), 1);
  Ctl("play");
  EXPECT_TRUE(WaitForState("Playing", "1"));
  EXPECT_EQ(player.Terminate(), 0);
  EXPECT_NE(ReadTextFile(program + "/keldar3.ini").find("Options_LastZPDSPState=0"), std::string::npos);
}

}  // namespace
