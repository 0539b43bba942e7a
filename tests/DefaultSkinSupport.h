// The built-in Default skin loaded for tests and benches that need only the skin layer: a
// window set that ignores every call, and the load into a scratch program folder.
#pragma once

#include <string>

#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinDisplays.h"
#include "skin/KELDARSkinLoader.h"
#include "util/ProgramFolders.h"

class TQuietSkinWindows : public IKELDARSkinWindows {
 public:
  void StoreStateAndHide() override {}
  void ApplyPlaylistText(const TKELDARSkinTextSettings&) override {}
  void ApplyLibraryText(const TKELDARSkinTextSettings&) override {}
  void Configure(const TKELDARSkinWindowSetup&) override {}
  void RestoreStateAndRepaint() override {}
  void SetShape(TKELDARSkinnedWindow, const TKELDARSkinPolygons*) override {}
};

// Colour enhancement off, so painted pixels equal the skin's bitmaps.
inline void LoadDefaultSkinForTesting(const std::string& programFolder, IKELDARSkinWindows& windows) {
  SetProgramFolderForTesting(programFolder);
  Options_RedColorEnhancement.IntegerValue = 0;
  Options_GreenColorEnhancement.IntegerValue = 0;
  Options_BlueColorEnhancement.IntegerValue = 0;
  LoadKELDARSkin("Default", windows, true);
  ResetKELDARSkinDisplaysAfterLoad();
}
