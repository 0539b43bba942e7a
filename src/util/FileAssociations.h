// Making the player the desktop's program for its file types, the XDG way.
//
// The program class "keldarfiles" is the desktop entry
// $XDG_DATA_HOME/applications/keldarfiles.desktop (default ~/.local/share/...), named
// "Zorvane Audio Player Files", Exec = program path + " %f". An extension is associated by
// making that entry the default of the extension's MIME type in [Default Applications] of
// $XDG_CONFIG_HOME/mimeapps.list (default ~/.config/...); every other line of that file stays.
// The default it had before is kept as the backup in $XDG_CONFIG_HOME/keldarfiles-backup.list,
// group [Keldar Backup], key = MIME type, value = the previous default (empty: there was
// none). Our own backup file keeps mimeapps.list free of groups other programs don't know.
//
// Extensions map to MIME types through a built-in table of the player's formats; an
// unknown extension uses "application/x-extension-<ext>". Several extensions can share a
// type (mpg, mpeg and vob are all video/mpeg), so they are associated together.
// Call from the UI thread.
#pragma once

#include <string>
#include <vector>

inline constexpr char KELDAR_PROGRAM_CLASS[] = "keldarfiles";
inline constexpr char KELDAR_PROGRAM_CLASS_NAME[] = "Zorvane Audio Player Files";

// MIME types of an extension (with or without dot, any case): the main type first.
std::vector<std::string> MimeTypesForExtension(const std::string& extension);

// Writes the "keldarfiles" desktop entry for programPath. False when it cannot be written.
bool RegisterProgramClass(const std::string& programPath);
// Removes the desktop entry.
bool UnregisterProgramClass();

// Makes "keldarfiles" the default for the extension's MIME types, keeping the previous
// defaults as the backup. When the program file does not exist, shows
// "Error: Program not found: " + programPath and changes nothing. Writes the desktop entry
// first if it is missing.
bool AssociateExtension(const std::string& extension, const std::string& programPath);
// Where "keldarfiles" is the default, puts the backed-up default back (no previous default:
// the entry is removed). A type whose default now belongs to another program is left alone.
bool UnassociateExtension(const std::string& extension);
// The program that opens the extension now: the Exec of the first installed desktop entry
// named as default for its MIME type, cut at the first "%" field code, without surrounding
// quotes and trailing spaces. Empty when there is none.
std::string GetAssociatedProgram(const std::string& extension);

// Folders and files used, after XDG rules (for tests and the preferences page).
std::string DesktopEntryPath();
std::string MimeAppsListPath();
std::string AssociationBackupPath();
