#include "audio/FfmpegDecoder.h"

#include <kaudio.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace kaudio {

namespace {

constexpr int kIoBuffer = 32768;
constexpr int kMaxErrors = 200;       // consecutive undecodable packets before giving up
constexpr uint64_t kPreroll = 4096;   // lossy decoders need a run-up after a seek

int IoRead(void* opaque, uint8_t* buf, int size) {
  auto* self = static_cast<FfmpegDecoder::ReadFn*>(opaque);
  const int n = (*self)(buf, size);
  if (n > 0) return n;
  return n == 0 ? AVERROR_EOF : AVERROR(EIO);
}

struct IoOpaque {
  FfmpegDecoder::ReadFn* read;
  FfmpegDecoder::SeekFn* seek;
};

int IoReadPair(void* opaque, uint8_t* buf, int size) {
  return IoRead(static_cast<IoOpaque*>(opaque)->read, buf, size);
}

int64_t IoSeekPair(void* opaque, int64_t offset, int whence) {
  auto* o = static_cast<IoOpaque*>(opaque);
  if (!o->seek || !*o->seek) return -1;
  return (*o->seek)(offset, whence);
}

int Interrupt(void* opaque) {
  auto* fn = static_cast<FfmpegDecoder::InterruptFn*>(opaque);
  return (*fn && (*fn)()) ? 1 : 0;
}

bool IsLossless(AVCodecID id) {
  const AVCodecDescriptor* d = avcodec_descriptor_get(id);
  return d && (d->props & AV_CODEC_PROP_LOSSLESS) && !(d->props & AV_CODEC_PROP_LOSSY);
}

// Uncompressed sample codecs: their ids form one block starting at 16-bit little-endian PCM.
bool IsRawPcm(AVCodecID id) { return id >= AV_CODEC_ID_PCM_S16LE && id < AV_CODEC_ID_ADPCM_IMA_QT; }

}  // namespace

FfmpegDecoder::FfmpegDecoder() = default;
FfmpegDecoder::~FfmpegDecoder() { Close(); }

void FfmpegDecoder::Close() {
  if (codec_) avcodec_free_context(&codec_);
  if (fmt_) avformat_close_input(&fmt_);
  if (io_) {
    av_freep(&io_->buffer);
    delete static_cast<IoOpaque*>(io_->opaque);
    avio_context_free(&io_);
  }
  if (frame_) av_frame_free(&frame_);
  if (packet_) av_packet_free(&packet_);
  if (swr_) swr_free(&swr_);
}

int FfmpegDecoder::OpenFile(const std::string& path, bool prescan) {
  Close();
  AVFormatContext* fmt = nullptr;
  const int ret = avformat_open_input(&fmt, path.c_str(), nullptr, nullptr);
  if (ret < 0) {
    // A missing or unreadable file is an open failure; anything else a format failure.
    if (ret == AVERROR(ENOENT) || ret == AVERROR(EACCES) || ret == AVERROR(EISDIR))
      return KAUDIO_ERROR_FILEOPEN;
    return KAUDIO_ERROR_FILEFORM;
  }
  fmt_ = fmt;
  return Finish(prescan);
}

int FfmpegDecoder::OpenUrl(const std::string& url, InterruptFn interrupt) {
  Close();
  interrupt_ = std::move(interrupt);
  fmt_ = avformat_alloc_context();
  fmt_->interrupt_callback.callback = &Interrupt;
  fmt_->interrupt_callback.opaque = &interrupt_;
  AVFormatContext* fmt = fmt_;
  if (avformat_open_input(&fmt, url.c_str(), nullptr, nullptr) < 0) {
    fmt_ = nullptr;  // freed by avformat_open_input on failure
    return interrupt_ && interrupt_() ? KAUDIO_ERROR_TIMEOUT : KAUDIO_ERROR_NONET;
  }
  fmt_ = fmt;
  return Finish(false);
}

int FfmpegDecoder::OpenIo(ReadFn read, SeekFn seek, InterruptFn interrupt, bool prescan) {
  Close();
  read_ = std::move(read);
  seek_ = std::move(seek);
  interrupt_ = std::move(interrupt);
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBuffer));
  auto* opaque = new IoOpaque{&read_, &seek_};  // freed in Close with the context
  io_ = avio_alloc_context(buffer, kIoBuffer, 0, opaque, &IoReadPair, nullptr,
                           seek_ ? &IoSeekPair : nullptr);
  if (!seek_) io_->seekable = 0;
  fmt_ = avformat_alloc_context();
  fmt_->pb = io_;
  fmt_->flags |= AVFMT_FLAG_CUSTOM_IO;
  if (interrupt_) {
    fmt_->interrupt_callback.callback = &Interrupt;
    fmt_->interrupt_callback.opaque = &interrupt_;
  }
  if (!seek_) {
    fmt_->probesize = 64 * 1024;
    fmt_->max_analyze_duration = AV_TIME_BASE / 2;
  }
  AVFormatContext* fmt = fmt_;
  if (avformat_open_input(&fmt, nullptr, nullptr, nullptr) < 0) {
    fmt_ = nullptr;
    return interrupt_ && interrupt_() ? KAUDIO_ERROR_TIMEOUT : KAUDIO_ERROR_FILEFORM;
  }
  fmt_ = fmt;
  return Finish(prescan);
}

int FfmpegDecoder::Finish(bool prescan) {
  if (avformat_find_stream_info(fmt_, nullptr) < 0) return KAUDIO_ERROR_FILEFORM;
  const AVCodec* dec = nullptr;
  streamIndex_ = av_find_best_stream(fmt_, AVMEDIA_TYPE_AUDIO, -1, -1, &dec, 0);
  if (streamIndex_ < 0 || !dec) return streamIndex_ == AVERROR_DECODER_NOT_FOUND
                                           ? KAUDIO_ERROR_CODEC : KAUDIO_ERROR_FILEFORM;
  for (unsigned i = 0; i < fmt_->nb_streams; ++i)
    if (int(i) != streamIndex_) fmt_->streams[i]->discard = AVDISCARD_ALL;
  AVStream* st = fmt_->streams[streamIndex_];
  codec_ = avcodec_alloc_context3(dec);
  if (!codec_ || avcodec_parameters_to_context(codec_, st->codecpar) < 0) return KAUDIO_ERROR_MEM;
  codec_->pkt_timebase = st->time_base;
  if (avcodec_open2(codec_, dec, nullptr) < 0) return KAUDIO_ERROR_CODEC;
  if (codec_->sample_rate <= 0 || codec_->ch_layout.nb_channels <= 0) return KAUDIO_ERROR_FILEFORM;
  lossless_ = IsLossless(codec_->codec_id);
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  format_.rate = uint32_t(codec_->sample_rate);
  format_.channels = uint32_t(codec_->ch_layout.nb_channels);
  format_.origres = uint32_t(codec_->bits_per_raw_sample > 0 ? codec_->bits_per_raw_sample
                                                             : av_get_bytes_per_sample(codec_->sample_fmt) * 8);

  if (prescan && CanSeek()) {
    // Sum the packet durations: exact for files whose headers guess.
    int64_t total = 0;
    while (av_read_frame(fmt_, packet_) >= 0) {
      if (packet_->stream_index == streamIndex_) total += packet_->duration;
      av_packet_unref(packet_);
    }
    if (total > 0) lengthFrames_ = av_rescale_q(total, st->time_base, AVRational{1, int(format_.rate)});
    av_seek_frame(fmt_, streamIndex_, st->start_time != AV_NOPTS_VALUE ? st->start_time : 0,
                  AVSEEK_FLAG_BACKWARD);
  }
  if (lengthFrames_ < 0) {
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
      lengthFrames_ = av_rescale_q(st->duration, st->time_base, AVRational{1, int(format_.rate)});
    else if (fmt_->duration != AV_NOPTS_VALUE && fmt_->duration > 0)
      lengthFrames_ = av_rescale(fmt_->duration, format_.rate, AV_TIME_BASE);
  }
  // Decode the first frame now: a file that yields no audio fails here, not while playing.
  // The one exception is raw PCM whose header is sound but whose data is empty: that is a
  // real file of no length, not a broken one.
  if (!DecodeMore()) {
    if (!IsRawPcm(codec_->codec_id) || errors_ != 0) return KAUDIO_ERROR_FILEFORM;
    lengthFrames_ = 0;
  }
  return 0;
}

bool FfmpegDecoder::CanSeek() const {
  return fmt_ && fmt_->pb && (fmt_->pb->seekable & AVIO_SEEKABLE_NORMAL);
}

std::string FfmpegDecoder::ContainerName() const {
  return fmt_ && fmt_->iformat && fmt_->iformat->name ? fmt_->iformat->name : "";
}

int64_t FfmpegDecoder::BitRate() const {
  if (!fmt_) return 0;
  if (codec_ && codec_->bit_rate > 0) return codec_->bit_rate;
  return fmt_->bit_rate;
}

std::deque<std::string> FfmpegDecoder::MetadataLines() const {
  std::deque<std::string> lines;
  auto add = [&](AVDictionary* d) {
    const AVDictionaryEntry* e = nullptr;
    while ((e = av_dict_get(d, "", e, AV_DICT_IGNORE_SUFFIX)))
      lines.push_back(std::string(e->key) + "=" + (e->value ? e->value : ""));
  };
  if (fmt_) {
    add(fmt_->metadata);
    if (streamIndex_ >= 0) add(fmt_->streams[streamIndex_]->metadata);
  }
  return lines;
}

bool FfmpegDecoder::TakeMetadataChange() {
  if (!fmt_) return false;
  bool changed = false;
  if (fmt_->event_flags & AVFMT_EVENT_FLAG_METADATA_UPDATED) {
    fmt_->event_flags &= ~AVFMT_EVENT_FLAG_METADATA_UPDATED;
    changed = true;
  }
  if (streamIndex_ >= 0) {
    AVStream* st = fmt_->streams[streamIndex_];
    if (st->event_flags & AVSTREAM_EVENT_FLAG_METADATA_UPDATED) {
      st->event_flags &= ~AVSTREAM_EVENT_FLAG_METADATA_UPDATED;
      changed = true;
    }
  }
  return changed;
}

bool FfmpegDecoder::ConvertFrame() {
  AVFrame* f = frame_;
  if (f->nb_samples <= 0) return false;
  const int inChannels = f->ch_layout.nb_channels > 0 ? f->ch_layout.nb_channels : int(format_.channels);
  const int inRate = f->sample_rate > 0 ? f->sample_rate : int(format_.rate);
  if (!swr_ || inRate != swrInRate_ || f->format != swrInFormat_ || inChannels != swrInChannels_) {
    if (swr_) swr_free(&swr_);
    AVChannelLayout outLayout, inLayout;
    av_channel_layout_default(&outLayout, int(format_.channels));
    if (f->ch_layout.nb_channels > 0 && f->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC)
      av_channel_layout_copy(&inLayout, &f->ch_layout);
    else
      av_channel_layout_default(&inLayout, inChannels);
    // Keep the channels in their own order: the first channel count stays the channel's.
    if (inLayout.nb_channels == outLayout.nb_channels) av_channel_layout_copy(&outLayout, &inLayout);
    if (swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_FLT, int(format_.rate), &inLayout,
                            AVSampleFormat(f->format), inRate, 0, nullptr) < 0 ||
        swr_init(swr_) < 0) {
      av_channel_layout_uninit(&inLayout);
      av_channel_layout_uninit(&outLayout);
      if (swr_) swr_free(&swr_);
      return false;
    }
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    swrInRate_ = inRate;
    swrInFormat_ = f->format;
    swrInChannels_ = inChannels;
  }
  const int capacity = swr_get_out_samples(swr_, f->nb_samples);
  if (capacity <= 0) return false;
  pending_.resize(size_t(capacity) * format_.channels);
  uint8_t* out = reinterpret_cast<uint8_t*>(pending_.data());
  const int n = swr_convert(swr_, &out, capacity, const_cast<const uint8_t**>(f->extended_data),
                            f->nb_samples);
  if (n <= 0) return false;
  pendingOffset_ = 0;
  pendingFrames_ = size_t(n);

  // Where this frame starts, in frames from the start of the stream.
  const int64_t ts = f->best_effort_timestamp;
  AVStream* st = fmt_->streams[streamIndex_];
  if (ts != AV_NOPTS_VALUE) {
    const int64_t samples = av_rescale_q(ts, st->time_base, AVRational{1, int(format_.rate)});
    if (firstPts_ == INT64_MIN) firstPts_ = samples;
    if (afterSeek_) {
      const int64_t start = samples - firstPts_;
      position_ = start > 0 ? uint64_t(start) : 0;
    }
  } else if (afterSeek_) {
    position_ = skipTo_ > kPreroll ? skipTo_ - kPreroll : 0;
  }
  afterSeek_ = false;
  if (position_ < skipTo_) {
    const uint64_t drop = std::min<uint64_t>(skipTo_ - position_, pendingFrames_);
    pendingOffset_ = size_t(drop);
    position_ += drop;
  }
  return pendingOffset_ < pendingFrames_;
}

bool FfmpegDecoder::DecodeMore() {
  if (!codec_ || eof_) return false;
  for (;;) {
    const int ret = avcodec_receive_frame(codec_, frame_);
    if (ret == 0) {
      const bool have = ConvertFrame();
      av_frame_unref(frame_);
      if (have) { errors_ = 0; return true; }
      continue;
    }
    if (ret == AVERROR_EOF) { eof_ = true; return false; }
    if (ret != AVERROR(EAGAIN)) {
      if (++errors_ > kMaxErrors) { eof_ = true; return false; }
      avcodec_flush_buffers(codec_);
    }
    if (draining_) { eof_ = true; return false; }
    const int r = av_read_frame(fmt_, packet_);
    if (r < 0) {
      // End of input or unrecoverable read error: let the decoder give out what it holds.
      draining_ = true;
      avcodec_send_packet(codec_, nullptr);
      continue;
    }
    if (packet_->stream_index == streamIndex_) {
      const int s = avcodec_send_packet(codec_, packet_);
      if (s < 0 && s != AVERROR(EAGAIN) && ++errors_ > kMaxErrors) {
        av_packet_unref(packet_);
        eof_ = true;
        return false;
      }
    }
    av_packet_unref(packet_);
  }
}

ReadResult FfmpegDecoder::Read(float* dst, size_t frames, size_t* got) {
  *got = 0;
  const size_t ch = format_.channels;
  while (*got < frames) {
    if (pendingOffset_ < pendingFrames_) {
      const size_t n = std::min(frames - *got, pendingFrames_ - pendingOffset_);
      std::memcpy(dst + *got * ch, pending_.data() + pendingOffset_ * ch, n * ch * sizeof(float));
      pendingOffset_ += n;
      *got += n;
      position_ += n;
    } else if (!DecodeMore()) {
      break;
    }
  }
  return *got ? ReadResult::Data : ReadResult::Ended;
}

bool FfmpegDecoder::Seek(uint64_t frame) {
  if (!fmt_ || !CanSeek()) return false;
  AVStream* st = fmt_->streams[streamIndex_];
  const uint64_t from = lossless_ ? frame : (frame > kPreroll ? frame - kPreroll : 0);
  const int64_t first = firstPts_ == INT64_MIN ? 0 : firstPts_;
  const int64_t ts = av_rescale_q(int64_t(from) + first, AVRational{1, int(format_.rate)}, st->time_base);
  if (av_seek_frame(fmt_, streamIndex_, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
      avformat_seek_file(fmt_, streamIndex_, INT64_MIN, ts, ts, 0) < 0)
    return false;
  avcodec_flush_buffers(codec_);
  if (swr_) swr_free(&swr_);
  pendingOffset_ = pendingFrames_ = 0;
  draining_ = eof_ = false;
  errors_ = 0;
  skipTo_ = frame;
  afterSeek_ = true;
  position_ = frame;
  return true;
}

}  // namespace kaudio
