#include "engine/KELDAR_Conversion.h"

#include "engine/BASSAPICD.h"

#include <kaudio.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "engine/BASSAPI.h"
#include "engine/KELDAR_EncoderJob.h"
#include "engine/KELDAR_EncodersList.h"
#include "engine/KELDAR_EngineHooks.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace {

void ErrorBox(const std::string& text) { ShowMessage(text, "Error", TMessageIcon::Error); }

std::string WithoutExtension(const std::string& name) {
  const std::string ext = ExtractFileExt(name);
  return name.substr(0, name.size() - ext.size());
}

std::string TrackTwoDigits(int n) { return (n >= 0 && n < 10 ? "0" : "") + std::to_string(n); }

void ProcessUIEvents() {
  if (auto& f = EngineUIHooks().ProcessEvents) f();
}

}  // namespace

TConversionCDHooks& ConversionCDHooks() {
  static TConversionCDHooks hooks;
  return hooks;
}

std::string ConversionOutputPath(const std::string& outputTemplate, const std::string& destFolder,
                                 bool keepSubfolder, bool useDestination) {
  if (!useDestination) return WithoutExtension(outputTemplate);
  std::string path = IncludeTrailingPathDelimiter(destFolder);
  const std::string sub = ExtractFilePath(outputTemplate);
  if (keepSubfolder && !sub.empty()) {
    std::string folder = sub;
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    // One level, as the template names it.
    ::mkdir((path + folder).c_str(), 0755);
    path += folder + "/";
  }
  return path + WithoutExtension(ExtractFileName(outputTemplate));
}

std::string CDTrackOutputTemplate(const std::string& format, const TKELDAR_AUDIOVIDEO_API_AudioFileTags& tags,
                                  int trackNumber, const std::string& trackFileName) {
  // Formats written with Windows separators name the same folder here.
  std::string t = ReplaceAllText(format, "\\", "/", true);
  t = ReplaceAllText(t, "%09", TrackTwoDigits(trackNumber), false);
  t = ReplaceAllText(t, "%01", tags.TitleName, false);
  t = ReplaceAllText(t, "%02", tags.ArtistName, false);
  t = ReplaceAllText(t, "%03", tags.AlbumName, false);
  t = ReplaceAllText(t, "%04", tags.TitleAlbumYear, false);
  t = ReplaceAllText(t, "%05", tags.TitleAlbumGenre, false);
  t = ReplaceAllText(t, "%06", WithoutExtension(ExtractFileName(trackFileName)), false);
  return t;
}

bool ConvertFile(const std::string& source, const std::string& outputTemplate, const std::string& destFolder,
                 const std::atomic<bool>* cancel, const TKELDAR_AUDIOVIDEO_API_AudioFileTags& tags,
                 bool keepSubfolder, TConversionProgress* progress, int encoderIndex, bool useDestination) {
  const EncoderStructure* encoder = EncoderAt(encoderIndex);
  if (!encoder) return false;
  const std::string path = ConversionOutputPath(outputTemplate, destFolder, keepSubfolder, useDestination);
  BASSAPI_Encoder_Structure job = EncoderJobFrom(*encoder, path);
  const std::string outputFile = path + job.EncoderOutputFileExt;
  job.EncoderCmdLine = ReplaceAllText(job.EncoderCmdLine, "%01", tags.TitleName, false);
  job.EncoderCmdLine = ReplaceAllText(job.EncoderCmdLine, "%02", tags.ArtistName, false);
  job.EncoderCmdLine = ReplaceAllText(job.EncoderCmdLine, "%03", tags.AlbumName, false);
  job.EncoderCmdLine = ReplaceAllText(job.EncoderCmdLine, "%04", tags.TitleAlbumYear, false);
  job.EncoderCmdLine = ReplaceAllText(job.EncoderCmdLine, "%05", tags.TitleAlbumGenre, false);
  job.EncoderCmdLine = ReplaceAllText(job.EncoderCmdLine, "%09", tags.TrackNumber, false);
  if (SameText(source, outputFile)) {
    ErrorBox("INPUT filename can't be\rthe same as OUTPUT.");
    return false;
  }
  if (IsPlatformCodecEncoder(job.EncoderName)) {
    ErrorBox("Converting Operations can't\rbe used with ACM Manager.\rChange Encoder and try again");
    return false;
  }
  const std::uint32_t flags = PrepareEncoderCommandLine(job, outputFile);
  return EncodeFile(source, job.EncoderCmdLine, flags, cancel, progress);
}

bool EncodeFile(const std::string& source, const std::string& commandLine, std::uint32_t flags,
                const std::atomic<bool>* cancel, TConversionProgress* progress) {
  if (progress && progress->SetPosition) progress->SetPosition(0);
  const auto& state = KELDAR_AUDIOVIDEO_API_State();
  const KAUDIO_DWORD floatFlag = state.FloatSupport == 1 ? KAUDIO_SAMPLE_FLOAT : 0;
  const KAUDIO_DWORD openFlags = KAUDIO_STREAM_DECODE | floatFlag | KAUDIO_UNICODE;
  const auto& cd = ConversionCDHooks();
  KAUDIO_DWORD channel = 0;
  bool module = false;
  if (cd.IsCDTrack && cd.IsCDTrack(source)) {
    const bool playingCD = cd.PlayingCDTrack ? cd.PlayingCDTrack()
                                             : state.CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtCDTrack &&
                                                   state.PlayerState == KELDAR_AUDIOVIDEO_API_psPlaying;
    if (playingCD) {
      ErrorBox("You can't encode CD Tracks when\rthe player is playing a CD Track.\rPlease STOP CD Track playback "
               "first!!!");
      return false;
    }
    const TCDTrackName track = ParseCDTrackName(source);
    if (track.Drive >= 0 && track.Track >= 0)
      channel = KAUDIO_CD_StreamCreate(static_cast<KAUDIO_DWORD>(track.Drive), static_cast<KAUDIO_DWORD>(track.Track),
                                       openFlags & ~KAUDIO_UNICODE);
  } else {
    channel = KAUDIO_StreamCreateFile(0, source.c_str(), 0, 0, openFlags);
    if (!channel) {
      channel = KAUDIO_MusicLoad(0, source.c_str(), 0, 0, BASSAPI_ModuleFlags() | openFlags, 0);
      module = channel != 0;
    }
  }
  if (!channel) return false;
  const auto freeSource = [&] {
    if (module) KAUDIO_MusicFree(channel);
    else KAUDIO_StreamFree(channel);
  };
  KAUDIO_CHANNELINFO info{};
  if (!KAUDIO_ChannelGetInfo(channel, &info) || info.chans > 2) {
    freeSource();
    ErrorBox("Converting Operations can't\rbe used with Multi Channel Files");
    return false;
  }
  const KAUDIO_DWORD encoder = KAUDIO_Encode_Start(channel, commandLine.c_str(), flags | KAUDIO_UNICODE, nullptr, nullptr);
  if (!encoder) {
    freeSource();
    ErrorBox("Couldn't start encoding.\r" + EncoderStartFailureReasons());
    return false;
  }
  const KAUDIO_QWORD length = KAUDIO_ChannelGetLength(channel, KAUDIO_POS_BYTE);
  std::vector<std::uint8_t> block(kConversionBlockBytes);
  bool cancelled = false;
  while (KAUDIO_ChannelIsActive(channel) != KAUDIO_ACTIVE_STOPPED) {
    if (cancel && cancel->load()) {
      cancelled = true;
      break;
    }
    // Decoding the block feeds it to the encoder.
    if (KAUDIO_ChannelGetData(channel, block.data(), kConversionBlockBytes) == KAUDIO_DWORD(-1)) break;
    if (KAUDIO_Encode_IsActive(encoder) != KAUDIO_ACTIVE_PLAYING) break;
    const KAUDIO_QWORD position = KAUDIO_ChannelGetPosition(channel, KAUDIO_POS_BYTE);
    if (length != KAUDIO_QWORD(-1) && length > 0) {
      if (position >= length) break;
      if (progress && progress->SetPosition) progress->SetPosition(int(std::trunc(double(position) / double(length) * 100.0)));
    }
    ProcessUIEvents();
  }
  KAUDIO_Encode_Stop(encoder);
  freeSource();
  return !cancelled;
}
