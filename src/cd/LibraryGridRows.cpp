#include "cd/LibraryGridRows.h"

#include <charconv>

#include "cd/LibraryColumns.h"
#include "util/LibraryGridFunctions.h"
#include "util/TextFunctions.h"

void TLibraryGridRows::Reset(const TLibraryForSongs& library) {
  Rows.resize(static_cast<std::size_t>(library.Count()));
  for (int i = 0; i < library.Count(); ++i) Rows[static_cast<std::size_t>(i)] = i;
}

bool AddToLibraryGrid(TLibraryForSongs& library, TLibraryGridRows& grid, TLibraryForSongsItem item) {
  if (!library.Add(std::move(item))) return false;
  grid.Rows.push_back(library.Count() - 1);
  return true;
}

bool RemoveLibraryRow(TLibraryForSongs& library, TLibraryGridRows& grid, int row) {
  if (row < 0 || row >= grid.Count()) return false;
  const int position = grid.Rows[static_cast<std::size_t>(row)];
  if (!library.Remove(position)) return false;
  grid.Rows.erase(grid.Rows.begin() + row);
  for (int& p : grid.Rows)
    if (p > position) --p;
  return true;
}

void ClearLibrary(TLibraryForSongs& library, TLibraryGridRows& grid) {
  for (int row = grid.Count() - 1; row >= 0; --row) RemoveLibraryRow(library, grid, row);
  library.Clear();
  grid.Rows.clear();
}

void SortLibraryRows(const TLibraryForSongs& library, TLibraryGridRows& grid, int columnId, int nextColumnId,
                     bool ascending) {
  // Only the two compared columns and the index are built, so a large library sorts cheaply.
  TLibraryGrid g;
  const bool withNext = nextColumnId >= 0;
  g.ColWidths.assign(withNext ? 3 : 2, kLibraryDefaultColumnWidth);
  g.Cells.reserve(grid.Rows.size() + 1);
  g.Cells.push_back({"Index", LibraryColumnHeader(columnId), LibraryColumnHeader(nextColumnId)});
  for (int position : grid.Rows) {
    const TLibraryForSongsItem& item = library.Item(position);
    std::vector<std::string> row{std::to_string(position), LibraryCellText(item, position, columnId)};
    if (withNext) row.push_back(LibraryCellText(item, position, nextColumnId));
    g.Cells.push_back(std::move(row));
  }
  SortGridRows(g, 1, ascending);
  for (std::size_t r = 1; r < g.Cells.size(); ++r) {
    const std::string& text = g.Cells[r][0];
    int position = 0;
    std::from_chars(text.data(), text.data() + text.size(), position);
    grid.Rows[r - 1] = position;
  }
}

int FindLibraryRow(const TLibraryForSongs& library, const TLibraryGridRows& grid, int columnId,
                   const std::string& text, int fromRow) {
  const std::string wanted = UpperCaseAscii(text);
  for (int row = fromRow < 0 ? 0 : fromRow; row < grid.Count(); ++row) {
    const int position = grid.Rows[static_cast<std::size_t>(row)];
    if (UpperCaseAscii(LibraryCellText(library.Item(position), position, columnId)).find(wanted) != std::string::npos)
      return row;
  }
  return -1;
}

std::vector<std::string> LibraryAlbumPaths(const TLibraryForSongs& library, int position) {
  std::vector<std::string> paths;
  if (position < 0 || position >= library.Count()) return paths;
  const std::string artist = UpperCaseAscii(library.Item(position).Lib_ArtistName);
  const std::string album = UpperCaseAscii(library.Item(position).Lib_AlbumName);
  for (const TLibraryForSongsItem& item : library.Items())
    if (!IsLibraryCDTrack(item.Lib_FullPathAndFilename) && UpperCaseAscii(item.Lib_ArtistName) == artist &&
        UpperCaseAscii(item.Lib_AlbumName) == album)
      paths.push_back(item.Lib_FullPathAndFilename);
  return paths;
}
