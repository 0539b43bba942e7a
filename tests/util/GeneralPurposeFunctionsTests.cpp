#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "util/GeneralPurposeFunctions.h"
#include "UtilTestHelpers.h"

namespace fs = std::filesystem;
using utiltest::TTempDir;
using utiltest::WriteFile;
using Names = std::vector<std::string>;

namespace {

// Runs a block with the current folder changed, and changes back.
class TScopedCwd {
 public:
  explicit TScopedCwd(const std::string& dir) : old_(fs::current_path()) { fs::current_path(dir); }
  ~TScopedCwd() { fs::current_path(old_); }

 private:
  fs::path old_;
};

void SetLocalModificationTime(const std::string& path, int year, int month, int day, int hour,
                              int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  const std::time_t when = std::mktime(&t);
  timeval times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

}  // namespace

TEST(MatchesFileMask, WildcardsAndCase) {
  EXPECT_TRUE(MatchesFileMask("Song.MP3", "*.mp3"));
  EXPECT_FALSE(MatchesFileMask("song.mp3x", "*.mp3"));
  EXPECT_TRUE(MatchesFileMask("bass_fx.so", "bass*.so"));
  EXPECT_FALSE(MatchesFileMask("libbass.so", "bass*.so"));
  EXPECT_TRUE(MatchesFileMask("a1.ogg", "a?.ogg"));
  EXPECT_TRUE(MatchesFileMask("\xC3\xA4.ogg", "?.ogg"));  // one character, two bytes
  EXPECT_FALSE(MatchesFileMask("ab.ogg", "?.ogg"));
  EXPECT_TRUE(MatchesFileMask("README", "*.*"));
  EXPECT_TRUE(MatchesFileMask("a.b.c", "*.*"));
  EXPECT_TRUE(MatchesFileMask("notes", "notes.*"));
  EXPECT_TRUE(MatchesFileMask("x", "*"));
  EXPECT_FALSE(MatchesFileMask("x", ""));
}

TEST(FindFilesInFolder, ExtensionMustMatchExactly) {
  TTempDir dir;
  WriteFile(dir / "a.mp3", "1");
  WriteFile(dir / "b.mp3x", "2");
  WriteFile(dir / "C.MP3", "3");
  WriteFile(dir / ".hidden.mp3", "4");
  fs::create_directory(dir / "folder.mp3");  // folders are not files
  Names list{"kept"};
  FindFilesInFolder(dir.Path(), "*.mp3", list);
  EXPECT_EQ(list, (Names{"kept", dir / ".hidden.mp3", dir / "C.MP3", dir / "a.mp3"}));
}

TEST(FindFilesInFolder, TrailingSeparatorAndWildExtensions) {
  TTempDir dir;
  WriteFile(dir / "a.mp3", "");
  WriteFile(dir / "b.mp2", "");
  WriteFile(dir / "plain", "");
  Names list;
  FindFilesInFolder(dir.Path() + "/", "*.mp?", list);
  EXPECT_EQ(list, (Names{dir / "a.mp3", dir / "b.mp2"}));
  list.clear();
  FindFilesInFolder(dir.Path(), "*.*", list);
  EXPECT_EQ(list, (Names{dir / "a.mp3", dir / "b.mp2", dir / "plain"}));
  list.clear();
  FindFilesInFolder(dir / "missing", "*.*", list);
  EXPECT_TRUE(list.empty());
}

TEST(FindFilesInFolder, DvdFolderGivesItsOneEntryFile) {
  TTempDir dir;
  const std::string dvd = dir / "MOVIE/VIDEO_TS";
  WriteFile(dvd + "/VIDEO_TS.IFO", "");
  WriteFile(dvd + "/VTS_01_0.IFO", "");
  WriteFile(dvd + "/VTS_01_1.VOB", "");
  Names list;
  FindFilesInFolder(dvd, "*.ifo", list);
  EXPECT_EQ(list, (Names{dvd + "/VIDEO_TS.IFO"}));
  list.clear();
  FindFilesInFolder(dvd + "/", "*.*", list);
  EXPECT_EQ(list, (Names{dvd + "/VIDEO_TS.IFO"}));
  list.clear();
  FindFilesInFolder(dvd, "*.vob", list);  // the DVD stands for itself, its parts do not
  EXPECT_TRUE(list.empty());
}

TEST(FindFilesInFolder, DvdFolderWithoutEntryFileListsEveryMatch) {
  TTempDir dir;
  const std::string dvd = dir / "video_ts";  // any letter case
  WriteFile(dvd + "/VTS_01_0.IFO", "");
  WriteFile(dvd + "/VTS_02_0.ifo", "");
  Names list;
  FindFilesInFolder(dvd, "*.ifo", list);
  EXPECT_EQ(list, (Names{dvd + "/VTS_01_0.IFO", dvd + "/VTS_02_0.ifo"}));

  // Lower-case entry file in a lower-case DVD folder still counts as the entry file.
  WriteFile(dvd + "/video_ts.ifo", "");
  list.clear();
  FindFilesInFolder(dvd, "*.IFO", list);
  EXPECT_EQ(list, (Names{dvd + "/video_ts.ifo"}));
}

TEST(FindFilesInFolderTree, FolderBeforeItsSubFoldersDepthFirst) {
  TTempDir dir;
  WriteFile(dir / "z.mp3", "");
  WriteFile(dir / "a/2.mp3", "");
  WriteFile(dir / "a/deep/3.mp3", "");
  WriteFile(dir / "b/4.mp3", "");
  WriteFile(dir / "b/4.ogg", "");
  WriteFile(dir / ".cache/5.mp3", "");  // hidden folder: not entered
  Names list;
  FindFilesInFolderTree(dir.Path(), "*.mp3", list);
  EXPECT_EQ(list, (Names{dir / "z.mp3", dir / "a/2.mp3", dir / "a/deep/3.mp3", dir / "b/4.mp3"}));
}

TEST(FindFilesInFolderTree, SymbolicLinkLoopIsSearchedOnce) {
  TTempDir dir;
  WriteFile(dir / "music/a.mp3", "");
  fs::create_directory_symlink(dir / "music", dir / "music/again");
  Names list;
  FindFilesInFolderTree(dir / "music", "*.mp3", list);
  EXPECT_EQ(list, (Names{dir / "music/a.mp3"}));
}

TEST(FindFirstFileName, FirstMatchByName) {
  TTempDir dir;
  WriteFile(dir / "skin_b.bmp", "");
  WriteFile(dir / "Skin_a.BMP", "");
  EXPECT_EQ(FindFirstFileName(dir.Path(), "*.bmp"), "Skin_a.BMP");
  EXPECT_EQ(FindFirstFileName(dir.Path(), "*.png"), "");
  EXPECT_EQ(FindFirstFileName(dir / "missing", "*.*"), "");
}

TEST(DeleteFileIfExists, ReportsOnlyRealFailures) {
  TTempDir dir;
  WriteFile(dir / "a.tmp", "x");
  EXPECT_TRUE(DeleteFileIfExists(dir / "a.tmp"));
  EXPECT_FALSE(fs::exists(dir / "a.tmp"));
  EXPECT_TRUE(DeleteFileIfExists(dir / "a.tmp"));
  EXPECT_TRUE(DeleteFileIfExists(dir / "no/such/file"));
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(DeleteFileIfExists(dir / "folder"));
  EXPECT_TRUE(fs::exists(dir / "folder"));
}

TEST(DeleteAllFilesInFolder, FilesGoSubFoldersStay) {
  TTempDir dir;
  const std::string temp = dir / "tempunzipped";
  WriteFile(temp + "/a.mp3", "");
  WriteFile(temp + "/.hidden", "");
  WriteFile(temp + "/sub/inner.mp3", "");
  WriteFile(dir / "target.txt", "keep me");
  fs::create_symlink(dir / "target.txt", temp + "/link");
  DeleteAllFilesInFolder(temp);
  EXPECT_FALSE(fs::exists(temp + "/a.mp3"));
  EXPECT_FALSE(fs::exists(temp + "/.hidden"));
  EXPECT_FALSE(fs::is_symlink(temp + "/link"));
  EXPECT_TRUE(fs::exists(temp + "/sub/inner.mp3"));
  EXPECT_EQ(utiltest::ReadFile(dir / "target.txt"), "keep me");
}

TEST(DeleteAllFilesInFolder, EmptyArgumentDoesNothing) {
  TTempDir dir;
  WriteFile(dir / "precious.txt", "x");
  TScopedCwd cwd(dir.Path());
  DeleteAllFilesInFolder("");
  EXPECT_TRUE(fs::exists(dir / "precious.txt"));
}

TEST(GetFileSize64, SizeOrMinusOne) {
  TTempDir dir;
  WriteFile(dir / "five.bin", "12345");
  EXPECT_EQ(GetFileSize64(dir / "five.bin"), 5);
  EXPECT_EQ(GetFileSize64(dir / "none.bin"), -1);
  EXPECT_EQ(GetFileSize64(dir.Path()), -1);
  EXPECT_EQ(GetFileSize64(""), -1);
  TScopedCwd cwd(dir.Path());
  EXPECT_EQ(GetFileSize64("five.bin"), 5);  // relative to the current folder
  // Beyond 4 GiB without writing it: a sparse file.
  WriteFile(dir / "big.bin", "");
  ASSERT_EQ(::truncate((dir / "big.bin").c_str(), 5'000'000'000LL), 0);
  EXPECT_EQ(GetFileSize64(dir / "big.bin"), 5'000'000'000LL);
}

TEST(GetFileDateStamp, DosDateAndTimeOfLocalModificationTime) {
  TTempDir dir;
  const std::string file = dir / "song.mp3";
  WriteFile(file, "x");
  SetLocalModificationTime(file, 2021, 3, 4, 5, 6, 9);
  const std::uint32_t date = (41u << 9) | (3u << 5) | 4u;
  const std::uint32_t time = (5u << 11) | (6u << 5) | 4u;  // seconds in 2-second steps
  EXPECT_EQ(static_cast<std::uint32_t>(GetFileDateStamp(file)), (date << 16) | time);
  EXPECT_EQ(GetFileDateStamp(dir / "missing.mp3"), -1);

  SetLocalModificationTime(file, 1975, 6, 1, 12, 0, 0);
  EXPECT_EQ(static_cast<std::uint32_t>(GetFileDateStamp(file)), ((0u << 9 | 1u << 5 | 1u) << 16));
}
