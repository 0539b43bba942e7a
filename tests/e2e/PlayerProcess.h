// Starts the real keldar3 in a temporary program folder, off screen, on a private runtime
// folder and with a message log, and stops it the way a desktop would (SIGTERM).
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

class TPlayerProcess {
 public:
  TPlayerProcess(const std::string& programDir, const std::string& runtimeDir, const std::string& messageLog)
      : m_programDir(programDir), m_runtimeDir(runtimeDir), m_messageLog(messageLog) {}
  ~TPlayerProcess() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) ::close(m_out);
  }

  static std::string Executable() { return std::string(KELDAR_PROGRAM_DIR) + "/keldar3"; }

  // Starts the player; with waitReady, returns once its event loop runs (false on time-out).
  bool Start(const std::vector<std::string>& arguments, bool waitReady = true, int timeoutMs = 15000) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(pipeFds[1], 1);
      ::close(pipeFds[0]);
      ::close(pipeFds[1]);
      ::setenv("KELDAR_PROGRAM_DIR", m_programDir.c_str(), 1);
      ::setenv("XDG_RUNTIME_DIR", m_runtimeDir.c_str(), 1);
      ::setenv("KELDAR_MESSAGE_LOG", m_messageLog.c_str(), 1);
      ::setenv("QT_QPA_PLATFORM", Platform.c_str(), 1);
      ::setenv("KELDAR_REPORT_READY", "1", 1);
      std::vector<std::string> args{Executable()};
      args.insert(args.end(), arguments.begin(), arguments.end());
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      _exit(127);
    }
    ::close(pipeFds[1]);
    m_out = pipeFds[0];
    return !waitReady || WaitForOutput("event loop running", timeoutMs);
  }

  bool WaitForOutput(const std::string& text, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_output.find(text) == std::string::npos) {
      int left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
      if (left <= 0) return false;
      pollfd p{m_out, POLLIN, 0};
      if (::poll(&p, 1, left) <= 0) continue;
      char buffer[4096];
      ssize_t n = ::read(m_out, buffer, sizeof(buffer));
      if (n <= 0) return false;
      m_output.append(buffer, static_cast<size_t>(n));
    }
    return true;
  }

  // Waits for the process to end by itself; returns its exit code, or -1 on time-out.
  int WaitForExit(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

  int Terminate(int timeoutMs = 10000) {
    ::kill(m_pid, SIGTERM);
    return WaitForExit(timeoutMs);
  }

  pid_t Pid() const { return m_pid; }
  // Qt's platform for the player: off screen, or "xcb" for a test on a real X server.
  std::string Platform = "offscreen";

 private:
  std::string m_programDir, m_runtimeDir, m_messageLog;
  pid_t m_pid = -1;
  int m_out = -1;
  std::string m_output;
};
