// Decodes 60 s of 44.1 kHz stereo MP3 through a decoding channel and compares the CPU time
// with `ffmpeg -i f.mp3 -f null -` on the same file. Target: at most 1.2 times ffmpeg's.
#include <kaudio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double SelfCpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ChildCpu() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main() {
  char tmpl[] = "/tmp/kaudio-bench-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const std::string mp3 = dir + "/f.mp3";
  if (std::system(("sox -n -r 44100 -c 2 -b 16 " + dir + "/f.wav synth 60 pinknoise vol 0.3 && "
                   "lame --quiet -b 192 " + dir + "/f.wav " + mp3).c_str()) != 0) {
    std::fprintf(stderr, "fixture generation failed (sox, lame)\n");
    return 1;
  }
  if (!KAUDIO_Init(KAUDIO_DEVICE_NOSOUND, 44100, 0, nullptr, nullptr)) return 1;
  const int rounds = 5;
  double ours = 1e9, theirs = 1e9, theirsDecode = 1e9;
  std::vector<float> buf(16384);
  for (int r = 0; r < rounds; ++r) {
    const double c0 = SelfCpu();
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, mp3.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
    if (!h) return 1;
    size_t frames = 0;
    for (;;) {
      const KAUDIO_DWORD got = KAUDIO_ChannelGetData(h, buf.data(), KAUDIO_DWORD(buf.size() * 4) | KAUDIO_DATA_FLOAT);
      if (got == KAUDIO_DWORD(-1) || got == 0) break;
      frames += got / 8;
    }
    KAUDIO_StreamFree(h);
    ours = std::min(ours, SelfCpu() - c0);
    const double f0 = ChildCpu();
    // -benchmark reports ffmpeg's own user time, without the cost of starting the process.
    FILE* p = popen(("ffmpeg -hide_banner -nostats -benchmark -threads 1 -i " + mp3 + " -f null - 2>&1").c_str(), "r");
    if (!p) return 1;
    char line[512];
    double utime = -1;
    while (fgets(line, sizeof line, p))
      if (const char* u = std::strstr(line, "utime=")) utime = std::atof(u + 6);
    if (pclose(p) != 0) return 1;
    theirs = std::min(theirs, ChildCpu() - f0);
    if (utime >= 0) theirsDecode = std::min(theirsDecode, utime);
    if (r == 0) std::printf("decoded %.2f s of audio\n", double(frames) / 44100.0);
  }
  KAUDIO_Free();
  std::system(("rm -rf " + dir).c_str());
  std::printf("kaudio decoding channel: %.3f s CPU (best of %d)\n", ours, rounds);
  std::printf("ffmpeg -f null:          %.3f s CPU for the whole process, %.3f s user time by -benchmark\n",
              theirs, theirsDecode);
  std::printf("ratio: %.2f against the process, %.2f against -benchmark (target <= 1.20)\n", ours / theirs,
              ours / theirsDecode);
  return 0;
}
