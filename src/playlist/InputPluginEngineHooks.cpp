#include "playlist/InputPluginEngineHooks.h"

#include <string>

#include "util/ProgramFolders.h"

std::vector<TInputPluginFormats> InputPluginFormatsFromRows(const std::vector<TInputPluginFormatRow>& rows) {
  std::vector<TInputPluginFormats> plugins;
  std::string lastPath;
  for (const TInputPluginFormatRow& row : rows) {
    if (plugins.empty() || row.PluginPath != lastPath) {
      TInputPluginFormats plugin;
      plugin.FileName = ExtractFileName(row.PluginPath);
      plugin.Version = std::to_string(row.PluginVersion);
      plugins.push_back(std::move(plugin));
      lastPath = row.PluginPath;
    }
    TInputPluginFormat format;
    format.FormatExtension = row.DeclaredExtension.empty() ? row.Extension : row.DeclaredExtension;
    format.FormatDescription = row.Description;
    format.Type = static_cast<int>(row.PluginType);
    plugins.back().Formats.push_back(std::move(format));
  }
  return plugins;
}

void InstallInputPluginEngineHooks(void* parentWindow) {
  InputPluginFormatsProvider() = [] { return InputPluginFormatsFromRows(DiscoverInputPluginFormats()); };
  InputPluginLoaderHooks().LoadAll = [parentWindow] { return LoadAllInputPlugins(parentWindow); };
  InputPluginLoaderHooks().UnloadAll = [] { UnloadAllInputPlugins(); };
}
