// Where the program lives and where it keeps its working files.
//
// The program folder is the folder of the keldar3 executable. When it is not writable,
// $XDG_DATA_HOME/keldar3 (default ~/.local/share/keldar3) takes its place for every working
// file, while bundled skins and plug-ins are still read from the executable's folder.
// KELDAR_PROGRAM_DIR in the environment names the working folder outright (tests, portable use).
#pragma once

#include <string>

// Works out the paths once, early in main(). Without a call, the paths derive from /proc/self/exe.
void InitProgramPaths();
// Tests point the working folder somewhere else.
void SetProgramFolderForTesting(const std::string& folder);

// Full path of the program file as seen in the working folder: ProgramFolder() + "/keldar3".
// Derived names (settings, default playlist) replace its extension.
std::string ProgramFilePath();
// Working folder, without trailing separator.
std::string ProgramFolder();
// Folder holding the executable and the bundled skins and plug-ins.
std::string ExecutableFolder();
// Full path of the running executable.
std::string ExecutablePath();

// "keldar3" + ".ini": replaces (or appends) the extension of the last path component.
std::string ChangeFileExt(const std::string& path, const std::string& newExtension);
// Folder part with trailing separator ("/a/b/" of "/a/b/c.mp3"), empty for a bare name.
std::string ExtractFilePath(const std::string& path);
// Last component ("c.mp3").
std::string ExtractFileName(const std::string& path);
// Extension with its dot (".mp3"), empty when none.
std::string ExtractFileExt(const std::string& path);
// Appends a separator unless the text already ends in one.
std::string IncludeTrailingPathDelimiter(const std::string& path);
