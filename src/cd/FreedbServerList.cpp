#include "cd/FreedbServerList.h"

#include <filesystem>

#include "util/KeyValueListFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

freedbServersStructure& FreedbServers() {
  static freedbServersStructure servers;
  return servers;
}

bool SetServerVariablesFromString(freedbServerStructure& InputServer, const std::string& InputServerString) {
  const auto word = [&](int i) { return TCDDBEntry::GetItemFromResponse(InputServerString, i, false); };
  // Seven fields: a line that ends before the description is not a server.
  if (TrimText(InputServerString).empty() || word(6).empty()) return false;
  InputServer.ServerAddress = word(0);
  InputServer.ServerType = SameText(word(1), "HTTP") ? TServerType1::HTTP : TServerType1::CDDBP;
  InputServer.ServerProtocolLevel = 5;
  InputServer.ServerPort = word(2);
  InputServer.ServerAdditionalAddress = word(3);
  InputServer.ServerLocationLatitude = word(4);
  InputServer.ServerLocationLongitude = word(5);
  InputServer.ServerLocationDescription = TCDDBEntry::GetItemFromResponse(InputServerString, 6, true);
  return !InputServer.ServerAddress.empty();
}

std::string FreedbServerLine(const freedbServerStructure& s) {
  return s.ServerAddress + " " + (s.ServerType == TServerType1::HTTP ? "http" : "cddbp") + " " + s.ServerPort +
         " " + s.ServerAdditionalAddress + " " + s.ServerLocationLatitude + " " + s.ServerLocationLongitude +
         " " + s.ServerLocationDescription;
}

void ResetServerListToDefault(freedbServersStructure& servers) {
  // The old mirror network is gone; every entry names the server that still answers, each
  // with the position and city of the mirror it stands for.
  struct Row {
    const char* Latitude;
    const char* Longitude;
    const char* Description;
  };
  static const Row rows[] = {
      {"N000.00", "W000.00", "Random freedb server"},
      {"N048.12", "E016.22", "Vienna, Austria"},
      {"S033.52", "E151.12", "Sydney, Australia"},
      {"N049.53", "W097.09", "Winnipeg, Canada"},
      {"N045.30", "W073.34", "Montreal, Canada"},
      {"N052.31", "E013.24", "Berlin, Germany"},
      {"N040.25", "W003.42", "Madrid, Spain"},
      {"N061.30", "E023.45", "Tampere, Finland"},
      {"N059.56", "E030.19", "Saint-Petersburg, Russia"},
      {"N051.30", "W000.07", "London, UK"},
      {"N037.20", "W121.53", "San Jose, CA USA"},
      {"S041.26", "E147.08", "Launceston, Australia"},
  };
  servers.TotalServers = 0;
  for (const Row& row : rows) {
    freedbServerStructure& s = servers.CurrentServer[static_cast<size_t>(servers.TotalServers++)];
    s = {};
    s.ServerAddress = KELDAR_FREEDB_DEFAULT_SERVER;
    s.ServerType = TServerType1::HTTP;
    s.ServerProtocolLevel = 5;
    s.ServerPort = "80";
    s.ServerAdditionalAddress = "/~cddb/cddb.cgi";
    s.ServerLocationLatitude = row.Latitude;
    s.ServerLocationLongitude = row.Longitude;
    s.ServerLocationDescription = row.Description;
  }
}

std::string FreedbServersFilePath() {
  return ProgramFilePath() + "freedbservers.ini";
}

bool LoadfreedbServersFromFile(freedbServersStructure& servers, const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    ResetServerListToDefault(servers);
    SavefreedbServersToFile(servers, path);
    return false;
  }
  std::vector<std::string> lines;
  freedbServersStructure loaded;
  if (ReadListFileLines(path, lines)) {
    for (const std::string& line : lines) {
      if (loaded.TotalServers >= freedbServersStructure::kMaxServers) break;
      freedbServerStructure server;
      if (SetServerVariablesFromString(server, line))
        loaded.CurrentServer[static_cast<size_t>(loaded.TotalServers++)] = server;
    }
  }
  if (loaded.TotalServers == 0) {
    ShowMessage("File with Server List (keldar3freedbservers.ini) is damaged\rPress OK to Load Default Server List",
                {}, TMessageIcon::Error);
    ResetServerListToDefault(servers);
    return false;
  }
  servers = loaded;
  return true;
}

bool SavefreedbServersToFile(const freedbServersStructure& servers, const std::string& path) {
  std::vector<std::string> lines;
  for (int i = 0; i < servers.TotalServers && i < freedbServersStructure::kMaxServers; ++i)
    lines.push_back(FreedbServerLine(servers.CurrentServer[static_cast<size_t>(i)]));
  if (WriteListFileLines(path, lines)) return true;
  ShowMessage("Error While Saving keldar3freedbservers.ini", {}, TMessageIcon::Error);
  return false;
}

void SetCDDBComponentServerVariables(TCDDBConnect& connect, const freedbServerStructure& s) {
  connect.ServerAddress = s.ServerAddress;
  connect.ServerType = s.ServerType;
  connect.ServerProtocolLevel = s.ServerProtocolLevel;
  connect.ServerAdditionalAddress = s.ServerAdditionalAddress;
  connect.ServerLocationLatitude = s.ServerLocationLatitude;
  connect.ServerLocationLongitude = s.ServerLocationLongitude;
  connect.ServerLocationDescription = s.ServerLocationDescription;
  int port = 0;
  bool number = !s.ServerPort.empty() && s.ServerPort.size() < 6;
  for (char c : s.ServerPort) {
    number = number && c >= '0' && c <= '9';
    if (number) port = port * 10 + (c - '0');
  }
  connect.ProxyPort = number ? port : 80;
}
