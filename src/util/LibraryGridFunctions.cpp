#include "util/LibraryGridFunctions.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "util/TextFunctions.h"

namespace {

const std::string kSortMarker = ";freedb_SORTING_ID=";

// Record numbers: plain decimal digits, nothing else.
bool ParseRecordNumber(const std::string& text, long long& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// Left pixel position of a column as shown, or -1 when it is scrolled away or hidden.
int ColumnLeft(const TLibraryGrid& grid, int column) {
  int x = 0;
  for (int c = 0; c < grid.ColCount(); ++c) {
    const bool shown = (c == 0 || c >= grid.LeftCol) && grid.ColWidths[c] >= 0;
    if (!shown) continue;
    if (c == column) return x;
    x += grid.ColWidths[c] + grid.GridLineWidth;
  }
  return -1;
}

}  // namespace

const std::string& TLibraryGrid::Cell(int column, int row) const {
  static const std::string empty;
  if (row < 0 || row >= RowCount() || column < 0) return empty;
  const auto& cells = Cells[row];
  return column < static_cast<int>(cells.size()) ? cells[column] : empty;
}

void TLibraryGrid::SetCell(int column, int row, const std::string& text) {
  if (row < 0 || column < 0) return;
  if (row >= RowCount()) Cells.resize(row + 1);
  auto& cells = Cells[row];
  if (column >= static_cast<int>(cells.size())) cells.resize(column + 1);
  cells[column] = text;
}

int NextVisibleColumn(const TLibraryGrid& grid, int column) {
  for (int c = column + 1; c < grid.ColCount(); ++c)
    if (grid.ColWidths[c] != -1) return c;
  return column;
}

void SortGridRows(TLibraryGrid& grid, int column, bool ascending) {
  if (column < 0 || column >= grid.ColCount() || grid.RowCount() < 2) return;
  const int next = NextVisibleColumn(grid, column);
  std::vector<std::string> keys;
  for (int r = 1; r < grid.RowCount(); ++r) {
    std::string key = grid.Cell(column, r);
    if (next != column) key += grid.Cell(next, r);
    keys.push_back(key + kSortMarker + std::to_string(r));
  }
  std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
    return CompareTextAscii(a, b) < 0;
  });
  // Every key is read back before a row moves, so a key that does not read back leaves the
  // grid as it was.
  const int count = static_cast<int>(keys.size());
  std::vector<int> sources(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    // The marker we appended is the last one, whatever the cell texts hold (in any case).
    const std::size_t at = keys[i].rfind(kSortMarker);
    long long source = 0;
    if (at == std::string::npos ||
        !ParseRecordNumber(keys[i].substr(at + kSortMarker.size()), source) || source < 1 ||
        source > count)
      return;
    sources[static_cast<std::size_t>(i)] = static_cast<int>(source);
  }
  std::vector<std::vector<std::string>> rows(grid.Cells.size());
  rows[0] = std::move(grid.Cells[0]);
  for (int i = 0; i < count; ++i)
    rows[ascending ? i + 1 : count - i] = std::move(grid.Cells[static_cast<std::size_t>(sources[static_cast<std::size_t>(i)])]);
  grid.Cells.swap(rows);
}

bool DeleteGridRow(TLibraryGrid& grid, int row) {
  const int rowCount = grid.RowCount();
  if (row < 1 || row >= rowCount) return false;
  long long n = 0;
  if (!ParseRecordNumber(grid.Cell(0, row), n) || n < 0) return false;
  if (rowCount == 2) {
    // The grid keeps one data row; the deleted record must not stay visible in it.
    for (std::string& cell : grid.Cells[1]) cell.clear();
    return true;
  }
  for (int r = row; r < rowCount - 1; ++r) grid.Cells[r] = grid.Cells[r + 1];
  for (int r = 1; r < rowCount - 1; ++r) {
    long long record = 0;
    if (ParseRecordNumber(grid.Cell(0, r), record) && record >= n && record < rowCount - 1)
      grid.SetCell(0, r, std::to_string(record - 1));
  }
  grid.Cells.pop_back();
  return true;
}

int AutoFitGridColumn(TLibraryGrid& grid, int column, const TTextWidthFunction& textWidth) {
  if (column < 0 || column >= grid.ColCount() || !textWidth) return -1;
  int widest = 0;
  for (int r = 0; r < grid.RowCount(); ++r) widest = std::max(widest, textWidth(grid.Cell(column, r)));
  grid.ColWidths[column] = widest + 5;
  return grid.ColWidths[column];
}

TColumnBorderHit HitColumnBorder(const TLibraryGrid& grid, int x, int y) {
  TColumnBorderHit hit;
  if (y < 0 || y >= grid.HeaderHeight) return hit;
  for (int c = 0; c < grid.ColCount(); ++c) {
    const int left = ColumnLeft(grid, c);
    if (left < 0) continue;
    const int right = left + grid.ColWidths[c];
    if (x >= right - 5 && x <= right + 5) {
      hit.Hit = true;
      hit.Column = c;
      hit.Width = grid.ColWidths[c];
      return hit;
    }
  }
  return hit;
}
