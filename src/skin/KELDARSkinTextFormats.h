// The two entry formatters: the deck's artist and title lines and the playlist's lines are
// filled from a format with "%01".."%09" placeholders. Replacement is one pass over the
// format, so tag texts that happen to contain a placeholder are shown as they are.
#pragma once
#include <cstdint>
#include <string>

#include "playlist/TPlayListBoxItem.h"

// Deck lines: %01 title, %02 artist, %03 album, %04 year, %05 genre, %06 file name with
// extension, %07 full path, %08 the caller's 1-based position, %09 CD track index.
std::string FormatKELDARSkinDeckEntry(const std::string& format, const TPlayListBoxItem& entry, std::int32_t position);

// Playlist lines: as above, except %06 is the file name without extension, %09 the CD
// track number taken from a CD track file name, written with two digits, and %07 and %08
// stay as they are.
std::string FormatKELDARSkinPlaylistEntry(const std::string& format, const TPlayListBoxItem& entry);

// "Track07.cda" → "07": the file name without its extension and its first five characters,
// read as a number; empty when that is not a number.
std::string KELDARSkinCDTrackNumberText(const std::string& locator);
