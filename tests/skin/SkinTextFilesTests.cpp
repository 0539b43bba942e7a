// The text files of foreign skins: Winamp's colour, list and region files and K-Jofol's
// description with its include files, including hostile ones.
#include <gtest/gtest.h>

#include <chrono>

#include "TestSupport.h"
#include "skin/KjofolSkinDescription.h"
#include "skin/SkinFilesNoCase.h"
#include "skin/WinampSkinTextFiles.h"

namespace {

TEST(WinampVisColours, LinesInEveryWrittenForm) {
  EXPECT_EQ(ParseWinampVisColourLine("255,0,0 // red"), 0x0000FFu);
  EXPECT_EQ(ParseWinampVisColourLine("0, 255 ,0"), 0x00FF00u);
  EXPECT_EQ(ParseWinampVisColourLine("1\t2\t3"), 0x030201u);
  EXPECT_EQ(ParseWinampVisColourLine("10 20 30"), 0x1E140Au);
  EXPECT_EQ(ParseWinampVisColourLine("7/8/9"), 0x090807u);
  // A stray digit after a channel is dropped.
  EXPECT_EQ(ParseWinampVisColourLine("2550,0,1280"), 0x8000FFu);
  EXPECT_EQ(ParseWinampVisColourLine("x,y,z"), 0u);
  EXPECT_EQ(ParseWinampVisColourLine(""), 0u);
  // Nothing wider than a channel gets through.
  EXPECT_LE(ParseWinampVisColourLine("99999999999,99999,-5"), 0xFFFFFFu);
}

TEST(WinampVisColours, OnlyTwentyThreeLinesCountAndMissingOnesAreBlack) {
  std::string text = "1,1,1\r\n2,2,2\n";
  TWinampVisColours c = ParseWinampVisColours(text);
  EXPECT_EQ(c[1], 0x010101u);
  EXPECT_EQ(c[2], 0x020202u);
  EXPECT_EQ(c[3], 0u);
  EXPECT_EQ(c[23], 0u);
  // A megabyte of lines: the rest is never looked at.
  std::string big;
  while (big.size() < 1024 * 1024) big += "255,255,255 // white\r\n";
  const auto start = std::chrono::steady_clock::now();
  c = ParseWinampVisColours(big);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(c[23], 0xFFFFFFu);
  EXPECT_EQ(c[0], 0u);
}

TEST(WinampTextFiles, ListSettingsGetTheirExtraLinesAndTheLibraryItsHeaders) {
  const std::string pledit = "[Text]\r\nNormal=#00FF00\r\nNormalBG=#101010\r\nnormalbg = #202020\r\nFont=Arial";
  const std::string deck = WinampTextWithLines(pledit, {"FontHeight=8", "BitmapFontEnabled=1"});
  EXPECT_EQ(deck, pledit + "\r\nFontHeight=8\r\nBitmapFontEnabled=1\r\n");
  // The last NormalBG line, with its key replaced.
  EXPECT_EQ(WinampLibraryText(pledit), pledit + "\r\nHeaders= #202020\r\n");
  EXPECT_EQ(WinampLibraryText("[Text]\r\nNormal=#00FF00\r\n"), "[Text]\r\nNormal=#00FF00\r\n");
}

TEST(WinampTextFiles, RegionSectionsAndKeysAreRenamedInAnyLetterCase) {
  const std::string out =
      WinampRegionsText("[Normal]\r\nNumPoints=4\r\nPointList=0,0, 275,0, 275,116, 0,116\r\n[equalizer]\nnumpoints=2\n");
  EXPECT_EQ(out,
            "[DeckForm]\r\nPolygonPointsNumber=4\r\nPolygonPoints=0,0, 275,0, 275,116, 0,116\r\n[EqualizerForm]\r\n"
            "PolygonPointsNumber=2\r\n");
}

TEST(KjofolDescription, TableHasItsRowsInOrder) {
  const TKjofolSkinCommandTable t = NewKjofolSkinCommandTable();
  EXPECT_EQ(t.size(), 103u);
  EXPECT_EQ(t[0].CommandString, "About");
  EXPECT_EQ(t[32].CommandString, "CloseButton");
  EXPECT_EQ(t[32].KELDARSkinAffectedControl, DeckForm_CloseWindowButton);
  EXPECT_EQ(t[51].CommandString, "EqualizerWindow");
  EXPECT_EQ(t[51].ParamsNum, 7);
  EXPECT_EQ(t[72].CommandString, "PlaylistWindowText");
  EXPECT_EQ(t[72].CommandStructure, csPlaylistListBoxStructure);
  EXPECT_EQ(t[102].CommandString, "PlaylistWindowCurrentSelectionColor");
}

TEST(KjofolDescription, KeywordsMatchInAnyCaseAndParametersArriveUpperCased) {
  const TKjofolSkinCommandTable t = ParseKjofolSkinDescription({
      "playbutton 1 2\t3   4 Play bmp2",
      "BackgroundImage main.bmp",
      "BackgroundImagePressed1\tpressed.bmp",  // a tab is no separator after the keyword
      "StopButton  5 6 7 8 Stop BMP1",         // two blanks: the first parameter is empty
      "PlaylistWindowFontName Comic Sans MS",
      "SeekRegion 1 1 2 2",
      "SeekRegion 9 9 10 10",  // the later line wins
      "FontImage",             // a bare keyword: no parameters
  });
  EXPECT_EQ(FindKjofolSkinCommand(t, "FontImage")->ParamsArray[0], "");
  const auto* play = FindKjofolSkinCommand(t, "PlayButton");
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(play->ParamsArray[0], "1");
  EXPECT_EQ(play->ParamsArray[2], "3");
  EXPECT_EQ(play->ParamsArray[3], "4");
  EXPECT_EQ(play->ParamsArray[4], "PLAY");
  EXPECT_EQ(play->ParamsArray[5], "BMP2");
  EXPECT_EQ(FindKjofolSkinCommand(t, "BackgroundImage")->ParamsArray[0], "MAIN.BMP");
  EXPECT_EQ(FindKjofolSkinCommand(t, "BackgroundImagePressed1")->ParamsArray[0], "");
  const auto* stop = FindKjofolSkinCommand(t, "StopButton");
  EXPECT_EQ(stop->ParamsArray[0], "");
  EXPECT_EQ(stop->ParamsArray[1], "5");
  EXPECT_EQ(FindKjofolSkinCommand(t, "PlaylistWindowFontName")->ParamsArray[0], "COMIC");
  EXPECT_EQ(FindKjofolSkinCommand(t, "SeekRegion")->ParamsArray[0], "9");
  EXPECT_EQ(FindKjofolSkinCommand(t, "Unknown"), nullptr);
}

TEST(KjofolDescription, SixAboutLinesAreKept) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 8; ++i) lines.push_back("About line " + std::to_string(i));
  const TKjofolSkinCommandTable t = ParseKjofolSkinDescription(lines);
  EXPECT_EQ(t[0].ParamsNum, 6);
  EXPECT_EQ(t[0].ParamsArray[0], "LINE 1");
  EXPECT_EQ(t[0].ParamsArray[5], "LINE 6");
  EXPECT_EQ(t[0].ParamsArray[6], "");
}

TEST(KjofolDescription, IncludesAreFoundIgnoringCaseAndReadOnce) {
  TTempFolder dir;
  WriteTextFile(dir / "skin.rc", "IncludeRCFile Buttons.RC\r\nincludercfile skin.rc\r\nIncludeRCFile missing.rc\r\n");
  WriteTextFile(dir / "buttons.rc", "PlayButton 1 2 3 4 P BMP1\r\nIncludeRCFile skin.rc\r\n");
  const std::vector<std::string> lines = ReadKjofolSkinDescriptionLines(dir / "skin.rc");
  // The description's own three lines, the include's two, itself once more (three).
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[3], "PlayButton 1 2 3 4 P BMP1");
  const TKjofolSkinCommandTable t = ParseKjofolSkinDescription(lines);
  EXPECT_EQ(FindKjofolSkinCommand(t, "PlayButton")->ParamsArray[5], "BMP1");
}

TEST(KjofolDescription, HostileDescriptionsStayBounded) {
  TTempFolder dir;
  {
    std::string many;
    for (int i = 0; i < 100000; ++i) many += "PlayButton " + std::to_string(i) + " 2 3 4 P BMP1\r\n";
    WriteTextFile(dir / "many.rc", many);
  }
  auto start = std::chrono::steady_clock::now();
  TKjofolSkinCommandTable t = ParseKjofolSkinDescription(ReadKjofolSkinDescriptionLines(dir / "many.rc"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(FindKjofolSkinCommand(t, "PlayButton")->ParamsArray[0], "99999");

  // A 50 MB "About" line is cut, not held whole.
  {
    std::string huge = "About ";
    huge.append(50u * 1024 * 1024, 'x');
    WriteTextFile(dir / "huge.rc", huge + "\r\nPlayButton 1 2 3 4\r\n");
  }
  const std::vector<std::string> lines = ReadKjofolSkinDescriptionLines(dir / "huge.rc");
  ASSERT_EQ(lines.size(), 1u);  // the rest of the file lies beyond what is read
  EXPECT_EQ(lines[0].size(), KjofolMaxLineLength);
  t = ParseKjofolSkinDescription(lines);
  EXPECT_EQ(t[0].ParamsNum, 1);
  EXPECT_LE(t[0].ParamsArray[0].size(), KjofolMaxLineLength);
}

TEST(SkinFilesNoCase, NamesInAnyCaseAndTheSkinInsideOneFolder) {
  TTempFolder dir;
  WriteTextFile(dir / "MAIN.BMP", "x");
  WriteTextFile(dir / "Pledit.Txt", "y");
  EXPECT_EQ(FindSkinFileNoCase(dir.Path(), "main.bmp"), dir / "MAIN.BMP");
  EXPECT_EQ(FindSkinFileNoCase(dir.Path() + "/", "PLEDIT.TXT"), dir / "Pledit.Txt");
  EXPECT_EQ(FindSkinFileNoCase(dir.Path(), "nums_ex.bmp"), "");
  EXPECT_EQ(FindSkinFileNoCase(dir.Path(), "../MAIN.BMP"), "");

  TTempFolder pkg;
  std::filesystem::create_directories(pkg / "Cool Skin");
  WriteTextFile(pkg / "Cool Skin/Main.bmp", "x");
  WriteTextFile(pkg / "readme.txt", "y");
  const auto hasMain = [](const std::string& f) { return !FindSkinFileNoCase(f, "main.bmp").empty(); };
  EXPECT_EQ(SkinSourceFolder(pkg.Path(), hasMain), pkg / "Cool Skin/");
  EXPECT_EQ(SkinSourceFolder(dir.Path(), hasMain), dir.Path() + "/");
  EXPECT_EQ(FindFirstSkinFileWithExtension(pkg / "Cool Skin", ".BMP"), pkg / "Cool Skin/Main.bmp");
}

}  // namespace
