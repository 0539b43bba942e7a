#include "plugins/ZorvanePlayerApiClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int r = ::poll(&p, 1, RemainingMs(deadline));
    if (r > 0) return (p.revents & (events | POLLHUP | POLLERR)) != 0;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

bool SendAll(int fd, const char* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    if (!WaitFor(fd, POLLOUT, deadline)) return false;
    ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReceiveAll(int fd, char* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    if (!WaitFor(fd, POLLIN, deadline)) return false;
    ssize_t n = ::recv(fd, data, size, MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

TPlayerApiClient::~TPlayerApiClient() { Close(); }

void TPlayerApiClient::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

bool TPlayerApiClient::Connect(const std::string& socketPath) {
  Close();
  // Only talk to a socket that belongs to us: another user could have placed one there.
  struct stat st {};
  if (::lstat(socketPath.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != ::getuid()) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof(addr.sun_path)) return false;
  std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  return true;
}

bool TPlayerApiClient::Request(uint32_t message, int64_t wparam, int64_t lparam, const std::string& payload,
                               zpapi_reply& reply, int timeoutMs) {
  if (m_fd < 0) return false;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  zpapi_request_header header{ZPAPI_MAGIC, message, wparam, lparam, static_cast<uint32_t>(payload.size()), 0};
  bool ok = SendAll(m_fd, reinterpret_cast<const char*>(&header), sizeof(header), deadline) &&
            SendAll(m_fd, payload.data(), payload.size(), deadline) &&
            ReceiveAll(m_fd, reinterpret_cast<char*>(&reply), sizeof(reply), deadline) && reply.magic == ZPAPI_MAGIC;
  if (!ok) Close();
  return ok;
}
