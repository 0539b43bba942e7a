// Sound data for the visualization plug-ins' render thread. The UI thread publishes which
// channel plays (handle, rate, kind) as single atomic values; the render thread pulls the
// waveform and spectrum of that channel straight from the audio library, which may be called
// from any thread. The engine's own data buffers stay the UI thread's.
#pragma once

#include <cstdint>

// UI thread: takes the current channel, its rate, channel count, media type and state.
void KELDAR_AUDIOVIDEO_API_PublishVisualizationSource();

// Render thread. 512 floats of interleaved left/right samples (+-1.0); mono: 512 samples.
// Zeros when nothing suitable plays.
void KELDAR_AUDIOVIDEO_API_GetVisualizationWaveform(float* samples512);
// Render thread. 512 floats of interleaved left/right FFT magnitudes (mono: the 512 bins of
// one 1024-sample FFT). Zeros when nothing suitable plays.
void KELDAR_AUDIOVIDEO_API_GetVisualizationSpectrum(float* magnitudes512);
// Render thread. The playing channel's sampling rate, 0 when nothing plays.
uint32_t KELDAR_AUDIOVIDEO_API_VisualizationSamplingRate();
// Render thread. Whether the current item is a video.
bool KELDAR_AUDIOVIDEO_API_VisualizationVideoPlaying();
