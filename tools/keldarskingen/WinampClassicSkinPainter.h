// Pictures and text files of a classic-layout Winamp skin drawn by us: the art of the bundled
// "winampdefault" fallback skin and, in noise mode, test skins whose every pixel differs so
// that a sprite taken from the wrong place shows.
#pragma once
#include <QImage>
#include <string>
#include <utility>
#include <vector>

// The bitmap file names of the classic layout with the sizes we draw them at.
std::vector<std::pair<std::string, QSize>> WinampClassicBitmapSizes();
// One bitmap by its (lower-case) file name; null for an unknown name.
QImage PaintWinampClassicBitmap(const std::string& name, bool noise, unsigned seed = 1);
// "viscolor.txt", "pledit.txt", "Region.txt"-free set of text files: name -> content.
std::vector<std::pair<std::string, std::string>> WinampClassicTextFiles();
// Writes the whole skin into a folder; false when a file cannot be written.
bool WriteWinampClassicSkin(const std::string& folder, bool noise, unsigned seed = 1);
