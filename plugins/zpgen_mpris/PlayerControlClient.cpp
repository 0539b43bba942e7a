#include "PlayerControlClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "zorvaneplayerapi.h"

namespace {

// The player answers between two ticks of its UI; a stalled player must not stall the bus.
constexpr int kReplyTimeoutMs = 5000;

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, char* data, size_t size) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
  while (size > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = ::recv(fd, data, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void PutLE(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t GetLE(const char* in, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(in[i]);
  return v;
}

}  // namespace

TPlayerControlClient::~TPlayerControlClient() { Disconnect(); }

std::string TPlayerControlClient::SocketPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string folder = runtime && *runtime ? runtime : "/tmp/keldar3-runtime-" + std::to_string(::getuid());
  return folder + "/zorvaneplayerapi-" + std::to_string(::getuid()) + ".sock";
}

void TPlayerControlClient::Abort() {
  m_aborted = true;
  const int fd = m_fd.load();
  if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
}

bool TPlayerControlClient::Connect() {
  if (m_aborted) return false;
  if (m_fd >= 0) return true;
  const std::string path = SocketPath();
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  m_fd = fd;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Disconnect();
    return false;
  }
  return true;
}

void TPlayerControlClient::Disconnect() {
  const int fd = m_fd.exchange(-1);
  if (fd >= 0) ::close(fd);
}

std::optional<int64_t> TPlayerControlClient::Request(uint32_t message, int64_t lparam, const std::string& payload,
                                                     bool waitForReply) {
  // A connection the player dropped is opened again once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!Connect()) return std::nullopt;
    std::string request;
    PutLE(request, ZPAPI_MAGIC, 4);
    PutLE(request, message, 4);
    PutLE(request, 0, 8);
    PutLE(request, static_cast<uint64_t>(lparam), 8);
    PutLE(request, payload.size(), 4);
    PutLE(request, 0, 4);
    request += payload;
    if (!WriteAll(m_fd, request.data(), request.size())) {
      Disconnect();
      continue;
    }
    if (!waitForReply) {
      Disconnect();
      return 0;
    }
    char reply[16];
    if (!ReadAll(m_fd, reply, sizeof reply)) {
      // Out of step with the player from here on: start over with a new connection.
      Disconnect();
      return std::nullopt;
    }
    if (GetLE(reply, 4) != ZPAPI_MAGIC || GetLE(reply + 4, 4) != ZPAPI_STATUS_OK) {
      Disconnect();
      return std::nullopt;
    }
    return static_cast<int64_t>(GetLE(reply + 8, 8));
  }
  return std::nullopt;
}

std::optional<int64_t> TPlayerControlClient::Send(uint32_t message, int64_t lparam) {
  return Request(message, lparam, {}, true);
}

bool TPlayerControlClient::Post(uint32_t message) { return Request(message, 0, {}, false).has_value(); }

bool TPlayerControlClient::HandOver(const std::string& argument) {
  std::string payload;
  PutLE(payload, 1, 4);  // one argument
  PutLE(payload, argument.size() + 1, 4);
  payload += argument;
  payload.push_back('\0');
  return Request(ZPAPI_MSG_COPYDATA, 0, payload, true).has_value();
}
