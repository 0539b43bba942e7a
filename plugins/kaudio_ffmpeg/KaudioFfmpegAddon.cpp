// kaudio_ffmpeg: announces and decodes FLAC, AAC, M4A, Opus, WMA, APE, WavPack, Musepack
// and the other formats FFmpeg handles beyond MP3/MP2/MP1/OGG/WAV.
#include <kaudio_addon.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Candidate {
  const char* name;
  const char* exts;
  AVCodecID codec;
};

const Candidate kCandidates[] = {
    {"Free Lossless Audio Codec", "*.flac;*.fla", AV_CODEC_ID_FLAC},
    {"Advanced Audio Coding", "*.aac;*.adts", AV_CODEC_ID_AAC},
    // Video containers (.mp4 and the like) are the video engine's, so a film keeps its picture.
    {"MPEG-4 Audio", "*.m4a;*.m4b", AV_CODEC_ID_AAC},
    {"Apple Lossless", "*.alac", AV_CODEC_ID_ALAC},
    {"Opus", "*.opus", AV_CODEC_ID_OPUS},
    {"Windows Media Audio", "*.wma", AV_CODEC_ID_WMAV2},
    {"Monkey's Audio", "*.ape", AV_CODEC_ID_APE},
    {"WavPack", "*.wv", AV_CODEC_ID_WAVPACK},
    {"Musepack", "*.mpc;*.mpp", AV_CODEC_ID_MUSEPACK8},
    {"True Audio", "*.tta", AV_CODEC_ID_TTA},
    {"Dolby Digital", "*.ac3", AV_CODEC_ID_AC3},
    {"DTS", "*.dts", AV_CODEC_ID_DTS},
    {"Matroska Audio", "*.mka", AV_CODEC_ID_VORBIS},
    {"WebM Audio", "*.weba", AV_CODEC_ID_OPUS},
    {"Speex", "*.spx", AV_CODEC_ID_SPEEX},
};

std::vector<KAUDIO_PLUGINFORM> g_forms;
KAUDIO_ADDON g_addon;

struct Decoder {
  AVFormatContext* fmt = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* swr = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int stream = -1;
  int rate = 0, channels = 0;
  std::vector<float> pending;
  size_t offset = 0, count = 0;
  uint64_t position = 0, skipTo = 0;
  int64_t firstPts = INT64_MIN;
  bool afterSeek = false, draining = false, eof = false;
};

void Close(void* p) {
  auto* d = static_cast<Decoder*>(p);
  if (!d) return;
  avcodec_free_context(&d->codec);
  avformat_close_input(&d->fmt);
  swr_free(&d->swr);
  av_frame_free(&d->frame);
  av_packet_free(&d->packet);
  delete d;
}

bool Convert(Decoder* d) {
  AVFrame* f = d->frame;
  if (!d->swr) {
    AVChannelLayout out;
    av_channel_layout_default(&out, d->channels);
    if (f->ch_layout.nb_channels == d->channels) av_channel_layout_copy(&out, &f->ch_layout);
    if (swr_alloc_set_opts2(&d->swr, &out, AV_SAMPLE_FMT_FLT, d->rate, &f->ch_layout,
                            AVSampleFormat(f->format), f->sample_rate, 0, nullptr) < 0 ||
        swr_init(d->swr) < 0) {
      av_channel_layout_uninit(&out);
      return false;
    }
    av_channel_layout_uninit(&out);
  }
  const int cap = swr_get_out_samples(d->swr, f->nb_samples);
  if (cap <= 0) return false;
  d->pending.resize(size_t(cap) * size_t(d->channels));
  uint8_t* o = reinterpret_cast<uint8_t*>(d->pending.data());
  const int n = swr_convert(d->swr, &o, cap, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
  if (n <= 0) return false;
  d->offset = 0;
  d->count = size_t(n);
  if (f->best_effort_timestamp != AV_NOPTS_VALUE) {
    const int64_t s = av_rescale_q(f->best_effort_timestamp, d->fmt->streams[d->stream]->time_base, AVRational{1, d->rate});
    if (d->firstPts == INT64_MIN) d->firstPts = s;
    if (d->afterSeek) d->position = uint64_t(std::max<int64_t>(0, s - d->firstPts));
  }
  d->afterSeek = false;
  if (d->position < d->skipTo) {
    const uint64_t drop = std::min<uint64_t>(d->skipTo - d->position, d->count);
    d->offset = size_t(drop);
    d->position += drop;
  }
  return d->offset < d->count;
}

bool More(Decoder* d) {
  int errors = 0;
  while (!d->eof) {
    const int r = avcodec_receive_frame(d->codec, d->frame);
    if (r == 0) {
      const bool ok = Convert(d);
      av_frame_unref(d->frame);
      if (ok) return true;
      continue;
    }
    if (r == AVERROR_EOF) { d->eof = true; break; }
    // Undecodable packets are skipped, but not forever.
    if (r != AVERROR(EAGAIN) && ++errors > 200) { d->eof = true; break; }
    if (d->draining) { d->eof = true; break; }
    if (av_read_frame(d->fmt, d->packet) < 0) {
      d->draining = true;
      avcodec_send_packet(d->codec, nullptr);
      continue;
    }
    if (d->packet->stream_index == d->stream) avcodec_send_packet(d->codec, d->packet);
    av_packet_unref(d->packet);
  }
  return false;
}

void* Open(const char* path, KAUDIO_ADDON_FORMAT* format, int* error) {
  auto* d = new Decoder();  // handed to the library, freed by Close
  *error = KAUDIO_ERROR_FILEFORM;
  if (avformat_open_input(&d->fmt, path, nullptr, nullptr) < 0) { Close(d); return nullptr; }
  const AVCodec* dec = nullptr;
  if (avformat_find_stream_info(d->fmt, nullptr) < 0 ||
      (d->stream = av_find_best_stream(d->fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &dec, 0)) < 0 || !dec) {
    Close(d);
    return nullptr;
  }
  AVStream* st = d->fmt->streams[d->stream];
  d->codec = avcodec_alloc_context3(dec);
  if (avcodec_parameters_to_context(d->codec, st->codecpar) < 0 || avcodec_open2(d->codec, dec, nullptr) < 0) {
    *error = KAUDIO_ERROR_CODEC;
    Close(d);
    return nullptr;
  }
  d->codec->pkt_timebase = st->time_base;
  d->rate = d->codec->sample_rate;
  d->channels = d->codec->ch_layout.nb_channels;
  d->frame = av_frame_alloc();
  d->packet = av_packet_alloc();
  if (d->rate <= 0 || d->channels <= 0 || !More(d)) { Close(d); return nullptr; }
  format->freq = KAUDIO_DWORD(d->rate);
  format->chans = KAUDIO_DWORD(d->channels);
  format->origres = KAUDIO_DWORD(d->codec->bits_per_raw_sample);
  format->frames = st->duration > 0 ? av_rescale_q(st->duration, st->time_base, AVRational{1, d->rate})
                   : d->fmt->duration > 0 ? av_rescale(d->fmt->duration, d->rate, AV_TIME_BASE) : -1;
  *error = 0;
  return d;
}

KAUDIO_DWORD Read(void* p, float* buffer, KAUDIO_DWORD frames) {
  auto* d = static_cast<Decoder*>(p);
  KAUDIO_DWORD got = 0;
  while (got < frames) {
    if (d->offset < d->count) {
      const size_t n = std::min<size_t>(frames - got, d->count - d->offset);
      std::memcpy(buffer + size_t(got) * d->channels, d->pending.data() + d->offset * d->channels,
                  n * size_t(d->channels) * sizeof(float));
      d->offset += n;
      d->position += n;
      got += KAUDIO_DWORD(n);
    } else if (!More(d)) {
      break;
    }
  }
  return got;
}

KAUDIO_BOOL Seek(void* p, uint64_t frame) {
  auto* d = static_cast<Decoder*>(p);
  AVStream* st = d->fmt->streams[d->stream];
  const int64_t first = d->firstPts == INT64_MIN ? 0 : d->firstPts;
  const int64_t ts = av_rescale_q(int64_t(frame) + first, AVRational{1, d->rate}, st->time_base);
  if (av_seek_frame(d->fmt, d->stream, ts, AVSEEK_FLAG_BACKWARD) < 0) return 0;
  avcodec_flush_buffers(d->codec);
  d->offset = d->count = 0;
  d->draining = d->eof = false;
  d->skipTo = frame;
  d->position = frame;
  d->afterSeek = true;
  return 1;
}

}  // namespace

extern "C" KAUDIO_API const KAUDIO_ADDON* KAUDIO_AddonQuery(KAUDIO_DWORD hostVersion) {
  if ((hostVersion >> 24) != (KAUDIO_VERSION >> 24)) return nullptr;
  if (g_forms.empty()) {
    for (const auto& c : kCandidates)
      if (avcodec_find_decoder(c.codec)) g_forms.push_back({KAUDIO_CTYPE_STREAM_ADDON, c.name, c.exts});
  }
  g_addon.apiVersion = KAUDIO_ADDON_API_VERSION;
  g_addon.info.version = 0x01000000;
  g_addon.info.formatc = KAUDIO_DWORD(g_forms.size());
  g_addon.info.formats = g_forms.data();
  g_addon.open = &Open;
  g_addon.read = &Read;
  g_addon.seek = &Seek;
  g_addon.tags = nullptr;
  g_addon.close = &Close;
  return &g_addon;
}
