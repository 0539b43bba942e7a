// The song library in the real player: its file read when the deck's library button shows the
// window and written when it hides it or the player exits, its identity rule and a damaged
// file that the player must not overwrite. The file is written and read here by the record
// layout itself, independently of the player's code.
#include "DeckE2EFixture.h"

namespace {

void PutInt32(std::string& out, int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
}
void PutString(std::string& out, const std::string& ascii) {
  PutInt32(out, static_cast<int32_t>(ascii.size()));
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
}
// One record: five strings, four int32, int64 size, int32 date, byte rating, two strings.
std::string Record(const std::string& artist, const std::string& album, const std::string& title,
                   const std::string& path, int32_t length) {
  std::string r;
  for (const std::string* s : {&artist, &album, &title}) PutString(r, *s);
  PutString(r, "Genre");
  PutString(r, "1999");
  for (int32_t v : {3, 0, 0, length}) PutInt32(r, v);
  PutInt32(r, 5000000);
  PutInt32(r, 0);  // the high half of the size
  PutInt32(r, 0x31234567);
  r.push_back('\0');
  PutString(r, "");
  PutString(r, path);
  return r;
}

class LibraryE2E : public DeckE2E {
 protected:
  std::string SDB() const { return program + "/keldar3.SDB"; }
  std::string Ini() const { return ReadTextFile(program + "/keldar3.ini"); }
  bool FileIs(const std::string& bytes) {
    return WaitFor([&] { return ReadTextFile(SDB()) == bytes; });
  }
};

TEST_F(LibraryE2E, TheLibraryButtonLoadsAndSavesTheFileAndARestartKeepsTheSongs) {
  const std::string a = Record("Band", "Record", "First", dir / "a.wav", 125);
  const std::string b = Record("Other", "Else", "Second", dir / "b.wav", 61);
  // The same file again (path in other case): the identity rule keeps the first one.
  const std::string again = Record("Band", "Record", "First again", dir / "A.WAV", 1);
  WriteTextFile(SDB(), a + b + again);
  Settings("Options_DBVisibleState=0\n");
  ASSERT_TRUE(player.Start({}));
  Ctl("send 0x9410");  // shown: the file is read
  Ctl("send 0x9410");  // hidden: the library is written
  EXPECT_TRUE(FileIs(a + b)) << ReadTextFile(SDB()).size();
  EXPECT_EQ(CountMessagesStartingWith("Loading CDDatabase Failed"), 0);
  // Quitting with the window open writes it too, and remembers the window as open.
  WriteTextFile(SDB(), b + a + again);
  Ctl("send 0x9410");
  Ctl("send 0x9403");
  ASSERT_EQ(player.WaitForExit(10000), 0);
  EXPECT_EQ(ReadTextFile(SDB()), b + a);
  EXPECT_NE(Ini().find("Options_DBVisibleState=1"), std::string::npos);

  // A restart opens the window again, reads the songs and writes them back on the way out.
  WriteTextFile(SDB(), b + a + b);
  TPlayerProcess restarted{program, runtime, log};
  ASSERT_TRUE(restarted.Start({}));
  Ctl("send 0x9403");
  ASSERT_EQ(restarted.WaitForExit(10000), 0);
  EXPECT_EQ(ReadTextFile(SDB()), b + a);
}

TEST_F(LibraryE2E, ADamagedFileIsReportedAndNotOverwritten) {
  const std::string whole = Record("Band", "Record", "First", dir / "a.wav", 125) +
                            Record("Other", "Else", "Second", dir / "b.wav", 61);
  const std::string cut = Record("Cut", "Off", "Third", dir / "c.wav", 10);
  const std::string damaged = whole + cut.substr(0, cut.size() - 7);
  WriteTextFile(SDB(), damaged);
  Settings("Options_DBVisibleState=0\n");
  ASSERT_TRUE(player.Start({}));
  Ctl("send 0x9410");
  EXPECT_TRUE(WaitFor([&] { return CountMessagesStartingWith("Loading CDDatabase Failed...") == 1; }));
  Ctl("send 0x9410");
  Ctl("send 0x9403");
  ASSERT_EQ(player.WaitForExit(10000), 0);
  // Nothing changed by the user: the damaged file stays as it was, every byte of it.
  EXPECT_EQ(ReadTextFile(SDB()), damaged);
}

}  // namespace
