// keldarctl: a command-line remote for the running player.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/ZorvanePlayerApiClient.h"
#include "plugins/ZorvanePlayerApiVariables.h"

namespace {

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: keldarctl add FILE...\n"
               "  add FILE...   hand the files to the running player, in order\n"
               "Exit codes: 0 success, 1 player not running, 2 bad arguments.\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  std::string command = argv[1];
  if (command == "add" && argc >= 3) {
    std::vector<std::string> files(argv + 2, argv + argc);
    TPlayerApiClient client;
    if (!client.Connect(PlayerApiSocketPath())) {
      std::fprintf(stderr, "keldarctl: the player is not running\n");
      return 1;
    }
    zpapi_reply reply{};
    if (!client.Request(ZPAPI_MSG_COPYDATA, 0, 0, SerializeHandOverRecord(BuildHandOverRecord(files)), reply, 60000))
      return 1;
    return reply.status == ZPAPI_STATUS_OK ? 0 : 1;
  }
  PrintUsage(stderr);
  return 2;
}
