// Entry point for everything added to the playlist (dialogs, folders, dropped files,
// command-line arguments and hand-overs).
#pragma once

#include <string>
#include <vector>

// Adds the strings to the playlist, in order.
// Until type classification and plug-in playlists are in, every non-empty string becomes
// one entry as it stands.
void ProccessAddedFiles(const std::vector<std::string>& InputFilesStringList, bool UseAllDialogs);
