// The list of freedb servers and its file "keldar3freedbservers.ini" beside the program: one
// server per line, address, type, port, path, latitude, longitude and description (the rest
// of the line) separated by single blanks.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cd/CDDBConnect.h"

struct freedbServerStructure {
  std::string ServerAddress;
  TServerType1 ServerType = TServerType1::HTTP;
  int32_t ServerProtocolLevel = 5;
  std::string ServerPort;
  std::string ServerAdditionalAddress;
  std::string ServerLocationLatitude;
  std::string ServerLocationLongitude;
  std::string ServerLocationDescription;
};

struct freedbServersStructure {
  static constexpr int kMaxServers = 100;
  int32_t TotalServers = 0;
  std::array<freedbServerStructure, kMaxServers> CurrentServer;
};

freedbServersStructure& FreedbServers();

// One line of a "sites" reply or of the file; false when it has too few words.
bool SetServerVariablesFromString(freedbServerStructure& InputServer, const std::string& InputServerString);
// The line written for a server.
std::string FreedbServerLine(const freedbServerStructure& server);
// The twelve default servers.
void ResetServerListToDefault(freedbServersStructure& servers);
// Program folder + "keldar3freedbservers.ini" (the name follows the program's own name).
std::string FreedbServersFilePath();
// Reads the file into the list, skipping unreadable lines. A missing file gets the default
// list, written at once; an unreadable or empty one shows the damage message and loads the
// defaults. True when the file was read.
bool LoadfreedbServersFromFile(freedbServersStructure& servers, const std::string& path);
// Writes the list; shows "Error While Saving keldar3freedbservers.ini" on failure.
bool SavefreedbServersToFile(const freedbServersStructure& servers, const std::string& path);
// Copies a server into the client.
void SetCDDBComponentServerVariables(TCDDBConnect& connect, const freedbServerStructure& NewServerValues);
