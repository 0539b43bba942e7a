// Round trip of control requests to a running player through the client library keldarctl
// uses: the median of 1000 get requests (target: under 1 ms); 1000 slider actions in a row,
// each read back; and the same 1000 actions pipelined on one connection, whose read-backs
// must arrive in the order they were sent.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>

#include "PlayerProcess.h"
#include "plugins/ZorvanePlayerApiClient.h"
#include "plugins/ZorvanePlayerApiVariables.h"

namespace {

constexpr int kActions = 1000;
constexpr uint32_t kVolumeGet = 0x9411, kVolumeSet = 0x9412, kBalanceGet = 0x9413, kBalanceSet = 0x9414;

// Action i moves volume (even i) or balance (odd i) to a value that differs from the one before.
uint32_t SetMessage(int i) { return i % 2 == 0 ? kVolumeSet : kBalanceSet; }
uint32_t GetMessage(int i) { return i % 2 == 0 ? kVolumeGet : kBalanceGet; }
int64_t Value(int i) { return (static_cast<int64_t>(i) * 37 + 11) % 101; }

int RawConnect(const std::string& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof(addr.sun_path) - 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool ReadAll(int fd, void* data, size_t size, int timeoutMs) {
  auto* p = static_cast<char*>(data);
  while (size > 0) {
    pollfd pfd{fd, POLLIN, 0};
    if (::poll(&pfd, 1, timeoutMs) <= 0) return false;
    ssize_t n = ::recv(fd, p, size, 0);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// One at a time: set, then read the control back; the other control must hold its last value.
// Returns the number of actions whose effect read back correctly.
int SequentialActions(TPlayerApiClient& client, double& ms) {
  int confirmed = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kActions; ++i) {
    zpapi_reply set{}, get{}, other{};
    if (!client.Request(SetMessage(i), 0, Value(i), "", set, 5000) || set.status != ZPAPI_STATUS_OK) break;
    if (!client.Request(GetMessage(i), 0, 0, "", get, 5000) || get.status != ZPAPI_STATUS_OK) break;
    if (!client.Request(GetMessage(i + 1), 0, 0, "", other, 5000)) break;
    const bool otherKept = i == 0 || other.result == Value(i - 1);
    confirmed += get.result == Value(i) && set.result == 0 && otherKept;
  }
  ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return confirmed;
}

// All set/get pairs written in one burst while a second thread reads the replies.
// Returns the number of pairs whose replies arrived, in order, with the value just set.
int PipelinedActions(const std::string& socketPath, int& replies, double& ms) {
  replies = 0;
  int fd = RawConnect(socketPath);
  if (fd < 0) return 0;
  std::vector<zpapi_request_header> requests;
  for (int i = 0; i < kActions; ++i) {
    requests.push_back({ZPAPI_MAGIC, SetMessage(i), 0, Value(i), 0, 0});
    requests.push_back({ZPAPI_MAGIC, GetMessage(i), 0, 0, 0, 0});
  }
  std::vector<zpapi_reply> got(requests.size());
  auto start = std::chrono::steady_clock::now();
  std::thread reader([&] {
    for (auto& r : got) {
      if (!ReadAll(fd, &r, sizeof(r), 5000)) return;
      ++replies;
    }
  });
  const char* bytes = reinterpret_cast<const char*>(requests.data());
  size_t left = requests.size() * sizeof(zpapi_request_header);
  while (left > 0) {
    ssize_t n = ::send(fd, bytes, left, MSG_NOSIGNAL);
    if (n <= 0) break;
    bytes += n;
    left -= static_cast<size_t>(n);
  }
  reader.join();
  ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  ::close(fd);
  int confirmed = 0;
  for (int i = 0; i < kActions && 2 * i + 1 < replies; ++i) {
    const zpapi_reply& set = got[2 * i];
    const zpapi_reply& get = got[2 * i + 1];
    confirmed += set.magic == ZPAPI_MAGIC && get.magic == ZPAPI_MAGIC && set.status == ZPAPI_STATUS_OK &&
                 get.status == ZPAPI_STATUS_OK && set.result == 0 && get.result == Value(i);
  }
  return confirmed;
}

}  // namespace

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
    if (!client.Request(kVolumeGet, 0, 0, "", reply, 5000)) return 1;
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(us.begin(), us.end());
  std::printf("get round trip: median %.1f us, p99 %.1f us, max %.1f us\n", us[500], us[990], us.back());

  double sequentialMs = 0;
  const int sequential = SequentialActions(client, sequentialMs);
  std::printf("%d actions one at a time (volume/balance set, read back, other control kept): "
              "%d confirmed, %.1f ms in all\n", kActions, sequential, sequentialMs);

  double pipelinedMs = 0;
  int replies = 0;
  const int pipelined = PipelinedActions(PlayerApiSocketPath(), replies, pipelinedMs);
  std::printf("%d actions pipelined (%d requests): %d replies, %d read back in order, %.1f ms in all\n",
              kActions, 2 * kActions, replies, pipelined, pipelinedMs);

  player.Terminate();
  ::shm_unlink(("/keldar-bench-" + std::to_string(::getpid())).c_str());
  return sequential == kActions && pipelined == kActions ? 0 : 1;
}
