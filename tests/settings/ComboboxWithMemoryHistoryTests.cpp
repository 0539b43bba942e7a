#include "settings/ComboboxWithMemoryHistory.h"

#include <gtest/gtest.h>

#include "settings/SettingsFunctionsToINIFiles.h"
#include "settings/SettingsTestFolder.h"
#include "util/ProgramFolders.h"

using Items = std::vector<std::string>;

TEST(HistoryListTest, InsertKeepsNewestFirstAndTheCapacity) {
  Items items;
  for (int i = 0; i < 15; ++i) InsertIntoHistoryList(items, "s" + std::to_string(i), 10);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items.front(), "s14");
  EXPECT_EQ(items.back(), "s5");

  InsertIntoHistoryList(items, "s9", 10);  // already there: not moved
  EXPECT_EQ(items[5], "s9");
  EXPECT_EQ(items.front(), "s14");
  InsertIntoHistoryList(items, "S9", 10);  // match is exact, so this is new
  EXPECT_EQ(items.front(), "S9");
  EXPECT_EQ(items.size(), 10u);
  InsertIntoHistoryList(items, "", 10);
  EXPECT_EQ(items.front(), "S9");

  Items tooMany(12, "x");
  InsertIntoHistoryList(tooMany, "x", 10);
  EXPECT_EQ(tooMany.size(), 10u);
}

class HistoryFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramFolderForTesting(program.Path()); }
  std::string IniPath() const { return program / "keldar3.ini"; }
  SettingsTestFolder program;
};

TEST_F(HistoryFileTest, LoadSkipsEmptyValuesAndStopsAtCapacity) {
  WriteFileBytes(IniPath(),
                 "[Settings]\nH0=not mine\n"
                 "[plsearchhistory]\nh0=first\nH1=\nH2= second \nH3=third\nH4=beyond\n");
  EXPECT_EQ(LoadHistoryList("PLSearchHistory", 4), (Items{"first", "second", "third"}));
  EXPECT_EQ(LoadHistoryList("CDDBSearchHistory", 10), Items{});
  EXPECT_EQ(LoadHistoryList("PLSearchHistory", 0), Items{});
}

TEST_F(HistoryFileTest, SaveWritesItsSectionOnlyAndDropsStaleKeys) {
  const std::string settings = "[Settings]\nOptions_DeckLeft=5\n";
  WriteFileBytes(IniPath(), settings + "[PLSearchHistory]\nH0=a\nH1=b\nH2=c\n");
  SaveHistoryList("PLSearchHistory", 10, {"new", "a"});
  EXPECT_EQ(ReadFileBytes(IniPath()), settings + "[PLSearchHistory]\nH0=new\nH1=a\n");
  EXPECT_EQ(LoadHistoryList("PLSearchHistory", 10), (Items{"new", "a"}));

  SaveHistoryList("CDDBSearchHistory", 10, {"x"});
  EXPECT_EQ(LoadHistoryList("CDDBSearchHistory", 10), Items{"x"});
  EXPECT_EQ(LoadHistoryList("PLSearchHistory", 10), (Items{"new", "a"}));
}

TEST_F(HistoryFileTest, SearchRoundTripNeverExceedsTen) {
  for (int round = 0; round < 3; ++round) {
    Items items = LoadHistoryList("PLSearchHistory", 10);
    for (int i = 0; i < 6; ++i)
      InsertIntoHistoryList(items, "r" + std::to_string(round) + "-" + std::to_string(i), 10);
    SaveHistoryList("PLSearchHistory", 10, items);
  }
  Items items = LoadHistoryList("PLSearchHistory", 10);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items.front(), "r2-5");
  EXPECT_EQ(items.back(), "r1-2");
}

TEST_F(HistoryFileTest, FailuresAreSilent) {
  setenv("KELDAR_MESSAGE_LOG", (program / "messages.log").c_str(), 1);
  WriteFileBytes(program / "file", "x");
  SetProgramFolderForTesting(program / "file/sub");  // cannot be written
  SaveHistoryList("PLSearchHistory", 10, {"a"});
  EXPECT_EQ(LoadHistoryList("PLSearchHistory", 10), Items{});
  SetProgramFolderForTesting(program.Path());
  std::filesystem::create_directory(IniPath());  // cannot be read
  SaveHistoryList("PLSearchHistory", 10, {"a"});
  EXPECT_EQ(LoadHistoryList("PLSearchHistory", 10), Items{});
  unsetenv("KELDAR_MESSAGE_LOG");
  EXPECT_FALSE(std::filesystem::exists(program / "messages.log"));
}
