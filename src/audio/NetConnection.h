// One HTTP/HTTPS/FTP download on its own connection thread (libcurl): response headers,
// ICY metadata split off, audio bytes into a bounded buffer that the decoder reads.
#pragma once

#include <kaudio.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/IcyParser.h"

namespace kaudio {

class NetConnection {
 public:
  using MetaFn = std::function<void(const std::string&)>;
  NetConnection(std::string url, uint32_t timeoutMs, KAUDIO_DOWNLOADPROC* proc, void* user, bool status);
  ~NetConnection();
  // onFinished runs on the connection thread when the whole file has been received.
  void Start(MetaFn onMeta, std::function<void()> onFinished);
  // Waits until the headers and the first bytes are in (or failure). Returns 0 or an error.
  int WaitForStart();
  const std::vector<std::string>& Headers() const { return headers_; }
  std::string StatusLine() const { return status_; }
  // Blocking read for the decoder: bytes, 0 at the end, -1 on abort or time-out.
  int Read(uint8_t* buf, int size);
  void Abort();
  bool Aborted() const { return abort_.load(); }

 private:
  void Run();
  static size_t OnHeader(char* data, size_t size, size_t n, void* self);
  static size_t OnData(char* data, size_t size, size_t n, void* self);
  static int OnProgress(void* self, long long, long long, long long, long long);
  void Push(const uint8_t* data, size_t size);
  void HeadersDone();

  std::string url_;
  uint32_t timeoutMs_;
  KAUDIO_DOWNLOADPROC* proc_;
  void* user_;
  bool status_flag_;
  MetaFn onMeta_;
  std::function<void()> onFinished_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<uint8_t> buffer_;
  std::vector<std::string> headers_;  // complete once headersDone_
  std::string status_;
  std::string sniff_;  // connection thread only
  bool headersDone_ = false;
  bool finished_ = false;
  int error_ = 0;
  long httpCode_ = 0;
  std::atomic<bool> abort_{false};
  std::unique_ptr<IcyParser> icy_;
};

}  // namespace kaudio
