// The freedb client against a local freedb server: request bodies, exact and inexact
// matches, an unknown disc typed in and submitted byte for byte, broken and hostile servers.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <chrono>

#include "CDTestSupport.h"
#include "cd/CDEntryEditFrm.h"
#include "cd/CDTrackNaming.h"
#include "cd/FreeDBInterface.h"
#include "cd/FreedbServerList.h"
#include "settings/SettingsFunctionsToINIFiles.h"

namespace cdtest {
namespace {

const char* const kReadReply =
    "210 rock 0a000c03 CD database entry follows (until terminating `.')\r\n"
    "# xmcd\r\n#\r\n# Track frame offsets:\r\n# 150\r\n# 450\r\n# 840\r\n#\r\n# Disc length: 14 seconds\r\n#\r\n"
    "# Revision: 4\r\n# Submitted via: Other 2.0\r\n#\r\nDISCID=0a000c03\r\nDTITLE=Server Artist / Server Album\r\n"
    "DYEAR=1990\r\nDGENRE=Tones\r\nTTITLE0=Alpha\r\nTTITLE1=Beta\r\nTTITLE2=Gamma\r\nEXTD=\r\nEXTT0=\r\nEXTT1=\r\n"
    "EXTT2=\r\nPLAYORDER=\r\n.\r\n";

class FreedbClientTest : public CDFixture {
 protected:
  void SetUp() override {
    CDFixture::SetUp();
    static int argc = 1;
    static char name[] = "keldar_cd_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    InstallCDPlaylistHooks();
    Options_freedbUserEmail.StringValue = "me@example.org";
    Options_UsefreedbSupportState.BooleanValue = true;
  }
  void TearDown() override {
    PlaylistHooks() = {};
    CDFixture::TearDown();
  }
  // The client prepared as the naming flow prepares it, pointed at the peer.
  TCDDBConnect& Client(const TFreedbPeer& peer) {
    TCDDBConnect& c = TheCDDBConnect();
    PrepareCDDBConnect(c);
    freedbServerStructure server;
    ASSERT_TRUE_OR(SetServerVariablesFromString(server, peer.Address() + " http 80 /~cddb/cddb.cgi N000.00 W000.00 Test"));
    FreedbServers().TotalServers = 1;
    FreedbServers().CurrentServer[0] = server;
    Options_freedbLastUsedServer.IntegerValue = 0;
    SetCDDBComponentServerVariables(c, server);
    return c;
  }
  static void ASSERT_TRUE_OR(bool ok) { EXPECT_TRUE(ok); }
  // Disc identity of an image into the program's entry.
  TCDDBEntry& Disc(const std::string& cue) {
    TCDDBEntry& e = TheCDDBEntry();
    e.CDID = KELDAR_AUDIOVIDEO_API_Slots().GetCDDiscID(cue + "/Track00.CDA");
    e.CDID_CDDB = KELDAR_AUDIOVIDEO_API_State().CDDiscIDText;
    return e;
  }
  static std::string Body(const std::string& logged) { return logged.substr(logged.find("\n\n") + 2); }
};

TEST_F(FreedbClientTest, AKnownDiscIsReadNamedAndStoredUnderItsCategory) {
  const std::string cue = Image("known");
  Scenario("query/0a000c03", "200 rock 0a000c03 Server Artist / Server Album\r\n");
  Scenario("read/rock+0a000c03", kReadReply);
  TFreedbPeer peer(ScenarioFolder());
  ASSERT_GT(peer.Port(), 0);
  TCDDBConnect& c = Client(peer);
  TFreeDBInterfaceForm form(c, Disc(cue));
  EXPECT_EQ(form.StatusLabel().text(), "Ready");
  form.SearchfreedbButtonClick();
  EXPECT_TRUE(form.ResultFlag());
  EXPECT_EQ(form.StatusLabel().text().toStdString(), "Searching " + peer.Address());
  const auto requests = ServerLog();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(Body(requests[0]),
            "cmd=cddb+query+0a000c03+3+150+450+840+14&hello=me+example.org+Zorvane_Audio_Player+3.0&proto=5");
  EXPECT_NE(requests[0].find("Content-Type: application/x-www-form-urlencoded"), std::string::npos);
  EXPECT_EQ(Body(requests[1]), "cmd=cddb+read+rock+0a000c03&hello=me+example.org+Zorvane_Audio_Player+3.0&proto=5");
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages().back().Text, "OK, received CD information from freedb servers.");
  const std::string stored = m_folder / "localcddatabase/rock/0a000c03";
  ASSERT_TRUE(fs::exists(stored));
  const std::string text = ReadTextFile(stored);
  EXPECT_EQ(text.rfind("# xmcd\r\n", 0), 0u);
  EXPECT_NE(text.find("TTITLE1=Beta\r\n"), std::string::npos);
  EXPECT_EQ(text.find("210 rock"), std::string::npos);
  // The naming flow now finds the disc locally without asking the server.
  TPlaylistCDDiscNames names;
  ASSERT_TRUE(NameCDTracksOfDrive(cue + "/", true, names));
  EXPECT_EQ(names.Artist, "Server Artist");
  EXPECT_EQ(names.TrackTitles, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
  EXPECT_EQ(ServerLog().size(), 2u);
}

TEST_F(FreedbClientTest, AnUnknownDiscIsTypedInAndSubmittedByteForByte) {
  const std::string cue = Image("unknown");
  const std::string body =
      "# xmcd\r\n#\r\n# Track frame offsets:\r\n# 150\r\n# 450\r\n# 840\r\n#\r\n# Disc length: 14 seconds\r\n#\r\n"
      "# Revision: 0\r\n# Submitted via: Zorvane Audio Player 3.0\r\n#\r\nDISCID=0a000c03\r\n"
      "DTITLE=Typed Artist / Typed Album\r\nDYEAR=\r\nDGENRE=\r\n\r\nTTITLE0=One\r\nTTITLE1=Two / Half\r\n"
      "TTITLE2=Three\r\nEXTD=\r\nEXTT0=\r\nEXTT1=\r\nEXTT2=\r\nPLAYORDER=\r\n\r\n";
  Scenario("submit/expected",
           "Category: jazz\r\nDiscid: 0a000c03\r\nUser-Email: me@example.org\r\nSubmit-Mode: submit\r\n"
           "Charset: ISO-8859-1\r\nX-Cddbd-Note: Sent by Zorvane Audio Player 3.0\r\n\r\n" + body);
  TFreedbPeer peer(ScenarioFolder());
  TCDDBConnect& c = Client(peer);
  bool opened = false;
  CDDialogHooks().EditEntry = [&](TCDDBEntry& entry) {
    opened = true;
    TCDEntryEditForm editor(entry);
    EXPECT_EQ(editor.CDTitleEdit().text(), "Unknown Title");
    EXPECT_EQ(editor.ArtistTitleEdit().text(), "Unknown Artist");
    EXPECT_EQ(editor.TracksGrid().rowCount(), 3);
    EXPECT_EQ(editor.TracksGrid().item(0, 1)->text(), "Track 1");
    EXPECT_EQ(editor.TracksGrid().item(2, 1)->text(), "Track 3");
    editor.CDTitleEdit().setText("Typed Album");
    editor.ArtistTitleEdit().setText("Typed Artist");
    editor.TracksGrid().item(0, 1)->setText("One");
    editor.TracksGrid().item(1, 1)->setText("Two / Half");
    editor.TracksGrid().item(2, 1)->setText("Three");
    editor.ComboBox1().setCurrentText("jazz");
    editor.SubmitButtonClick();
    return editor.result() == QDialog::Accepted;
  };
  EXPECT_TRUE(c.GetInfoForCurrentCD(Disc(cue)));
  EXPECT_TRUE(opened);
  EXPECT_EQ(c.LastError, 200);  // the server accepted the exact bytes it expected
  const auto requests = ServerLog();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].substr(0, requests[1].find('\n')), "/~cddb/submit.cgi");
  EXPECT_EQ(Body(requests[1]), body);
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages().back().Text, "OK, submission has been sent to freedb servers.");
  EXPECT_EQ(ReadTextFile(m_folder / "localcddatabase/jazz/0a000c03"), body);
  EXPECT_EQ(TheCDDBEntry().Revision, "0");
}

TEST_F(FreedbClientTest, ARefusedSubmissionStoresNothingButTheSearchKeepsTheTypedEntry) {
  const std::string cue = Image("refused");
  TFreedbPeer peer(ScenarioFolder());  // no expected submission: the server refuses it
  TCDDBConnect& c = Client(peer);
  CDDialogHooks().EditEntry = [&](TCDDBEntry& entry) {
    entry.ArtistTitle = "Mine";
    entry.CDTitle = "Own";
    entry.Tracks = {"a", "b", "c"};
    entry.Category = "folk";
    return true;
  };
  TFreeDBInterfaceForm form(c, Disc(cue));
  form.SearchfreedbButtonClick();
  EXPECT_TRUE(form.ResultFlag());
  EXPECT_EQ(c.LastError, 501);
  const std::string stored = ReadTextFile(m_folder / "localcddatabase/folk/0a000c03");
  EXPECT_NE(stored.find("DTITLE=Mine / Own\r\n"), std::string::npos);
  EXPECT_NE(stored.find("TTITLE2=c\r\n"), std::string::npos);
  for (const auto& m : Messages()) EXPECT_NE(m.Text, "OK, submission has been sent to freedb servers.");
}

TEST_F(FreedbClientTest, ThreeMatchesShowThreeLinesAndTheSecondIsRead) {
  const std::string cue = Image("multi");
  Scenario("query/0a000c03",
           "211 Found inexact matches, list follows (until terminating `.')\r\n"
           "rock 0a000c03 First Artist / First Album\r\n"
           "jazz 0b000c03 Second Artist / Second Album\r\n"
           "misc 0c000c03 Third Artist / Third Album\r\n.\r\n");
  Scenario("read/jazz+0b000c03", std::string(kReadReply));
  TFreedbPeer peer(ScenarioFolder());
  TCDDBConnect& c = Client(peer);
  std::vector<std::string> shown;
  CDDialogHooks().ChooseMatch = [&](const std::vector<std::string>& lines) -> std::optional<int> {
    shown = lines;
    return 1;
  };
  EXPECT_TRUE(c.GetInfoForCurrentCD(Disc(cue)));
  EXPECT_EQ(shown, (std::vector<std::string>{"rock 0a000c03 First Artist / First Album",
                                              "jazz 0b000c03 Second Artist / Second Album",
                                              "misc 0c000c03 Third Artist / Third Album"}));
  const auto requests = ServerLog();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(Body(requests[1]).substr(0, 27), "cmd=cddb+read+jazz+0b000c03");
  EXPECT_EQ(TheCDDBEntry().CDID, "0a000c03");  // the entry keeps its own disc ID
  EXPECT_EQ(TheCDDBEntry().Tracks[0], "Alpha");
  // Cancel ends the lookup without a read.
  CDDialogHooks().ChooseMatch = [](const std::vector<std::string>&) -> std::optional<int> { return std::nullopt; };
  EXPECT_FALSE(c.GetInfoForCurrentCD(Disc(cue)));
  EXPECT_EQ(ServerLog().size(), 3u);
}

TEST_F(FreedbClientTest, RepliesThatAreNotStatusLinesFailWithTheirText) {
  const std::string cue = Image("garbage");
  Scenario("query/0a000c03", "Hello, I am not freedb\r\nsecond line\r\n");
  TFreedbPeer peer(ScenarioFolder());
  TCDDBConnect& c = Client(peer);
  EXPECT_FALSE(c.GetInfoForCurrentCD(Disc(cue)));
  EXPECT_EQ(c.LastError, 0);
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages().back().Text, "Unexpected response - Hello, I am not freedb\r\nsecond line\r\n");
  // A read that is not 210 fails silently.
  Scenario("query/0a000c03", "200 rock 0a000c03 A / B\r\n");
  const size_t before = Messages().size();
  EXPECT_FALSE(c.GetInfoForCurrentCD(Disc(cue)));
  EXPECT_EQ(c.LastError, 401);
  EXPECT_EQ(Messages().size(), before);
  EXPECT_EQ(FreedbReplyStatus("2x0 no"), 0);
  EXPECT_EQ(FreedbReplyStatus("20"), 0);
  EXPECT_EQ(FreedbReplyStatus("202"), 202);
}

TEST_F(FreedbClientTest, SlowHugeAndCutRepliesGiveUpWithoutStoringAnything) {
  const std::string cue = Image("hostile");
  Scenario("query/0a000c03", "200 rock 0a000c03 A / B\r\n");
  Scenario("read/rock+0a000c03", kReadReply);
  TFreedbPeer peer(ScenarioFolder());
  TCDDBConnect& c = Client(peer);
  c.RequestTimeoutSeconds = 2;
  int pumped = 0;
  CDDialogHooks().ProcessEvents = [&] { ++pumped; };
  for (const char* mode : {"slow", "huge", "cut"}) {
    Scenario("mode", mode);
    pumped = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(c.GetInfoForCurrentCD(Disc(cue))) << mode;
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(c.LastError, 0) << mode;
    EXPECT_LT(seconds, 15) << mode;
    if (std::string(mode) == "slow") {
      EXPECT_GT(pumped, 10) << "the UI kept running while the server was silent";
    }
    EXPECT_FALSE(fs::exists(m_folder / "localcddatabase/rock/0a000c03")) << mode;
    EXPECT_EQ(Messages().back().Text.rfind("Unexpected response - ", 0), 0u) << mode;
  }
}

TEST_F(FreedbClientTest, EditingAStoredEntrySubmitsTheNextRevisionAndKeepsTheFileWhenRefused) {
  const std::string cue = Image("edited");
  const std::string stored = m_folder / "localcddatabase/rock/0a000c03";
  fs::create_directories(fs::path(stored).parent_path());
  std::string record = kReadReply;
  record = record.substr(record.find('\n') + 1);
  record = record.substr(0, record.size() - 3);  // without the status line and the end line
  WriteTextFile(stored, record);
  TFreedbPeer peer(ScenarioFolder());  // refuses every submission
  Client(peer);
  CDDialogHooks().EditEntry = [](TCDDBEntry& entry) {
    EXPECT_EQ(entry.Category, "rock");
    entry.Tracks[0] = "Renamed";
    return true;
  };
  EXPECT_FALSE(EditCDTrackInformation(cue + "/Track01.CDA", true));
  const auto requests = ServerLog();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_NE(requests[0].find("Discid: 0a000c03"), std::string::npos);
  EXPECT_NE(Body(requests[0]).find("# Revision: 5\r\n"), std::string::npos);
  EXPECT_NE(Body(requests[0]).find("TTITLE0=Renamed\r\n"), std::string::npos);
  EXPECT_NE(Body(requests[0]).find("# Disc length: 14 seconds\r\n"), std::string::npos);
  EXPECT_EQ(ReadTextFile(stored), record);
  // A drive without a disc says so.
  EXPECT_FALSE(EditCDTrackInformation(m_folder / "nothing.cue/Track01.CDA", true));
  EXPECT_EQ(Messages().back().Text, "NO CD in Drive");
}

}  // namespace
}  // namespace cdtest
