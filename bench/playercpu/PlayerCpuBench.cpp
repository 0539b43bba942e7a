// The whole keldar3 process's CPU share of one core, off screen against a PulseAudio server
// with a null sink that the bench starts: over 15 s while a 192 kbit/s MP3 plays and over 8 s
// while stopped, for several runs (medians printed); then again with the visuals window closed,
// to tell what its drawing costs.
// Usage: bench_playercpu [runs]   (targets: playing <= 1.0 %, idle <= 0.1 %)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "PlayerProcess.h"
#include "ProcessCpuShare.h"
#include "SoundServerPeer.h"

namespace {

// The machine's one-minute load average: the cores are shared, so every figure carries it.
std::string LoadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one;
  file >> one;
  return one;
}

bool Ctl(const std::string& arguments) {
  return std::system((std::string(KELDAR_PROGRAM_DIR) + "/keldarctl " + arguments + " >/dev/null 2>&1").c_str()) == 0;
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
  // One set of runs; settings: lines of the player's settings file (empty: the defaults).
  auto measure = [&](const char* label, const std::string& settings, double& p, double& i) {
    std::vector<double> playing, idle;
    for (int run = 0; run < runs; ++run) {
      TTempFolder folders;
      std::filesystem::create_directories(folders / "program");
      std::filesystem::create_directories(folders / "runtime");
      std::filesystem::permissions(folders / "runtime", std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::replace);
      if (!settings.empty()) WriteTextFile(folders / "program/keldar3.ini", "[Settings]\n" + settings);
      ::setenv("XDG_RUNTIME_DIR", (folders / "runtime").c_str(), 1);
      TPlayerProcess player(folders / "program", folders / "runtime", folders / "messages.log");
      if (!player.Start({mp3})) {
        std::fprintf(stderr, "run %d: the player did not come up\n", run);
        return false;
      }
      std::this_thread::sleep_for(std::chrono::seconds(1));
      Ctl("play");
      std::this_thread::sleep_for(std::chrono::seconds(2));
      const std::string loadPlaying = LoadAverage();
      playing.push_back(SharePercent(player.Pid(), 15.0));
      Ctl("stop");
      std::this_thread::sleep_for(std::chrono::seconds(3));
      const std::string loadIdle = LoadAverage();
      idle.push_back(SharePercent(player.Pid(), 8.0));
      // The share and the process's CPU time (user + system) over the window it covers.
      std::printf("%s run %d: playing %.2f %% (%.0f ms CPU in 15 s, load %s), idle %.3f %% (%.0f ms CPU in 8 s, load %s)"
                  " of one core\n",
                  label, run + 1, playing.back(), playing.back() * 150.0, loadPlaying.c_str(), idle.back(),
                  idle.back() * 80.0, loadIdle.c_str());
      std::fflush(stdout);
      player.Terminate();
    }
    p = Median(playing);
    i = Median(idle);
    std::printf("%s (median of %d): playing %.2f %%, idle %.3f %%\n", label, runs, p, i);
    return true;
  };
  double p = 0, i = 0, pClosed = 0, iClosed = 0;
  if (!measure("player CPU, default windows", "", p, i)) return 1;
  if (!measure("player CPU, visuals window closed", "Options_VisExVisibleState=0\n", pClosed, iClosed)) return 1;
  std::printf("player CPU: playing %.2f %% (target <= 1.0), idle %.3f %% (target <= 0.1); the visuals window's "
              "drawing: %.2f %%\n", p, i, p - pClosed);
  return p <= 1.0 && i <= 0.1 ? 0 : 1;
}
