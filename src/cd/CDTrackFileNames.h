// File names for CD tracks converted to files, from the pattern Options_CDTracksFormatting.
#pragma once

#include <string>

#include "playlist/TPlayListBoxItem.h"

// Replaces, ASCII case ignored and in this order: %09 track number (two digits below 10),
// %01 title, %02 artist, %03 album, %04 year, %05 genre, %06 file name without extension.
std::string CDTrackFileName(const std::string& pattern, const TPlayListBoxItem& item);
