// Adding to the playlist: the one entry point for every addition (dialogs, folders,
// dropped files, command-line arguments, URLs, hand-overs), folder searches grouped by
// file type, archives opened through their input plug-in, playlists and URLs, and skin
// packages, which are installed instead of added. Main thread only.
//
// The functions without a playlist argument work on ThePlaylist().
#pragma once

#include <string>
#include <vector>

#include "playlist/TPlaylist.h"

// A skin package (".KSK") as the first string is installed and applied and nothing is added,
// whatever follows it; otherwise ProccessAndAddAllSupportedFilesToPlaylist.
void ProccessAddedFiles(const std::vector<std::string>& InputFilesStringList, bool UseAllDialogs);
void ProccessAddedFiles(TPlaylist& playlist, const std::vector<std::string>& InputFilesStringList,
                        bool UseAllDialogs);

// Classifies each string: an archive contributes its supported entries as
// archive + "/" + entry, other supported names stand for themselves, the rest is skipped.
// Playlists and URLs are first tried as playlist files (replacing the list when they are
// the only thing added); everything else becomes an entry with artist and title from its
// file name. Then CD-track entries are named.
void ProccessAndAddAllSupportedFilesToPlaylist(TPlaylist& playlist,
                                               const std::vector<std::string>& InputFilesStringList,
                                               bool UseAllDialogs);

void AddFileToStringlist(const std::string& InputFilename, std::vector<std::string>& InputStringlist);

// For every row of the supported-types table except the first (CD tracks), in table order,
// appends the files of the folder (and its sub-folders when asked) with that extension:
// the result is grouped by type in table order. A failing search skips only that type.
void GetAllKnownSupportedFilesFromDirectories(const std::string& inputDirectory,
                                              std::vector<std::string>& inputListToAddThem,
                                              bool inputAddAndSubDirectories);

// The confirmed "Add Directory To Playlist" dialog: the CD tracks the engine lists for the
// folder first, then its supported files (sub-folders by Options_PlaylistAddSubDirectories),
// added with all dialogs; Options_SongsDir becomes the folder.
void AddDirectoryToPlaylist(TPlaylist& playlist, const std::string& folder);

// Text that is a URL is added (a playlist URL is fetched and loaded); other text is ignored.
void AddURLToPlayList(TPlaylist& playlist, const std::string& InputURLString);

// Copies a skin package into the program's skins folder (unless it lies there already; an
// existing file of that name is kept), stores it in Options_SkinToBeLoaded and hands it to
// the skin loader hook. False when the package is neither there nor copyable.
bool InstallAndApplySkinPackage(const std::string& packagePath);

// For an entry inside an archive ("/music/a.zip/dir/x.mp3"): extracts the entry into the
// folder and returns the path of the extracted file (folder + "/" + its file name); empty
// when the locator runs through no archive or extraction fails.
std::string ExtractArchiveEntry(const std::string& locator, const std::string& folder);
// The same into the program's "tempunzipped" folder, where entries are played from.
std::string ExtractArchiveEntryForPlaying(const std::string& locator);
