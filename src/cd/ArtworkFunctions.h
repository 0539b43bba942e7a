// Album artwork: a picture named artist + " - " + album with ".JPG", ".PNG" or ".BMP", lying
// beside the songs (for audio CDs in the program's "cdartwork" folder). Finding the file and
// installing a picture the user chose. Compiled into the player and the visualization plug-in.
#pragma once

#include <functional>
#include <string>

// The extensions in the order they are tried.
inline constexpr const char* KELDAR_ARTWORK_EXTENSIONS[] = {".JPG", ".PNG", ".BMP"};

// Folder of path (with separator) + artist + " - " + album when both are given; otherwise
// path without its extension. A path ending in a separator is a folder and its own folder.
std::string ArtworkBaseName(const std::string& path, const std::string& artist, const std::string& album);
// The first existing base name + extension (extensions tried in order, any case on disk);
// empty when none exists.
std::string FindArtworkFile(const std::string& path, const std::string& artist, const std::string& album);
// Whether the file's extension is one of the three (case ignored).
bool IsArtworkFile(const std::string& file);
// The program's "cdartwork" folder, with a trailing separator: where CD tracks' artwork lies.
std::string CDArtworkFolder(const std::string& programFolder);
// The fallback picture shown when there is no artwork.
std::string NoArtworkPicturePath(const std::string& programFolder);

// How installing reaches the user; empty hooks mean no dialog and nothing to show again.
struct TArtworkInstallHooks {
  // Open-file dialog with the filter, starting in the folder; empty when cancelled.
  std::function<std::string(const std::string& filter, const std::string& folder)> ChooseFile;
  // Shows the (new) artwork again where it was shown.
  std::function<void()> ShowAgain;
};
inline constexpr const char* KELDAR_ARTWORK_FILE_FILTER =
    "All supported image files (*.jpg;*.png;*.bmp)|*.jpg;*.png;*.bmp|Joint Photographic Experts Group Image "
    "(*.jpg)|*.jpg|Portable Network Graphics Image (*.png)|*.png|Bitmap Files (*.bmp)|*.bmp";

// Copies the chosen (choose) or given (file) picture to the artwork name of path, artist and
// album, asking before it replaces one; then shows it again and blanks the now-playing record
// for one tick so that artwork readers look again. True when a picture was copied.
bool InstallArtwork(const std::string& path, const std::string& artist, const std::string& album, bool choose,
                    const std::string& file, const TArtworkInstallHooks& hooks);
