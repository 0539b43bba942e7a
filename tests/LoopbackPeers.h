// Real peers on 127.0.0.1 for the network tests: free ports, a one-connection server with a
// scripted behaviour, and an icecast2 station fed by ezstream. Every process started here is
// stopped by its own id.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

namespace loopback {

inline void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

inline sockaddr_in Address(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

// A port nothing listens on (bound once, then released).
inline int FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Address(0);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  close(s);
  return ntohs(a.sin_port);
}

inline bool PortAccepts(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in a = Address(port);
  const bool ok = connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
  close(s);
  return ok;
}

// Accepts one connection and hands it to `serve`; the socket is closed afterwards.
class TOneConnectionServer {
 public:
  explicit TOneConnectionServer(std::function<void(int)> serve) {
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a = Address(0);
    bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
    m_port = ntohs(a.sin_port);
    listen(m_fd, 4);
    m_thread = std::thread([this, serve = std::move(serve)] {
      const int c = accept(m_fd, nullptr, nullptr);
      if (c < 0) return;
      serve(c);
      close(c);
    });
  }
  ~TOneConnectionServer() {
    shutdown(m_fd, SHUT_RDWR);
    close(m_fd);
    if (m_thread.joinable()) m_thread.join();
  }
  TOneConnectionServer(const TOneConnectionServer&) = delete;
  TOneConnectionServer& operator=(const TOneConnectionServer&) = delete;

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

 private:
  int m_fd = -1;
  int m_port = 0;
  std::thread m_thread;
};

// A child process with its output discarded, stopped (TERM, then KILL) when this goes.
class TChildProcess {
 public:
  explicit TChildProcess(const std::vector<std::string>& args) {
    m_pid = fork();
    if (m_pid == 0) {
      std::vector<char*> argv;
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      const int devnull = ::open("/dev/null", O_WRONLY);
      dup2(devnull, 1);
      dup2(devnull, 2);
      execvp(argv[0], argv.data());
      _exit(127);
    }
  }
  ~TChildProcess() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
      if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) return;
      SleepMs(20);
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

 private:
  pid_t m_pid = -1;
};

struct TStationTrack {
  std::string Artist, Title;
};

// An icecast2 server on a free port with ezstream playing tagged 3-second MP3 tones
// (44.1 kHz stereo, 128 kbit/s) in a loop at /radio.mp3. The stream announces the genre
// "Testing", the address "http://example.invalid/" and is not public.
class TIcecastStation {
 public:
  TIcecastStation(std::string name, std::vector<TStationTrack> tracks)
      : m_name(std::move(name)), m_tracks(std::move(tracks)) {}

  static bool ToolsInstalled() {
    return Run("command -v icecast2") && Run("command -v ezstream") && Run("command -v sox") &&
           Run("command -v lame");
  }

  // Empty when the server accepts connections and ezstream was started, else what failed.
  // The mount appears a little later, once ezstream is connected: callers retry their open.
  std::string Start() {
    const std::string& d = m_folder.Path();
    // icecast2 started as root drops to nobody and must still reach its folder and logs.
    if (!Run("mkdir -p '" + d + "/log' '" + d + "/web' && chmod 777 '" + d + "/log' && chmod 755 '" + d + "'"))
      return "cannot prepare " + d;
    std::string list;
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
      const std::string base = d + "/s" + std::to_string(i);
      if (!Run("sox -n -r 44100 -c 2 -b 16 '" + base + ".wav' synth 3 sine " + std::to_string(300 + 200 * i) +
               " vol 0.5") ||
          !Run("lame --quiet -b 128 --ta '" + m_tracks[i].Artist + "' --tt '" + m_tracks[i].Title + "' '" + base +
               ".wav' '" + base + ".mp3'"))
        return "cannot make track " + std::to_string(i);
      list += base + ".mp3\n";
    }
    WriteTextFile(d + "/list.m3u", list);
    m_port = FreePort();
    WriteTextFile(d + "/icecast.xml", IcecastConfig(d));
    WriteTextFile(d + "/ezstream.xml", EzstreamConfig(d));
    if (!Run("chmod 600 '" + d + "/ezstream.xml'")) return "cannot protect ezstream.xml";  // or ezstream refuses it
    m_icecast = std::make_unique<TChildProcess>(std::vector<std::string>{"icecast2", "-c", d + "/icecast.xml"});
    for (int i = 0; i < 100 && !PortAccepts(m_port); ++i) SleepMs(50);
    if (!PortAccepts(m_port)) return "icecast2 did not start";
    m_ezstream = std::make_unique<TChildProcess>(std::vector<std::string>{"ezstream", "-c", d + "/ezstream.xml"});
    return {};
  }

  int Port() const { return m_port; }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/radio.mp3"; }

 private:
  static bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
  }

  std::string IcecastConfig(const std::string& d) const {
    const bool root = geteuid() == 0;
    return "<icecast><limits><sources>2</sources></limits>"
           "<authentication><source-password>hackme</source-password><admin-password>a</admin-password>"
           "</authentication><hostname>127.0.0.1</hostname>"
           "<listen-socket><port>" + std::to_string(m_port) + "</port><bind-address>127.0.0.1</bind-address></listen-socket>"
           "<paths><basedir>" + d + "</basedir><logdir>" + d + "/log</logdir><webroot>" + d + "/web</webroot>"
           "<adminroot>" + d + "/web</adminroot><pidfile>" + d + "/log/ice.pid</pidfile></paths>"
           "<logging><errorlog>error.log</errorlog><accesslog>access.log</accesslog><loglevel>2</loglevel></logging>"
           "<security><chroot>0</chroot>" +
           std::string(root ? "<changeowner><user>nobody</user><group>nogroup</group></changeowner>" : "") +
           "</security></icecast>";
  }

  std::string EzstreamConfig(const std::string& d) const {
    return "<ezstream><servers><server><protocol>HTTP</protocol><hostname>127.0.0.1</hostname><port>" +
           std::to_string(m_port) + "</port><password>hackme</password></server></servers>"
           "<streams><stream><mountpoint>/radio.mp3</mountpoint><format>MP3</format>"
           "<stream_name>" + m_name + "</stream_name><stream_genre>Testing</stream_genre>"
           "<stream_url>http://example.invalid/</stream_url><stream_bitrate>128</stream_bitrate>"
           "<stream_public>No</stream_public></stream></streams>"
           "<intakes><intake><type>playlist</type><filename>" + d +
           "/list.m3u</filename><stream_once>No</stream_once></intake></intakes>"
           "<metadata><format_str>@a@ - @t@</format_str></metadata></ezstream>";
  }

  std::string m_name;
  std::vector<TStationTrack> m_tracks;
  TTempFolder m_folder;
  int m_port = 0;
  // Members go in reverse order: ezstream stops, then the server, then the folder goes.
  std::unique_ptr<TChildProcess> m_icecast;
  std::unique_ptr<TChildProcess> m_ezstream;
};

}  // namespace loopback
