#include "engine/BASSAPICD.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/BASSAPI.h"
#include "engine/BASSAPIEffects.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineDeviceReports.h"
#include "engine/KELDAR_EngineErrorReports.h"
#include "util/ProgramFolders.h"
#include "util/TextFunctions.h"

namespace {

constexpr KAUDIO_DWORD kFloat = 0x100;
constexpr KAUDIO_DWORD kDecode = 0x200000;
constexpr KAUDIO_DWORD kTempoFlags = 0x80010000u;

// The analog drive, track and the frame remembered by a pause.
struct AnalogState {
  int Drive = -1;
  int Track = -1;
  bool Active = false;
  std::int64_t PausedFrame = -1;
  std::int64_t Frame = 0;
};
AnalogState& Analog() {
  static AnalogState state;
  return state;
}

KELDAR_AUDIOVIDEO_API_EngineState& S() { return KELDAR_AUDIOVIDEO_API_State(); }

std::string DriveRoot(const std::string& name) {
  std::string root = ExtractFilePath(name);
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root;
}

std::int64_t BytesToSeconds(KAUDIO_DWORD bytes) {
  return std::llround(static_cast<double>(bytes) / 176400.0);
}

bool DriveHasTracks(int drive) {
  return drive >= 0 && KAUDIO_CD_IsReady(static_cast<KAUDIO_DWORD>(drive)) &&
         KAUDIO_CD_GetTracks(static_cast<KAUDIO_DWORD>(drive)) != static_cast<KAUDIO_DWORD>(-1);
}

bool Failed(const char* context) {
  S().CurrentMediaType = KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE;
  return ReportEngineError(context);
}

}  // namespace

TCDTrackName ParseCDTrackName(const std::string& name) {
  TCDTrackName result;
  std::string file = ExtractFileName(name);
  const std::string ext = ExtractFileExt(file);
  file = file.substr(0, file.size() - ext.size());
  // The name without "Track": digits only, as a number.
  if (file.size() > 5) {
    int number = 0;
    bool digits = true;
    for (size_t i = 5; i < file.size() && digits; ++i) {
      digits = file[i] >= '0' && file[i] <= '9';
      if (digits && number < 1000000) number = number * 10 + (file[i] - '0');
    }
    if (digits) result.Track = number - 1;
  }
  const std::string root = DriveRoot(name);
  if (!root.empty()) result.Drive = KAUDIO_CD_DriveFromPath(root.c_str());
  return result;
}

bool BASSAPI_CreateCDStream() {
  auto& s = S();
  if (s.CDStreamHandle) KAUDIO_StreamFree(s.CDStreamHandle);
  s.CDStreamHandle = 0;
  const TCDTrackName t = ParseCDTrackName(s.CurrentFileName);
  KAUDIO_DWORD flags = (s.FloatSupport == 1 ? kFloat : 0) | (s.TempoMode == 1 ? kDecode : 0);
  // A track number that is no number asks for a track no disc has: the library's error.
  if (t.Drive >= 0)
    s.CDStreamHandle = KAUDIO_CD_StreamCreate(static_cast<KAUDIO_DWORD>(t.Drive),
                                              static_cast<KAUDIO_DWORD>(t.Track), flags);
  if (!s.CDStreamHandle) return Failed("Can't create CD stream");
  s.TotalSeconds = std::max<std::int64_t>(1, BASSAPI_LengthSeconds(s.CDStreamHandle));
  s.Bitrate = 128;
  BASSAPI_ReadChannelInfo(s.CDStreamHandle);
  BASSAPI_SetUpFadeRanges(s.CDStreamHandle);
  if (s.TempoMode == 1) {
    const KAUDIO_DWORD tempo = KAUDIO_FX_TempoCreate(s.CDStreamHandle, kTempoFlags);
    if (tempo) s.CDStreamHandle = tempo;
  }
  return true;
}

bool BASSAPI_CreateCDAnalogTrack() {
  auto& s = S();
  if (s.CDStreamHandle) KAUDIO_StreamFree(s.CDStreamHandle);
  s.CDStreamHandle = 0;
  const TCDTrackName t = ParseCDTrackName(s.CurrentFileName);
  auto& a = Analog();
  a.Drive = t.Drive;
  a.Track = t.Track;
  a.PausedFrame = -1;
  a.Frame = 0;
  const KAUDIO_DWORD bytes =
      DriveHasTracks(t.Drive)
          ? KAUDIO_CD_GetTrackLength(static_cast<KAUDIO_DWORD>(t.Drive), static_cast<KAUDIO_DWORD>(t.Track))
          : static_cast<KAUDIO_DWORD>(-1);
  if (bytes == static_cast<KAUDIO_DWORD>(-1)) return Failed("Can't Create CD Track");
  s.TotalSeconds = std::max<std::int64_t>(1, BytesToSeconds(bytes));
  s.Bitrate = 128;
  s.ChannelInfo = {44100, 2, 16, 2};
  return true;
}

namespace {
bool StartAnalogAt(std::int64_t frame) {
  auto& a = Analog();
  if (a.Drive < 0 || a.Track < 0 || frame < 0) return false;
  if (!KAUDIO_CD_Analog_Play(static_cast<KAUDIO_DWORD>(a.Drive), static_cast<KAUDIO_DWORD>(a.Track),
                             static_cast<KAUDIO_DWORD>(frame)))
    return false;
  a.Active = true;
  a.Frame = frame;
  return true;
}
}  // namespace

bool BASSAPI_PlayCDAnalog() { return StartAnalogAt(0); }

void BASSAPI_PauseCDAnalog() {
  auto& a = Analog();
  if (!a.Active) return;
  const KAUDIO_DWORD pos = KAUDIO_CD_Analog_GetPosition(static_cast<KAUDIO_DWORD>(a.Drive));
  a.PausedFrame = pos == static_cast<KAUDIO_DWORD>(-1) ? a.Frame : (pos & 0xffff);
  KAUDIO_CD_Analog_Stop(static_cast<KAUDIO_DWORD>(a.Drive));
}

void BASSAPI_ResumeCDAnalog() {
  auto& a = Analog();
  if (!a.Active || a.PausedFrame < 0) return;
  StartAnalogAt(a.PausedFrame);
  a.PausedFrame = -1;
}

void BASSAPI_StopCDAnalog() {
  auto& a = Analog();
  if (a.Active && a.Drive >= 0) KAUDIO_CD_Analog_Stop(static_cast<KAUDIO_DWORD>(a.Drive));
  a.Active = false;
  a.PausedFrame = -1;
}

bool BASSAPI_CDAnalogActive() {
  auto& a = Analog();
  if (!a.Active || a.Drive < 0) return false;
  // A pause stopped the drive on purpose; it still counts as active.
  if (a.PausedFrame >= 0) return true;
  return KAUDIO_CD_Analog_IsActive(static_cast<KAUDIO_DWORD>(a.Drive)) != KAUDIO_ACTIVE_STOPPED;
}

void BASSAPI_UpdateCDAnalogPosition() {
  auto& a = Analog();
  if (a.Active && a.Drive >= 0 && a.PausedFrame < 0) {
    const KAUDIO_DWORD pos = KAUDIO_CD_Analog_GetPosition(static_cast<KAUDIO_DWORD>(a.Drive));
    if (pos != static_cast<KAUDIO_DWORD>(-1)) a.Frame = pos & 0xffff;
  }
  auto& s = S();
  const std::int64_t seconds = std::llround(static_cast<double>(a.Frame) / 75.0);
  s.PositionSeconds = seconds;
  s.PositionMinutes = seconds / 60;
  s.PositionSecondsOfMinute = seconds % 60;
  const std::int64_t total = s.TotalSeconds <= 0 ? 1 : s.TotalSeconds;
  s.PositionPercent = seconds * 100 / total;
  s.SeekPercent = s.PositionPercent;
}

void BASSAPI_SeekCDAnalog(std::int64_t targetSeconds) {
  StartAnalogAt(std::llround(static_cast<double>(targetSeconds) * 75.0));
}

std::int64_t BASSAPI_CDTrackLength(const std::string& name, bool analog) {
  const TCDTrackName t = ParseCDTrackName(name);
  if (t.Drive < 0 || t.Track < 0) return 0;
  if (analog) {
    if (!DriveHasTracks(t.Drive)) return 0;
    const KAUDIO_DWORD bytes =
        KAUDIO_CD_GetTrackLength(static_cast<KAUDIO_DWORD>(t.Drive), static_cast<KAUDIO_DWORD>(t.Track));
    return bytes == static_cast<KAUDIO_DWORD>(-1) ? 0 : BytesToSeconds(bytes);
  }
  const KAUDIO_DWORD h =
      KAUDIO_CD_StreamCreate(static_cast<KAUDIO_DWORD>(t.Drive), static_cast<KAUDIO_DWORD>(t.Track), 0);
  if (!h) return 0;
  const std::int64_t seconds = BASSAPI_LengthSeconds(h);
  KAUDIO_StreamFree(h);
  return seconds > 0 ? seconds : 0;
}

std::string BASSAPI_GetCDDiscID(const std::string& name) {
  auto& s = S();
  s.CDDiscIDText.clear();
  const TCDTrackName t = ParseCDTrackName(name);
  if (t.Drive < 0) return {};
  const char* text = KAUDIO_CD_GetID(static_cast<KAUDIO_DWORD>(t.Drive), KAUDIO_CDID_CDDB);
  if (!text) return {};
  s.CDDiscIDText = text;
  return TrimText(s.CDDiscIDText.substr(0, s.CDDiscIDText.find(' ')));
}

bool BASSAPI_ListCDTracks(const std::string& name, std::vector<std::string>& tracks) {
  const TCDTrackName t = ParseCDTrackName(name);
  if (t.Drive < 0) return false;
  const KAUDIO_DWORD count = KAUDIO_CD_GetTracks(static_cast<KAUDIO_DWORD>(t.Drive));
  if (count == static_cast<KAUDIO_DWORD>(-1)) return false;
  const std::string folder = ExtractFilePath(name);
  bool dataTrack = false;
  for (KAUDIO_DWORD i = 0; i < count; ++i) {
    if (KAUDIO_CD_GetTrackLength(static_cast<KAUDIO_DWORD>(t.Drive), i) == static_cast<KAUDIO_DWORD>(-1)) {
      dataTrack = true;
      continue;
    }
    char file[24];
    std::snprintf(file, sizeof file, "Track%02u.CDA", i + 1);
    tracks.push_back(folder + file);
  }
  return dataTrack;
}

void BASSAPI_InstallCDDriveReports() {
  CDDriveInfoProvider() = [](int drive) -> std::optional<TCDDriveInfo> {
    KAUDIO_CD_INFO info{};
    if (drive < 0 || !KAUDIO_CD_GetInfo(static_cast<KAUDIO_DWORD>(drive), &info)) return std::nullopt;
    TCDDriveInfo out;
    out.Vendor = info.vendor ? info.vendor : "";
    out.Product = info.product ? info.product : "";
    out.Revision = info.rev ? info.rev : "";
    out.Capabilities = info.rwflags | (info.analog ? 0x10000u : 0u);
    out.MaxReadSpeed = info.maxspeed;
    out.CacheSize = info.cache;
    out.CanReadCDText = info.cdtext != 0;
    return out;
  };
}
