// The program's working folders, its start-up flags and the handling of arguments.
#pragma once

#include <string>

// skins, dspplugins, genplugins, localcddatabase, visplugins, cdartwork, recordedfiles and the
// three temporary folders, created with any missing parent. "inputplugins" is never created.
void CreateProgramFolders();
// Empties the three temporary folders (files only), in order, at a regular exit.
void EmptyTemporaryFolders();

// The long form of the argument goes to the playlist editor's entry point.
void HandleParameter(const std::string& argument);

// "Zorvane Audio Player v" + product version + five spaces.
std::string ApplicationTitleText();

// Program folder + "/cdartwork/NoArtworkSelected.bmp".
std::string DefaultArtworkPicturePath();

struct TStartupFlags {
  bool FirstSkinLoadPending = true;
  bool FirstShowPending = true;
  bool GlobalHotkeysRegistered = false;
};
TStartupFlags& StartupFlags();
