// Internet streams through the engine: the connection thread, the wait on the UI side, the
// failure report, and the metadata of a real icecast2 station fed by ezstream on loopback.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <cstring>
#include <set>

#include "EngineTestSupport.h"
#include "engine/KELDAR_EngineHooks.h"

using namespace enginetest;

namespace {

int FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  close(s);
  return ntohs(a.sin_port);
}

bool PortAccepts(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(s);
  return ok;
}

pid_t Spawn(const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int devnull = ::open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    dup2(devnull, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// Stops a process this test started, by its id.
void StopPid(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    Wait(20);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// A loopback listener that answers one request after a delay with 404.
class SlowRefusingServer {
 public:
  explicit SlowRefusingServer(int delayMs) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    listen(fd_, 4);
    thread_ = std::thread([this, delayMs] {
      const int c = accept(fd_, nullptr, nullptr);
      if (c < 0) return;
      char buf[2048];
      recv(c, buf, sizeof buf, 0);
      Wait(delayMs);
      const char* r = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
      send(c, r, std::strlen(r), MSG_NOSIGNAL);
      close(c);
    });
  }
  ~SlowRefusingServer() {
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
    if (thread_.joinable()) thread_.join();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/radio.mp3"; }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::thread thread_;
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
  if (!Shell("command -v icecast2") || !Shell("command -v ezstream")) GTEST_SKIP() << "icecast2 or ezstream missing";
  const int port = FreePort();
  const std::string d = (Dir() / "radio").string();
  ASSERT_TRUE(Shell("mkdir -p '" + d + "/log' '" + d + "/web' && chmod 777 '" + d + "/log' && chmod 755 '" + d +
                    "' '" + Dir().string() + "'"));
  const char* artists[] = {"Artist", "Other"};
  const char* titles[] = {"Song", "Tune"};
  for (int i = 0; i < 2; ++i) {
    const std::string wav = Tone("radio/s" + std::to_string(i) + ".wav", 3, 44100, 2, 300 + 200 * i);
    ASSERT_TRUE(Shell("lame --quiet -b 128 --ta '" + std::string(artists[i]) + "' --tt '" + titles[i] + "' '" + wav +
                      "' '" + d + "/s" + std::to_string(i) + ".mp3'"));
  }
  std::ofstream(d + "/list.m3u") << d + "/s0.mp3\n" + d + "/s1.mp3\n";
  const bool root = geteuid() == 0;
  std::ofstream(d + "/icecast.xml")
      << "<icecast><limits><sources>2</sources></limits>"
         "<authentication><source-password>hackme</source-password><admin-password>a</admin-password>"
         "</authentication><hostname>127.0.0.1</hostname>"
         "<listen-socket><port>" + std::to_string(port) + "</port><bind-address>127.0.0.1</bind-address></listen-socket>"
         "<paths><basedir>" + d + "</basedir><logdir>" + d + "/log</logdir><webroot>" + d + "/web</webroot>"
         "<adminroot>" + d + "/web</adminroot><pidfile>" + d + "/log/ice.pid</pidfile></paths>"
         "<logging><errorlog>error.log</errorlog><accesslog>access.log</accesslog><loglevel>2</loglevel></logging>"
         "<security><chroot>0</chroot>" +
             std::string(root ? "<changeowner><user>nobody</user><group>nogroup</group></changeowner>" : "") +
             "</security></icecast>";
  std::ofstream(d + "/ezstream.xml")
      << "<ezstream><servers><server><protocol>HTTP</protocol><hostname>127.0.0.1</hostname><port>" +
             std::to_string(port) + "</port><password>hackme</password></server></servers>"
             "<streams><stream><mountpoint>/radio.mp3</mountpoint><format>MP3</format>"
             "<stream_name>Keldar Test Radio</stream_name><stream_genre>Testing</stream_genre>"
             "<stream_url>http://example.invalid/</stream_url><stream_bitrate>128</stream_bitrate>"
             "<stream_public>No</stream_public></stream></streams>"
             "<intakes><intake><type>playlist</type><filename>" + d +
             "/list.m3u</filename><stream_once>No</stream_once></intake></intakes>"
             "<metadata><format_str>@a@ - @t@</format_str></metadata></ezstream>";
  ASSERT_TRUE(Shell("chmod 600 '" + d + "/ezstream.xml'"));
  pid_t ice = Spawn({"icecast2", "-c", d + "/icecast.xml"});
  pid_t ez = -1;
  struct Guard {
    pid_t& a;
    pid_t& b;
    ~Guard() {
      StopPid(b);
      StopPid(a);
    }
  } guard{ice, ez};
  for (int i = 0; i < 100 && !PortAccepts(port); ++i) Wait(50);
  ASSERT_TRUE(PortAccepts(port)) << "icecast2 did not start";
  ez = Spawn({"ezstream", "-c", d + "/ezstream.xml"});

  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/radio.mp3";
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
