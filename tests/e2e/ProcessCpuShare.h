// A process's CPU time as /proc tells it, and its share of one core over a wait: what the
// benches that watch the real player measure.
#pragma once

#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// utime + stime of the process, in seconds; -1 when it cannot be read. The process's CPU
// clock counts nanoseconds (all threads, ended ones too); /proc's figure, in clock ticks of
// 10 ms, is the fallback: a tick is already 0.125 % of one core over 8 s.
inline double ProcessCpuSeconds(pid_t pid) {
  clockid_t clock{};
  timespec now{};
  if (clock_getcpuclockid(pid, &clock) == 0 && clock_gettime(clock, &now) == 0)
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) {
      stime = std::stoull(field);
      break;
    }
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The process's CPU share of one core, in percent, over the next `seconds`.
inline double SharePercent(pid_t pid, double seconds) {
  const double cpu0 = ProcessCpuSeconds(pid);
  const auto t0 = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return (ProcessCpuSeconds(pid) - cpu0) / wall * 100.0;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}
