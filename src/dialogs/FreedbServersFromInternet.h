// "Get Servers List": the selected freedb server's mirror list becomes the server list.
#pragma once

#include <string>
#include <vector>

#include "cd/FreedbServerList.h"

// Reads a "sites" reply into the list: the first line must hold "210" (else false); the first
// and last lines are dropped, and only lines whose protocol item is "HTTP" (any case) that
// read as servers are kept, at most 100.
bool FreedbServersFromSitesReply(const std::vector<std::string>& reply, freedbServersStructure& servers);

// Asks `server` for its mirrors and loads them, telling the user as described; on any failure
// the 12 default servers are loaded. True when the reply's servers were loaded.
bool LoadfreedbServersFromInternet(const freedbServerStructure& server, freedbServersStructure& servers);
