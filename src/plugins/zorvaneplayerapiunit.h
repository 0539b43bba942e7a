// The player's control channel: a per-user Unix-domain socket served on the UI thread.
//
// Requests are handled one at a time, in the order they became complete, even when a
// handler runs a nested event loop. A client that connects and sends nothing blocks nobody;
// a malformed or oversized request is answered with an error and its connection dropped;
// a peer of another user is refused. No reply is lost: a client whose replies do not fit its
// socket is served no further until it has read them.
#pragma once

#include <QObject>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plugins/ZorvanePlayerApiVariables.h"

class QSocketNotifier;

// Runs a hand-over: tag 1 means the payload is one argument; otherwise every line of it is
// one argument, in order. The handler is called once per argument.
void ProcessHandOver(const THandOverRecord& record, const std::function<void(const std::string&)>& handler);

class Tzorvaneplayerapi : public QObject {
  Q_OBJECT
 public:
  // Control messages 9401..9464: message, wparam, lparam -> result.
  using TMessageHandler = std::function<int64_t(uint32_t, int64_t, int64_t)>;
  using TParameterHandler = std::function<void(const std::string&)>;

  explicit Tzorvaneplayerapi(QObject* parent = nullptr);
  ~Tzorvaneplayerapi() override;

  // Binds the socket (replacing a stale one: callers hold the instance lock). false on failure.
  bool Listen(const std::string& socketPath);
  const std::string& SocketPath() const { return m_socketPath; }

  void SetMessageHandler(TMessageHandler handler) { m_messageHandler = std::move(handler); }
  // Receives each argument of a hand-over (HandleParameter).
  void SetParameterHandler(TParameterHandler handler) { m_parameterHandler = std::move(handler); }

  size_t ClientCount() const { return m_clients.size(); }

 private:
  struct TClient {
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QSocketNotifier> writeNotifier;  // only while replies wait to be sent
    std::string buffer;
    std::string outgoing;  // replies the socket did not take yet
    bool queued = false;
    bool peerClosed = false;
  };

  void AcceptClients();
  void ReadClient(int fd);
  void DropClient(int fd);
  void ProcessQueue();
  // After a request is answered: queue the next buffered one or read on.
  void ContinueClient(int fd);
  void FlushReplies(TClient& client);
  void ClientWritable(int fd);
  bool HandleOneRequest(TClient& client);
  void Reply(TClient& client, int32_t status, int64_t result);

  int m_listenFd = -1;
  std::string m_socketPath;
  std::unique_ptr<QSocketNotifier> m_listenNotifier;
  std::map<int, TClient> m_clients;
  std::deque<int> m_queue;  // clients holding a complete request, in arrival order
  bool m_busy = false;
  TMessageHandler m_messageHandler;
  TParameterHandler m_parameterHandler;
};
