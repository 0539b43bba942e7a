#include <gtest/gtest.h>

#include <limits>

#include "util/GeneralPurposeFunctions.h"
#include "util/KeyValueListFunctions.h"
#include "util/TextFunctions.h"
#include "UtilTestHelpers.h"

TEST(ReplaceAllText, ReplacesEveryOccurrenceIgnoringCase) {
  EXPECT_EQ(ReplaceAllText("lame %OutputFile% --x %outputfile%", "%outputfile%", "/tmp/a.mp3", false),
            "lame /tmp/a.mp3 --x /tmp/a.mp3");
  EXPECT_EQ(ReplaceAllText("Title: %01", "%01", "Song", false), "Title: Song");
}

TEST(ReplaceAllText, ReplacementHoldingThePlaceholderReplacesOnlyTheFirst) {
  EXPECT_EQ(ReplaceAllText("%01 and %01", "%01", "x%01y", false), "x%01y and %01");
  // Upper-cased replacement is compared: "%AB" holds "%ab" when case is ignored.
  EXPECT_EQ(ReplaceAllText("%ab-%ab", "%ab", "[%AB]", false), "[%AB]-%ab");
}

TEST(ReplaceAllText, SearchStartsAgainFromTheBeginning) {
  EXPECT_EQ(ReplaceAllText("a      b", "  ", " ", false), "a b");
  // A new occurrence formed across the replaced text is replaced too.
  EXPECT_EQ(ReplaceAllText("abb", "ab", "a", false), "a");
}

TEST(ReplaceAllText, CaseSensitiveSearchAndItsStopRule) {
  EXPECT_EQ(ReplaceAllText("AB ab", "ab", "x", true), "AB x");
  // The replacement holds the (case-sensitive) find text: one replacement, no endless loop.
  EXPECT_EQ(ReplaceAllText("ab ab", "ab", "xaby", true), "xaby ab");
}

TEST(ReplaceAllText, NothingToReplace) {
  EXPECT_EQ(ReplaceAllText("nothing here", "%05", "Rock", false), "nothing here");
  EXPECT_EQ(ReplaceAllText("text", "", "x", false), "text");
  EXPECT_EQ(ReplaceAllText("", "a", "b", false), "");
}

TEST(TakeFieldBetweenMarkers, TakesTheFieldAndShortensTheText) {
  std::string line = "EncName=LAME MP3;EncCmdLine=lame -b 128 %s;";
  auto name = TakeFieldBetweenMarkers(line, "encname=", ";");
  EXPECT_TRUE(name.Found);
  EXPECT_EQ(name.Value, "LAME MP3");
  EXPECT_EQ(line, "EncCmdLine=lame -b 128 %s;");
  auto cmd = TakeFieldBetweenMarkers(line, "EncCmdLine=", ";");
  EXPECT_EQ(cmd.Value, "lame -b 128 %s");
  EXPECT_EQ(line, "");
}

TEST(TakeFieldBetweenMarkers, MissingMarkersLeaveTheTextAlone) {
  std::string line = "EncCmdLine=x;";
  auto field = TakeFieldBetweenMarkers(line, "EncName=", ";");
  EXPECT_FALSE(field.Found);
  EXPECT_EQ(field.Value, "");
  EXPECT_EQ(line, "EncCmdLine=x;");
  std::string unterminated = "EncName=open ended";
  EXPECT_FALSE(TakeFieldBetweenMarkers(unterminated, "EncName=", ";").Found);
  EXPECT_EQ(unterminated, "EncName=open ended");
  // Only the start of the text counts.
  std::string later = " EncName=a;";
  EXPECT_FALSE(TakeFieldBetweenMarkers(later, "EncName=", ";").Found);
}

TEST(TimeSplitting, MinutesAreNotLimited) {
  auto a = SplitSecondsToMinutesAndSeconds(3599);
  EXPECT_EQ(a.Minutes, 59);
  EXPECT_EQ(a.Seconds, 59);
  auto b = SplitSecondsToMinutesAndSeconds(3600);
  EXPECT_EQ(b.Minutes, 60);
  EXPECT_EQ(b.Seconds, 0);
  auto c = SplitSecondsToMinutesAndSeconds(-5);
  EXPECT_EQ(c.Minutes, 0);
  EXPECT_EQ(c.Seconds, 0);
  auto big = SplitSecondsToMinutesAndSeconds(10'000'000'000LL);
  EXPECT_EQ(big.Minutes, 166'666'666LL);
  EXPECT_EQ(big.Seconds, 40);
}

TEST(TimeSplitting, BackToSeconds) {
  EXPECT_EQ(MinutesAndSecondsToSeconds(2, 5), 125);
  EXPECT_EQ(MinutesAndSecondsToSeconds(60, 0), 3600);
  EXPECT_EQ(MinutesAndSecondsToSeconds(-1, 30), 0);
  EXPECT_EQ(MinutesAndSecondsToSeconds(1, -30), 0);
  EXPECT_EQ(MinutesAndSecondsToSeconds(std::numeric_limits<std::int64_t>::max(), 0),
            std::numeric_limits<std::int64_t>::max());
}

TEST(KeyValueList, FieldsInARow) {
  std::string line = "encname=FLAC;EncCmdLine=flac -o %outputfile% -;EncInputBits=16;";
  EXPECT_EQ(TakeKeyValueField(line, "EncName="), "FLAC");
  EXPECT_EQ(TakeKeyValueField(line, "EncCmdLine="), "flac -o %outputfile% -");
  // A missing field gives an empty value and leaves the next one readable.
  EXPECT_EQ(TakeKeyValueField(line, "EncOutputFileExt="), "");
  EXPECT_EQ(TakeKeyValueField(line, "EncInputBits="), "16");
  EXPECT_EQ(line, "");
}

TEST(KeyValueList, SinglePairs) {
  auto pair = ParseKeyValueLine("  Server = freedb.example.org ");
  ASSERT_TRUE(pair);
  EXPECT_EQ(pair->first, "Server");
  EXPECT_EQ(pair->second, "freedb.example.org");
  auto withEquals = ParseKeyValueLine("cmd=a=b");
  ASSERT_TRUE(withEquals);
  EXPECT_EQ(withEquals->second, "a=b");
  EXPECT_FALSE(ParseKeyValueLine(""));
  EXPECT_FALSE(ParseKeyValueLine("; comment=1"));
  EXPECT_FALSE(ParseKeyValueLine("# comment=1"));
  EXPECT_FALSE(ParseKeyValueLine("[Section]"));
  EXPECT_FALSE(ParseKeyValueLine("no separator"));
}

TEST(KeyValueList, ReadAndWriteLines) {
  utiltest::TTempDir dir;
  const std::string path = dir / "keldar3encoders.ini";
  utiltest::WriteFile(path, "\xEF\xBB\xBF" "first\r\nsecond\r\n\r\nlast");
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadListFileLines(path, lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "", "last"}));

  ASSERT_TRUE(WriteListFileLines(path, {"a=1", "b=2"}));
  EXPECT_EQ(utiltest::ReadFile(path), "a=1\nb=2\n");
  EXPECT_FALSE(ReadListFileLines(dir / "missing.ini", lines));
  EXPECT_TRUE(lines.empty());
  // A folder that does not exist: the write fails and creates nothing.
  EXPECT_FALSE(WriteListFileLines(dir / "no/such/list.ini", {"x"}));
}
