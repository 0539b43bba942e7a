// The player's control channel as any other program uses it (zorvaneplayerapi.h): one
// connection, one request at a time, each answered before the next. Never call it from the
// player's UI thread: that thread is the one that answers.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

class TPlayerControlClient {
 public:
  TPlayerControlClient() = default;
  ~TPlayerControlClient();
  TPlayerControlClient(const TPlayerControlClient&) = delete;
  TPlayerControlClient& operator=(const TPlayerControlClient&) = delete;

  // The message's result; nothing when the player does not answer within the time limit.
  std::optional<int64_t> Send(uint32_t message, int64_t lparam = 0);
  // Hands the player one argument (a file or URL), as a second start of the program would.
  bool HandOver(const std::string& argument);
  // Sends a message without waiting for its answer (the player may be going away).
  bool Post(uint32_t message);

  // From another thread: a request waiting for its answer gives up now, and no new one starts.
  void Abort();

  static std::string SocketPath();

 private:
  bool Connect();
  void Disconnect();
  std::optional<int64_t> Request(uint32_t message, int64_t lparam, const std::string& payload, bool waitForReply);

  std::atomic<int> m_fd{-1};
  std::atomic<bool> m_aborted{false};
};
