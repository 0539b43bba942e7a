// A tiny HTTP/1.0 server for the tests: listens on 127.0.0.1 on a free port, answers each
// request from a table of canned responses (404 otherwise) and records what it received.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TRecordedRequest {
  std::string Method, Path, Version;
  std::map<std::string, std::string> Headers;  // names in lower case
  std::string Body;
};

struct TCannedResponse {
  int Status = 200;
  std::string Body;
  std::vector<std::string> ExtraHeaders;  // "Name: value"
};

class TTestHttpServer {
 public:
  TTestHttpServer();
  ~TTestHttpServer();
  TTestHttpServer(const TTestHttpServer&) = delete;
  TTestHttpServer& operator=(const TTestHttpServer&) = delete;

  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  void SetResponse(const std::string& path, const TCannedResponse& response);
  std::vector<TRecordedRequest> Requests() const;

 private:
  void Serve();
  void Handle(int client);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex lock_;
  std::map<std::string, TCannedResponse> responses_;
  std::vector<TRecordedRequest> requests_;
  std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on (bound once, then released).
int UnusedLocalPort();
