// Internet streams through the engine: the connection thread, the wait on the UI side, the
// failure report, and the metadata of a real icecast2 station fed by ezstream on loopback.
#include <cstring>
#include <set>

#include "EngineTestSupport.h"
#include "LoopbackPeers.h"
#include "engine/KELDAR_EngineHooks.h"

using namespace enginetest;
using loopback::FreePort;

namespace {

// A loopback listener that answers one request after a delay with 404.
class SlowRefusingServer {
 public:
  explicit SlowRefusingServer(int delayMs)
      : m_server([delayMs](int c) {
          char buf[2048];
          recv(c, buf, sizeof buf, 0);
          Wait(delayMs);
          const char* r = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
          send(c, r, std::strlen(r), MSG_NOSIGNAL);
        }) {}
  std::string Url() const { return m_server.Url("/radio.mp3"); }

 private:
  loopback::TOneConnectionServer m_server;
};

class InternetStreamTest : public PlaybackEngineTest {
 protected:
  void TearDown() override {
    EngineUIHooks() = {};
    PlaybackEngineTest::TearDown();
  }
};

TEST_F(InternetStreamTest, RefusedConnectionIsReportedAndResetsTheConnection) {
  const std::string url = "http://127.0.0.1:" + std::to_string(FreePort()) + "/live.mp3";
  Engine().ShowErrors = true;
  EXPECT_TRUE(Open(url));
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  EXPECT_EQ(Engine().ConnectionState.load(), 0);
  EXPECT_EQ(Engine().StatusText, "");
  EXPECT_EQ(Engine().Station.ServerName, "");
  EXPECT_FALSE(Engine().Station.ServerDataUpdated);
  const auto log = Messages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Text,
            "Can't create Internet stream\r\n(Error Message: no internet connection could be opened)\r\n"
            "(Error code: 32)");
  EXPECT_EQ(log[0].Title, "Error");

  Engine().ShowErrors = false;
  EXPECT_FALSE(Open(url));
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(InternetStreamTest, TheUIKeepsRunningWhileConnectingAndASecondOpenOnlyBeeps) {
  SlowRefusingServer server(600);
  static int beeps = 0, rounds = 0;
  static std::set<std::string> statusTexts;
  beeps = rounds = 0;
  statusTexts.clear();
  EngineUIHooks().Beep = [] { ++beeps; };
  EngineUIHooks().ProcessEvents = [] {
    ++rounds;
    statusTexts.insert(KELDAR_AUDIOVIDEO_API_State().StatusText);
    // A user command arriving during the wait: another internet open.
    if (rounds == 5) {
      EXPECT_TRUE(KELDAR_AUDIOVIDEO_API_Slots().CreateStream());
    }
  };
  Engine().ShowErrors = false;
  EXPECT_FALSE(Open(server.Url()));
  EXPECT_GT(rounds, 20);  // the UI thread ran its events all along
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(statusTexts.count("Connecting to " + server.Url()), 1u);
  EXPECT_EQ(Engine().ConnectionState.load(), 0);
  EXPECT_EQ(Engine().StatusText, "");
}

TEST_F(InternetStreamTest, IcecastStationNameAndSuccessiveTitlesArrive) {
  if (!loopback::TIcecastStation::ToolsInstalled()) GTEST_SKIP() << "icecast2, ezstream, sox or lame missing";
  loopback::TIcecastStation radio("Keldar Test Radio", {{"Artist", "Song"}, {"Other", "Tune"}});
  const std::string failure = radio.Start();
  ASSERT_EQ(failure, "");

  const std::string url = radio.Url();
  Engine().ShowErrors = false;
  bool opened = false;
  for (int attempt = 0; attempt < 40 && !opened; ++attempt) {
    opened = Open(url);  // the mount appears once ezstream is connected
    if (!opened) Wait(250);
  }
  ASSERT_TRUE(opened);
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtShoutcastStream);
  EXPECT_EQ(Engine().ConnectionState.load(), 2);
  EXPECT_NE(Engine().InternetStreamHandle, 0u);
  EXPECT_EQ(Engine().TotalSeconds, 1);
  EXPECT_EQ(Engine().StatusText, url);
  const auto& station = Engine().Station;
  EXPECT_EQ(station.ServerURLStream, url);
  EXPECT_EQ(station.ServerName, "Keldar Test Radio");
  EXPECT_TRUE(station.ServerDataUpdated);
  EXPECT_EQ(station.ServerGenre, "Testing");
  EXPECT_EQ(station.ServerURL, "http://example.invalid/");
  EXPECT_EQ(station.ServerPublicOrPrivate, "Private Server");
  EXPECT_EQ(station.ServerMetaint, "16000");
  EXPECT_EQ(station.ServerBitrate, "0");  // the HTTP block comes after the ICY one
  EXPECT_EQ(Engine().Bitrate, 128);       // from the ICY block
  EXPECT_NE(station.ServerType.find("Icecast"), std::string::npos);
  EXPECT_EQ(Engine().ChannelInfo.SamplingRate, 44100u);
  EXPECT_EQ(Engine().ChannelInfo.Channels, 2);

  Ops().Play();
  // Titles reach the UI on the timer: collect the sequence of distinct titles.
  std::vector<std::string> seen;
  for (int tick = 0; tick < 200 && seen.size() < 3; ++tick) {
    Ops().UpdatePosition();
    const std::string& title = Engine().META.StreamTitle;
    if (!title.empty() && (seen.empty() || seen.back() != title)) seen.push_back(title);
    Wait(100);
  }
  ASSERT_GE(seen.size(), 2u) << (seen.empty() ? "no title" : seen[0]);
  for (const auto& title : seen) EXPECT_TRUE(title == "Artist - Song" || title == "Other - Tune") << title;
  EXPECT_NE(seen[0], seen[1]);
  // Seeking an internet stream does nothing.
  Engine().SeekPercent = 50;
  Ops().SeekToPercent();
  Ops().CheckEndOfStream();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);
  Ops().Stop();
  Ops().FreeStreams();
  EXPECT_EQ(Engine().ConnectionState.load(), 0);
}

}  // namespace
