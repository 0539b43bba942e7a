#include "engine/KELDAR_Recording.h"

#include <kaudio.h>

#include "engine/KELDAR_EngineErrorReports.h"
#include "engine/KELDAR_EngineHooks.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/TextFunctions.h"

#include <vector>

TRecordingState& RecordingState() {
  static TRecordingState state;
  return state;
}

std::string GetRecordingInputType(std::uint32_t inputFlags) {
  switch (inputFlags >> 24) {
    case 0x01: return "digital";
    case 0x02: return "line-in";
    case 0x03: return "microphone";
    case 0x04: return "midi synth";
    case 0x05: return "analog cd";
    case 0x06: return "telephone";
    case 0x07: return "pc speaker";
    case 0x08: return "wave/pcm";
    case 0x09: return "aux";
    case 0x0A: return "analog";
    default: return "undefined";
  }
}

void SelectRecordingInput() {
  for (int i = 0; KAUDIO_RecordSetInput(i, KAUDIO_INPUT_OFF, -1.0f); ++i) {
  }
  KAUDIO_RecordSetInput(Options_RecordingSourceInput.IntegerValue, KAUDIO_INPUT_ON, -1.0f);
}

void InstallRecordingInputHooks() {
  auto& hooks = RecordingInputHooks();
  hooks.Open = [] { return KAUDIO_RecordInit(-1) || KAUDIO_ErrorGetCode() == KAUDIO_ERROR_ALREADY; };
  hooks.InputName = [](int i) -> std::optional<KELDAR_RecordingInputHooks::TInput> {
    const char* name = KAUDIO_RecordGetInputName(i);
    if (!name) return std::nullopt;
    return KELDAR_RecordingInputHooks::TInput{name, GetRecordingInputType(KAUDIO_RecordGetInput(i, nullptr))};
  };
}

namespace {

// Keeps the recording going only while its encoder runs.
KAUDIO_BOOL KeepRecording(KAUDIO_HRECORD handle, const void*, KAUDIO_DWORD, void*) {
  return KAUDIO_Encode_IsActive(handle) == KAUDIO_ACTIVE_PLAYING;
}

}  // namespace

std::function<void()>& RecordingDialogHook() {
  static std::function<void()> hook;
  return hook;
}

bool IsRecording() { return RecordingState().State == TRecordingState::kRecording; }

bool StartRecording(BASSAPI_Encoder_Structure job, int rate, int channels) {
  auto& st = RecordingState();
  if (st.Channel.load()) StopRecording();
  st.State = TRecordingState::kRecording;
  const std::string outputFile = job.EncoderOutputFilename + job.EncoderOutputFileExt;
  const KAUDIO_DWORD channel = KAUDIO_RecordStart(KAUDIO_DWORD(rate), KAUDIO_DWORD(channels),
                                                  KAUDIO_RECORD_PAUSE | KAUDIO_SAMPLE_FLOAT, &KeepRecording, nullptr);
  if (!channel) {
    ReportEncoderError("Couldn't start recording");
    st.State = TRecordingState::kStopped;
    return false;
  }
  st.Channel.store(channel);
  if (!IsPlatformCodecEncoder(job.EncoderName)) {
    const std::uint32_t flags = PrepareEncoderCommandLine(job, outputFile);
    if (!KAUDIO_Encode_Start(channel, job.EncoderCmdLine.c_str(), flags | KAUDIO_UNICODE, nullptr, nullptr)) {
      ReportEncoderError("Couldn't start encoding with : " + job.EncoderName + "\r" + EncoderStartFailureReasons());
      st.State = TRecordingState::kStopped;
    }
  } else {
    // The user picks the codec and format; cancelling simply does not record.
    std::vector<std::uint8_t> form(KAUDIO_Encode_GetACMFormat(channel, nullptr, 0, nullptr, 0));
    if (form.empty() || !KAUDIO_Encode_GetACMFormat(channel, form.data(), KAUDIO_DWORD(form.size()),
                                                    "Choose Codec", KAUDIO_ACM_DEFAULT | KAUDIO_UNICODE)) {
      st.State = TRecordingState::kStopped;
    } else {
      const std::string file = ReplaceAllText(job.EncoderCmdLine, "%outputfile%", outputFile, false);
      if (!KAUDIO_Encode_StartACMFile(channel, form.data(), KAUDIO_UNICODE | KAUDIO_ENCODE_AUTOFREE, file.c_str())) {
        ReportEncoderError("Couldn't start encoding");
        st.State = TRecordingState::kStopped;
      }
    }
  }
  if (st.State == TRecordingState::kStopped) {
    StopRecording();
    return false;
  }
  KAUDIO_ChannelPlay(channel, 0);
  return true;
}

void StopRecording() {
  auto& st = RecordingState();
  st.State = TRecordingState::kStopped;
  if (const KAUDIO_DWORD channel = st.Channel.exchange(0)) KAUDIO_ChannelStop(channel);
}
