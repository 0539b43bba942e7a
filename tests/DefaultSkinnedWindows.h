// The six skinned windows wired to the skin loader as the player wires them, with the
// built-in Default skin loaded: for benches and tools that paint real windows with no engine
// and no plug-ins. Settings are read from and written to the given scratch program folder.
#pragma once

#include <string>

#include "app/EqualizerForm.h"
#include "app/FullScreenControlsForm.h"
#include "app/KELDAR_DatabaseForm.h"
#include "app/PlaylistEditorForm.h"
#include "app/ProgramStartup.h"
#include "app/SkinnedWindowSet.h"
#include "app/VisualsScreenForm.h"
#include "app/deck.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinLoader.h"
#include "util/ProgramFolders.h"

class TDefaultSkinnedWindows {
  // First member: the settings exist before any window reads them.
  struct TScratchSettings {
    explicit TScratchSettings(const std::string& programFolder) {
      SetProgramFolderForTesting(programFolder);
      InitSettingsDefaults();
      StartupFlags().FirstShowPending = false;
    }
  } m_settings;

 public:
  explicit TDefaultSkinnedWindows(const std::string& programFolder) : m_settings(programFolder) {
    LoadKELDARSkin("Default", Set, true);
  }

  TDeckForm Deck;
  TEqualizerForm Equalizer;
  TPlaylistEditorForm Playlist;
  TVisualsScreenForm Visuals;
  TKELDAR_DatabaseForm Library;
  TFullScreenControlsForm FullScreen;
  TSkinnedWindowSet Set{&Deck, &Equalizer, &Playlist, &Visuals, &Library, &FullScreen};
};
