#include "plugins/zorvaneplayerapiunit.h"

#include "plugins/ZorvanePlayerApiRequest.h"

#include <QSocketNotifier>

#include "plugins/ZorvanePlayerApiSharedRecord.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

static_assert(sizeof(zpapi_request_header) == 32, "request header layout");
static_assert(sizeof(zpapi_reply) == 16, "reply layout");

namespace {

// True once the buffer starts with a whole header that will be refused.
bool HeaderIsRefused(const std::string& buffer) {
  const TApiRequestState state = ExamineApiRequest(buffer);
  return state == TApiRequestState::Malformed || state == TApiRequestState::TooLarge;
}

}  // namespace

void ProcessHandOver(const THandOverRecord& record, const std::function<void(const std::string&)>& handler) {
  if (record.DataTag == 1) {
    handler(record.Payload);
    return;
  }
  const std::string& text = record.Payload;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    handler(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

Tzorvaneplayerapi::Tzorvaneplayerapi(QObject* parent) : QObject(parent) {
  setObjectName("zorvaneplayerapi");
  OpenApiSharedMemory();
}

Tzorvaneplayerapi::~Tzorvaneplayerapi() {
  for (auto& [fd, client] : m_clients) {
    client.notifier.reset();
    client.writeNotifier.reset();
    ::close(fd);
  }
  m_clients.clear();
  m_listenNotifier.reset();
  if (m_listenFd >= 0) {
    ::close(m_listenFd);
    ::unlink(m_socketPath.c_str());
  }
  CloseApiSharedMemory();
}

bool Tzorvaneplayerapi::Listen(const std::string& socketPath) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (socketPath.empty() || socketPath.size() >= sizeof(addr.sun_path)) return false;
  std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ::unlink(socketPath.c_str());
  // Bind with a tight umask so the socket never exists with wider permissions.
  mode_t old = ::umask(0177);
  int bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  ::umask(old);
  if (bound != 0 || ::chmod(socketPath.c_str(), 0600) != 0 || ::listen(fd, 64) != 0) {
    ::close(fd);
    return false;
  }
  m_listenFd = fd;
  m_socketPath = socketPath;
  m_listenNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  connect(m_listenNotifier.get(), &QSocketNotifier::activated, this, [this] { AcceptClients(); });
  return true;
}

void Tzorvaneplayerapi::AcceptClients() {
  for (;;) {
    int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    ucred cred{};
    socklen_t len = sizeof(cred);
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::getuid()) {
      ::close(fd);
      continue;
    }
    TClient& client = m_clients[fd];
    client.fd = fd;
    client.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(client.notifier.get(), &QSocketNotifier::activated, this, [this, fd] { ReadClient(fd); });
  }
}

void Tzorvaneplayerapi::DropClient(int fd) {
  auto it = m_clients.find(fd);
  if (it == m_clients.end()) return;
  // The notifier may be the one whose signal is running right now: delete it later.
  it->second.notifier.release()->deleteLater();
  if (it->second.writeNotifier) it->second.writeNotifier.release()->deleteLater();
  ::close(fd);
  m_clients.erase(it);
}

void Tzorvaneplayerapi::ReadClient(int fd) {
  auto it = m_clients.find(fd);
  if (it == m_clients.end()) return;
  TClient& client = it->second;
  char chunk[65536];
  for (;;) {
    ssize_t n = ::recv(fd, chunk, sizeof(chunk), 0);
    if (n > 0) {
      client.buffer.append(chunk, static_cast<size_t>(n));
      // A refused header stops the reading at once: its body is never taken in.
      if (HeaderIsRefused(client.buffer)) break;
      // Never hold more than one request and a header's worth of the next one.
      if (client.buffer.size() >= sizeof(zpapi_request_header) + ZPAPI_MAX_PAYLOAD + sizeof(zpapi_request_header)) break;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    // Peer closed (or failed): a complete request it left is still answered.
    client.peerClosed = true;
    client.notifier->setEnabled(false);
    break;
  }
  // Validate the header as soon as it is here, so an oversized request is refused early.
  switch (ExamineApiRequest(client.buffer)) {
    case TApiRequestState::Malformed:
      Reply(client, ZPAPI_STATUS_MALFORMED, 0);
      DropClient(fd);
      return;
    case TApiRequestState::TooLarge:
      Reply(client, ZPAPI_STATUS_TOO_LARGE, 0);
      DropClient(fd);
      return;
    case TApiRequestState::Complete:
      if (!client.queued) {
        client.queued = true;
        client.notifier->setEnabled(false);  // read on after this request is answered
        m_queue.push_back(fd);
      }
      break;
    case TApiRequestState::Incomplete:
      break;
  }
  if (client.peerClosed && !client.queued) {
    DropClient(fd);
    return;
  }
  ProcessQueue();
}

void Tzorvaneplayerapi::ProcessQueue() {
  if (m_busy) return;  // a handler further up the stack runs a nested event loop
  m_busy = true;
  while (!m_queue.empty()) {
    int fd = m_queue.front();
    m_queue.pop_front();
    auto it = m_clients.find(fd);
    if (it == m_clients.end()) continue;
    it->second.queued = false;
    bool keep = HandleOneRequest(it->second);
    // The handler may have run events that dropped this client.
    it = m_clients.find(fd);
    if (it == m_clients.end()) continue;
    if (!keep) {
      DropClient(fd);
      continue;
    }
    // A client that does not read its replies waits until it does.
    if (!it->second.outgoing.empty()) continue;
    ContinueClient(fd);
  }
  m_busy = false;
}

bool Tzorvaneplayerapi::HandleOneRequest(TClient& client) {
  zpapi_request_header h{};
  std::string payload;
  if (!TakeApiRequest(client.buffer, h, payload)) return true;
  int fd = client.fd;

  int32_t status = ZPAPI_STATUS_OK;
  int64_t result = 0;
  if (h.message == ZPAPI_MSG_COPYDATA) {
    THandOverRecord record;
    if (!ParseHandOverRecord(payload, record)) {
      status = ZPAPI_STATUS_MALFORMED;
    } else if (m_parameterHandler) {
      ProcessHandOver(record, m_parameterHandler);
    }
  } else if (h.message >= ZPAPI_MSG_FIRST && h.message <= ZPAPI_MSG_LAST && m_messageHandler) {
    result = m_messageHandler(h.message, h.wparam, h.lparam);
  }
  // The handler may have run events that dropped this client.
  auto it = m_clients.find(fd);
  if (it == m_clients.end()) return true;
  Reply(it->second, status, result);
  return status == ZPAPI_STATUS_OK;
}

void Tzorvaneplayerapi::ContinueClient(int fd) {
  auto it = m_clients.find(fd);
  if (it == m_clients.end()) return;
  TClient& client = it->second;
  // Another complete request may already be buffered behind this one.
  if (client.buffer.size() >= sizeof(zpapi_request_header)) {
    zpapi_request_header h;
    std::memcpy(&h, client.buffer.data(), sizeof(h));
    if (h.magic != ZPAPI_MAGIC || h.reserved != 0 || h.payload_size > ZPAPI_MAX_PAYLOAD) {
      Reply(client, h.payload_size > ZPAPI_MAX_PAYLOAD ? ZPAPI_STATUS_TOO_LARGE : ZPAPI_STATUS_MALFORMED, 0);
      DropClient(fd);
      return;
    }
    if (client.buffer.size() >= sizeof(h) + h.payload_size) {
      client.queued = true;
      m_queue.push_back(fd);
      return;
    }
  }
  if (client.peerClosed) {
    DropClient(fd);
    return;
  }
  client.notifier->setEnabled(true);
}

void Tzorvaneplayerapi::Reply(TClient& client, int32_t status, int64_t result) {
  zpapi_reply reply{ZPAPI_MAGIC, status, result};
  client.outgoing.append(reinterpret_cast<const char*>(&reply), sizeof(reply));
  FlushReplies(client);
}

void Tzorvaneplayerapi::FlushReplies(TClient& client) {
  while (!client.outgoing.empty()) {
    ssize_t n = ::send(client.fd, client.outgoing.data(), client.outgoing.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      client.outgoing.erase(0, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!client.writeNotifier) {
        const int fd = client.fd;
        client.writeNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        connect(client.writeNotifier.get(), &QSocketNotifier::activated, this, [this, fd] { ClientWritable(fd); });
      }
      client.writeNotifier->setEnabled(true);
      return;
    }
    // The peer is gone: nobody is left to read the replies.
    client.outgoing.clear();
    client.peerClosed = true;
    if (client.notifier) client.notifier->setEnabled(false);
  }
  if (client.writeNotifier) client.writeNotifier->setEnabled(false);
}

void Tzorvaneplayerapi::ClientWritable(int fd) {
  auto it = m_clients.find(fd);
  if (it == m_clients.end()) return;
  FlushReplies(it->second);
  if (!it->second.outgoing.empty() || it->second.queued) return;
  ContinueClient(fd);
  ProcessQueue();
}
