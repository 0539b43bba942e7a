// The real player, started and stopped as a user's desktop would.
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/file.h>

#include <fcntl.h>

#include "PlayerProcess.h"
#include "PlayerTestFolders.h"
#include "TestSupport.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "plugins/zorvaneplayerapiunit.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ShowMessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace fs = std::filesystem;

namespace {

class PlayerE2E : public PlayerFoldersTest {
 protected:
  std::vector<TMessage> Messages() const { return ReadMessageLog(log); }
  int CountMessages(const std::string& text) const {
    int n = 0;
    for (const TMessage& m : Messages()) n += m.Text == text;
    return n;
  }
  std::vector<std::string> PlaylistPaths() const {
    TPlaylist list;
    std::string data = ReadTextFile(program + "/keldar3.ZPL");
    ReadPlaylistItemsFromStream(list, data, true);
    std::vector<std::string> paths;
    for (const auto& item : list.Items()) paths.push_back(item.FullPathAndFilename);
    return paths;
  }
  std::vector<std::string> IniKeys() const {
    std::vector<std::string> keys;
    std::istringstream in(ReadTextFile(program + "/keldar3.ini"));
    std::string line;
    while (std::getline(in, line))
      if (auto eq = line.find('='); eq != std::string::npos) keys.push_back(line.substr(0, eq));
    return keys;
  }
  TPlayerProcess Player() const { return TPlayerProcess(program, runtime, log); }
};

}  // namespace

TEST_F(PlayerE2E, FirstStartAndSigtermWriteSettingsPlaylistAndFolders) {
  TPlayerProcess player = Player();
  ASSERT_TRUE(player.Start({dir / "song one.mp3", "http://radio.example/live"}));
  WriteTextFile(program + "/tempunzipped/left.mp3", "x");
  WriteTextFile(program + "/tempunzipped/info/left.mp3", "x");
  EXPECT_EQ(player.Terminate(), 0);

  EXPECT_EQ(CountMessages("Loading Playlist Failed..."), 1);
  std::vector<std::string> keys = IniKeys();
  ASSERT_EQ(keys.size(), 104u);
  auto table = SettingsKeyTable();
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i], table[i].Ident) << i;
  std::string ini = ReadTextFile(program + "/keldar3.ini");
  EXPECT_NE(ini.find("Options_RecordingOutputDir=" + program + "/recordedfiles\n"), std::string::npos);
  EXPECT_NE(ini.find("Options_BufferLength=500\n"), std::string::npos);
  EXPECT_NE(ini.find("Options_VisExVisibleState=1\n"), std::string::npos);
  // No encoder list yet: the default one, saved at exit.
  EXPECT_EQ(CountMessages("File with Encoders (keldar3encoders.ini) is damaged\rPress OK to Load Default Encoders List"), 1);
  const std::string encoders = ReadTextFile(program + "/keldar3encoders.ini");
  EXPECT_EQ(std::count(encoders.begin(), encoders.end(), '\n'), 8);
  EXPECT_EQ(encoders.substr(0, encoders.find('\n')),
            "EncName=ACM (Internal);EncCmdLine=%outputfile%;EncOutputFileExt=.wav;EncInputBits=32;");
  EXPECT_NE(encoders.find("\nEncName=FLAC with Tags;EncCmdLine=flac  -T \"TITLE=%01\" -T \"ARTIST=%02\" -T \"ALBUM=%03\" -T "
                          "\"DATE=%04\" -T \"GENRE=%05\" -T \"TRACKNUMBER=%09\" -f - -o %outputfile%;EncOutputFileExt=.flac;"
                          "EncInputBits=24;\n"),
            std::string::npos);

  for (const char* f : {"skins", "dspplugins", "genplugins", "localcddatabase", "visplugins", "cdartwork",
                        "recordedfiles", "tempunzipped/info", "tempunzipped/skins"})
    EXPECT_TRUE(fs::is_directory(program + "/" + f)) << f;
  EXPECT_FALSE(fs::exists(program + "/inputplugins"));
  EXPECT_FALSE(fs::exists(program + "/tempunzipped/left.mp3"));
  EXPECT_FALSE(fs::exists(program + "/tempunzipped/info/left.mp3"));
  EXPECT_EQ(PlaylistPaths(), (std::vector<std::string>{dir / "song one.mp3", "http://radio.example/live"}));

  // The second start finds the playlist: no message about it this time.
  TPlayerProcess again = Player();
  ASSERT_TRUE(again.Start({}));
  EXPECT_EQ(again.Terminate(), 0);
  EXPECT_EQ(CountMessages("Loading Playlist Failed..."), 1);
  EXPECT_EQ(PlaylistPaths().size(), 2u);
}

TEST_F(PlayerE2E, OffScreenTheFirstStartsMessagesDoNotHoldThePlayer) {
  // No message log: the messages of a first start (no playlist, no encoders file yet) take
  // the player's own path, as when a user starts it without a display.
  TPlayerProcess player(program, runtime, "");
  ASSERT_TRUE(player.Start({})) << "the player never reached its event loop";
  EXPECT_EQ(player.Terminate(), 0);
  EXPECT_TRUE(fs::exists(program + "/keldar3.ZPL"));
}

TEST_F(PlayerE2E, StoredValuesAreCorrectedAndOtherSectionsSurvive) {
  WriteTextFile(program + "/keldar3.ini",
                "[PLSearchHistory]\nH0=beatles\n[Settings]\nOptions_BufferLength=100\nOptions_DSPSamplingRate=0\n"
                "Options_RecordingChannels=-3\nOptions_DeckLeft=0x20\nOptions_ShuffleButtonState=2\n"
                "[Other]\nkeep=me");
  TPlayerProcess player = Player();
  ASSERT_TRUE(player.Start({}));
  EXPECT_EQ(player.Terminate(), 0);
  std::string ini = ReadTextFile(program + "/keldar3.ini");
  for (const char* line : {"Options_BufferLength=500", "Options_DSPSamplingRate=48000", "Options_RecordingChannels=2",
                           "Options_DeckLeft=32", "Options_ShuffleButtonState=1", "[PLSearchHistory]", "H0=beatles",
                           "[Other]", "keep=me"})
    EXPECT_NE(ini.find(line), std::string::npos) << line;
}

TEST_F(PlayerE2E, SecondInstanceHandsOverItsArgumentsInOrderAndCreatesNoWindow) {
  TPlayerProcess first = Player();
  ASSERT_TRUE(first.Start({}));
  WriteTextFile(dir / "b.mp3", "");
  TPlayerProcess second = Player();
  // Relative names are made absolute against the second instance's folder.
  fs::current_path(dir.Path());
  ASSERT_TRUE(second.Start({dir / "a.mp3", "b.mp3", dir / "c.mp3"}, false));
  EXPECT_EQ(second.WaitForExit(10000), 0);
  // A second start without arguments leaves the first one unchanged.
  TPlayerProcess third = Player();
  ASSERT_TRUE(third.Start({}, false));
  EXPECT_EQ(third.WaitForExit(10000), 0);
  EXPECT_EQ(first.Terminate(), 0);
  EXPECT_EQ(PlaylistPaths(), (std::vector<std::string>{dir / "a.mp3", dir / "b.mp3", dir / "c.mp3"}));
  EXPECT_EQ(CountMessages("Loading Playlist Failed..."), 1);  // only the first instance loaded anything
}

TEST_F(PlayerE2E, PlaylistsAndArchivesOnTheCommandLineGiveTheirEntriesAsWhenHandedOver) {
  WriteTextFile(dir / "list.m3u", "#EXTM3U\n#EXTINF:10,A - Song\nsong a.mp3\n/music/b.ogg\n");
  const std::string zip = dir / "album.zip";
  ASSERT_EQ(std::system(("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1],'w'); "
                         "z.writestr('one.mp3','x'); z.writestr('sub/two.mp3','y'); z.close()\" '" + zip + "'").c_str()),
            0);
  const std::vector<std::string> expected = {dir / "song a.mp3", "/music/b.ogg", zip + "/one.mp3", zip + "/sub/two.mp3"};

  // Started with them, the way a desktop opens files with the player.
  TPlayerProcess started = Player();
  ASSERT_TRUE(started.Start({dir / "list.m3u", zip}));
  EXPECT_EQ(started.Terminate(), 0);
  EXPECT_EQ(PlaylistPaths(), expected);

  // Handed over to a running player: the same entries.
  fs::remove(program + "/keldar3.ZPL");
  TPlayerProcess first = Player();
  ASSERT_TRUE(first.Start({}));
  TPlayerProcess second = Player();
  ASSERT_TRUE(second.Start({dir / "list.m3u", zip}, false));
  EXPECT_EQ(second.WaitForExit(10000), 0);
  EXPECT_EQ(first.Terminate(), 0);
  EXPECT_EQ(PlaylistPaths(), expected);

  // A list on its own replaces the playlist, started or handed over alike.
  TPlayerProcess alone = Player();
  ASSERT_TRUE(alone.Start({dir / "list.m3u"}));
  EXPECT_EQ(alone.Terminate(), 0);
  EXPECT_EQ(PlaylistPaths(), (std::vector<std::string>{dir / "song a.mp3", "/music/b.ogg"}));
}

TEST_F(PlayerE2E, SecondInstanceRetriesUntilTheFirstListens) {
  // Stand in for a first instance that holds the lock but has not opened its channel yet.
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  std::string lockPath = runtime + "/zorvaneaudioplayer{0782DC74-1C7A-4BBD-B81A-4C01D3AF749A}-" +
                         std::to_string(::getuid()) + ".lock";
  int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);

  TPlayerProcess second = Player();
  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(second.Start({"/music/late.mp3"}, false));
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));

  static int argc = 1;
  static char name[] = "keldar_e2e_tests";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  Tzorvaneplayerapi api;
  std::vector<std::string> received;
  api.SetParameterHandler([&](const std::string& p) { received.push_back(p); });
  ASSERT_TRUE(api.Listen(runtime + "/zorvaneplayerapi-" + std::to_string(::getuid()) + ".sock"));
  QElapsedTimer timer;
  timer.start();
  while (received.empty() && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(second.WaitForExit(5000), 0);
  auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(received, (std::vector<std::string>{"/music/late.mp3"}));
  EXPECT_GE(took, std::chrono::milliseconds(2500));
  ::close(lock);
}

TEST_F(PlayerE2E, UnwritableProgramFolderReportsAndExitsCleanly) {
  // The program folder's parent is a file: nothing can be created or written there.
  WriteTextFile(dir / "blocker", "x");
  program = dir / "blocker/program";
  TPlayerProcess player = Player();
  ASSERT_TRUE(player.Start({"/music/x.mp3"}));
  EXPECT_EQ(player.Terminate(), 0);
  auto messages = Messages();
  int writeErrors = 0;
  for (const TMessage& m : messages) writeErrors += m.Text.rfind("Write ", 0) == 0;
  EXPECT_EQ(writeErrors, 104);
  EXPECT_EQ(CountMessages("Saving Playlist Failed..."), 1);
}
