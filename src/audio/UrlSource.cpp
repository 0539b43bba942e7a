#include "audio/UrlSource.h"

#include <kaudio.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <strings.h>

#include "audio/Config.h"
#include "audio/FileSource.h"
#include "audio/Library.h"
#include "audio/TagStore.h"

namespace kaudio {

uint64_t ThreadCpuNanos();

namespace {
constexpr size_t kChunk = 2048;
}

std::unique_ptr<UrlSource> UrlSource::Open(const std::string& url, KAUDIO_DOWNLOADPROC* proc,
                                           void* user, bool status, int* error) {
  const uint32_t timeout = GetConfig().netTimeoutMs.load();
  auto src = std::unique_ptr<UrlSource>(new UrlSource());
  src->decoder_ = std::make_unique<FfmpegDecoder>();
  UrlSource* s = src.get();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
  if (strncasecmp(url.c_str(), "mms", 3) == 0) {
    *error = s->decoder_->OpenUrl(url, [s, deadline] {
      return s->quit_ || std::chrono::steady_clock::now() > deadline;
    });
  } else {
    s->net_ = std::make_unique<NetConnection>(url, timeout, proc, user, status);
    s->net_->Start([s](const std::string& m) { s->OnMeta(m); },
                   [s] {
                     std::lock_guard lock(s->mutex_);
                     if (s->events_) s->events_->OnSourceSync(KAUDIO_SYNC_DOWNLOAD, 0);
                   });
    *error = s->net_->WaitForStart();
    if (!*error) {
      NetConnection* net = s->net_.get();
      *error = s->decoder_->OpenIo([net](uint8_t* b, int n) { return net->Read(b, n); }, nullptr,
                                   [net] { return net->Aborted(); }, false);
      if (*error == KAUDIO_ERROR_FILEFORM && std::chrono::steady_clock::now() > deadline)
        *error = KAUDIO_ERROR_TIMEOUT;
    }
  }
  if (*error) {
    if (s->net_) s->net_->Abort();
    return nullptr;
  }
  if (s->net_) s->headers_ = s->net_->Headers();
  s->format_ = s->decoder_->Format();
  const uint32_t ms = std::max<uint32_t>(GetConfig().netBufferMs.load(), 1000);
  s->ringFrames_ = size_t(s->format_.rate) * ms / 1000;
  s->ring_.resize(s->ringFrames_ * s->format_.channels);
  s->thread_ = std::thread([s] { s->Decode(); });
  return src;
}

UrlSource::~UrlSource() { Close(); }

void UrlSource::Close() {
  quit_ = true;
  if (net_) net_->Abort();
  if (thread_.joinable()) thread_.join();
  // The connection thread calls back into this object: it must end before we do.
  net_.reset();
}

void UrlSource::Attach(SourceEvents* events) {
  std::deque<std::string> icy, http;
  for (const auto& h : headers_) {
    http.push_back(h);
    if (strncasecmp(h.c_str(), "icy-", 4) == 0 || strncasecmp(h.c_str(), "ice-", 4) == 0) icy.push_back(h);
  }
  if (!http.empty()) events->OnTags(KAUDIO_TAG_HTTP, MakeTagBlock(http), 0);
  if (!icy.empty()) events->OnTags(KAUDIO_TAG_ICY, MakeTagBlock(icy), 0);
  std::string block;
  if (const uint32_t type = StreamTagBlock(*decoder_, &block)) events->OnTags(type, block, 0);
  std::lock_guard lock(mutex_);
  events_ = events;
  if (!pendingMeta_.empty()) events_->OnTags(KAUDIO_TAG_META, pendingMeta_, 0);
}

void UrlSource::OnMeta(const std::string& meta) {
  std::lock_guard lock(mutex_);
  if (events_) events_->OnTags(KAUDIO_TAG_META, meta, KAUDIO_SYNC_META);
  else pendingMeta_ = meta;
}

void UrlSource::Decode() {
  std::vector<float> chunk(kChunk * format_.channels);
  const uint32_t ch = format_.channels;
  while (!quit_) {
    const uint64_t t0 = ThreadCpuNanos();
    size_t got = 0;
    const ReadResult r = decoder_->Read(chunk.data(), kChunk, &got);
    if (decoder_->TakeMetadataChange()) {
      std::string block;
      const uint32_t type = StreamTagBlock(*decoder_, &block);
      std::lock_guard lock(mutex_);
      if (type && events_)
        events_->OnTags(type, block, type == KAUDIO_TAG_OGG ? KAUDIO_SYNC_OGG_CHANGE : KAUDIO_SYNC_WMA_CHANGE);
    }
    AddBusyNanos(ThreadCpuNanos() - t0);
    size_t done = 0;
    while (done < got && !quit_) {
      std::unique_lock lock(mutex_);
      const size_t space = ringFrames_ - size_t(written_ - read_);
      if (!space) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      const size_t n = std::min(space, got - done);
      for (size_t i = 0; i < n; ++i)
        std::memcpy(&ring_[((written_ + i) % ringFrames_) * ch], &chunk[(done + i) * ch], ch * sizeof(float));
      written_ += n;
      done += n;
    }
    if (r == ReadResult::Ended) break;
  }
  std::lock_guard lock(mutex_);
  ended_ = true;
}

ReadResult UrlSource::Read(float* dst, size_t frames, size_t* got) {
  std::lock_guard lock(mutex_);
  const uint32_t ch = format_.channels;
  const size_t n = std::min(frames, size_t(written_ - read_));
  for (size_t i = 0; i < n; ++i)
    std::memcpy(&dst[i * ch], &ring_[((read_ + i) % ringFrames_) * ch], ch * sizeof(float));
  read_ += n;
  position_ += n;
  *got = n;
  if (n) return ReadResult::Data;
  return ended_ ? ReadResult::Ended : ReadResult::Stalled;
}

}  // namespace kaudio
