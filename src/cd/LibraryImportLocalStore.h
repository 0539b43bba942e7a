// Songs of the local store of CD entries into the library: every track of every stored disc,
// category by category.
#pragma once

#include <functional>
#include <string>

#include "cd/LibraryGridRows.h"

// Reads "<storeFolder>/<category>/<disc id>" for the 11 categories in their order; each track i
// becomes "Track" + two-digit i+1 + ".cda" with the disc ID. After each category `progress`
// gets its index and returns false to stop. Returns the number of songs added.
int ImportLocalCDDBIntoLibrary(TLibraryForSongs& library, TLibraryGridRows& grid, const std::string& storeFolder,
                               const std::function<bool(int category)>& progress);
