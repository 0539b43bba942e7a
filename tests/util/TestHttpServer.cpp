#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

int BindLocal(int& port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::close(fd);
    return -1;
  }
  port = ntohs(addr.sin_port);
  return fd;
}

// Reads until the predicate says the request is complete, the peer closes or 2 s pass.
bool ReadMore(int fd, std::string& buffer) {
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, 2000) <= 0) return false;
  char chunk[4096];
  const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
  if (n <= 0) return false;
  buffer.append(chunk, static_cast<size_t>(n));
  return true;
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

}  // namespace

TTestHttpServer::TTestHttpServer() {
  listener_ = BindLocal(port_);
  if (listener_ >= 0 && ::listen(listener_, 16) == 0) thread_ = std::thread([this] { Serve(); });
}

TTestHttpServer::~TTestHttpServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) ::close(listener_);
}

std::string TTestHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void TTestHttpServer::SetResponse(const std::string& path, const TCannedResponse& response) {
  std::lock_guard<std::mutex> guard(lock_);
  responses_[path] = response;
}

std::vector<TRecordedRequest> TTestHttpServer::Requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

void TTestHttpServer::Serve() {
  while (!stop_) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    Handle(client);
    ::close(client);
  }
}

void TTestHttpServer::Handle(int client) {
  std::string buffer;
  std::size_t headerEnd;
  while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos)
    if (!ReadMore(client, buffer)) return;
  TRecordedRequest request;
  std::istringstream head(buffer.substr(0, headerEnd));
  std::string line;
  std::getline(head, line);
  std::istringstream first(line);
  first >> request.Method >> request.Path >> request.Version;
  while (std::getline(head, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    request.Headers[name] = value;
  }
  std::size_t length = 0;
  if (auto it = request.Headers.find("content-length"); it != request.Headers.end())
    length = std::stoul(it->second);
  while (buffer.size() < headerEnd + 4 + length)
    if (!ReadMore(client, buffer)) break;
  request.Body = buffer.substr(headerEnd + 4, length);

  TCannedResponse response{404, "not here", {}};
  {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.push_back(request);
    if (auto it = responses_.find(request.Path); it != responses_.end()) response = it->second;
  }
  std::string reply = "HTTP/1.0 " + std::to_string(response.Status) + " " +
                      Reason(response.Status) + "\r\nContent-Length: " +
                      std::to_string(response.Body.size()) + "\r\nConnection: close\r\n";
  for (const std::string& h : response.ExtraHeaders) reply += h + "\r\n";
  reply += "\r\n" + response.Body;
  std::size_t sent = 0;
  while (sent < reply.size()) {
    const ssize_t n = ::send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
}

int UnusedLocalPort() {
  int port = 0;
  const int fd = BindLocal(port);
  if (fd >= 0) ::close(fd);
  return port;
}
