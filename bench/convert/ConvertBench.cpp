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
  struct Case {
    const char* encoder;
    int index;
    std::string pipeline;  // %s: output file
  };
  const Case cases[] = {
      {"FLAC", 6, "ffmpeg -v quiet -i " + src + " -f wav - | flac -s - -o " + dir + "/ref.flac -f"},
      {"LAME", 4, "ffmpeg -v quiet -i " + src + " -f wav - | lame --quiet --alt-preset standard - " + dir + "/ref.mp3"},
  };
  int failures = 0;
  for (const Case& c : cases) {
    double ours = 1e9, theirs = 1e9;
    for (int round = 0; round < 3; ++round) {
      const auto t0 = std::chrono::steady_clock::now();
      if (!ConvertFile(src, src, dir + "/out", nullptr, {}, false, nullptr, c.index, true)) {
        std::fprintf(stderr, "%s: conversion failed\n", c.encoder);
        return 1;
      }
      ours = std::min(ours, Seconds(std::chrono::steady_clock::now() - t0));
      const auto t1 = std::chrono::steady_clock::now();
      if (std::system(c.pipeline.c_str()) != 0) return 1;
      theirs = std::min(theirs, Seconds(std::chrono::steady_clock::now() - t1));
    }
    const double ratio = ours / theirs;
    std::printf("%-5s conversion %.2f s, ffmpeg pipeline %.2f s, ratio %.3f (target <= 1.10)\n", c.encoder, ours, theirs,
                ratio);
    failures += ratio > 1.10;
  }
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  std::system(("rm -rf " + dir).c_str());
  return failures ? 2 : 0;
}
