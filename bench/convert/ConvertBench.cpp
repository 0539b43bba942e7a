// Converts 5 minutes of 44.1 kHz stereo through the engine's conversion pump into an encoder
// and compares the wall time with the same encoder fed by `ffmpeg -i src -f wav -`.
// Target: at most 10 % more wall time than that pipeline, compared by the medians of the
// rounds (best times reported too). Usage: bench_convert [rounds]   (default 5)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_Conversion.h"
#include "engine/KELDAR_EncodersList.h"

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// CPU seconds of this process (the conversion's decoding and feeding) and of its waited-for
// children (the encoder; for the pipelines the shell, ffmpeg and the encoder).
struct TCpu {
  double Self = 0, Children = 0;
};
TCpu Cpu() {
  const auto seconds = [](int who) {
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  };
  return {seconds(RUSAGE_SELF), seconds(RUSAGE_CHILDREN)};
}

}  // namespace

int main(int argc, char** argv) {
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
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  int failures = 0;
  for (const Case& c : cases) {
    std::vector<double> ours, given, same, pumpCpu, oursChildCpu, sameChildCpu;
    // The three runs of a round in turns (each round starts one further on), so that a
    // burst of the machine's other load does not always fall on the same one.
    for (int round = 0; round < rounds; ++round) {
      for (int turn = 0; turn < 3; ++turn) {
        const int which = (turn + round) % 3;
        const TCpu cpu0 = Cpu();
        const auto t0 = std::chrono::steady_clock::now();
        if (which == 0) {
          std::remove(c.output.c_str());  // flac does not overwrite without -f
          if (!ConvertFile(src, src, dir + "/out", nullptr, {}, false, nullptr, c.index, true)) {
            std::fprintf(stderr, "%s: conversion failed\n", c.encoder);
            return 1;
          }
        } else if (std::system(("ffmpeg -v quiet -i " + src + (which == 2 ? " -c:a pcm_s24le" : "") + " -f wav - | " +
                                c.encode).c_str()) != 0) {
          return 1;
        }
        const double wall = Seconds(std::chrono::steady_clock::now() - t0);
        const TCpu cpu1 = Cpu();
        if (which == 0) {
          ours.push_back(wall);
          pumpCpu.push_back(cpu1.Self - cpu0.Self);
          oursChildCpu.push_back(cpu1.Children - cpu0.Children);
        } else if (which == 1) {
          given.push_back(wall);
        } else {
          same.push_back(wall);
          sameChildCpu.push_back(cpu1.Children - cpu0.Children);
        }
      }
    }
    const double best = *std::min_element(ours.begin(), ours.end()), median = Median(ours);
    const double sameBest = *std::min_element(same.begin(), same.end()), sameMedian = Median(same);
    std::printf("%-5s %d rounds: conversion median %.2f s (best %.2f); ffmpeg -f wav pipeline median %.2f s (best %.2f); "
                "with 24-bit samples median %.2f s (best %.2f)\n",
                c.encoder, rounds, median, best, Median(given), *std::min_element(given.begin(), given.end()),
                sameMedian, sameBest);
    std::printf("%-5s ratio to the same-size pipeline: median %.3f, best %.3f (target <= 1.10); to ffmpeg's default: "
                "median %.3f\n",
                c.encoder, median / sameMedian, best / sameBest, median / Median(given));
    std::printf("%-5s CPU: our decoding and feeding %.2f s, the encoder fed by us %.2f s, ffmpeg and the encoder %.2f s "
                "(medians)\n",
                c.encoder, Median(pumpCpu), Median(oursChildCpu), Median(sameChildCpu));
    failures += median / sameMedian > 1.10;
  }
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  std::system(("rm -rf " + dir).c_str());
  return failures ? 2 : 0;
}
