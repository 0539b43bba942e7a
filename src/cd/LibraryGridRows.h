// The order of the library grid's data rows: row i shows the song at list position Rows[i].
// Sorting moves rows, never songs; removing a song renumbers the rows behind it, which is
// what the grid's index column shows. UI thread only.
#pragma once

#include <vector>

#include "cd/LibraryForSongs.h"

struct TLibraryGridRows {
  std::vector<int> Rows;

  int Count() const { return static_cast<int>(Rows.size()); }
  // A row for every song, in list order.
  void Reset(const TLibraryForSongs& library);
};

// Adds the song and, when it was new, a row for it. False for a duplicate.
bool AddToLibraryGrid(TLibraryForSongs& library, TLibraryGridRows& grid, TLibraryForSongsItem item);
// Removes the song shown in data row `row` (from 0) and its row; rows showing later list
// positions drop by one. False when the row is out of range.
bool RemoveLibraryRow(TLibraryForSongs& library, TLibraryGridRows& grid, int row);
// Removes every row from the last to the first.
void ClearLibrary(TLibraryForSongs& library, TLibraryGridRows& grid);
// Sorts the rows by the text column `columnId` shows, then by what `nextColumnId` shows (-1 for
// none), ASCII case ignored, through the grid's own sort so equal rows stay together as it keeps them.
void SortLibraryRows(const TLibraryForSongs& library, TLibraryGridRows& grid, int columnId, int nextColumnId,
                     bool ascending);
// Data rows whose cell in column `columnId` contains the text (ASCII case ignored), searching
// from `fromRow` to the last row: the first such row, or -1.
int FindLibraryRow(const TLibraryForSongs& library, const TLibraryGridRows& grid, int columnId,
                   const std::string& text, int fromRow);
// The paths of the songs sharing the artist and album (case ignored) of the song at the list
// position, in list order, leaving CD tracks out.
std::vector<std::string> LibraryAlbumPaths(const TLibraryForSongs& library, int position);
