#include "settings/SettingsFunctionsToINIFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <type_traits>

#include "settings/SettingsTestFolder.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace fs = std::filesystem;

namespace {

// What a first save writes, written out independently of the program's table.
const char* const kFreshFile =
    "[Settings]\n"
    "Options_SkinToBeLoaded=Default\n"
    "Options_RedColorEnhancement=0\n"
    "Options_GreenColorEnhancement=0\n"
    "Options_BlueColorEnhancement=0\n"
    "Options_SongsDir=\n"
    "Options_MinimizeToTrayState=0\n"
    "Options_StayOnTopState=0\n"
    "Options_PlaylistAddSubDirectories=1\n"
    "Options_ApplicationTitleScrolling=0\n"
    "Options_PlaylistHaltOnDefectiveFile=1\n"
    "Options_PlaylistAdvancedMode=0\n"
    "Options_ShowSplashScreen=1\n"
    "Options_EnableWideHotkeysSupport=0\n"
    "Options_ScreenSaverState=1\n"
    "Options_UsefreedbSupportState=1\n"
    "Options_freedbUserEmail=freedb-user.zorvane.example\n"
    "Options_freedbLastUsedServer=0\n"
    "Options_LastUsedEncoder=0\n"
    "Options_EncoderOutputFile=recordedfile\n"
    "Options_RecordingOutputDir=@DIR@\n"
    "Options_CDTracksFormatting=%02 - %03/%09 - %02 - %01\n"
    "Options_EncoderConvertUseOutputDir=1\n"
    "Options_RecordingSourceInput=0\n"
    "Options_RecordingSamplingRate=44100\n"
    "Options_RecordingChannels=2\n"
    "Options_DeckLeft=100\n"
    "Options_DeckTop=170\n"
    "Options_BalanceButtonCurrValue=50\n"
    "Options_PitchButtonCurrValue=50\n"
    "Options_VolumeButtonCurrValue=78\n"
    "Options_NonInterpolatedMixingState=0\n"
    "Options_DSPSamplingRate=48000\n"
    "Options_CDPlaybackMethod=0\n"
    "Options_BufferLength=500\n"
    "Options_FadeIn_Out_Msecs=0\n"
    "Options_RampingMode=1\n"
    "Options_SurroundMode=0\n"
    "Options_MODPlaybackMode=0\n"
    "Options_MODPanSeperationLevel=50\n"
    "Options_RepeatButtonState=0\n"
    "Options_ShuffleButtonState=0\n"
    "Options_ShowTimeMode=0\n"
    "Options_SongArtistWindowTextEffect=1\n"
    "Options_SongTitleWindowTextEffect=1\n"
    "Options_DeckCurrentVisualEffect=7\n"
    "Options_EQVisibleState=1\n"
    "Options_EQLeft=400\n"
    "Options_EQTop=170\n"
    "Options_EQTempoButton=50\n"
    "Options_EQSampleRateButton=50\n"
    "Options_EQPreAmpButtonCurrValue=50\n"
    "Options_EQBandButton1CurrValue=50\n"
    "Options_EQBandButton2CurrValue=50\n"
    "Options_EQBandButton3CurrValue=50\n"
    "Options_EQBandButton4CurrValue=50\n"
    "Options_EQBandButton5CurrValue=50\n"
    "Options_EQBandButton6CurrValue=50\n"
    "Options_EQBandButton7CurrValue=50\n"
    "Options_EQBandButton8CurrValue=50\n"
    "Options_EQBandButton9CurrValue=50\n"
    "Options_EQBandButton10CurrValue=50\n"
    "Options_EQCurrentVisualEffect=7\n"
    "Options_EQVisualEffectsVolLevelState=1\n"
    "Options_EQOnButtonState=0\n"
    "Options_EQAutoButtonState=0\n"
    "Options_PLVisibleState=1\n"
    "Options_PLLeft=100\n"
    "Options_PLTop=300\n"
    "Options_PLWidth=300\n"
    "Options_PLHeight=130\n"
    "Options_PlayListBoxDrawMethod=2\n"
    "Options_PlayListBoxShowCounter=1\n"
    "Options_PlayListBoxCurrentSongIndex=0\n"
    "Options_VisExVisibleState=1\n"
    "Options_VisExLeft=400\n"
    "Options_VisExTop=300\n"
    "Options_VisExWidth=300\n"
    "Options_VisExHeight=130\n"
    "Options_DBVisibleState=1\n"
    "Options_DBLeft=100\n"
    "Options_DBTop=430\n"
    "Options_DBWidth=600\n"
    "Options_DBHeight=260\n"
    "Options_VisExCurrentPluginName=default/SoniqueVisTemplates.svp\n"
    "Options_ZPDSPCurrentPluginName=None\n"
    "Options_LastZPDSPState=0\n"
    "Options_Lib_ColumnsOrderString=14,1,2,3,9,4,5,6,7,8,10,11,12,13,15,\n"
    "Options_Lib_IndexColRecWidth=48\n"
    "Options_Lib_ArtistNameColRecWidth=98\n"
    "Options_Lib_AlbumNameColRecWidth=95\n"
    "Options_Lib_TitleNameColRecWidth=140\n"
    "Options_Lib_TitleAlbumGenreColRecWidth=-1\n"
    "Options_Lib_TitleAlbumYearColRecWidth=-1\n"
    "Options_Lib_TitleCDIndexColRecWidth=-1\n"
    "Options_Lib_FilenameColRecWidth=-1\n"
    "Options_Lib_FileExtensionColRecWidth=-1\n"
    "Options_Lib_FilePlaybackLengthColRecWidth=43\n"
    "Options_Lib_FileSizeColRecWidth=-1\n"
    "Options_Lib_FileDateColRecWidth=-1\n"
    "Options_Lib_TitleRatingColRecWidth=-1\n"
    "Options_Lib_CDDB_IDColRecWidth=-1\n"
    "Options_Lib_DisplayArtWorkColRecWidth=119\n"
    "Options_Lib_FullPathAndFilenameColRecWidth=-1\n"
    "Options_OutputDeviceName=\n"
;

std::string FreshFileFor(const std::string& programFolder) {
  std::string text = kFreshFile;
  const std::string marker = "@DIR@";
  text.replace(text.find(marker), marker.size(), programFolder + "/recordedfiles");
  return text;
}

}  // namespace

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolderForTesting(program.Path());
    ::setenv("KELDAR_MESSAGE_LOG", (logs / "messages.log").c_str(), 1);
    InitSettingsDefaults();
    ResetToDefaultsOnExit = false;
  }
  void TearDown() override { ::unsetenv("KELDAR_MESSAGE_LOG"); }

  std::string IniPath() const { return program / "keldar3.ini"; }
  void StoreIni(const std::string& text) const { WriteFileBytes(IniPath(), text); }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TMessage& m : ReadMessageLog(logs / "messages.log")) texts.push_back(m.Text);
    return texts;
  }

  SettingsTestFolder program;
  SettingsTestFolder logs;
};

TEST_F(SettingsStoreTest, TableHoldsEveryKeyOnceUnderItsRecordName) {
  auto table = SettingsKeyTable();
  ASSERT_EQ(table.size(), 104u);
  std::set<std::string> names;
  for (const TSettingsKey& key : table) EXPECT_TRUE(names.insert(key.Ident).second) << key.Ident;
  EXPECT_EQ(Options_BufferLength.Ident, "Options_BufferLength");
  EXPECT_EQ(Options_EQBandButton10CurrValue.Ident, "Options_EQBandButton10CurrValue");
  EXPECT_EQ(Options_Lib_FullPathAndFilenameColRecWidth.Section, "Settings");
}

TEST_F(SettingsStoreTest, InitSetsDefaultsAndRestoresChangedValues) {
  Options_DeckLeft.IntegerValue = 5;
  Options_SkinToBeLoaded.StringValue = "Other";
  Options_VisExVisibleState.DefaultBooleanValue = false;
  InitSettingsDefaults();
  EXPECT_EQ(Options_DeckLeft.IntegerValue, 100);
  EXPECT_EQ(Options_SkinToBeLoaded.StringValue, "Default");
  EXPECT_EQ(Options_freedbUserEmail.StringValue, KELDAR_FREEDB_DEFAULT_EMAIL);
  EXPECT_EQ(Options_Lib_TitleAlbumGenreColRecWidth.DefaultIntegerValue, -1);
  EXPECT_TRUE(Options_VisExVisibleState.DefaultBooleanValue);
  EXPECT_TRUE(Options_VisExVisibleState.BooleanValue);
  EXPECT_EQ(Options_RecordingOutputDir.StringValue, "");  // filled in only by a load
}

TEST_F(SettingsStoreTest, NoFileLoadsDefaultsAndCreatesNothing) {
  LoadSettings();
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(fs::exists(IniPath()));
  EXPECT_EQ(Options_RecordingOutputDir.StringValue, program.Path() + "/recordedfiles");
  EXPECT_TRUE(Options_VisExVisibleState.BooleanValue);
  EXPECT_EQ(Options_BufferLength.IntegerValue, 500);
  EXPECT_EQ(Options_VolumeButtonCurrValue.IntegerValue, 78);
  EXPECT_EQ(Options_CDTracksFormatting.StringValue, "%02 - %03/%09 - %02 - %01");
  EXPECT_TRUE(Options_ShowSplashScreen.BooleanValue);
  EXPECT_FALSE(Options_ShuffleButtonState.BooleanValue);
}

TEST_F(SettingsStoreTest, FreshSaveWritesAllKeysInTableOrder) {
  LoadSettings();
  SaveSettings();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(ReadFileBytes(IniPath()), FreshFileFor(program.Path()));
  EXPECT_EQ(program.Entries(), std::vector<std::string>{"keldar3.ini"});
}

TEST_F(SettingsStoreTest, CorrectionsAfterRead) {
  StoreIni(
      "[Settings]\n"
      "Options_BufferLength=100\n"
      "Options_DSPSamplingRate=0\n"
      "Options_RecordingChannels=-3\n"
      "Options_RecordingSamplingRate=-1\n"
      "Options_RecordingOutputDir=\n"
      "Options_PLWidth=1\n"           // not corrected here
      "Options_EQBandButton3CurrValue=-40\n");
  LoadSettings();
  EXPECT_EQ(Options_BufferLength.IntegerValue, 500);
  EXPECT_EQ(Options_DSPSamplingRate.IntegerValue, 48000);
  EXPECT_EQ(Options_RecordingChannels.IntegerValue, 2);
  EXPECT_EQ(Options_RecordingSamplingRate.IntegerValue, 44100);
  EXPECT_EQ(Options_RecordingOutputDir.StringValue, program.Path() + "/recordedfiles");
  EXPECT_EQ(Options_PLWidth.IntegerValue, 1);
  EXPECT_EQ(Options_EQBandButton3CurrValue.IntegerValue, -40);

  StoreIni("[Settings]\nOptions_BufferLength=501\nOptions_RecordingOutputDir=/music/rec\n"
           "Options_DSPSamplingRate=1\n");
  LoadSettings();
  EXPECT_EQ(Options_BufferLength.IntegerValue, 501);
  EXPECT_EQ(Options_RecordingOutputDir.StringValue, "/music/rec");
  EXPECT_EQ(Options_DSPSamplingRate.IntegerValue, 1);

  StoreIni("[Settings]\nOptions_BufferLength=499\nOptions_RecordingChannels=1\n");
  LoadSettings();
  EXPECT_EQ(Options_BufferLength.IntegerValue, 500);
  EXPECT_EQ(Options_RecordingChannels.IntegerValue, 1);
}

TEST_F(SettingsStoreTest, IntegerAndBooleanParsing) {
  StoreIni(
      "[settings]\n"
      "options_deckleft=0x20\n"
      "OPTIONS_DECKTOP=$10\n"
      "Options_EQLeft=letters\n"
      "Options_EQTop=  -7  \n"
      "Options_PLLeft=99999999999\n"
      "Options_ShuffleButtonState=2\n"
      "Options_RepeatButtonState=yes\n"
      "Options_EQVisibleState=0\n");
  LoadSettings();
  EXPECT_EQ(Options_DeckLeft.IntegerValue, 32);
  EXPECT_EQ(Options_DeckTop.IntegerValue, 16);
  EXPECT_EQ(Options_EQLeft.IntegerValue, 400);
  EXPECT_EQ(Options_EQTop.IntegerValue, -7);
  EXPECT_EQ(Options_PLLeft.IntegerValue, 100);
  EXPECT_TRUE(Options_ShuffleButtonState.BooleanValue);
  EXPECT_FALSE(Options_RepeatButtonState.BooleanValue);  // unparsable: the default
  EXPECT_FALSE(Options_EQVisibleState.BooleanValue);

  StoreIni("[Settings]\nOptions_DeckLeft=abc\n");
  LoadSettings();
  EXPECT_EQ(Options_DeckLeft.IntegerValue, 100);
}

TEST_F(SettingsStoreTest, BooleanIsWrittenBackAsOne) {
  StoreIni("[Settings]\nOptions_ShuffleButtonState=2\n");
  LoadSettings();
  SaveSettings();
  std::string text = ReadFileBytes(IniPath());
  EXPECT_NE(text.find("\nOptions_ShuffleButtonState=1\n"), std::string::npos);
  EXPECT_EQ(text.find("Options_ShuffleButtonState=2"), std::string::npos);
}

TEST_F(SettingsStoreTest, VisualsWindowVisibilityDefault) {
  StoreIni("[Settings]\nOptions_VisExVisibleState=0\n");
  LoadSettings();
  EXPECT_FALSE(Options_VisExVisibleState.BooleanValue);  // stored value wins over both modes

  StoreIni("[Settings]\nOptions_DeckCurrentVisualEffect=3\n");
  LoadSettings();
  EXPECT_TRUE(Options_VisExVisibleState.BooleanValue);  // the equalizer's mode is still 7

  StoreIni("[Settings]\nOptions_DeckCurrentVisualEffect=3\nOptions_EQCurrentVisualEffect=7\n");
  LoadSettings();
  EXPECT_TRUE(Options_VisExVisibleState.BooleanValue);

  StoreIni("[Settings]\nOptions_DeckCurrentVisualEffect=3\nOptions_EQCurrentVisualEffect=2\n");
  LoadSettings();
  EXPECT_FALSE(Options_VisExVisibleState.BooleanValue);

  StoreIni("[Settings]\nOptions_DeckCurrentVisualEffect=3\nOptions_EQCurrentVisualEffect=2\n"
           "Options_VisExVisibleState=1\n");
  LoadSettings();
  EXPECT_TRUE(Options_VisExVisibleState.BooleanValue);
}

TEST_F(SettingsStoreTest, LongStringIsCutTo2047Characters) {
  StoreIni("[Settings]\nOptions_SongsDir=" + std::string(5000, 'd') + "\n");
  LoadSettings();
  EXPECT_EQ(Options_SongsDir.StringValue, std::string(2047, 'd'));
}

TEST_F(SettingsStoreTest, SaveKeepsOtherSectionsAndLines) {
  const std::string head = "; hand-written note\r\n[PLSearchHistory]\r\nH0=beatles\r\nH1=abba\r\n\r\n";
  const std::string tail = "\r\n[CDDBSearchHistory]\r\nH0=x\r\n";
  StoreIni(head + "[Settings]\r\nmy own line\r\nOptions_DeckLeft=7\r\n" + tail);
  LoadSettings();
  EXPECT_EQ(Options_DeckLeft.IntegerValue, 7);
  Options_DeckLeft.IntegerValue = 8;
  SaveSettings();
  EXPECT_TRUE(Messages().empty());
  std::string text = ReadFileBytes(IniPath());
  EXPECT_EQ(text.substr(0, head.size()), head);
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_NE(text.find("[Settings]\r\nmy own line\r\nOptions_DeckLeft=8\r\nOptions_SkinToBeLoaded="),
            std::string::npos);
  EXPECT_EQ(text.find("\r\r"), std::string::npos);
  std::size_t lf = 0, crlf = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') (i > 0 && text[i - 1] == '\r' ? crlf : lf)++;
  EXPECT_EQ(lf, 0u);
  EXPECT_EQ(crlf, 5u + 2u + 104u + 3u);  // head, section + own line, keys, tail
}

TEST_F(SettingsStoreTest, SaveThenLoadRoundTripsLiveValues) {
  LoadSettings();
  Options_SkinToBeLoaded.StringValue = "Blue Steel";
  Options_Lib_IndexColRecWidth.IntegerValue = -1;
  Options_DeckTop.IntegerValue = INT32_MIN;
  Options_StayOnTopState.BooleanValue = true;
  Options_VisExVisibleState.BooleanValue = false;
  SaveSettings();
  InitSettingsDefaults();
  LoadSettings();
  EXPECT_EQ(Options_SkinToBeLoaded.StringValue, "Blue Steel");
  EXPECT_EQ(Options_Lib_IndexColRecWidth.IntegerValue, -1);
  EXPECT_EQ(Options_DeckTop.IntegerValue, INT32_MIN);
  EXPECT_TRUE(Options_StayOnTopState.BooleanValue);
  EXPECT_FALSE(Options_VisExVisibleState.BooleanValue);
}

TEST_F(SettingsStoreTest, BrokenFilesLoadWithoutCrashing) {
  static const char kNulBytes[] = "[Settings]\nOptions_DeckLeft=1\0 2\nOptions_DeckTop=5";
  const std::string kNulFile(kNulBytes, sizeof kNulBytes - 1);
  std::string garbage;
  for (int i = 0; i < 50000; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
  const std::vector<std::string> files = {
      garbage,
      kNulFile,
      std::string(3'000'000, 'z') + "\n[Settings]\nOptions_DeckTop=5",
      "Options_DeckTop=5\n",  // no [Settings] section
      "[Settings]\nOptions_DeckTop",
  };
  for (const std::string& content : files) {
    StoreIni(content);
    InitSettingsDefaults();
    LoadSettings();
    EXPECT_EQ(Options_DeckLeft.IntegerValue, 100);
    EXPECT_EQ(Options_BufferLength.IntegerValue, 500);
    SaveSettings();
    InitSettingsDefaults();
    LoadSettings();
    EXPECT_EQ(Options_DeckLeft.IntegerValue, 100);
  }
  EXPECT_TRUE(Messages().empty());
  // The cases that do hold a readable value.
  StoreIni(files[1]);
  LoadSettings();
  EXPECT_EQ(Options_DeckTop.IntegerValue, 5);
  StoreIni(files[2]);
  LoadSettings();
  EXPECT_EQ(Options_DeckTop.IntegerValue, 5);
}

TEST_F(SettingsStoreTest, SettingsPathThatIsAFolderFailsOnceAndKeepsValues) {
  fs::create_directory(IniPath());
  Options_DeckLeft.IntegerValue = 11;
  LoadSettings();
  SaveSettings();
  EXPECT_EQ(Options_DeckLeft.IntegerValue, 11);
  EXPECT_EQ(Options_RecordingOutputDir.StringValue, "");  // abandoned before any read
  EXPECT_EQ(ReadSplashScreenSetting(), true);
  const std::string expected = "Open_File Error: " + IniPath();
  EXPECT_EQ(Messages(), (std::vector<std::string>{expected, expected, expected}));
  EXPECT_TRUE(fs::is_directory(IniPath()));
  EXPECT_FALSE(DeleteSettingsFile());
}

TEST_F(SettingsStoreTest, UnwritableFolderReportsEveryKeyInOrder) {
  WriteFileBytes(program / "notafolder", "x");
  const std::string folder = program / "notafolder/keldar";
  SetProgramFolderForTesting(folder);
  LoadSettings();  // reads as a missing file
  EXPECT_TRUE(Messages().empty());
  SaveSettings();
  std::vector<std::string> expected;
  for (const TSettingsKey& key : SettingsKeyTable()) {
    const char* kind = std::visit(
        [](auto* r) -> const char* {
          using R = std::remove_pointer_t<decltype(r)>;
          if constexpr (std::is_same_v<R, SettingsVariableStringRecord>) return "String";
          else if constexpr (std::is_same_v<R, SettingsVariableIntegerRecord>) return "Integer";
          else return "Boolean";
        },
        key.Record);
    expected.push_back(std::string("Write ") + kind + " Error: Settings," + key.Ident);
  }
  EXPECT_EQ(Messages(), expected);
  EXPECT_EQ(expected[0], "Write String Error: Settings,Options_SkinToBeLoaded");
  EXPECT_EQ(expected[1], "Write Integer Error: Settings,Options_RedColorEnhancement");
  EXPECT_EQ(expected[5], "Write Boolean Error: Settings,Options_MinimizeToTrayState");
  EXPECT_EQ(program.Entries(), std::vector<std::string>{"notafolder"});
}

TEST_F(SettingsStoreTest, SplashSettingIsReadAlone) {
  StoreIni("[Settings]\nOptions_ShowSplashScreen=0\nOptions_DeckLeft=3\n");
  EXPECT_FALSE(ReadSplashScreenSetting());
  EXPECT_FALSE(Options_ShowSplashScreen.BooleanValue);
  EXPECT_EQ(Options_DeckLeft.IntegerValue, 100);
  fs::remove(IniPath());
  InitSettingsDefaults();
  EXPECT_TRUE(ReadSplashScreenSetting());
  EXPECT_FALSE(fs::exists(IniPath()));
}

TEST_F(SettingsStoreTest, ResetDeletesTheFileAndNextStartUsesDefaults) {
  Options_DeckLeft.IntegerValue = 1;
  SaveSettings();
  ASSERT_TRUE(fs::exists(IniPath()));
  EXPECT_TRUE(DeleteSettingsFile());
  EXPECT_FALSE(fs::exists(IniPath()));
  EXPECT_TRUE(DeleteSettingsFile());  // nothing there any more is fine too
  InitSettingsDefaults();
  LoadSettings();
  EXPECT_EQ(Options_DeckLeft.IntegerValue, 100);
  EXPECT_TRUE(Messages().empty());
}
