// The song library's data: identity of songs, the column order setting, the texts the grid
// shows, row order under sorting and removal, and the ".SDB" file checked against a reader
// written here from the record layout, including damaged and hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "cd/CDDBEntry.h"
#include "cd/LibraryColumns.h"
#include "cd/LibraryForSongs.h"
#include "cd/LibraryGridRows.h"
#include "cd/LibraryImportLocalStore.h"
#include "cd/LibrarySongsFile.h"
#include "util/ShowMessage.h"

namespace {

TLibraryForSongsItem Song(const std::string& artist, const std::string& album, const std::string& title,
                          const std::string& path, const std::string& disc = {}) {
  TLibraryForSongsItem s;
  s.Lib_ArtistName = artist;
  s.Lib_AlbumName = album;
  s.Lib_TitleName = title;
  s.Lib_FullPathAndFilename = path;
  s.Lib_CDDB_ID = disc;
  return s;
}

std::vector<std::string> Messages(const std::string& log) {
  std::vector<std::string> texts;
  for (const TMessage& m : ReadMessageLog(log)) texts.push_back(m.Text);
  return texts;
}

// --- an independent reader and writer of the record layout -----------------------------------

struct TBytes {
  const std::string& data;
  size_t at = 0;
  bool ok = true;
  uint64_t Unsigned(int n) {
    if (data.size() - at < static_cast<size_t>(n)) {
      ok = false;
      return 0;
    }
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= uint64_t(uint8_t(data[at + i])) << (8 * i);
    at += n;
    return v;
  }
  void Skip(size_t n) {
    if (data.size() - at < n) ok = false;
    else at += n;
  }
  std::u16string Units() {
    const int32_t count = int32_t(uint32_t(Unsigned(4)));
    std::u16string units;
    for (int32_t i = 0; ok && i < count; ++i) units.push_back(char16_t(Unsigned(2)));
    return units;
  }
};

void Units(std::string& out, const std::u16string& units) {
  const uint32_t n = uint32_t(units.size());
  for (int i = 0; i < 4; ++i) out.push_back(char(n >> (8 * i)));
  for (char16_t u : units) {
    out.push_back(char(u & 0xFF));
    out.push_back(char(u >> 8));
  }
}
void Int(std::string& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char(v >> (8 * i)));
}

// One record built byte by byte in the documented order.
std::string Record(const std::u16string& artist, const std::u16string& album, const std::u16string& title,
                   int32_t index, int64_t size, int32_t date, uint8_t rating, const std::u16string& disc,
                   const std::u16string& path) {
  std::string r;
  Units(r, artist);
  Units(r, album);
  Units(r, title);
  Units(r, u"Rock");
  Units(r, u"1999");
  Int(r, uint32_t(index), 4);
  Int(r, 1000, 4);   // start
  Int(r, 2000, 4);   // end
  Int(r, 125, 4);    // length
  Int(r, uint64_t(size), 8);
  Int(r, uint32_t(date), 4);
  Int(r, rating, 1);
  Units(r, disc);
  Units(r, path);
  return r;
}

class LibraryFileTest : public ::testing::Test {
 protected:
  TTempFolder m_folder;
  TMessageLogCapture m_log{m_folder / "messages.log"};
  std::string m_sdb = m_folder / "keldar3.SDB";
};

}  // namespace

TEST(LibrarySongs, IdentityIsPathAndDiscIdIgnoringCase) {
  TLibraryForSongs lib;
  TLibraryGridRows grid;
  EXPECT_TRUE(AddToLibraryGrid(lib, grid, Song("A", "B", "T", "/music/a.mp3")));
  EXPECT_FALSE(AddToLibraryGrid(lib, grid, Song("Other", "B", "T2", "/MUSIC/A.MP3")));
  // The same CD track name on two discs is two songs; the disc ID compares ignoring case too.
  EXPECT_TRUE(AddToLibraryGrid(lib, grid, Song("A", "B", "One", "Track01.cda", "0a000c03")));
  EXPECT_TRUE(AddToLibraryGrid(lib, grid, Song("A", "C", "One", "Track01.cda", "1b000c03")));
  EXPECT_FALSE(AddToLibraryGrid(lib, grid, Song("A", "C", "One", "track01.CDA", "1B000C03")));
  EXPECT_EQ(lib.Count(), 3);
  EXPECT_EQ(grid.Count(), 3);
  EXPECT_EQ(lib.Item(0).Lib_ArtistName, "A");  // the first one stays
  // The playlist's field list lands in the right fields; a 32-bit size is sign-extended.
  EXPECT_TRUE(AddToLibrary(lib, "Art", "/m/x.ogg", "", 0, 77, -2, 125, 9, 8, 7, "2001", "Jazz", "Tit", "Alb"));
  const TLibraryForSongsItem& s = lib.Item(3);
  EXPECT_EQ(s, (TLibraryForSongsItem{"Art", "Alb", "Tit", "Jazz", "2001", 7, 8, 9, 125, -2, 77, 0, "", "/m/x.ogg"}));
  // Removing a song lets it be added again.
  ASSERT_TRUE(lib.Remove(0));
  EXPECT_TRUE(lib.Add(Song("A", "B", "T", "/music/a.mp3")));
}

TEST(LibrarySongs, ColumnOrderSettingFallsBackUnlessAllFifteenArePlaced) {
  const std::vector<int> def{14, 1, 2, 3, 9, 4, 5, 6, 7, 8, 10, 11, 12, 13, 15};
  EXPECT_EQ(LibraryColumnsOrderOrDefault(kLibraryDefaultColumnsOrder), def);
  EXPECT_FALSE(ParseLibraryColumnsOrder("3,1,"));
  EXPECT_EQ(LibraryColumnsOrderOrDefault("3,1,"), def);
  // Spaces around ids are trimmed; the last comma may be missing.
  const auto spaced = ParseLibraryColumnsOrder(" 15, 14 ,13,12,11,10,9,8,7,6,5,4,3,2,1");
  ASSERT_TRUE(spaced);
  EXPECT_EQ(spaced->front(), 15);
  EXPECT_EQ(spaced->back(), 1);
  // A repeated id, an id out of range, an empty token before the end, garbage: default.
  EXPECT_FALSE(ParseLibraryColumnsOrder("1,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,"));
  EXPECT_FALSE(ParseLibraryColumnsOrder("0,2,3,4,5,6,7,8,9,10,11,12,13,14,15,"));
  EXPECT_FALSE(ParseLibraryColumnsOrder("1,,2,3,4,5,6,7,8,9,10,11,12,13,14,15,"));
  EXPECT_FALSE(ParseLibraryColumnsOrder("99999999999999,x,-1,"));
  EXPECT_EQ(FormatLibraryColumnsOrder(def), kLibraryDefaultColumnsOrder);
  // Headers map back to ids ignoring case (how a moved column order is saved).
  EXPECT_EQ(LibraryColumnIdOfHeader("file size (kb)"), 10);
  EXPECT_EQ(LibraryColumnIdOfHeader("Song Title"), -1);
}

TEST(LibrarySongs, CellTexts) {
  TLibraryForSongsItem s = Song("Ar", "Al", "Ti", "/m/dir.x/Song.Name.FLAC");
  s.Lib_FilePlaybackLength = 125;
  s.Lib_FileSize = 5 * 1024 + 1023;
  s.Lib_TitleCDIndex = 4;
  s.Lib_TitleRating = 3;
  EXPECT_EQ(LibraryCellText(s, 17, 0), "17");
  EXPECT_EQ(LibraryCellText(s, 0, 9), "02:05");
  EXPECT_EQ(LibraryCellText(s, 0, 10), "5");
  EXPECT_EQ(LibraryCellText(s, 0, 7), "Song.Name.FLAC");
  EXPECT_EQ(LibraryCellText(s, 0, 8), ".FLAC");
  EXPECT_EQ(LibraryCellText(s, 0, 6), "4");
  EXPECT_EQ(LibraryCellText(s, 0, 12), "3");
  EXPECT_EQ(LibraryCellText(s, 0, 14), "");
  EXPECT_EQ(LibraryCellText(Song("", "", "", "/m/dir.x/noext"), 0, 8), "");
  EXPECT_EQ(FormatLibraryLength(0), "00:00");
  EXPECT_EQ(FormatLibraryLength(6000), "100:00");
  EXPECT_EQ(FormatLibraryFileDate(0), "Unknown");
  EXPECT_EQ(FormatLibraryFileDate(-5), "Unknown");
  // 2004-07-15 13:45:30, packed.
  const int32_t packed = int32_t((((2004 - 1980) << 9 | 7 << 5 | 15) << 16) | (13 << 11 | 45 << 5 | 15));
  s.Lib_FileDate = packed;
  EXPECT_EQ(LibraryCellText(s, 0, 11), "2004-07-15 13:45:30");
}

TEST(LibrarySongs, SortingTwiceFlipsAndRemovalRenumbersTheRows) {
  TLibraryForSongs lib;
  TLibraryGridRows grid;
  AddToLibraryGrid(lib, grid, Song("beta", "x", "2", "/b"));
  AddToLibraryGrid(lib, grid, Song("Alpha", "z", "1", "/a"));
  AddToLibraryGrid(lib, grid, Song("alpha", "y", "3", "/c"));
  AddToLibraryGrid(lib, grid, Song("Gamma", "w", "4", "/d"));
  // By artist, ties broken by the next column (album), case ignored.
  SortLibraryRows(lib, grid, 1, 2, true);
  EXPECT_EQ(grid.Rows, (std::vector<int>{2, 1, 0, 3}));
  SortLibraryRows(lib, grid, 1, 2, false);
  EXPECT_EQ(grid.Rows, (std::vector<int>{3, 0, 1, 2}));
  // Removing row 1 (list position 0) moves every later position up by one.
  ASSERT_TRUE(RemoveLibraryRow(lib, grid, 1));
  EXPECT_EQ(grid.Rows, (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(lib.Item(grid.Rows[0]).Lib_ArtistName, "Gamma");
  EXPECT_FALSE(RemoveLibraryRow(lib, grid, 3));
  // Search from a row on, case ignored; then the album of a song without CD tracks.
  EXPECT_EQ(FindLibraryRow(lib, grid, 1, "ALP", 0), 1);
  EXPECT_EQ(FindLibraryRow(lib, grid, 1, "ALP", 3), -1);
  EXPECT_EQ(FindLibraryRow(lib, grid, 1, "nothing", 0), -1);
  ClearLibrary(lib, grid);
  EXPECT_EQ(lib.Count(), 0);
  EXPECT_EQ(grid.Count(), 0);
}

TEST(LibrarySongs, AlbumPathsLeaveCDTracksOut) {
  TLibraryForSongs lib;
  lib.Add(Song("Band", "Record", "a", "/m/1.mp3"));
  lib.Add(Song("Other", "Record", "b", "/m/2.mp3"));
  lib.Add(Song("BAND", "record", "c", "/m/3.mp3"));
  lib.Add(Song("Band", "Record", "d", "Track01.CDA", "0a000c03"));
  EXPECT_EQ(LibraryAlbumPaths(lib, 0), (std::vector<std::string>{"/m/1.mp3", "/m/3.mp3"}));
  EXPECT_TRUE(LibraryAlbumPaths(lib, 9).empty());
}

TEST_F(LibraryFileTest, BytesFollowTheRecordLayoutAndAFileWrittenByHandLoadsIntact) {
  TLibraryForSongs lib;
  TLibraryForSongsItem a = Song("Ärtist", "Album 🎵", "Títle", "/m/ä.mp3");
  a.Lib_TitleAlbumGenre = "Rock";
  a.Lib_TitleAlbumYear = "1999";
  a.Lib_TitleCDIndex = 5;
  a.Lib_PlaybackStartPos = 1000;
  a.Lib_PlaybackEndPos = 2000;
  a.Lib_FilePlaybackLength = 125;
  a.Lib_FileSize = 5000000000LL;
  a.Lib_FileDate = 0x31234567;
  a.Lib_TitleRating = 200;
  lib.Add(a);
  lib.Add(Song("B", "C", "D", "Track02.cda", "0a000c03"));
  TLibraryFileState state;
  ASSERT_TRUE(SaveLibrary(lib, state, m_sdb));
  const std::string data = ReadTextFile(m_sdb);
  TBytes r{data};
  EXPECT_EQ(r.Units(), u"Ärtist");
  EXPECT_EQ(r.Units(), u"Album 🎵");  // a surrogate pair: two code units
  EXPECT_EQ(r.Units(), u"Títle");
  EXPECT_EQ(r.Units(), u"Rock");
  EXPECT_EQ(r.Units(), u"1999");
  EXPECT_EQ(r.Unsigned(4), 5u);
  EXPECT_EQ(r.Unsigned(4), 1000u);
  EXPECT_EQ(r.Unsigned(4), 2000u);
  EXPECT_EQ(r.Unsigned(4), 125u);
  EXPECT_EQ(r.Unsigned(8), 5000000000u);
  EXPECT_EQ(r.Unsigned(4), 0x31234567u);
  EXPECT_EQ(r.Unsigned(1), 200u);
  EXPECT_EQ(r.Units(), u"");
  EXPECT_EQ(r.Units(), u"/m/ä.mp3");
  // Second record: only its disc ID and path are checked after skipping the rest.
  EXPECT_EQ(r.Units(), u"B");
  for (int i = 0; i < 4; ++i) r.Units();
  r.Skip(4 * 4 + 8 + 4 + 1);
  EXPECT_EQ(r.Units(), u"0a000c03");
  EXPECT_EQ(r.Units(), u"Track02.cda");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.at, data.size());  // no header, no trailer

  // The other way round: a file built here loads with every field.
  std::string file = Record(u"Ünïcode", u"Alb", u"T 🎸", -3, -7, -1, 255, u"ffffffff", u"Track09.cda") +
                     Record(u"x", u"y", u"z", 1, 1LL << 40, 0x12345678, 0, u"", u"/p/q.wav");
  WriteTextFile(m_sdb, file);
  TLibraryForSongs back;
  ASSERT_FALSE(LoadLibrary(back, m_sdb).LoadFailed);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Item(0), (TLibraryForSongsItem{"Ünïcode", "Alb", "T 🎸", "Rock", "1999", -3, 1000, 2000, 125, -7, -1,
                                                255, "ffffffff", "Track09.cda"}));
  EXPECT_EQ(back.Item(1).Lib_FileSize, 1LL << 40);
  EXPECT_EQ(back.Item(1).Lib_FileDate, 0x12345678);
  EXPECT_FALSE(back.Changed());
  EXPECT_TRUE(Messages(m_log.Path()).empty());
  // Saving what was loaded gives the same bytes.
  ASSERT_TRUE(SaveLibrary(back, {}, m_sdb));
  EXPECT_EQ(ReadTextFile(m_sdb), file);
  // Duplicates in a file are dropped on load.
  WriteTextFile(m_sdb, file + file);
  EXPECT_FALSE(LoadLibrary(back, m_sdb).LoadFailed);
  EXPECT_EQ(back.Count(), 2);
}

TEST_F(LibraryFileTest, ATruncatedFileKeepsTheWholeRecordsAndIsNotOverwrittenUnlessChanged) {
  std::string file;
  for (int i = 0; i < 3; ++i)
    file += Record(u"a", u"b", u"t" + std::u16string(1, char16_t('0' + i)), i, 0, 0, 0, u"", u"/s" + std::u16string(1, char16_t('0' + i)));
  const std::string cut = file.substr(0, file.size() - 7);
  WriteTextFile(m_sdb, cut);
  TLibraryForSongs lib;
  TLibraryFileState state = LoadLibrary(lib, m_sdb);
  EXPECT_TRUE(state.LoadFailed);
  ASSERT_EQ(lib.Count(), 2);
  EXPECT_EQ(lib.Item(1).Lib_TitleName, "t1");
  EXPECT_EQ(Messages(m_log.Path()), std::vector<std::string>{"Loading CDDatabase Failed..."});
  // Hiding without a change keeps the user's damaged file as it was.
  EXPECT_TRUE(SaveLibrary(lib, state, m_sdb));
  EXPECT_EQ(ReadTextFile(m_sdb), cut);
  // A change the user made is saved: what was loaded plus the change.
  lib.Add(Song("n", "n", "n", "/new"));
  ASSERT_TRUE(SaveLibrary(lib, state, m_sdb));
  TLibraryForSongs back;
  EXPECT_FALSE(LoadLibrary(back, m_sdb).LoadFailed);
  EXPECT_EQ(back.Count(), 3);
  EXPECT_EQ(back.Item(2).Lib_FullPathAndFilename, "/new");
  // No file at all is an empty library, without a message.
  std::filesystem::remove(m_sdb);
  EXPECT_FALSE(LoadLibrary(back, m_sdb).LoadFailed);
  EXPECT_EQ(back.Count(), 0);
  EXPECT_EQ(Messages(m_log.Path()).size(), 1u);
}

TEST_F(LibraryFileTest, HostileCountsLoadWhatIsWholeWithoutAllocatingTheClaim) {
  const std::string good = Record(u"a", u"b", u"c", 1, 0, 0, 0, u"", u"/ok");
  std::string negative = good;
  Int(negative, uint32_t(-5), 4);
  std::string huge = good;
  Int(huge, 0x20000000u, 4);  // a 1 GB string claimed, 10 bytes present
  huge += "0123456789";
  std::string odd = good + std::string("\x01\x00\x00\x00\x41", 5);  // one unit needs two bytes
  std::string garbage = good + std::string("\xff\xfe\x00\x80garbage\x00\x01", 13);
  for (const std::string& data : {negative, huge, odd, garbage}) {
    WriteTextFile(m_sdb, data);
    TLibraryForSongs lib;
    EXPECT_TRUE(LoadLibrary(lib, m_sdb).LoadFailed);
    ASSERT_EQ(lib.Count(), 1);
    EXPECT_EQ(lib.Item(0).Lib_FullPathAndFilename, "/ok");
  }
  EXPECT_EQ(Messages(m_log.Path()).size(), 4u);
  // An unwritable library file gives the save message and false.
  TLibraryForSongs lib;
  lib.Add(Song("a", "b", "c", "/x"));
  EXPECT_FALSE(SaveLibrary(lib, {}, "/proc/keldar-no/such.SDB"));
  EXPECT_EQ(Messages(m_log.Path()).back(), "Saving CDDatabase Failed...");
}

TEST_F(LibraryFileTest, ImportsEveryTrackOfTheLocalStoreCategoryByCategory) {
  const std::string store = m_folder / "localcddatabase";
  std::filesystem::create_directories(store + "/rock");
  std::filesystem::create_directories(store + "/jazz");
  const auto entry = [](const std::string& id, const std::string& title, int tracks) {
    std::string t = "# xmcd\r\n#\r\nDISCID=" + id + "\r\nDTITLE=" + title + "\r\nDYEAR=2004\r\nDGENRE=Test Genre\r\n";
    for (int i = 0; i < tracks; ++i) t += "TTITLE" + std::to_string(i) + "=Song " + std::to_string(i) + "\r\n";
    return t;
  };
  WriteTextFile(store + "/rock/0a000c03", entry("0a000c03", "Rock Artist / Rock Album", 3));
  WriteTextFile(store + "/jazz/1b000d02", entry("1b000d02", "Jazz Artist / Jazz Album", 2));
  TLibraryForSongs lib;
  TLibraryGridRows grid;
  std::vector<int> seen;
  const int added = ImportLocalCDDBIntoLibrary(lib, grid, store, [&](int category) {
    seen.push_back(category);
    return true;
  });
  EXPECT_EQ(added, 5);
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  ASSERT_EQ(lib.Count(), 5);
  ASSERT_EQ(grid.Count(), 5);
  // Categories in their fixed order ("jazz" before "rock"), not in folder listing order.
  ASSERT_LT(std::find(CDDBCategories().begin(), CDDBCategories().end(), "jazz"),
            std::find(CDDBCategories().begin(), CDDBCategories().end(), "rock"));
  const TLibraryForSongsItem& first = lib.Item(0);
  EXPECT_EQ(first.Lib_ArtistName, "Jazz Artist");
  EXPECT_EQ(first.Lib_AlbumName, "Jazz Album");
  EXPECT_EQ(first.Lib_FullPathAndFilename, "Track01.cda");
  EXPECT_EQ(first.Lib_CDDB_ID, "1b000d02");
  EXPECT_EQ(first.Lib_TitleCDIndex, 1);
  EXPECT_EQ(first.Lib_TitleName, "Song 0");
  EXPECT_EQ(first.Lib_TitleAlbumYear, "2004");
  const TLibraryForSongsItem& last = lib.Item(4);
  EXPECT_EQ(last.Lib_FullPathAndFilename, "Track03.cda");
  EXPECT_EQ(last.Lib_CDDB_ID, "0a000c03");
  // Importing again adds nothing; stopping after the first category stops.
  EXPECT_EQ(ImportLocalCDDBIntoLibrary(lib, grid, store, nullptr), 0);
  TLibraryForSongs other;
  TLibraryGridRows otherGrid;
  seen.clear();
  ImportLocalCDDBIntoLibrary(other, otherGrid, store, [&](int category) {
    seen.push_back(category);
    return false;
  });
  EXPECT_EQ(seen, std::vector<int>{0});
}
