#include "plugins/PluginFolders.h"

#include <filesystem>
#include <system_error>

#include "util/ProgramFolders.h"

namespace fs = std::filesystem;

std::vector<std::string> PluginFolders(const std::string& folderName) {
  std::vector<std::string> folders;
  for (const auto& base : {ProgramFolder(), ExecutableFolder()}) {
    if (base.empty()) continue;
    std::string folder = IncludeTrailingPathDelimiter(base) + folderName;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) continue;
    bool known = false;
    for (const auto& f : folders) known = known || fs::equivalent(f, folder, ec);
    if (!known) folders.push_back(folder);
  }
  return folders;
}
