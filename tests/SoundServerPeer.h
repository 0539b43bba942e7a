// A real sound server for the tests: PulseAudio with one null sink ("out") in a private
// runtime folder, and what is played into the sink captured from its monitor with parec.
// This process and its children find it through PULSE_SERVER (native clients) and through
// ALSA's pulse plug-in (a home folder whose .asoundrc names the server). The server is
// stopped by the process id it wrote, never by name.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "LoopbackPeers.h"
#include "TestSupport.h"

class TSoundServer {
 public:
  static constexpr int kRate = 44100;

  // nativeClients false: only ALSA clients find the server, as on a desktop whose sound server
  // is reached through ALSA alone.
  explicit TSoundServer(bool nativeClients = true) {
    ::chmod(m_dir.Path().c_str(), 0700);
    const std::string server = "server \"unix:" + Socket() + "\"";
    WriteTextFile(m_dir / ".asoundrc", "pcm.!default { type pulse " + server + " }\nctl.!default { type pulse " +
                                           server + " }\n");
    Remember("PULSE_SERVER", nativeClients ? "unix:" + Socket() : "unix:" + (m_dir / "nothing-here"));
    Remember("HOME", m_dir.Path());
    Start();
  }
  ~TSoundServer() {
    Stop();
    for (const auto& [name, value, had] : m_saved) {
      if (had) ::setenv(name.c_str(), value.c_str(), 1);
      else ::unsetenv(name.c_str());
    }
  }
  TSoundServer(const TSoundServer&) = delete;
  TSoundServer& operator=(const TSoundServer&) = delete;

  // Starts the server (again); true once it answers.
  bool Start() {
    const std::string command = Env() + " pulseaudio --daemonize=yes --exit-idle-time=-1 -n"
                                " --load='module-null-sink sink_name=out rate=44100'"
                                " --load='module-native-protocol-unix socket=" + Socket() + " auth-anonymous=1'"
                                " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return m_up = false;
    for (int i = 0; i < 100; ++i) {
      if (Pactl("info").find("Server Name") != std::string::npos) return m_up = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return m_up = false;
  }
  // Kills the server as a crash would (SIGKILL) or stops it (SIGTERM).
  void Stop(int sig = SIGTERM) {
    const std::string pidText = ReadTextFile(m_dir / "pulse/pid");
    const pid_t pid = pidText.empty() ? -1 : pid_t(std::atol(pidText.c_str()));
    if (pid > 0) {
      ::kill(pid, sig);
      for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::remove((m_dir / "pulse/pid").c_str());
    std::remove(Socket().c_str());
    m_up = false;
  }
  bool Up() const { return m_up; }

  std::string Pactl(const std::string& arguments) const { return Output(Env() + " pactl " + arguments); }
  // True when a playback stream exists and every one of them is corked.
  bool AllStreamsCorked() const {
    const std::string list = Pactl("list sink-inputs");
    if (list.find("Sink Input #") == std::string::npos) return false;
    return list.find("Corked: no") == std::string::npos;
  }
  // How far ahead of its clock the sink has mixed, in microseconds (-1 when unknown). A null
  // sink without streams mixes up to 2 s ahead; a recording of its monitor gets its first
  // samples only once that much time has passed.
  long SinkLatencyUsec() const {
    const std::string list = Pactl("list sinks");
    const size_t at = list.find("Latency: ");
    return at == std::string::npos ? -1 : std::atol(list.c_str() + at + 9);
  }
  int StreamCount() const {
    const std::string list = Pactl("list short sink-inputs");
    int n = 0;
    for (char c : list) n += c == '\n';
    return n;
  }

  // Records exactly seconds of the sink's monitor in the background (16-bit stereo at 44.1 kHz).
  // A stream of silence keeps the sink running meanwhile, so the recording has no holes and
  // each sample's moment is known: the last one was recorded when the capture ended.
  class TCapture {
   public:
    using Clock = std::chrono::steady_clock;
    TCapture(const TSoundServer& server, double seconds)
        : m_file(server.m_dir / "capture.raw"),
          m_silence({"sh", "-c", server.Env() + " exec pacat --playback --raw --format=s16le --rate=44100 --channels=2 /dev/zero"}) {
      std::remove(m_file.c_str());
      const long bytes = long(seconds * kRate) * 4;
      const std::string command = server.Env() + " timeout " + std::to_string(int(seconds) + 10) +
                                  " sh -c \"parec --latency-msec=20 -d out.monitor --rate=44100 --channels=2"
                                  " --format=s16le --raw | head -c " + std::to_string(bytes) + " > '" + m_file + "'\"";
      m_thread = std::thread([this, command] {
        std::system(command.c_str());
        m_end = Clock::now();
      });
      // parec needs a moment before it records.
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    ~TCapture() {
      if (m_thread.joinable()) m_thread.join();
    }
    // When sample i (of Left()) was played into the sink.
    Clock::time_point TimeOf(size_t i) const {
      const double before = double(m_samples - i) / kRate;
      return m_end - std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(before));
    }
    // Waits until the capture is complete; the left channel as -1..1.
    std::vector<float> Left() { return Channel(0); }
    // Waits until the capture is complete; channel 0 (left) or 1 (right) as -1..1.
    std::vector<float> Channel(int channel) {
      if (m_thread.joinable()) m_thread.join();
      const std::string raw = ReadTextFile(m_file);
      std::vector<float> samples(raw.size() / 4);
      for (size_t i = 0; i < samples.size(); ++i) {
        int16_t v;
        std::memcpy(&v, raw.data() + i * 4 + 2 * channel, 2);
        samples[i] = float(v) / 32768.0f;
      }
      m_samples = samples.size();
      return samples;
    }

   private:
    std::string m_file;
    loopback::TChildProcess m_silence;
    std::thread m_thread;
    Clock::time_point m_end;
    size_t m_samples = 0;
  };

 private:
  std::string Socket() const { return m_dir / "native"; }
  std::string Env() const {
    return "XDG_RUNTIME_DIR='" + m_dir.Path() + "' HOME='" + m_dir.Path() + "' PULSE_SERVER='unix:" + Socket() + "'";
  }
  void Remember(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    m_saved.push_back({name, old ? old : "", old != nullptr});
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  static std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r")) {
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
      ::pclose(p);
    }
    return out;
  }

  TTempFolder m_dir;
  bool m_up = false;
  struct TSavedVariable {
    std::string Name, Value;
    bool Had;
  };
  std::vector<TSavedVariable> m_saved;
};

// Measures of a captured tone.
namespace soundcheck {

// Start and end (in samples) of the audible part: the first and last sample above the threshold.
inline std::pair<size_t, size_t> AudibleRange(const std::vector<float>& s, float threshold = 0.02f) {
  size_t first = s.size(), last = 0;
  for (size_t i = 0; i < s.size(); ++i)
    if (std::fabs(s[i]) > threshold) {
      if (first == s.size()) first = i;
      last = i;
    }
  return {first, last};
}

// The longest run of near-silence between from and to, in samples. A sine at 1 kHz crosses
// zero every 22 samples, so a run longer than a few milliseconds is a gap.
inline size_t LongestSilence(const std::vector<float>& s, size_t from, size_t to, float threshold = 0.02f) {
  size_t longest = 0, run = 0;
  for (size_t i = from; i < to && i < s.size(); ++i) {
    run = std::fabs(s[i]) > threshold ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  return longest;
}

// Samples that are not near-silent (a tone's zero crossings excepted, counted in 5 ms blocks).
inline double AudibleSeconds(const std::vector<float>& s, float threshold = 0.02f) {
  const size_t block = TSoundServer::kRate / 200;
  size_t blocks = 0;
  for (size_t b = 0; b + block <= s.size(); b += block) {
    float peak = 0;
    for (size_t i = b; i < b + block; ++i) peak = std::max(peak, std::fabs(s[i]));
    blocks += peak > threshold;
  }
  return double(blocks * block) / TSoundServer::kRate;
}

// Frequency from the zero crossings between from and to.
inline double Frequency(const std::vector<float>& s, size_t from, size_t to) {
  size_t crossings = 0;
  for (size_t i = from + 1; i < to && i < s.size(); ++i) crossings += (s[i - 1] < 0) != (s[i] < 0);
  return double(crossings) / 2.0 / (double(to - from) / TSoundServer::kRate);
}

// A tone's frequency from the median time between its rising zero crossings: a drop-out of a
// few milliseconds on a loaded machine changes a count of crossings, not the median.
inline double ToneFrequency(const std::vector<float>& s, size_t from, size_t to) {
  std::vector<double> periods;
  double previous = -1;
  for (size_t i = from + 1; i < to && i < s.size(); ++i) {
    if (!(s[i - 1] < 0 && s[i] >= 0)) continue;
    const double at = double(i - 1) + double(s[i - 1]) / double(s[i - 1] - s[i]);
    if (previous >= 0) periods.push_back(at - previous);
    previous = at;
  }
  if (periods.empty()) return 0;
  std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
  return TSoundServer::kRate / periods[periods.size() / 2];
}

inline float Peak(const std::vector<float>& s, size_t from, size_t to) {
  float peak = 0;
  for (size_t i = from; i < to && i < s.size(); ++i) peak = std::max(peak, std::fabs(s[i]));
  return peak;
}

// The level a tone holds: the median of its 10 ms peaks. A single click (a late block on a loaded
// machine, rung through the server's resampler) moves the whole peak, not this.
inline float HeldLevel(const std::vector<float>& s, size_t from, size_t to) {
  const size_t window = TSoundServer::kRate / 100;
  std::vector<float> peaks;
  for (size_t at = from; at + window <= to && at + window <= s.size(); at += window) peaks.push_back(Peak(s, at, at + window));
  if (peaks.empty()) return 0;
  std::nth_element(peaks.begin(), peaks.begin() + peaks.size() / 2, peaks.end());
  return peaks[peaks.size() / 2];
}

}  // namespace soundcheck
