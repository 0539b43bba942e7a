// The freedb server list file and a "sites" reply: whatever they hold, at most 100 servers are
// kept, the file always leaves a usable list, and a written line reads back as it was.
#include <cstdlib>
#include <sstream>

#include "FuzzInput.h"
#include "cd/FreedbServerList.h"
#include "dialogs/FreedbServersFromInternet.h"

namespace {
void Check(const freedbServersStructure& servers, bool mayBeEmpty) {
  if (servers.TotalServers < (mayBeEmpty ? 0 : 1) || servers.TotalServers > freedbServersStructure::kMaxServers)
    std::abort();
  for (int i = 0; i < servers.TotalServers; ++i) {
    const freedbServerStructure& s = servers.CurrentServer[size_t(i)];
    freedbServerStructure again;
    if (!SetServerVariablesFromString(again, FreedbServerLine(s))) std::abort();
    if (again.ServerAddress != s.ServerAddress || again.ServerPort != s.ServerPort ||
        again.ServerLocationDescription != s.ServerLocationDescription)
      std::abort();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::TScratchFile file(".ini");
  ::setenv("KELDAR_MESSAGE_LOG", "/dev/null", 1);
  freedbServersStructure servers;
  LoadfreedbServersFromFile(servers, file.Write(data, size));
  Check(servers, false);

  std::vector<std::string> reply;
  std::istringstream in(fuzz::Text(data, size));
  for (std::string line; std::getline(in, line);) reply.push_back(line);
  freedbServersStructure mirrors;
  if (FreedbServersFromSitesReply(reply, mirrors)) Check(mirrors, true);
  return 0;
}
