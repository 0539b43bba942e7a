// Where the player looks for plug-ins of one kind: the program folder's plug-in folder, then
// the executable folder's when it differs (bundled plug-ins stay there when the program folder
// moved to the user's data folder). Existing folders only; nothing is created.
#pragma once

#include <string>
#include <vector>

// For example PluginFolders("dspplugins").
std::vector<std::string> PluginFolders(const std::string& folderName);
