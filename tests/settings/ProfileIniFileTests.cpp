#include "settings/ProfileIniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/SettingsTestFolder.h"

namespace fs = std::filesystem;

TEST(ProfileIntegerTest, DecimalWithSignAndLimits) {
  EXPECT_EQ(ParseProfileInteger("0"), 0);
  EXPECT_EQ(ParseProfileInteger("42"), 42);
  EXPECT_EQ(ParseProfileInteger("+42"), 42);
  EXPECT_EQ(ParseProfileInteger("-3"), -3);
  EXPECT_EQ(ParseProfileInteger("007"), 7);
  EXPECT_EQ(ParseProfileInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseProfileInteger("-2147483648"), INT32_MIN);
  EXPECT_FALSE(ParseProfileInteger("2147483648"));
  EXPECT_FALSE(ParseProfileInteger("-2147483649"));
  EXPECT_FALSE(ParseProfileInteger("99999999999999999999999"));
}

TEST(ProfileIntegerTest, HexadecimalForms) {
  EXPECT_EQ(ParseProfileInteger("0x20"), 32);
  EXPECT_EQ(ParseProfileInteger("0X1f"), 31);
  EXPECT_EQ(ParseProfileInteger("$1F"), 31);
  EXPECT_EQ(ParseProfileInteger("-$1F"), -31);
  EXPECT_EQ(ParseProfileInteger("0xFFFFFFFF"), -1);
  EXPECT_EQ(ParseProfileInteger("$80000000"), INT32_MIN);
  EXPECT_EQ(ParseProfileInteger("0x000000000010"), 16);
  EXPECT_FALSE(ParseProfileInteger("0x100000000"));
  EXPECT_FALSE(ParseProfileInteger("0x"));  // too short to be hexadecimal, not decimal either
  EXPECT_FALSE(ParseProfileInteger("$"));
  EXPECT_FALSE(ParseProfileInteger("0x1G"));
}

TEST(ProfileIntegerTest, RejectsNonNumbers) {
  for (const char* text : {"", "-", "+", "abc", "12abc", "1 2", "1.5", " 5", "--5", "0b101"})
    EXPECT_FALSE(ParseProfileInteger(text)) << '"' << text << '"';
}

TEST(ProfileCutTest, CountsCharactersNotBytes) {
  EXPECT_EQ(CutToCharacters("abcdef", 3), "abc");
  EXPECT_EQ(CutToCharacters("ab", 3), "ab");
  // "ä" is two bytes, "€" three: cut after two characters keeps both whole.
  EXPECT_EQ(CutToCharacters("\xC3\xA4\xE2\x82\xAC" "x", 2), "\xC3\xA4\xE2\x82\xAC");
  EXPECT_EQ(CutToCharacters("\xC3\xA4\xE2\x82\xAC" "x", 1), "\xC3\xA4");
}

class ProfileIniFileTest : public ::testing::Test {
 protected:
  SettingsTestFolder folder;
  std::string path = folder / "test.ini";
};

TEST_F(ProfileIniFileTest, MissingFileReadsDefaultsAndIsNotCreated) {
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  EXPECT_EQ(file.ReadString("Settings", "A", "dflt"), "dflt");
  EXPECT_EQ(file.ReadInteger("Settings", "A", 17), 17);
  EXPECT_TRUE(file.ReadBool("Settings", "A", true));
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(ProfileIniFileTest, LookupIsCaseInsensitiveTrimmedFirstMatch) {
  WriteFileBytes(path,
                 "[other]\nkey=wrong\n"
                 "  [ SETTINGS ]  \n"
                 "   MyKey  =   first value  \n"
                 "mykey=second\n"
                 "novalue\n"
                 "Empty=\n"
                 "[settings]\nlater=hidden\n");
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  EXPECT_EQ(file.ReadString("Settings", "MYKEY", "d"), "first value");
  EXPECT_EQ(file.ReadString("settings", "mykey", "d"), "first value");
  EXPECT_EQ(file.ReadString("Settings", "novalue", "d"), "d");  // no '=': not a key line
  EXPECT_EQ(file.ReadString("Settings", "Empty", "d"), "");     // present but empty
  EXPECT_EQ(file.ReadString("Settings", "key", "d"), "d");      // lives in another section
  EXPECT_EQ(file.ReadString("Settings", "later", "d"), "d");    // only the first section counts
  EXPECT_EQ(file.ReadString("Missing", "MyKey", "d"), "d");
}

TEST_F(ProfileIniFileTest, StringReadIsCutTo2047Characters) {
  std::string longValue(3000, 'x');
  WriteFileBytes(path, "[S]\nk=" + longValue + "\n");
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  EXPECT_EQ(file.ReadString("S", "k", ""), std::string(2047, 'x'));
  EXPECT_EQ(file.ReadValue("S", "k")->size(), 3000u);
}

TEST_F(ProfileIniFileTest, WriteRewritesOnlyItsLineAndKeepsCrlf) {
  const std::string original =
      "; my notes\r\n"
      "[Other]\r\nH0=abc\r\n\r\n"
      "[Settings]\r\nA=1\r\n  b = 2 \r\nC=3\r\n\r\n"
      "[Tail]\r\nX=y\r\n";
  WriteFileBytes(path, original);
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  ASSERT_TRUE(file.WriteString("Settings", "B", "20"));
  ASSERT_TRUE(file.WriteString("settings", "New", "v"));
  ASSERT_TRUE(file.WriteString("Settings", "A", "1"));  // unchanged value: line untouched
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadFileBytes(path),
            "; my notes\r\n"
            "[Other]\r\nH0=abc\r\n\r\n"
            "[Settings]\r\nA=1\r\nB=20\r\nC=3\r\nNew=v\r\n\r\n"
            "[Tail]\r\nX=y\r\n");
}

TEST_F(ProfileIniFileTest, UnchangedValuesLeaveTheFileByteForByte) {
  const std::string original = "[Settings]\n  A =  1  \n\tb=x\n";
  WriteFileBytes(path, original);
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  ASSERT_TRUE(file.WriteString("Settings", "a", "1"));
  ASSERT_TRUE(file.WriteInteger("SETTINGS", "A", 1));
  ASSERT_TRUE(file.WriteString("Settings", "B", "x"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_EQ(folder.Entries().size(), 1u);
}

TEST_F(ProfileIniFileTest, MissingSectionIsAddedAtTheEnd) {
  WriteFileBytes(path, "[Other]\nX=1");  // no trailing newline
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  ASSERT_TRUE(file.WriteInteger("Settings", "N", -5));
  ASSERT_TRUE(file.WriteBool("Settings", "T", true));
  ASSERT_TRUE(file.WriteBool("Settings", "F", false));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadFileBytes(path), "[Other]\nX=1\n[Settings]\nN=-5\nT=1\nF=0\n");
}

TEST_F(ProfileIniFileTest, NewFileUsesLfAndRoundTrips) {
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  ASSERT_TRUE(file.WriteString("Settings", "S", " spaced value "));
  ASSERT_TRUE(file.WriteString("Settings", "Broken", "line1\nline2\r\n[Evil]"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadFileBytes(path), "[Settings]\nS= spaced value \nBroken=line1 line2  [Evil]\n");

  TProfileIniFile again(path);
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.ReadString("Settings", "S", ""), "spaced value");
  EXPECT_FALSE(again.ReadValue("Evil", "x"));
}

TEST_F(ProfileIniFileTest, DeleteKeyRemovesItsLines) {
  WriteFileBytes(path, "[H]\nH0=a\nH1=b\nh1=c\nH2=d\n");
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  ASSERT_TRUE(file.DeleteKey("h", "H1"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadFileBytes(path), "[H]\nH0=a\nH2=d\n");
}

TEST_F(ProfileIniFileTest, GarbageAndOddFilesLoadWithoutHarm) {
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  std::string nulValue("[Settings]\nN=ab\0cd\nZ=5", 22);
  std::string hugeLine(5'000'000, 'q');
  const std::vector<std::string> files = {
      garbage,
      nulValue,
      "\xEF\xBB\xBF[Settings]\nZ=5",  // byte order mark, no newline at the end
      hugeLine + "=1\n[Settings]\nZ=5\n",
      "[Settings\nZ=5\n[]\n=\n[[[\n]]]\n\r\r\r\n",
      "\r\n\r\n\n\n",
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    WriteFileBytes(path, files[i]);
    TProfileIniFile file(path);
    ASSERT_TRUE(file.Load()) << i;
    (void)file.ReadString("Settings", "N", "");
    int expected = (i >= 1 && i <= 3) ? 5 : 9;
    EXPECT_EQ(file.ReadInteger("Settings", "Z", 9), expected) << i;
    ASSERT_TRUE(file.WriteInteger("Settings", "Added", 1)) << i;
    ASSERT_TRUE(file.Close()) << i;
    // Whatever was there stays in front of what was added.
    std::string after = ReadFileBytes(path);
    EXPECT_EQ(after.compare(0, files[i].size(), files[i]), 0) << i;
    TProfileIniFile reread(path);
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.ReadInteger("Settings", "Added", 0), 1) << i;
  }
  EXPECT_EQ(folder.Entries().size(), 1u);
}

TEST_F(ProfileIniFileTest, FolderAtTheFilePathFailsToLoad) {
  fs::create_directory(path);
  TProfileIniFile file(path);
  EXPECT_FALSE(file.Load());
}

TEST_F(ProfileIniFileTest, UnwritableLocationFailsEveryWrite) {
  WriteFileBytes(folder / "plain", "x");
  TProfileIniFile file(folder / "plain/sub/test.ini");  // parent is a regular file
  ASSERT_TRUE(file.Load());
  EXPECT_FALSE(file.WriteString("S", "a", "1"));
  EXPECT_FALSE(file.WriteInteger("S", "b", 2));
  EXPECT_FALSE(file.DeleteKey("S", "a"));
  EXPECT_EQ(file.ReadString("S", "a", "d"), "d");  // failed writes change nothing
  EXPECT_TRUE(file.Close());                       // nothing pending
}

TEST_F(ProfileIniFileTest, WriteIsAtomicAndLeavesNoTemporaryFile) {
  WriteFileBytes(path, "[Settings]\nA=1\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  {
    TProfileIniFile file(path);
    ASSERT_TRUE(file.Load());
    ASSERT_TRUE(file.WriteInteger("Settings", "A", 2));
    // Until the close, the old file is complete and untouched; the new text waits aside.
    EXPECT_EQ(ReadFileBytes(path), "[Settings]\nA=1\n");
    EXPECT_EQ(folder.Entries().size(), 2u);
    ASSERT_TRUE(file.Close());
  }
  EXPECT_EQ(ReadFileBytes(path), "[Settings]\nA=2\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"test.ini"});
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  {  // Not closed: the change is dropped and the temporary file goes with the object.
    TProfileIniFile file(path);
    ASSERT_TRUE(file.Load());
    ASSERT_TRUE(file.WriteInteger("Settings", "A", 3));
  }
  EXPECT_EQ(ReadFileBytes(path), "[Settings]\nA=2\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"test.ini"});
}

TEST_F(ProfileIniFileTest, WritesThroughASymbolicLink) {
  std::string real = folder / "real.ini";
  WriteFileBytes(real, "[S]\nA=1\n");
  fs::create_symlink(real, path);
  TProfileIniFile file(path);
  ASSERT_TRUE(file.Load());
  ASSERT_TRUE(file.WriteInteger("S", "A", 5));
  ASSERT_TRUE(file.Close());
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(ReadFileBytes(real), "[S]\nA=5\n");
}
