// SubRip subtitles: times, cues with missing or extra lines, overlapping cues, real files in
// UTF-8 and Windows-1252 with formatting tags, automatic loading beside a video, the panel
// geometry, and hostile files (huge, long lines, silly times).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/KELDAR_Subtitles.h"

namespace fs = std::filesystem;

namespace {

fs::path Dir() { return fs::temp_directory_path() / ("keldar_subtitles_" + std::to_string(getpid())); }

std::string Write(const std::string& name, const std::string& data) {
  fs::create_directories(Dir());
  const std::string path = (Dir() / name).string();
  std::ofstream(path, std::ios::binary) << data;
  return path;
}

std::pair<std::string, std::string> At(const std::vector<TSubtitleRecord>& records, std::int64_t ms) {
  std::pair<std::string, std::string> texts{"x", "x"};
  FindSubtitle(records, ms, texts.first, texts.second);
  return texts;
}

class Subtitles : public ::testing::Test {
 protected:
  void SetUp() override {
    SubtitleState() = {};
    SubtitlePanelHooks().SetVisible = [this](bool v) { panelsVisible = v; };
    SubtitlePanelHooks().Layout = [this] { ++layouts; };
  }
  void TearDown() override {
    SubtitlePanelHooks() = {};
    SubtitleState() = {};
    fs::remove_all(Dir());
  }
  bool panelsVisible = true;
  int layouts = 0;
};

TEST(SubtitleTimes, PartsReadAsIntegersAndBadPartsCountZero) {
  EXPECT_EQ(ParseSubtitleTime("00:01:02,500"), 62500);
  EXPECT_EQ(ParseSubtitleTime(" 01 : 00 : 00 , 001 "), 3600001);
  EXPECT_EQ(ParseSubtitleTime("99:99:99,999"), 99 * 3600000LL + 99 * 60000 + 99 * 1000 + 999);
  EXPECT_EQ(ParseSubtitleTime("-1"), -3600000);  // the hours part
  EXPECT_EQ(ParseSubtitleTime("aa:01:02,500"), 62500);
  EXPECT_EQ(ParseSubtitleTime("00:01:02.500"), 60000);  // "02.500" is no integer
  EXPECT_EQ(ParseSubtitleTime(""), 0);
  EXPECT_EQ(ParseSubtitleTime("99999999999:00:00,000"), 0);  // past 32 bits: not a number
  EXPECT_EQ(ParseSubtitleTime("2147483647:59:59,999"), 2147483647LL * 3600000 + 59 * 60000 + 59 * 1000 + 999);
}

TEST(SubtitleCues, LinesNumbersAndOverlaps) {
  const std::vector<std::string> lines = {
      "1", "00:01:02,500 --> 00:01:04,000", "First line", "Second line", "third is dropped", "",
      "2", "00:01:05,000 --> 00:01:06,000", "", "not text of cue 2", "",
      "x", "00:01:07,000 --> 00:01:09,000", "Early", "",
      "4", "00:01:08,000 --> 00:01:10,000", "Late", "",
      "5", "00:02:00,000 --> 00:02:01,000", "Last line of the file"};
  const auto records = ParseSubtitles(lines);
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0].SubtitleIndex, 1);
  EXPECT_EQ(records[0].SubtitleStartTime, 62500);
  EXPECT_EQ(records[0].SubtitleEndTime, 64000);
  EXPECT_EQ(records[0].SubtitleLine1, "First line");
  EXPECT_EQ(records[0].SubtitleLine2, "Second line");
  // A time line followed by an empty line: two empty texts.
  EXPECT_EQ(records[1].SubtitleLine1, "");
  EXPECT_EQ(records[1].SubtitleLine2, "");
  EXPECT_EQ(records[2].SubtitleIndex, 0);
  EXPECT_EQ(records[4].SubtitleLine1, "Last line of the file");
  EXPECT_EQ(records[4].SubtitleLine2, "");

  EXPECT_EQ(At(records, 62500), std::make_pair(std::string("First line"), std::string("Second line")));
  EXPECT_EQ(At(records, 64000).first, "First line");
  EXPECT_EQ(At(records, 64001), std::make_pair(std::string(), std::string()));
  // Overlapping cues: the earlier one in the file wins.
  EXPECT_EQ(At(records, 68500).first, "Early");
  EXPECT_EQ(At(records, 69500).first, "Late");
  // A time line as the very first line has no number.
  EXPECT_EQ(ParseSubtitles({"00:00:01,000 --> 00:00:02,000"})[0].SubtitleIndex, 0);
}

TEST_F(Subtitles, RealFilesInUtf8AndWindows1252WithTags) {
  const std::string utf8 = Write("a.srt", "\xEF\xBB\xBF" "1\r\n00:00:01,000 --> 00:00:02,000\r\n<i>Caf\xC3\xA9</i> "
                                          "<font color=\"#ffff00\">jaune</font>\r\n<B>bold</B> & <b>more</b>\r\n\r\n");
  ASSERT_TRUE(LoadSubtitles(utf8, false));
  EXPECT_TRUE(panelsVisible);
  EXPECT_EQ(layouts, 1);
  ASSERT_EQ(SubtitleState().Records.size(), 1u);
  EXPECT_EQ(SubtitleState().Records[0].SubtitleIndex, 1);
  EXPECT_EQ(SubtitleState().Records[0].SubtitleLine1, "Caf\xC3\xA9 jaune");
  EXPECT_EQ(SubtitleState().Records[0].SubtitleLine2, "bold & more");

  const std::string latin = Write("b.srt", "1\n00:00:01,000 --> 00:00:02,000\nCaf\xE9 \x80 5 <u>x</u> <x>\n");
  ASSERT_TRUE(LoadSubtitles(latin, false));
  EXPECT_EQ(SubtitleState().Records[0].SubtitleLine1, "Caf\xC3\xA9 \xE2\x82\xAC 5 x <x>");
  EXPECT_EQ(SubtitleState().PreviousFileName, utf8);

  UpdateSubtitleTexts(15000000);  // 1.5 s in 100-ns units
  EXPECT_EQ(SubtitleState().Text1, "Caf\xC3\xA9 \xE2\x82\xAC 5 x <x>");
  UpdateSubtitleTexts(25000000);
  EXPECT_EQ(SubtitleState().Text1, "");
  UnloadSubtitles();
  EXPECT_FALSE(panelsVisible);
  EXPECT_EQ(SubtitleState().PreviousFileName, latin);
  UpdateSubtitleTexts(15000000);
  EXPECT_EQ(SubtitleState().Text1, "");
}

TEST_F(Subtitles, TheVideosOwnSrtLoadsAutomaticallyAndAMissingOneClearsTheName) {
  Write("movie.srt", "1\n00:00:01,000 --> 00:00:02,000\nHello\n");
  EXPECT_TRUE(LoadSubtitles((Dir() / "movie.avi").string(), true));
  EXPECT_EQ(SubtitleState().CurrentFileName, (Dir() / "movie.srt").string());
  EXPECT_FALSE(LoadSubtitles((Dir() / "other.avi").string(), true));
  EXPECT_EQ(SubtitleState().CurrentFileName, "");
  EXPECT_FALSE(SubtitleState().Loaded);
  EXPECT_FALSE(panelsVisible);
  EXPECT_TRUE(IsSupportedSubtitleFile("x/Y.SrT"));
  EXPECT_FALSE(IsSupportedSubtitleFile("x/y.sub"));
  EXPECT_FALSE(IsSupportedSubtitleFile("srt"));
}

TEST_F(Subtitles, HostileFilesStayBounded) {
  // A file past the size limit is not read at all (sparse: no disk is used).
  const std::string huge = (Dir() / "huge.srt").string();
  Write("huge.srt", "");
  fs::resize_file(huge, 2ull * 1024 * 1024 * 1024);
  EXPECT_FALSE(LoadSubtitles(huge, false));
  EXPECT_EQ(SubtitleState().CurrentFileName, "");
  EXPECT_TRUE(SubtitleState().Records.empty());

  // 1 MB lines: the shown text is cut, at a character boundary.
  std::string longLine;
  while (longLine.size() < 1024 * 1024) longLine += "\xC3\xA9";
  ASSERT_TRUE(LoadSubtitles(Write("long.srt", "1\n00:00:01,000 --> 00:00:02,000\na" + longLine + "\n" +
                                                  longLine + " -->" + longLine + "\n"),
                            false));
  const auto& records = SubtitleState().Records;
  ASSERT_GE(records.size(), 1u);
  EXPECT_LE(records[0].SubtitleLine1.size(), kMaxSubtitleLineBytes);
  EXPECT_GE(records[0].SubtitleLine1.size(), kMaxSubtitleLineBytes - 1);
  EXPECT_TRUE(IsValidUtf8(records[0].SubtitleLine1));

  // Times that make no sense find nothing and break nothing.
  ASSERT_TRUE(LoadSubtitles(Write("odd.srt", "-1\n99:99:99,999 --> -1\nodd\n\n-->\n-->\n"), false));
  EXPECT_EQ(SubtitleState().Records.size(), 2u);
  UpdateSubtitleTexts(10000000);
  EXPECT_EQ(SubtitleState().Text1, "");
}

TEST(SubtitlePanels, A720PixelPictureGivesPanelsOf49PixelsAt576) {
  const TSubtitlePanelPlaces p = SubtitlePanelPlaces(10, 20, 1280, 720);
  EXPECT_EQ(p.Height, 49);
  EXPECT_EQ(p.Top1, 20 + 576);
  EXPECT_EQ(p.Top2, 20 + 576 + 49);
  EXPECT_EQ(p.Left, 10);
  EXPECT_EQ(p.Width, 1280);
  // Too small a picture: no height, the panels keep no font size.
  EXPECT_LE(SubtitlePanelPlaces(0, 0, 10, 20).Height, 0);
}

}  // namespace
