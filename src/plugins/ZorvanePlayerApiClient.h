// Client side of the control channel: used by a second instance for the hand-over and by
// keldarctl. Blocking calls with time-outs; one request at a time.
#pragma once

#include <cstdint>
#include <string>

#include "zorvaneplayerapi.h"

class TPlayerApiClient {
 public:
  TPlayerApiClient() = default;
  ~TPlayerApiClient();
  TPlayerApiClient(const TPlayerApiClient&) = delete;
  TPlayerApiClient& operator=(const TPlayerApiClient&) = delete;

  // false when no player listens there (the socket is missing, refused, or not ours).
  bool Connect(const std::string& socketPath);
  void Close();
  bool Connected() const { return m_fd >= 0; }

  // Sends one request and waits up to timeoutMs for its reply. false on a broken connection
  // or a time-out (the connection is then closed).
  bool Request(uint32_t message, int64_t wparam, int64_t lparam, const std::string& payload,
               zpapi_reply& reply, int timeoutMs);

 private:
  int m_fd = -1;
};
