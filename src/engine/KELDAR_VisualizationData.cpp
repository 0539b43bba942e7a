#include "engine/KELDAR_VisualizationData.h"

#include <atomic>
#include <cstring>

#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "kaudio.h"

namespace {

std::atomic<KAUDIO_DWORD> g_handle{0};
std::atomic<uint32_t> g_rate{0};
std::atomic<bool> g_mono{false};
std::atomic<bool> g_video{false};

void Fill(float* out, KAUDIO_DWORD request) {
  const KAUDIO_DWORD handle = g_handle.load();
  if (handle == 0 || KAUDIO_ChannelGetData(handle, out, request) == static_cast<KAUDIO_DWORD>(-1))
    std::memset(out, 0, 512 * sizeof(float));
}

}  // namespace

void KELDAR_AUDIOVIDEO_API_PublishVisualizationSource() {
  const KELDAR_AUDIOVIDEO_API_EngineState& s = KELDAR_AUDIOVIDEO_API_State();
  const bool usable = s.PlayerState == KELDAR_AUDIOVIDEO_API_psPlaying &&
                      s.CurrentMediaType <= KELDAR_AUDIOVIDEO_API_mtCDTrack && s.ChannelInfo.Channels >= 1 &&
                      s.ChannelInfo.Channels <= 2;
  g_mono = s.ChannelInfo.Channels == 1;
  g_handle = usable ? BASSAPI_CurrentHandle() : 0;
  g_rate = usable ? s.ChannelInfo.SamplingRate : 0;
  g_video = s.CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtVIDEOStream;
}

void KELDAR_AUDIOVIDEO_API_GetVisualizationWaveform(float* samples512) {
  Fill(samples512, 2048 | KAUDIO_DATA_FLOAT);
}

void KELDAR_AUDIOVIDEO_API_GetVisualizationSpectrum(float* magnitudes512) {
  // Stereo: 256 bins per channel, interleaved; mono: the 512 bins of one 1024-sample FFT.
  Fill(magnitudes512, g_mono ? (KAUDIO_DATA_FFT1024 | KAUDIO_DATA_FFT_INDIVIDUAL)
                             : (KAUDIO_DATA_FFT512 | KAUDIO_DATA_FFT_INDIVIDUAL));
}

uint32_t KELDAR_AUDIOVIDEO_API_VisualizationSamplingRate() { return g_rate.load(); }

bool KELDAR_AUDIOVIDEO_API_VisualizationVideoPlaying() { return g_video.load(); }
