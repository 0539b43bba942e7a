// The song library file: the program file's path with the extension ".SDB". Records follow
// each other without header or count up to the end of the file; strings are an int32 count of
// UTF-16LE code units and the units; integers are little-endian.
#pragma once

#include <string>

#include "cd/LibraryForSongs.h"

// "<program folder>/<program name>.SDB".
std::string LibrarySongsFilePath();

// Appends every complete record of the data to the library (duplicates dropped). False when
// the data ends inside a record or a string count is negative or runs past the end: the
// records before it are kept.
bool ReadLibraryRecords(const std::string& data, TLibraryForSongs& library);
// All songs in list order.
std::string WriteLibraryRecords(const TLibraryForSongs& library);

struct TLibraryFileState {
  bool LoadFailed = false;  // the file was damaged: what could be read is in memory
};

// Empties the library and reads the file into it; a missing file is an empty library.
// A damaged or unreadable file shows "Loading CDDatabase Failed..." and keeps what was read.
// The library is marked unchanged afterwards.
TLibraryFileState LoadLibrary(TLibraryForSongs& library, const std::string& path);
// Writes the library atomically, except after a failed load without a change since, so a
// read error never costs the user the rest of a damaged file. A write failure shows
// "Saving CDDatabase Failed...". True when the file now holds the library or was kept.
bool SaveLibrary(const TLibraryForSongs& library, const TLibraryFileState& state, const std::string& path);
