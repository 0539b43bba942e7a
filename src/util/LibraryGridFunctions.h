// Operations on the song library's grid, kept apart from any widget so they can be tested:
// the library window copies its table into a TLibraryGrid, or keeps one as its model.
// Row 0 is the header; column 0 of every data row holds the row's record number.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TLibraryGrid {
  std::vector<std::vector<std::string>> Cells;  // Cells[row][column]; short rows read as empty
  std::vector<int> ColWidths;                    // pixels; -1 = hidden column
  int HeaderHeight = 20;                         // height of row 0 in pixels
  int GridLineWidth = 1;                         // gap between two columns
  int LeftCol = 1;                               // first scrolled column shown after column 0

  int RowCount() const { return static_cast<int>(Cells.size()); }
  int ColCount() const { return static_cast<int>(ColWidths.size()); }
  // Empty for cells outside the grid.
  const std::string& Cell(int column, int row) const;
  void SetCell(int column, int row, const std::string& text);
};

// Pixel width of a text in the grid's font (the window passes its font metrics).
using TTextWidthFunction = std::function<int(const std::string&)>;

// Sorts the data rows by the column's text followed by the next visible column's text,
// ignoring ASCII case; rows with equal texts keep the order of their row numbers compared as
// text (row 10 before row 9). Descending reverses the whole order. Nothing changes when the
// column is outside the grid.
void SortGridRows(TLibraryGrid& grid, int column, bool ascending);
// Removes data row `row` when column 0 holds a record number n >= 0: later rows move up and
// record numbers from n up to the row count - 2 drop by one. The last data row is never
// removed; deleting it empties its cells instead. False when nothing was deleted.
bool DeleteGridRow(TLibraryGrid& grid, int row);
// Sets the column's width to its widest cell text plus 5 pixels and returns it
// (-1 for a column outside the grid).
int AutoFitGridColumn(TLibraryGrid& grid, int column, const TTextWidthFunction& textWidth);

struct TColumnBorderHit {
  bool Hit = false;
  int Column = -1;
  int Width = 0;
};
// Whether (x, y) lies in the header row within 5 pixels of a shown column's right border.
TColumnBorderHit HitColumnBorder(const TLibraryGrid& grid, int x, int y);
// The first column after `column` whose width is not -1, or `column` itself.
int NextVisibleColumn(const TLibraryGrid& grid, int column);
