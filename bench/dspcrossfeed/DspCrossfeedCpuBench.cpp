// What the DSP plug-in feeder costs: the whole keldar3 process's CPU share of one core while a
// 44.1 kHz stereo MP3 plays through a PulseAudio null sink, without a DSP plug-in and with the
// bundled crossfeed switched on, alternating for several runs (medians printed).
// Usage: bench_dspcrossfeed [runs]   (target: crossfeed adds <= 0.3 % of a core)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "PlayerProcess.h"
#include "ProcessCpuShare.h"
#include "SoundServerPeer.h"

namespace {

bool Ctl(const std::string& arguments) {
  return std::system((std::string(KELDAR_PROGRAM_DIR) + "/keldarctl " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// One run: the player in a fresh program folder, with or without the crossfeed; its share
// while playing, or a negative value when it did not come up.
double PlayingShare(const std::string& mp3, bool crossfeed) {
  TTempFolder folders;
  namespace fs = std::filesystem;
  fs::create_directories(folders / "program/dspplugins");
  fs::create_directories(folders / "runtime");
  fs::permissions(folders / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  if (crossfeed) {
    fs::copy_file(std::string(KELDAR_PROGRAM_DIR) + "/dspplugins/zpdsp_crossfeed.so",
                  folders / "program/dspplugins/zpdsp_crossfeed.so");
    std::ofstream(folders / "program/keldar3.ini")
        << "[Settings]\nOptions_ZPDSPCurrentPluginName=zpdsp_crossfeed.so\nOptions_LastZPDSPState=1\n";
  }
  ::setenv("XDG_RUNTIME_DIR", (folders / "runtime").c_str(), 1);
  TPlayerProcess player(folders / "program", folders / "runtime", folders / "messages.log");
  if (!player.Start({mp3})) return -1;
  std::this_thread::sleep_for(std::chrono::seconds(1));
  Ctl("play");
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const double share = SharePercent(player.Pid(), 15.0);
  player.Terminate();
  return share;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  TSoundServer server;
  if (!server.Up()) {
    std::fprintf(stderr, "the sound server did not start\n");
    return 1;
  }
  TTempFolder dir;
  const std::string mp3 = dir / "song.mp3";
  if (std::system(("sox -n -r 44100 -c 2 -b 16 '" + (dir / "song.wav") + "' synth 40 sine 440 gain -12 && lame --quiet -b 192 '" +
                   (dir / "song.wav") + "' '" + mp3 + "'").c_str()) != 0) {
    std::fprintf(stderr, "could not make the MP3 (sox, lame)\n");
    return 1;
  }
  std::vector<double> plain, fed;
  for (int run = 0; run < runs; ++run) {
    plain.push_back(PlayingShare(mp3, false));
    fed.push_back(PlayingShare(mp3, true));
    if (plain.back() < 0 || fed.back() < 0) {
      std::fprintf(stderr, "run %d: the player did not come up\n", run + 1);
      return 1;
    }
    std::printf("run %d: no DSP plug-in %.2f %%, crossfeed %.2f %% of one core\n", run + 1, plain.back(), fed.back());
  }
  const double p = Median(plain), f = Median(fed);
  std::printf("player CPU while playing (median of %d): no DSP plug-in %.2f %%, crossfeed %.2f %%, "
              "difference %.2f %% (target <= 0.3)\n", runs, p, f, f - p);
  return f - p <= 0.3 ? 0 : 1;
}
