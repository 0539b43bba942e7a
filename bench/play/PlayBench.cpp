// Plays an MP3 on device 0 with a 10-band biquad equalizer DSP for a while and reports the
// CPU share of one core (target: under 2 %), then times FFT data requests (target: < 30 us).
#include <kaudio.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

struct Biquad {
  double b0, b1, b2, a1, a2;
  double z[2][2] = {};
};

struct Equalizer {
  Biquad bands[10];
  explicit Equalizer(double rate) {
    const double freqs[10] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    for (int i = 0; i < 10; ++i) {
      // Peaking filter, +3 dB, Q 1.4.
      const double A = std::pow(10.0, 3.0 / 40.0), w = 2 * M_PI * freqs[i] / rate;
      const double alpha = std::sin(w) / (2 * 1.4), a0 = 1 + alpha / A;
      bands[i] = {(1 + alpha * A) / a0, -2 * std::cos(w) / a0, (1 - alpha * A) / a0, -2 * std::cos(w) / a0,
                  (1 - alpha / A) / a0};
    }
  }
};

void EqDsp(KAUDIO_HDSP, KAUDIO_DWORD, void* buffer, KAUDIO_DWORD length, void* user) {
  auto* eq = static_cast<Equalizer*>(user);
  auto* s = static_cast<float*>(buffer);
  const KAUDIO_DWORD frames = length / 8;
  for (auto& b : eq->bands) {
    for (KAUDIO_DWORD f = 0; f < frames; ++f) {
      for (int c = 0; c < 2; ++c) {
        const double x = s[f * 2 + c];
        const double y = b.b0 * x + b.z[c][0];
        b.z[c][0] = b.b1 * x - b.a1 * y + b.z[c][1];
        b.z[c][1] = b.b2 * x - b.a2 * y;
        s[f * 2 + c] = float(y);
      }
    }
  }
}

double SelfCpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  char tmpl[] = "/tmp/kaudio-bench-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const std::string mp3 = dir + "/p.mp3";
  if (std::system(("sox -n -r 44100 -c 2 -b 16 " + dir + "/p.wav synth " + std::to_string(seconds + 5) +
                   " pinknoise vol 0.3 && lame --quiet -b 192 " + dir + "/p.wav " + mp3).c_str()) != 0)
    return 1;
  if (!KAUDIO_Init(KAUDIO_DEVICE_NOSOUND, 48000, 0, nullptr, nullptr)) return 1;
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, mp3.c_str(), 0, 0, KAUDIO_SAMPLE_FLOAT);
  if (!h) return 1;
  Equalizer eq(44100);
  KAUDIO_ChannelSetDSP(h, &EqDsp, &eq, 3);
  KAUDIO_ChannelPlay(h, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const double c0 = SelfCpu();
  KAUDIO_GetCPU();
  const auto t0 = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = SelfCpu() - c0;
  const float lib = KAUDIO_GetCPU();
  std::printf("playing MP3 (44.1 kHz -> 48 kHz) with a 10-band biquad DSP for %.1f s\n", wall);
  std::printf("process CPU: %.2f %% of one core (target < 2 %%)\n", cpu / wall * 100.0);
  std::printf("KAUDIO_GetCPU: %.2f %%\n", lib);

  float fft[512];
  const int calls = 20000;
  const auto f0 = std::chrono::steady_clock::now();
  for (int i = 0; i < calls; ++i) KAUDIO_ChannelGetData(h, fft, KAUDIO_DATA_FFT1024);
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - f0).count() / calls;
  std::printf("ChannelGetData FFT1024 on a playing channel: %.2f us per call (target < 30 us)\n", us);
  KAUDIO_Free();
  std::system(("rm -rf " + dir).c_str());
  return 0;
}
