#include "audio/NetConnection.h"

#include <curl/curl.h>

#include <chrono>
#include <cstring>

namespace kaudio {

namespace {
constexpr size_t kMaxBuffered = 1 << 20;
constexpr size_t kStartBytes = 8192;  // enough for the decoder to recognise the format

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}
}  // namespace

NetConnection::NetConnection(std::string url, uint32_t timeoutMs, KAUDIO_DOWNLOADPROC* proc, void* user,
                             bool status)
    : url_(std::move(url)), timeoutMs_(timeoutMs), proc_(proc), user_(user), status_flag_(status) {}

NetConnection::~NetConnection() {
  Abort();
  if (thread_.joinable()) thread_.join();
}

void NetConnection::Start(MetaFn onMeta, std::function<void()> onFinished) {
  onMeta_ = std::move(onMeta);
  onFinished_ = std::move(onFinished);
  thread_ = std::thread([this] { Run(); });
}

void NetConnection::Abort() {
  abort_ = true;
  cv_.notify_all();
}

size_t NetConnection::OnHeader(char* data, size_t size, size_t n, void* p) {
  auto* self = static_cast<NetConnection*>(p);
  const std::string line = Trim(std::string(data, size * n));
  std::lock_guard lock(self->mutex_);
  if (self->headersDone_) return size * n;
  if (line.rfind("HTTP/", 0) == 0 || line.rfind("ICY ", 0) == 0) {
    // A new response (after a redirect): start over.
    self->headers_.clear();
    self->status_ = line;
  }
  if (!line.empty()) self->headers_.push_back(line);
  return size * n;
}

void NetConnection::HeadersDone() {
  // Called on the first body bytes: the final response's headers are complete.
  size_t metaint = 0;
  std::string block;
  {
    std::lock_guard lock(mutex_);
    if (headersDone_) return;
    headersDone_ = true;
    for (const auto& h : headers_) {
      if (strncasecmp(h.c_str(), "icy-metaint:", 12) == 0) metaint = size_t(std::atol(h.c_str() + 12));
      block += h;
      block.push_back('\0');
    }
  }
  block.push_back('\0');
  icy_ = std::make_unique<IcyParser>(
      metaint, [this](const uint8_t* d, size_t s) { Push(d, s); },
      [this](const std::string& m) { if (onMeta_) onMeta_(m); });
  if (proc_ && status_flag_) proc_(block.data(), 0, user_);
  cv_.notify_all();
}

void NetConnection::Push(const uint8_t* data, size_t size) {
  std::unique_lock lock(mutex_);
  cv_.wait(lock, [&] { return abort_ || buffer_.size() + size <= kMaxBuffered; });
  if (abort_) return;
  buffer_.insert(buffer_.end(), data, data + size);
  cv_.notify_all();
}

size_t NetConnection::OnData(char* data, size_t size, size_t n, void* p) {
  auto* self = static_cast<NetConnection*>(p);
  if (self->abort_) return 0;
  const size_t total = size * n;
  if (!self->headersDone_ && self->status_.empty()) {
    // curl takes an "ICY 200 OK" answer for HTTP/0.9 and hands its headers over as body.
    self->sniff_.append(data, total);
    if (self->sniff_.size() < 4) return total;
    if (self->sniff_.rfind("ICY ", 0) == 0) {
      const size_t end = self->sniff_.find("\r\n\r\n");
      if (end == std::string::npos) return self->sniff_.size() > 16384 ? 0 : total;
      {
        std::lock_guard lock(self->mutex_);
        size_t start = 0;
        while (start < end) {
          size_t eol = self->sniff_.find("\r\n", start);
          if (eol == std::string::npos || eol > end) eol = end;
          const std::string line = self->sniff_.substr(start, eol - start);
          if (!line.empty()) self->headers_.push_back(line);
          if (self->status_.empty()) self->status_ = line;
          start = eol + 2;
        }
      }
      std::string rest = self->sniff_.substr(end + 4);
      self->sniff_.clear();
      self->HeadersDone();
      if (!rest.empty()) {
        if (self->proc_) self->proc_(rest.data(), KAUDIO_DWORD(rest.size()), self->user_);
        self->icy_->Feed(reinterpret_cast<const uint8_t*>(rest.data()), rest.size());
      }
      return self->abort_ ? 0 : total;
    }
    // Plain body without headers: pass what was held back.
    std::string held;
    held.swap(self->sniff_);
    self->status_ = "HTTP/0.9";
    self->HeadersDone();
    if (self->proc_) self->proc_(held.data(), KAUDIO_DWORD(held.size()), self->user_);
    self->icy_->Feed(reinterpret_cast<const uint8_t*>(held.data()), held.size());
    return self->abort_ ? 0 : total;
  }
  self->HeadersDone();
  if (self->proc_) self->proc_(data, KAUDIO_DWORD(size * n), self->user_);
  self->icy_->Feed(reinterpret_cast<const uint8_t*>(data), size * n);
  return self->abort_ ? 0 : size * n;
}

int NetConnection::OnProgress(void* p, long long, long long, long long, long long) {
  return static_cast<NetConnection*>(p)->abort_ ? 1 : 0;
}

void NetConnection::Run() {
  CURL* curl = curl_easy_init();
  curl_slist* hdrs = curl_slist_append(nullptr, "Icy-MetaData: 1");
  curl_easy_setopt(curl, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, hdrs);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "keldar3-kaudio/1.0");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs_));
  // A server that stops sending for the time-out counts as gone.
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long((timeoutMs_ + 999) / 1000));
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP09_ALLOWED, 1L);  // "ICY 200 OK" servers, parsed in OnData
  const CURLcode rc = curl_easy_perform(curl);
  long code = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
  curl_slist_free_all(hdrs);
  curl_easy_cleanup(curl);
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
    httpCode_ = code;
    if (!headersDone_ || buffer_.empty()) {
      switch (rc) {
        case CURLE_OK: error_ = headersDone_ ? 0 : KAUDIO_ERROR_FILEFORM; break;
        case CURLE_OPERATION_TIMEDOUT: error_ = KAUDIO_ERROR_TIMEOUT; break;
        case CURLE_HTTP_RETURNED_ERROR: error_ = KAUDIO_ERROR_FILEOPEN; break;
        case CURLE_UNSUPPORTED_PROTOCOL: case CURLE_URL_MALFORMAT: error_ = KAUDIO_ERROR_ILLPARAM; break;
        default: error_ = KAUDIO_ERROR_NONET; break;
      }
    }
  }
  if (proc_) proc_(nullptr, 0, user_);
  cv_.notify_all();
  if (rc == CURLE_OK && onFinished_) onFinished_();
}

int NetConnection::WaitForStart() {
  std::unique_lock lock(mutex_);
  const bool ok = cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs_), [&] {
    return abort_ || finished_ || (headersDone_ && buffer_.size() >= kStartBytes);
  });
  if (!ok) return KAUDIO_ERROR_TIMEOUT;
  if (abort_) return KAUDIO_ERROR_TIMEOUT;
  if (finished_ && error_) return error_;
  if (buffer_.empty()) return KAUDIO_ERROR_FILEFORM;
  return 0;
}

int NetConnection::Read(uint8_t* buf, int size) {
  std::unique_lock lock(mutex_);
  const bool ok = cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs_),
                               [&] { return abort_ || finished_ || !buffer_.empty(); });
  if (!ok || abort_) return -1;
  if (buffer_.empty()) return 0;
  const size_t n = std::min(buffer_.size(), size_t(size));
  std::copy(buffer_.begin(), buffer_.begin() + long(n), buf);
  buffer_.erase(buffer_.begin(), buffer_.begin() + long(n));
  cv_.notify_all();
  return int(n);
}

}  // namespace kaudio
