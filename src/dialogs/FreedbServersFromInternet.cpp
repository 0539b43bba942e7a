#include "dialogs/FreedbServersFromInternet.h"

#include "cd/CDDBEntry.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

bool FreedbServersFromSitesReply(const std::vector<std::string>& reply, freedbServersStructure& servers) {
  if (reply.empty() || reply.front().find("210") == std::string::npos) return false;
  freedbServersStructure loaded;
  for (size_t i = 1; i + 1 < reply.size(); ++i) {
    if (loaded.TotalServers >= freedbServersStructure::kMaxServers) break;
    if (!SameText(TCDDBEntry::GetItemFromResponse(reply[i], 1, false), "HTTP")) continue;
    freedbServerStructure server;
    if (SetServerVariablesFromString(server, reply[i]))
      loaded.CurrentServer[size_t(loaded.TotalServers++)] = server;
  }
  servers = loaded;
  return true;
}

bool LoadfreedbServersFromInternet(const freedbServerStructure& server, freedbServersStructure& servers) {
  TCDDBConnect connect;
  SetCDDBComponentServerVariables(connect, server);
  const std::vector<std::string> reply = connect.Sites();
  if (reply.empty() || reply.front().empty()) {
    ShowMessage("Getting Server from Internet Failed.\rPress OK to Load Default Server List", {}, TMessageIcon::Error);
    ResetServerListToDefault(servers);
    return false;
  }
  if (reply.front().find("210") == std::string::npos) {
    ShowMessage(reply.front() + "\r" + "Press OK to Load Default Server List", {}, TMessageIcon::Error);
    ResetServerListToDefault(servers);
    return false;
  }
  ShowMessage(reply.front());
  freedbServersStructure loaded;
  FreedbServersFromSitesReply(reply, loaded);
  if (loaded.TotalServers == 0) {
    // A list without one usable server would leave nothing to ask.
    ShowMessage("Getting Server from Internet Failed.\rPress OK to Load Default Server List", {}, TMessageIcon::Error);
    ResetServerListToDefault(servers);
    return false;
  }
  servers = loaded;
  return true;
}
