// Channel control: play, stop, positions, information and attributes.
#include <kaudio.h>

#include <cmath>

#include "audio/Errors.h"
#include "audio/Library.h"
#include "audio/ModuleSource.h"
#include "audio/Recording.h"
#include "audio/TempoSource.h"

using namespace kaudio;

extern "C" {

KAUDIO_BOOL KAUDIO_ChannelPlay(KAUDIO_DWORD handle, KAUDIO_BOOL restart) {
  if (RecordingPlay(handle)) return SetError(0), 1;
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  if (ch->IsDecode()) return Fail(KAUDIO_ERROR_DECODE);
  if (!ch->Play(restart != 0)) return Fail(KAUDIO_ERROR_NOCHAN);
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_ChannelStop(KAUDIO_DWORD handle) {
  if (RecordingStop(handle)) return SetError(0), 1;
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  if (ch->IsDecode()) return Fail(KAUDIO_ERROR_DECODE);
  ch->Stop();
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_ChannelPause(KAUDIO_DWORD handle) {
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  if (ch->IsDecode()) return Fail(KAUDIO_ERROR_DECODE);
  if (ch->State() != PlayState::Playing || ch->HasEnded()) return Fail(KAUDIO_ERROR_NOPLAY);
  ch->Pause();
  SetError(0);
  return 1;
}

KAUDIO_DWORD KAUDIO_ChannelIsActive(KAUDIO_DWORD handle) {
  if (IsRecordingHandle(handle)) return SetError(0), RecordingIsActive(handle);
  auto ch = FindChannel(handle);
  if (!ch) return KAUDIO_ACTIVE_STOPPED;
  SetError(0);
  if (ch->IsDecode()) {
    // A decoding channel is active until it has been decoded to its end.
    return ch->DecodeEnded() ? KAUDIO_ACTIVE_STOPPED : KAUDIO_ACTIVE_PLAYING;
  }
  if (ch->HasEnded()) return KAUDIO_ACTIVE_STOPPED;
  switch (ch->State()) {
    case PlayState::Playing: {
      Voice* v = ch->GetVoice();
      if (v && !v->SourceEnded() && v->Written() == v->Read() && ch->source->IsLive())
        return KAUDIO_ACTIVE_STALLED;
      return KAUDIO_ACTIVE_PLAYING;
    }
    case PlayState::Paused: return KAUDIO_ACTIVE_PAUSED;
    default: return KAUDIO_ACTIVE_STOPPED;
  }
}

KAUDIO_QWORD KAUDIO_ChannelGetLength(KAUDIO_DWORD handle, KAUDIO_DWORD mode) {
  auto ch = FindChannel(handle);
  if (!ch) return KAUDIO_QWORD(-1);
  if (mode != KAUDIO_POS_BYTE) { SetError(KAUDIO_ERROR_NOTAVAIL); return KAUDIO_QWORD(-1); }
  int64_t frames;
  {
    std::lock_guard lock(ch->proc);
    frames = ch->source->LengthFrames();
  }
  if (frames < 0) { SetError(KAUDIO_ERROR_NOTAVAIL); return KAUDIO_QWORD(-1); }
  SetError(0);
  return KAUDIO_QWORD(frames) * ch->FrameBytes();
}

KAUDIO_QWORD KAUDIO_ChannelGetPosition(KAUDIO_DWORD handle, KAUDIO_DWORD mode) {
  auto ch = FindChannel(handle);
  if (!ch) return KAUDIO_QWORD(-1);
  if (mode != KAUDIO_POS_BYTE) { SetError(KAUDIO_ERROR_NOTAVAIL); return KAUDIO_QWORD(-1); }
  SetError(0);
  return ch->PositionFrames() * ch->FrameBytes();
}

KAUDIO_BOOL KAUDIO_ChannelSetPosition(KAUDIO_DWORD handle, KAUDIO_QWORD pos, KAUDIO_DWORD mode) {
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  if (mode != KAUDIO_POS_BYTE) return Fail(KAUDIO_ERROR_NOTAVAIL);
  const uint64_t frame = pos / ch->FrameBytes();
  {
    std::lock_guard lock(ch->proc);
    const int64_t len = ch->source->LengthFrames();
    if (len >= 0 && frame > uint64_t(len)) return Fail(KAUDIO_ERROR_POSITION);
  }
  if (!ch->SetPosition(frame)) return Fail(ch->source->IsLive() ? KAUDIO_ERROR_NOTFILE : KAUDIO_ERROR_POSITION);
  SetError(0);
  return 1;
}

double KAUDIO_ChannelBytes2Seconds(KAUDIO_DWORD handle, KAUDIO_QWORD pos) {
  auto ch = FindChannel(handle);
  if (!ch) return -1.0;
  SetError(0);
  return double(pos) / (double(ch->FrameBytes()) * ch->format.rate);
}

KAUDIO_QWORD KAUDIO_ChannelSeconds2Bytes(KAUDIO_DWORD handle, double pos) {
  auto ch = FindChannel(handle);
  if (!ch) return KAUDIO_QWORD(-1);
  if (!(pos >= 0)) pos = 0;
  SetError(0);
  return KAUDIO_QWORD(std::floor(pos * ch->format.rate)) * ch->FrameBytes();
}

KAUDIO_BOOL KAUDIO_ChannelGetInfo(KAUDIO_DWORD handle, KAUDIO_CHANNELINFO* info) {
  if (!info) return Fail(KAUDIO_ERROR_ILLPARAM);
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  info->freq = ch->format.rate;
  info->chans = ch->format.channels;
  info->flags = ch->flags;
  info->ctype = ch->ctype;
  info->origres = ch->format.origres;
  info->plugin = ch->plugin;
  info->filename = ch->filename.c_str();
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_ChannelSetAttribute(KAUDIO_DWORD handle, KAUDIO_DWORD attrib, float value) {
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  if (std::isnan(value)) return Fail(KAUDIO_ERROR_ILLPARAM);
  auto* tempo = dynamic_cast<TempoSource*>(ch->source.get());
  switch (attrib) {
    case KAUDIO_ATTRIB_VOL:
      // Kept for the first play when the voice does not exist yet.
      ch->pendingVolume = std::clamp(value, 0.0f, 1.0f);
      if (ch->GetVoice()) ch->GetVoice()->volume = ch->pendingVolume.load();
      break;
    case KAUDIO_ATTRIB_PAN:
      ch->pendingPan = std::clamp(value, -1.0f, 1.0f);
      if (ch->GetVoice()) ch->GetVoice()->pan = ch->pendingPan.load();
      break;
    case KAUDIO_ATTRIB_FREQ:
      if (value != 0 && (value < 100 || value > 384000)) return Fail(KAUDIO_ERROR_ILLPARAM);
      ch->SetPlaybackRate(value);
      break;
    case KAUDIO_ATTRIB_MUSIC_PANSEP: {
      std::lock_guard lock(ch->proc);
      auto* mod = dynamic_cast<ModuleSource*>(ch->source.get());
      if (!mod && tempo) {
        std::lock_guard inner(tempo->Inner()->proc);
        mod = dynamic_cast<ModuleSource*>(tempo->Inner()->source.get());
        if (mod) mod->SetPanSeparation(value);
      } else if (mod) {
        mod->SetPanSeparation(value);
      }
      if (!mod) return Fail(KAUDIO_ERROR_ILLTYPE);
      break;
    }
    case KAUDIO_ATTRIB_TEMPO:
      if (!tempo) return Fail(KAUDIO_ERROR_ILLTYPE);
      tempo->tempo = std::clamp(value, -95.0f, 5000.0f);
      break;
    case KAUDIO_ATTRIB_TEMPO_PITCH:
      if (!tempo) return Fail(KAUDIO_ERROR_ILLTYPE);
      tempo->pitch = std::clamp(value, -60.0f, 60.0f);
      break;
    case KAUDIO_ATTRIB_TEMPO_FREQ:
      if (!tempo) return Fail(KAUDIO_ERROR_ILLTYPE);
      if (value != 0 && (value < 100 || value > 384000 * 4.0f)) return Fail(KAUDIO_ERROR_ILLPARAM);
      tempo->rate = value;
      break;
    default:
      return Fail(KAUDIO_ERROR_ILLTYPE);
  }
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_ChannelGetAttribute(KAUDIO_DWORD handle, KAUDIO_DWORD attrib, float* value) {
  if (!value) return Fail(KAUDIO_ERROR_ILLPARAM);
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  auto* tempo = dynamic_cast<TempoSource*>(ch->source.get());
  switch (attrib) {
    case KAUDIO_ATTRIB_VOL: *value = ch->pendingVolume; break;
    case KAUDIO_ATTRIB_PAN: *value = ch->pendingPan; break;
    case KAUDIO_ATTRIB_FREQ: *value = ch->PlaybackRate() > 0 ? ch->PlaybackRate() : float(ch->format.rate); break;
    case KAUDIO_ATTRIB_MUSIC_PANSEP: {
      auto* mod = dynamic_cast<ModuleSource*>(ch->source.get());
      if (!mod && tempo) mod = dynamic_cast<ModuleSource*>(tempo->Inner()->source.get());
      if (!mod) return Fail(KAUDIO_ERROR_ILLTYPE);
      *value = mod->PanSeparation();
      break;
    }
    case KAUDIO_ATTRIB_TEMPO: if (!tempo) return Fail(KAUDIO_ERROR_ILLTYPE); *value = tempo->tempo; break;
    case KAUDIO_ATTRIB_TEMPO_PITCH: if (!tempo) return Fail(KAUDIO_ERROR_ILLTYPE); *value = tempo->pitch; break;
    case KAUDIO_ATTRIB_TEMPO_FREQ:
      if (!tempo) return Fail(KAUDIO_ERROR_ILLTYPE);
      *value = tempo->rate > 0 ? tempo->rate.load() : float(ch->format.rate);
      break;
    default: return Fail(KAUDIO_ERROR_ILLTYPE);
  }
  SetError(0);
  return 1;
}

}  // extern "C"
