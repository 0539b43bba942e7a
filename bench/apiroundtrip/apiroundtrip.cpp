// Round trip of control requests to a running player through the client library keldarctl
// uses: the median of 1000 get requests (target: under 1 ms), and 1000 clicks in a row.
#include <algorithm>
#include <cstdio>

#include <sys/mman.h>

#include "PlayerProcess.h"
#include "plugins/ZorvanePlayerApiClient.h"
#include "plugins/ZorvanePlayerApiVariables.h"

int main() {
  TTempFolder dir;
  std::filesystem::create_directories(dir / "runtime");
  std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  ::setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
  ::setenv("ZORVANEPLAYERAPI_RECORD", ("keldar-bench-" + std::to_string(::getpid())).c_str(), 1);
  TPlayerProcess player(dir / "program", dir / "runtime", dir / "messages.log");
  if (!player.Start({})) return 1;
  TPlayerApiClient client;
  if (!client.Connect(PlayerApiSocketPath())) return 1;

  std::vector<double> us;
  for (int i = 0; i < 1000; ++i) {
    zpapi_reply reply{};
    auto start = std::chrono::steady_clock::now();
    if (!client.Request(0x9411, 0, 0, "", reply, 5000)) return 1;
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(us.begin(), us.end());
  std::printf("get round trip: median %.1f us, p99 %.1f us, max %.1f us\n", us[500], us[990], us.back());

  auto start = std::chrono::steady_clock::now();
  int answered = 0;
  for (int i = 0; i < 1000; ++i) {
    zpapi_reply reply{};
    answered += client.Request(0x9405, 0, 0, "", reply, 5000) && reply.status == ZPAPI_STATUS_OK;
  }
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("1000 clicks: %d answered in order, %.1f ms in all\n", answered, ms);
  player.Terminate();
  ::shm_unlink(("/keldar-bench-" + std::to_string(::getpid())).c_str());
  return answered == 1000 ? 0 : 1;
}
