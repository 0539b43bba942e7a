#include "audio/FileSource.h"

#include <kaudio.h>

extern "C" {
#include <libavformat/avio.h>
}

#include <algorithm>
#include <cstring>

#include "audio/TagStore.h"

namespace kaudio {

uint32_t StreamTagBlock(const FfmpegDecoder& decoder, std::string* block) {
  const std::string name = decoder.ContainerName();
  std::deque<std::string> lines = decoder.MetadataLines();
  if (name == "ogg") {
    *block = MakeTagBlock(lines);
    return KAUDIO_TAG_OGG;
  }
  if (name == "asf") {
    lines.push_back("Bitrate=" + std::to_string(decoder.BitRate()));
    *block = MakeTagBlock(lines);
    return KAUDIO_TAG_WMA;
  }
  return 0;
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path, bool prescan, int* error) {
  auto src = std::unique_ptr<FileSource>(new FileSource());
  *error = src->decoder_.OpenFile(path, prescan);
  if (*error) return nullptr;
  return src;
}

std::unique_ptr<FileSource> FileSource::OpenMemory(const void* data, uint64_t size, bool prescan,
                                                   int* error) {
  auto src = std::unique_ptr<FileSource>(new FileSource());
  FileSource* s = src.get();
  s->memData_ = static_cast<const uint8_t*>(data);
  s->memSize_ = size;
  auto read = [s](uint8_t* buf, int n) -> int {
    const uint64_t left = s->memSize_ - s->memPos_;
    const int take = int(std::min<uint64_t>(left, uint64_t(n)));
    std::memcpy(buf, s->memData_ + s->memPos_, size_t(take));
    s->memPos_ += uint64_t(take);
    return take;
  };
  auto seek = [s](int64_t offset, int whence) -> int64_t {
    if (whence & AVSEEK_SIZE) return int64_t(s->memSize_);
    int64_t base = 0;
    switch (whence & 3) {
      case SEEK_SET: base = 0; break;
      case SEEK_CUR: base = int64_t(s->memPos_); break;
      case SEEK_END: base = int64_t(s->memSize_); break;
      default: return -1;
    }
    const int64_t to = base + offset;
    if (to < 0 || uint64_t(to) > s->memSize_) return -1;
    s->memPos_ = uint64_t(to);
    return to;
  };
  *error = s->decoder_.OpenIo(read, seek, nullptr, prescan);
  if (*error) return nullptr;
  return src;
}

void FileSource::Attach(SourceEvents* events) {
  events_ = events;
  decoder_.TakeMetadataChange();
  PublishTags(false);
}

void FileSource::PublishTags(bool change) {
  if (!events_) return;
  std::string block;
  const uint32_t type = StreamTagBlock(decoder_, &block);
  if (!type) return;
  const uint32_t sync = !change ? 0 : type == KAUDIO_TAG_OGG ? KAUDIO_SYNC_OGG_CHANGE : KAUDIO_SYNC_WMA_CHANGE;
  events_->OnTags(type, block, sync);
}

ReadResult FileSource::Read(float* dst, size_t frames, size_t* got) {
  const ReadResult r = decoder_.Read(dst, frames, got);
  if (decoder_.TakeMetadataChange()) PublishTags(true);
  return r;
}

}  // namespace kaudio
