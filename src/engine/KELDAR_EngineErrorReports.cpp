#include "engine/KELDAR_EngineErrorReports.h"

#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "kaudio.h"
#include "util/ShowMessage.h"

namespace {
// Indexed by code; the names of the original library's functions stay where they are quoted.
const char* const kMessages[47] = {
    "all is OK",
    "memory error",
    "can't open the file",
    "can't find a free sound driver",
    "the sample buffer was lost",
    "invalid handle",
    "unsupported sample format",
    "invalid position",
    "BASS_Init has not been successfully called",
    "BASS_Start has not been successfully called",
    "",
    "",
    "no CD in drive",
    "invalid track number",
    "already initialized/paused/whatever",
    "",
    "",
    "not an audio track",
    "can't get a free channel",
    "an illegal type was specified",
    "an illegal parameter was specified",
    "no 3D support",
    "no EAX support",
    "illegal device number",
    "not playing",
    "illegal sample rate",
    "",
    "the stream is not a file stream",
    "",
    "no hardware voices available",
    "",
    "the MOD music has no sequence data",
    "no internet connection could be opened",
    "couldn't create the file",
    "effects are not enabled",
    "",
    "",
    "requested data is not available",
    "the channel is a \"decoding channel\"",
    "a sufficient DirectX version is not installed",
    "connection timedout",
    "unsupported file format",
    "unavailable speaker",
    "invalid BASS version (used by add-ons)",
    "codec is not available/supported",
    "the channel/file has ended",
    "the device is busy",
};
}  // namespace

const char* KELDAR_EngineErrorMessage(int code) {
  return code >= 0 && code <= 46 ? kMessages[code] : "";
}

std::string KELDAR_EngineErrorText(const std::string& context, int code) {
  if (code >= 0 && code <= 46)
    return context + "\r\n" + "(Error Message: " + KELDAR_EngineErrorMessage(code) + ")" + "\r\n" +
           "(Error code: " + std::to_string(code) + ")";
  return context + "\r\n" + "(Error code: " + std::to_string(code) + ")";
}

bool ReportEngineError(const std::string& context) { return ReportEngineErrorCode(context, KAUDIO_ErrorGetCode()); }

bool ReportEngineErrorCode(const std::string& context, int code) {
  if (code == 0) return true;
  if (!KELDAR_AUDIOVIDEO_API_State().ShowErrors) return false;
  if (KELDAR_AUDIOVIDEO_API_Slots().Stop) KELDAR_AUDIOVIDEO_API_Slots().Stop();
  ShowMessage(KELDAR_EngineErrorText(context, code), "Error", TMessageIcon::Error);
  return true;
}

void ReportEncoderError(const std::string& text) {
  ShowMessage(text + "\n(error code: " + std::to_string(KAUDIO_ErrorGetCode()) + ")", "Error",
              TMessageIcon::None);
}
