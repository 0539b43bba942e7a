// Time from process start to the event loop running with the first windows created,
// off screen, in a fresh program folder each run (first start: no settings, no playlist).
// Usage: bench_startup [runs]   (target: median under 150 ms)
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "PlayerProcess.h"

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    TTempFolder dir;
    std::filesystem::create_directories(dir / "runtime");
    std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    TPlayerProcess player(dir / "program", dir / "runtime", dir / "messages.log");
    auto start = std::chrono::steady_clock::now();
    if (!player.Start({})) {
      std::fprintf(stderr, "run %d: the player did not come up\n", i);
      return 1;
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    player.Terminate();
  }
  std::sort(ms.begin(), ms.end());
  std::printf("startup: runs %d, min %.1f ms, median %.1f ms, max %.1f ms\n", runs, ms.front(), ms[ms.size() / 2],
              ms.back());
  return 0;
}
