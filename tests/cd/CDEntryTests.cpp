// The xmcd record: reading, writing and the edge cases of entries; hostile records.
#include <gtest/gtest.h>

#include "cd/CDDBEntry.h"
#include "cd/CDTrackFileNames.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

const char* const kRecord =
    "210 rock 0a000c03 CD database entry follows (until terminating `.')\n"
    "# xmcd\n"
    "#\n"
    "# Track frame offsets:\n"
    "# 150\n"
    "# 450\n"
    "# 840\n"
    "#\n"
    "# Disc length: 14 seconds\n"
    "#\n"
    "# Revision: 3\n"
    "# Submitted via: SomePlayer 1.2\n"
    "#\n"
    "DISCID=0a000c03\n"
    "DTITLE=The Artist / The Album / Part Two\n"
    "DYEAR=1999\n"
    "DGENRE=Synth Pop\n"
    "dgenre=Other\n"
    "TTITLE0=First\n"
    "TTITLE1=Second\n"
    "TTITLE2=Third\n"
    "EXTD=Recorded live.\\nAt home\\\\garage \n"
    "EXTD=, mixed later\n"
    "EXTT0=\n"
    "EXTT1=a\\tb\n"
    "EXTT2=\n"
    "PLAYORDER=\n"
    ".";

TEST(CDDBEntryTest, ReadsEveryFieldOfAServerRecord) {
  TCDDBEntry e;
  e.ParseXMCDRecord(Lines(kRecord), "0a000c03");
  EXPECT_EQ(e.Category, "rock");
  EXPECT_EQ(e.Revision, "3");
  EXPECT_EQ(e.SubmittedVia, "SomePlayer 1.2");
  EXPECT_EQ(e.CDID, "0a000c03");
  EXPECT_EQ(e.ArtistTitle, "The Artist");
  EXPECT_EQ(e.CDTitle, "The Album / Part Two");
  EXPECT_EQ(e.Year, "1999");
  EXPECT_EQ(e.Genre, "Synth Pop");  // only the first DGENRE line counts, whatever its case
  EXPECT_EQ(e.Tracks, (std::vector<std::string>{"First", "Second", "Third"}));
  // Two EXTD lines join without a separator; escapes are undone for the reader.
  EXPECT_EQ(e.ExtendedCDInfo, "Recorded live.\nAt home/garage , mixed later");
  EXPECT_EQ(e.ExtendedTracksData, (std::vector<std::string>{"", "a\tb", ""}));
  EXPECT_EQ(e.XMCDRecordRawData.size(), Lines(kRecord).size());
}

TEST(CDDBEntryTest, EdgeCasesOfTitlesAndTracks) {
  TCDDBEntry e;
  e.ParseXMCDRecord({"# xmcd", "DTITLE=Only One Name", "TTITLE0=A", "TTITLE1=B", "TTITLE2=", "TTITLE3=D"}, "x");
  EXPECT_EQ(e.ArtistTitle, "Only One Name");
  EXPECT_EQ(e.CDTitle, "Only One Name");
  EXPECT_EQ(e.Tracks, (std::vector<std::string>{"A", "B"}));
  e.ParseXMCDRecord({"# xmcd", "DTITLE=X", "TTITLE1=B"}, "x");
  EXPECT_TRUE(e.Tracks.empty());  // TTITLE0 is missing: no track at all
  // A title that mentions EXTD= is a title, not extended data.
  e.ParseXMCDRecord({"TTITLE0=Song EXTD=x", "EXTD=real"}, "x");
  EXPECT_EQ(e.ExtendedCDInfo, "real");
  EXPECT_EQ(e.Tracks[0], "Song EXTD=x");
}

TEST(CDDBEntryTest, WritesTheRecordLineByLine) {
  TCDDBEntry e;
  e.CDID_CDDB = "0a000c03 3 150 450 840 14";
  e.ArtistTitle = " Artist ";
  e.CDTitle = "Album";
  e.Year = "2001";
  e.Genre = "Rock";
  e.Revision = "2";
  e.SubmittedVia = "Zorvane Audio Player 3.0";
  e.Tracks = {"One", "Two/Three", "Four"};
  e.ExtendedCDInfo = "line1\nline2\twith/slash";
  e.ExtendedTracksData = {"", "x/y", ""};
  const std::vector<std::string> expected = {
      "# xmcd", "#", "# Track frame offsets:", "# 150", "# 450", "# 840", "#", "# Disc length: 14 seconds", "#",
      "# Revision: 2", "# Submitted via: Zorvane Audio Player 3.0", "#", "DISCID=0a000c03",
      "DTITLE=Artist / Album", "DYEAR=2001", "DGENRE=Rock", "", "TTITLE0=One", "TTITLE1=Two/Three",
      "TTITLE2=Four", "EXTD=line1\\nline2\\twith\\\\slash", "EXTT0=", "EXTT1=x\\\\y", "EXTT2=", "PLAYORDER=", ""};
  EXPECT_EQ(e.BuildXMCDRecord(), expected);
}

TEST(CDDBEntryTest, ARecordReadWrittenAndReadAgainIsUnchanged) {
  TCDDBEntry first;
  first.ParseXMCDRecord(Lines(kRecord), "0a000c03");
  first.CDID_CDDB = "0a000c03 3 150 450 840 14";
  std::vector<std::string> written = first.BuildXMCDRecord();
  written.insert(written.begin(), "210 rock 0a000c03 CD database entry follows");
  TCDDBEntry second;
  second.ParseXMCDRecord(written, "0a000c03");
  EXPECT_EQ(second.Category, first.Category);
  EXPECT_EQ(second.Revision, first.Revision);
  EXPECT_EQ(second.SubmittedVia, first.SubmittedVia);
  EXPECT_EQ(second.ArtistTitle, first.ArtistTitle);
  EXPECT_EQ(second.CDTitle, first.CDTitle);
  EXPECT_EQ(second.Year, first.Year);
  EXPECT_EQ(second.Genre, first.Genre);
  EXPECT_EQ(second.Tracks, first.Tracks);
  EXPECT_EQ(second.ExtendedCDInfo, first.ExtendedCDInfo);
  EXPECT_EQ(second.ExtendedTracksData, first.ExtendedTracksData);
  // And writing it again gives the same text.
  second.CDID_CDDB = first.CDID_CDDB;
  std::vector<std::string> again = second.BuildXMCDRecord();
  again.insert(again.begin(), written.front());
  EXPECT_EQ(again, written);
}

TEST(CDDBEntryTest, PlaceholdersAndWords) {
  TCDDBEntry e;
  e.CDID_CDDB = "0a000c03 3 150 450 840 14";
  e.Tracks = {"old"};
  e.Year = "1980";
  e.FillFromCDInfo();
  EXPECT_EQ(e.CDTitle, "Unknown Title");
  EXPECT_EQ(e.ArtistTitle, "Unknown Artist");
  EXPECT_EQ(e.Tracks, (std::vector<std::string>{"Track 1", "Track 2", "Track 3"}));
  EXPECT_EQ(e.ExtendedTracksData, (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(e.Year, "1980");
  // A hostile track count gets a disc's worth of placeholders at most.
  e.CDID_CDDB = "ffffffff 99999999999 150";
  e.FillFromCDInfo();
  EXPECT_EQ(e.Tracks.size(), 99u);
  EXPECT_EQ(TCDDBEntry::GetItemFromResponse("rock 0a000c03 Artist / Title", 1, false), "0a000c03");
  EXPECT_EQ(TCDDBEntry::GetItemFromResponse("rock 0a000c03 Artist / Title", 2, true), "Artist / Title");
  EXPECT_EQ(TCDDBEntry::GetItemFromResponse("one", 3, false), "");
}

TEST(CDDBEntryTest, HostileRecordsStayBounded) {
  std::vector<std::string> lines{"# xmcd", "DTITLE=a/b"};
  for (int i = 0; i < 10000; ++i) lines.push_back("TTITLE" + std::to_string(i) + "=t" + std::to_string(i));
  lines.push_back("EXTD=" + std::string(1 << 20, 'x'));
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  lines.push_back(binary);
  lines.push_back("DGENRE=" + binary);
  TCDDBEntry e;
  e.ParseXMCDRecord(lines, "id");
  EXPECT_EQ(e.Tracks.size(), 10000u);
  EXPECT_EQ(e.Tracks[9999], "t9999");
  EXPECT_EQ(e.ExtendedCDInfo.size(), 1u << 20);
  EXPECT_EQ(e.Genre, binary);
  // Writing follows the query's track count, not the 10 000 titles.
  e.CDID_CDDB = "0a000c03 3 150 450 840 14";
  EXPECT_EQ(e.BuildXMCDRecord().size(), 26u);
}

TEST(CDTrackFileNameTest, PatternFillsEveryField) {
  TPlayListBoxItem item;
  item.FullPathAndFilename = "/dev/sr0/Track10.cda";
  item.TitleName = "Song";
  item.ArtistName = "Band";
  item.AlbumName = "Record";
  item.TitleAlbumYear = "1977";
  item.TitleAlbumGenre = "Punk";
  item.TitleCDIndex = 9;
  EXPECT_EQ(CDTrackFileName("%02 - %03/%09 - %02 - %01", item), "Band - Record/10 - Band - Song");
  item.TitleCDIndex = 8;
  EXPECT_EQ(CDTrackFileName("%09 %04 %05 %06 x%01", item), "09 1977 Punk Track10 xSong");
  // The order is fixed: a title holding a later placeholder gets it filled too.
  item.TitleName = "%02";
  EXPECT_EQ(CDTrackFileName("%01", item), "Band");
}

}  // namespace
