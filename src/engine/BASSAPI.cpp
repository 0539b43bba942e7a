#include "engine/BASSAPI.h"
#include "engine/KELDAR_Conversion.h"
#include "engine/KELDAR_Recording.h"

#include <cmath>
#include <filesystem>

#include "engine/BASSAPICD.h"
#include "engine/BASSAPIEffects.h"
#include "engine/BASSAPIInternetStream.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineDeviceReports.h"
#include "engine/KELDAR_EngineErrorReports.h"
#include "engine/KELDAR_EngineHooks.h"
#include "engine/KELDAR_OutputDevices.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "engine/KELDAR_Tags.h"
#include "engine/KELDAR_VideoEngine.h"
#include "kaudio.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace {

constexpr KAUDIO_DWORD kUnicode = 0x80000000u;
constexpr KAUDIO_DWORD kFloat = 0x100;
constexpr KAUDIO_DWORD kDecode = 0x200000;
constexpr KAUDIO_DWORD kTempoFlags = 0x80010000u;
constexpr KAUDIO_DWORD kPrescan = 0x20000;
constexpr KAUDIO_DWORD kPanSeparation = 257;

int g_outputDevice = KAUDIO_DEVICE_DEFAULT;

KELDAR_AUDIOVIDEO_API_EngineState& S() { return KELDAR_AUDIOVIDEO_API_State(); }
KELDAR_AUDIOVIDEO_API_EngineSettings& Cfg() { return KELDAR_AUDIOVIDEO_API_Settings(); }

void TellPlayerStateChanged() {
  if (const auto& told = EngineUIHooks().PlayerStateChanged) told();
}

void SongHasEnded() {
  S().PlayerState = KELDAR_AUDIOVIDEO_API_psEnded;
  S().SongEnded = 1;
  TellPlayerStateChanged();
}

KAUDIO_DWORD F(KAUDIO_DWORD x) {
  return x | (S().FloatSupport == 1 ? kFloat : 0) | (S().TempoMode == 1 ? kDecode : 0);
}

KAUDIO_DWORD ModuleFlags() {
  KAUDIO_DWORD flags = kPrescan;
  if (Cfg().NonInterpolatedMixing) flags |= 0x10000;
  if (Cfg().RampingMode == 1) flags |= 0x200;
  if (Cfg().RampingMode == 2) flags |= 0x400;
  if (Cfg().SurroundMode == 1) flags |= 0x800;
  if (Cfg().SurroundMode == 2) flags |= 0x1000;
  if (Cfg().MODPlaybackMode == 1) flags |= 0x4000;
  if (Cfg().MODPlaybackMode == 2) flags |= 0x2000;
  return flags;
}

}  // namespace

std::uint32_t BASSAPI_ModuleFlags() { return ModuleFlags(); }

KAUDIO_DWORD BASSAPI_CurrentHandle() {
  switch (S().CurrentMediaType) {
    case KELDAR_AUDIOVIDEO_API_mtStream: return S().StreamHandle;
    case KELDAR_AUDIOVIDEO_API_mtShoutcastStream: return S().InternetStreamHandle;
    case KELDAR_AUDIOVIDEO_API_mtMOD: return S().MusicHandle;
    case KELDAR_AUDIOVIDEO_API_mtCDTrack: return S().CDStreamHandle;
    default: return 0;
  }
}

std::int64_t BASSAPI_LengthSeconds(KAUDIO_DWORD handle) {
  const KAUDIO_QWORD bytes = KAUDIO_ChannelGetLength(handle, 0);
  if (bytes == static_cast<KAUDIO_QWORD>(-1)) return 0;
  return std::llround(KAUDIO_ChannelBytes2Seconds(handle, bytes));
}

void BASSAPI_ReadChannelInfo(KAUDIO_DWORD handle) {
  KAUDIO_CHANNELINFO info{};
  auto& ci = S().ChannelInfo;
  ci = {};
  if (!KAUDIO_ChannelGetInfo(handle, &info)) return;
  ci.SamplingRate = info.freq;
  ci.Channels = static_cast<std::uint8_t>(info.chans);
  ci.Bits = (info.flags & KAUDIO_SAMPLE_8BITS) ? 8 : 16;
  ci.BytesPerSample = ci.Bits / 8;
}

namespace {

KAUDIO_DWORD CurrentHandle() { return BASSAPI_CurrentHandle(); }
std::int64_t LengthSeconds(KAUDIO_DWORD handle) { return BASSAPI_LengthSeconds(handle); }
void ReadChannelInfo(KAUDIO_DWORD handle) { BASSAPI_ReadChannelInfo(handle); }

// Channels of a probe open; a failed probe counts as 0.
int ProbeChannels(const std::string& file, bool module) {
  KAUDIO_DWORD h = module ? KAUDIO_MusicLoad(0, file.c_str(), 0, 0, kUnicode, 0)
                          : KAUDIO_StreamCreateFile(0, file.c_str(), 0, 0, kUnicode);
  if (!h) return 0;
  KAUDIO_CHANNELINFO info{};
  const int chans = KAUDIO_ChannelGetInfo(h, &info) ? static_cast<int>(info.chans) : 0;
  if (module) KAUDIO_MusicFree(h); else KAUDIO_StreamFree(h);
  return chans;
}

void ApplyMarkersToTotal() {
  if (!S().MarkersCount()) return;
  S().TotalSeconds = S().EndMarker != 0 ? S().EndMarker - S().StartMarker
                                        : S().TotalSeconds - S().StartMarker;
  if (S().TotalSeconds < 1) S().TotalSeconds = 1;
}

// In tempo mode the decoding channel is wrapped; the tempo stream frees its source.
KAUDIO_DWORD WrapInTempo(KAUDIO_DWORD handle) {
  if (S().TempoMode != 1) return handle;
  const KAUDIO_DWORD tempo = KAUDIO_FX_TempoCreate(handle, kTempoFlags);
  return tempo ? tempo : handle;
}

void FreeModule() {
  if (!S().MusicHandle) return;
  // A wrapped module is a stream.
  if (!KAUDIO_StreamFree(S().MusicHandle)) KAUDIO_MusicFree(S().MusicHandle);
  S().MusicHandle = 0;
}

void FreeStream(std::uint32_t& handle) {
  if (handle) KAUDIO_StreamFree(handle);
  handle = 0;
}

bool Fail(const char* context) {
  S().CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  return ReportEngineError(context);
}

bool CreateStream() {
  auto& s = S();
  s.PositionSeconds = s.PositionMinutes = s.PositionSecondsOfMinute = s.PositionPercent = 0;
  s.CurrentMediaType = GetMediaFileType(s.CurrentFileName);
  const auto type = s.CurrentMediaType;
  if (type == KELDAR_AUDIOVIDEO_API_mtStream || type == KELDAR_AUDIOVIDEO_API_mtMOD)
    s.TempoMode = ProbeChannels(s.CurrentFileName, type == KELDAR_AUDIOVIDEO_API_mtMOD) <= 2 ? 1 : 0;
  else
    s.TempoMode = type == KELDAR_AUDIOVIDEO_API_mtCDTrack ? 1 : 0;
  switch (type) {
    case KELDAR_AUDIOVIDEO_API_mtStream: {
      FreeStream(s.StreamHandle);
      s.StreamHandle = KAUDIO_StreamCreateFile(0, s.CurrentFileName.c_str(), 0, 0, F(0) | kUnicode);
      if (!s.StreamHandle) return Fail("Can't create stream");
      s.TotalSeconds = std::max<std::int64_t>(1, LengthSeconds(s.StreamHandle));
      std::error_code ec;
      const auto size = std::filesystem::file_size(s.CurrentFileName, ec);
      s.Bitrate = ec ? 0
                     : static_cast<std::int16_t>(std::llround(static_cast<double>(size) * 8.0 /
                                                              (s.TotalSeconds * 1000.0)));
      ApplyMarkersToTotal();
      ReadChannelInfo(s.StreamHandle);
      BASSAPI_SetUpFadeRanges(s.StreamHandle);
      s.StreamHandle = WrapInTempo(s.StreamHandle);
      return true;
    }
    case KELDAR_AUDIOVIDEO_API_mtMOD: {
      FreeModule();
      s.MusicHandle = KAUDIO_MusicLoad(0, s.CurrentFileName.c_str(), 0, 0, F(ModuleFlags()) | kUnicode, 0);
      if (!s.MusicHandle) return Fail("Can't load music");
      s.TotalSeconds = std::max<std::int64_t>(1, LengthSeconds(s.MusicHandle));
      s.Bitrate = 0;
      ApplyMarkersToTotal();
      ReadChannelInfo(s.MusicHandle);
      BASSAPI_SetUpFadeRanges(s.MusicHandle);
      s.MusicHandle = WrapInTempo(s.MusicHandle);
      KAUDIO_ChannelSetAttribute(s.MusicHandle, kPanSeparation,
                                 static_cast<float>(Cfg().MODPanSeparationLevel));
      return true;
    }
    case KELDAR_AUDIOVIDEO_API_mtShoutcastStream: return BASSAPI_CreateInternetStream();
    case KELDAR_AUDIOVIDEO_API_mtCDTrack: return BASSAPI_CreateCDStream();
    case KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack: return BASSAPI_CreateCDAnalogTrack();
    case KELDAR_AUDIOVIDEO_API_mtVIDEOStream: {
      CloseVideo();
      if (!OpenVideo(s.CurrentFileName, 0)) {
        s.CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
        return ReportVideoError("Can't Create Video Stream");
      }
      s.TotalSeconds = std::max<std::int64_t>(1, GetVideoLength());
      // The deck shows kbps in 16 bits.
      s.Bitrate = static_cast<std::int16_t>(std::min<std::int64_t>(32767, GetVideoBitrate() / 1000));
      s.ChannelInfo = {};
      s.ChannelInfo.Channels = 2;
      s.ChannelInfo.Bits = 16;
      s.ChannelInfo.BytesPerSample = 2;
      return true;
    }
    default: return true;
  }
}

void Play() {
  auto& s = S();
  s.PlayerState = KELDAR_AUDIOVIDEO_API_psPlaying;
  const auto type = s.CurrentMediaType;
  if (type <= KELDAR_AUDIOVIDEO_API_mtCDTrack) {
    const KAUDIO_DWORD h = CurrentHandle();
    if (type == KELDAR_AUDIOVIDEO_API_mtStream && s.MarkersCount() && s.StartMarker > 0) {
      const KAUDIO_QWORD start = KAUDIO_ChannelSeconds2Bytes(h, s.StartMarker);
      FadeState().Counter = static_cast<std::int64_t>(start);
      KAUDIO_ChannelSetPosition(h, start, 0);
    }
    if (!KAUDIO_ChannelPlay(h, 0)) {
      s.CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
      ReportEngineError(type == KELDAR_AUDIOVIDEO_API_mtMOD       ? "Can't play music"
                        : type == KELDAR_AUDIOVIDEO_API_mtCDTrack ? "Can't play CD stream"
                                                                  : "Can't play stream");
    }
  } else if (type == KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack) {
    if (!BASSAPI_PlayCDAnalog()) {
      s.CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
      ReportEngineError("Can't play CD Track");
    }
  } else if (type == KELDAR_AUDIOVIDEO_API_mtVIDEOStream) {
    if (!PlayVideo()) {
      s.CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
      ReportVideoError("Can't Play Video Stream");
    }
  } else if (type == KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE) {
    ReportEngineError("Unknown File Type");
  }
  TellPlayerStateChanged();
}

void Pause() {
  S().PlayerState = KELDAR_AUDIOVIDEO_API_psPaused;
  BASSAPI_PauseCDAnalog();
  KAUDIO_Pause();
  PauseVideo();
  TellPlayerStateChanged();
}

void Resume() {
  S().PlayerState = KELDAR_AUDIOVIDEO_API_psPlaying;
  BASSAPI_ResumeCDAnalog();
  KAUDIO_Start();
  ResumeVideo();
  TellPlayerStateChanged();
}

void Stop() {
  S().PlayerState = KELDAR_AUDIOVIDEO_API_psStopped;
  if (S().CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack) BASSAPI_StopCDAnalog();
  if (S().CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtVIDEOStream) StopVideo();
  if (const KAUDIO_DWORD h = CurrentHandle()) KAUDIO_ChannelStop(h);
  TellPlayerStateChanged();
}

void FreeStreams() {
  FreeStream(S().StreamHandle);
  FreeStream(S().InternetStreamHandle);
  S().ConnectionState = 0;
  FreeModule();
  FreeStream(S().CDStreamHandle);
  CloseVideo();
}

void UpdatePosition() {
  auto& s = S();
  // The deck's timer is where texts from the library's threads reach the UI.
  BASSAPI_SyncStreamMetadata();
  if (s.CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack) return BASSAPI_UpdateCDAnalogPosition();
  const bool video = s.CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtVIDEOStream;
  if (s.CurrentMediaType > KELDAR_AUDIOVIDEO_API_mtCDTrack && !video) return;
  double seconds = 0;
  if (video) {
    seconds = static_cast<double>(GetVideoPosition());
    // A DVD's length is the current title's (or menu's), and a fragmented film's grows as it
    // is read: the deck shows the length last read.
    s.TotalSeconds = std::max<std::int64_t>(1, VideoLengthSeconds());
  } else {
    const KAUDIO_DWORD h = CurrentHandle();
    const KAUDIO_QWORD bytes = KAUDIO_ChannelGetPosition(h, 0);
    seconds = bytes == static_cast<KAUDIO_QWORD>(-1) ? 0 : KAUDIO_ChannelBytes2Seconds(h, bytes);
  }
  if (seconds < 0) seconds = 0;
  std::int64_t pos = std::llround(seconds);
  if (s.CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtStream && s.MarkersCount() && s.StartMarker > 0)
    pos -= s.StartMarker;
  s.PositionSeconds = pos;
  s.PositionMinutes = pos < 0 ? 0 : pos / 60;
  s.PositionSecondsOfMinute = pos < 0 ? 0 : pos % 60;
  const std::int64_t total = s.TotalSeconds <= 0 ? 1 : s.TotalSeconds;
  s.PositionPercent = pos * 100 / total;
  s.SeekPercent = s.PositionPercent;
}

void SeekToPercent() {
  auto& s = S();
  const auto type = s.CurrentMediaType;
  if (type == KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack) return BASSAPI_SeekCDAnalog(s.SeekPercent * s.TotalSeconds / 100);
  if (type == KELDAR_AUDIOVIDEO_API_mtVIDEOStream) return SeekVideo(s.SeekPercent * s.TotalSeconds / 100);
  if (type != KELDAR_AUDIOVIDEO_API_mtStream && type != KELDAR_AUDIOVIDEO_API_mtMOD &&
      type != KELDAR_AUDIOVIDEO_API_mtCDTrack)
    return;
  std::int64_t target = s.SeekPercent * s.TotalSeconds / 100;
  if (type == KELDAR_AUDIOVIDEO_API_mtStream && s.MarkersCount() && s.StartMarker > 0)
    target += s.StartMarker;
  const KAUDIO_DWORD h = CurrentHandle();
  const KAUDIO_QWORD bytes = KAUDIO_ChannelSeconds2Bytes(h, static_cast<double>(target));
  FadeState().Counter = static_cast<std::int64_t>(bytes);
  KAUDIO_ChannelSetPosition(h, bytes, 0);
}

void CheckEndOfStream() {
  auto& s = S();
  if (s.PlayerState != KELDAR_AUDIOVIDEO_API_psPlaying) return;
  const auto type = s.CurrentMediaType;
  if (type == KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack && !BASSAPI_CDAnalogActive()) SongHasEnded();
  if (type == KELDAR_AUDIOVIDEO_API_mtVIDEOStream && IsVideoActive() == kVideoStopped) SongHasEnded();
  if (type > KELDAR_AUDIOVIDEO_API_mtCDTrack) return;
  const KAUDIO_DWORD h = CurrentHandle();
  bool ended = KAUDIO_ChannelIsActive(h) == 0;
  if (!ended && (type == KELDAR_AUDIOVIDEO_API_mtStream || type == KELDAR_AUDIOVIDEO_API_mtMOD)) {
    UpdatePosition();
    if (type == KELDAR_AUDIOVIDEO_API_mtStream)
      ended = s.MarkersCount() && s.EndMarker != 0 && s.PositionSeconds >= s.TotalSeconds;
    else
      ended = s.PositionSeconds > s.TotalSeconds;
  }
  if (ended) SongHasEnded();
}

std::int64_t GetFilePlaybackLength(const std::string& name) {
  const auto type = GetMediaFileType(name);
  if (type == KELDAR_AUDIOVIDEO_API_mtCDTrack || type == KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack)
    return BASSAPI_CDTrackLength(name, type == KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack);
  if (type == KELDAR_AUDIOVIDEO_API_mtVIDEOStream) return GetVideoFileLength(name);
  KAUDIO_DWORD h = 0;
  if (type == KELDAR_AUDIOVIDEO_API_mtStream)
    h = KAUDIO_StreamCreateFile(0, name.c_str(), 0, 0, kUnicode);
  else if (type == KELDAR_AUDIOVIDEO_API_mtMOD)
    h = KAUDIO_MusicLoad(0, name.c_str(), 0, 0, kUnicode | kPrescan, 0);
  if (!h) return 0;
  const std::int64_t seconds = LengthSeconds(h);
  if (type == KELDAR_AUDIOVIDEO_API_mtMOD) KAUDIO_MusicFree(h); else KAUDIO_StreamFree(h);
  return seconds > 0 ? seconds : 0;
}

// Data operations: fixed buffers, no allocation; zeros when nothing usable plays.
bool DataUsable() {
  return S().PlayerState == KELDAR_AUDIOVIDEO_API_psPlaying &&
         S().CurrentMediaType <= KELDAR_AUDIOVIDEO_API_mtCDTrack && S().ChannelInfo.Channels <= 2 &&
         CurrentHandle() != 0;
}

template <typename Buffer>
void FillData(Buffer& buffer, KAUDIO_DWORD request) {
  if (!DataUsable() ||
      KAUDIO_ChannelGetData(CurrentHandle(), buffer.data(), request) == static_cast<KAUDIO_DWORD>(-1))
    buffer.fill(0);
}

void GetFFTData() { FillData(S().FFTData, 0x80000002u); }
void GetFFTChannelData() {
  FillData(S().FFTChannelData, S().ChannelInfo.Channels == 1 ? 0x80000012u : 0x80000011u);
}
void GetWaveformData() { FillData(S().WaveformData, 2048); }
void GetMixedWaveformData() {
  GetWaveformData();
  auto& out = S().MixedWaveformData;
  const auto* frames = reinterpret_cast<const float*>(S().WaveformData.data());
  for (int i = 0; i < 256; ++i) {
    const float m = S().FloatSupport == 1 ? (frames[2 * i] + frames[2 * i + 1]) / 2 : 0.0f;
    out[2 * i] = out[2 * i + 1] = m;
  }
}
void GetLevel() {
  if (!DataUsable()) {
    S().Level = 0;
    return;
  }
  const KAUDIO_DWORD level = KAUDIO_ChannelGetLevel(CurrentHandle());
  S().Level = level == static_cast<KAUDIO_DWORD>(-1) ? 0 : level;
}

void GetCPUUsage() { S().CPUUsage = KAUDIO_GetCPU(); }
void SetBufferLength() {
  KAUDIO_SetConfig(KAUDIO_CONFIG_BUFFER, static_cast<KAUDIO_DWORD>(Cfg().BufferLengthMs));
}
void SetMODPanSeparation() {
  if (S().MusicHandle)
    KAUDIO_ChannelSetAttribute(S().MusicHandle, kPanSeparation,
                               static_cast<float>(Cfg().MODPanSeparationLevel));
}

void UnloadAudioAPI() {
  CloseVideo();
  BASSAPI_StopCDAnalog();
  KAUDIO_Stop();
  BASSAPI_JoinConnectionThread();
  BASSAPI_RemoveAllEffects();
  FreeStreams();
  ClearSupportedFileTypes();
  if (InputPluginLoaderHooks().UnloadAll) InputPluginLoaderHooks().UnloadAll();
  S().RecordingInputs.clear();
  StopRecording();
  KAUDIO_RecordFree();
  KAUDIO_Free();
}

void BindSlots() {
  auto& o = KELDAR_AUDIOVIDEO_API_Slots();
  o.UnloadAudioAPI = UnloadAudioAPI;
  o.CreateStream = CreateStream;
  o.Play = Play;
  o.Pause = Pause;
  o.Resume = Resume;
  o.Stop = Stop;
  o.FreeStreams = FreeStreams;
  o.UpdatePosition = UpdatePosition;
  o.SeekToPercent = SeekToPercent;
  o.CheckEndOfStream = CheckEndOfStream;
  o.GetFilePlaybackLength = GetFilePlaybackLength;
  o.GetFFTData = GetFFTData;
  o.GetFFTChannelData = GetFFTChannelData;
  o.GetWaveformData = GetWaveformData;
  o.GetMixedWaveformData = GetMixedWaveformData;
  o.GetLevel = GetLevel;
  o.GetCPUUsage = GetCPUUsage;
  o.SetBufferLength = SetBufferLength;
  o.SetMODPanSeparation = SetMODPanSeparation;
  o.GetMediaFileType = ::GetMediaFileType;
  o.BuildSupportedFileTypes = ::BuildSupportedFileTypes;
  o.ShowSoundDeviceInfo = ::ShowSoundDeviceInfo;
  o.ShowCDDrivesInfo = ::ShowCDDrivesInfo;
  o.GetCDDiscID = BASSAPI_GetCDDiscID;
  o.ListCDTracks = BASSAPI_ListCDTracks;
  o.SetVolume = BASSAPI_SetVolume;
  o.SetBalance = BASSAPI_SetBalance;
  o.SetPitch = BASSAPI_SetPitch;
  o.SetTempo = BASSAPI_SetTempo;
  o.SetSampleRate = BASSAPI_SetSampleRate;
  o.UpdateEQ = BASSAPI_UpdateEQ;
  o.ApplyEQState = BASSAPI_ApplyEQState;
  o.ApplyFadeState = BASSAPI_ApplyFadeState;
  o.ApplyAutoAmplifyState = BASSAPI_ApplyAutoAmplifyState;
  o.ApplyDSPState = BASSAPI_ApplyDSPState;
  o.ReadFileTags = [](const std::string& name) { return ::ReadFileTags(name); };
  o.ReadFileTagsAndLength = [](const std::string& name) {
    TKELDAR_AUDIOVIDEO_API_FileTagsAndLength read;
    read.Tags = ::ReadFileTags(name, &read.LengthSeconds);
    if (GetMediaFileType(name) != KELDAR_AUDIOVIDEO_API_mtStream) read.LengthSeconds = GetFilePlaybackLength(name);
    return read;
  };
  o.GetModuleInfo = ::GetModuleInfo;
  o.ConvertFile = ::ConvertFile;
  o.SelectRecordingInput = ::SelectRecordingInput;
  o.ShowRecordingDialog = [] {
    if (auto& show = RecordingDialogHook()) show();
  };
}

// Recording inputs: name + " (" + input type text + " )" for each input of the default
// recording device.
void ListRecordingInputs() {
  auto& list = S().RecordingInputs;
  list.clear();
  auto& hooks = RecordingInputHooks();
  // Without a recording service built in there is nothing to list.
  if (!hooks.Open) return;
  if (!hooks.Open()) {
    ReportEngineError("Can't initialize device");
    return;
  }
  if (!hooks.InputName) return;
  for (int i = 0;; ++i) {
    const auto input = hooks.InputName(i);
    if (!input) break;
    list.push_back(input->Name + " (" + input->TypeText + " )");
  }
}

}  // namespace

void BASSAPI_SetOutputDevice(int device) { g_outputDevice = device; }

bool BASSAPI_VersionAccepted(std::uint32_t version) { return (version >> 24) == 0x01; }

bool BASSAPI_Initialize() {
  BindSlots();
  VideoRenderTest() = VideoCanRender;
  BASSAPI_InstallCDDriveReports();
  auto& s = S();
  s.StreamHandle = s.InternetStreamHandle = s.MusicHandle = s.CDStreamHandle = 0;
  s.ConnectionState = 0;
  s.CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  s.PlayerState = KELDAR_AUDIOVIDEO_API_psStopped;
  const bool accepted = BASSAPI_VersionAccepted(KAUDIO_GetVersion());
  KAUDIO_SetConfig(KAUDIO_CONFIG_BUFFER, static_cast<KAUDIO_DWORD>(Cfg().BufferLengthMs));
  KAUDIO_SetConfig(KAUDIO_CONFIG_FLOATDSP, 1);
  KAUDIO_SetConfig(KAUDIO_CONFIG_NET_TIMEOUT, 10000);
  s.DSPOutputInfo.DSPSamplingRate = Cfg().OutputSamplingRate;
  // The user's device when nobody forced one; a device that is gone leaves the default.
  const int device =
      g_outputDevice == KAUDIO_DEVICE_DEFAULT ? OutputDeviceNumberByName(KELDAR_OutputDeviceName()) : g_outputDevice;
  const bool opened = KAUDIO_Init(device, Cfg().OutputSamplingRate, KAUDIO_DEVICE_LATENCY, nullptr, nullptr);
  if (device != 0 && (!opened || KAUDIO_GetDevice() == 0)) {
    ShowMessage("Can't initialize digital sound system\rStarting with NO sound", "Error",
                TMessageIcon::Error);
    if (!opened) KAUDIO_Init(0, Cfg().OutputSamplingRate, KAUDIO_DEVICE_LATENCY, nullptr, nullptr);
  }
  // Audio add-ons beside the program, by file name.
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ExecutableFolder(), ec)) {
    const std::string file = entry.path().filename().string();
    if (file.rfind("kaudio_", 0) == 0 && file.size() > 10 &&
        file.compare(file.size() - 3, 3, ".so") == 0)
      KAUDIO_PluginLoad(entry.path().string().c_str(), kUnicode);
  }
  // Input plug-ins: the loader empties its table and loads every plug-in it finds.
  if (InputPluginLoaderHooks().LoadAll) InputPluginLoaderHooks().LoadAll();
  ListRecordingInputs();
  KAUDIO_Start();
  s.FloatSupport = 0;
  if (KAUDIO_DWORD probe = KAUDIO_StreamCreate(Cfg().OutputSamplingRate, 2, 0x80000100u, nullptr, nullptr)) {
    KAUDIO_StreamFree(probe);
    s.FloatSupport = 1;
  }
  s.TempoMode = 0;
  return accepted;
}

int RegisterBASSAPIBackend() {
  const std::string version = AudioLibraryVersionText(KAUDIO_GetVersion());
  KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord record;
  record.KELDAR_AUDIOVIDEO_API_InitializeFunction = BASSAPI_Initialize;
  record.KELDAR_AUDIOVIDEO_API_AudioAPIDeveloper =
      "KAUDIO " + version + "\nKeldar audio library, by the Zorvane Audio Player developers";
  record.KELDAR_AUDIOVIDEO_API_AudioAPIName = "KAUDIO " + version;
  record.KELDAR_AUDIOVIDEO_API_AudioAPIVersion = version;
  record.KELDAR_AUDIOVIDEO_API_AudioAPIDLLFileName = "libkaudio.so";
  KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes = ::BuildSupportedFileTypes;
  // Names on the command line are sorted before the library starts; films among them need
  // the render test already.
  VideoRenderTest() = VideoCanRender;
  return RegisterAudioAPI(std::move(record));
}
