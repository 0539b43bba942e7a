#include <gtest/gtest.h>

#include "util/LibraryGridFunctions.h"

namespace {

// Column 0 record number, column 1 artist, column 2 title; widths 30, 80, 120.
TLibraryGrid MakeGrid(const std::vector<std::pair<std::string, std::string>>& rows) {
  TLibraryGrid grid;
  grid.ColWidths = {30, 80, 120};
  grid.Cells.push_back({"#", "Artist", "Title"});
  for (std::size_t i = 0; i < rows.size(); ++i)
    grid.Cells.push_back({std::to_string(i), rows[i].first, rows[i].second});
  return grid;
}

std::vector<std::string> Column(const TLibraryGrid& grid, int column) {
  std::vector<std::string> out;
  for (int r = 1; r < grid.RowCount(); ++r) out.push_back(grid.Cell(column, r));
  return out;
}

}  // namespace

TEST(SortGridRows, ByColumnThenNextVisibleColumnIgnoringCase) {
  TLibraryGrid grid = MakeGrid({{"beta", "b"}, {"Alpha", "z"}, {"alpha", "a"}, {"Gamma", "x"}});
  SortGridRows(grid, 1, true);
  EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"a", "z", "b", "x"}));
  EXPECT_EQ(grid.Cells[0], (std::vector<std::string>{"#", "Artist", "Title"}));
  SortGridRows(grid, 1, false);
  EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"x", "b", "z", "a"}));
}

TEST(SortGridRows, HiddenColumnIsSkippedForTheSecondKey) {
  TLibraryGrid grid;
  grid.ColWidths = {30, 80, -1, 60};
  grid.Cells = {{"#", "Album", "Hidden", "Track"},
                {"0", "Same", "a", "2"},
                {"1", "Same", "z", "1"}};
  SortGridRows(grid, 1, true);
  EXPECT_EQ(Column(grid, 3), (std::vector<std::string>{"1", "2"}));
  // Sorting by the last column uses that column alone.
  SortGridRows(grid, 3, true);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"1", "0"}));
}

TEST(SortGridRows, EqualTextsOrderedByRowNumberAsText) {
  std::vector<std::pair<std::string, std::string>> rows(10, {"same", ""});
  TLibraryGrid grid = MakeGrid(rows);
  grid.ColWidths = {30, 80, -1};  // no follower, so only the row number breaks ties
  SortGridRows(grid, 1, true);
  // Rows 1..10 as text: "1" < "10" < "2" < ... < "9"; record numbers are row - 1.
  EXPECT_EQ(Column(grid, 0),
            (std::vector<std::string>{"0", "9", "1", "2", "3", "4", "5", "6", "7", "8"}));
}

TEST(SortGridRows, CellTextHoldingTheMarkerDoesNotConfuseIt) {
  TLibraryGrid grid = MakeGrid({{"b;FREEDB_SORTING_ID=7", ""}, {"a", ""}});
  SortGridRows(grid, 1, true);
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"a", "b;FREEDB_SORTING_ID=7"}));
}

TEST(SortGridRows, OutOfRangeColumnChangesNothing) {
  TLibraryGrid grid = MakeGrid({{"b", ""}, {"a", ""}});
  const auto before = grid.Cells;
  SortGridRows(grid, 7, true);
  SortGridRows(grid, -1, true);
  EXPECT_EQ(grid.Cells, before);
}

TEST(DeleteGridRow, RowsMoveUpAndRecordNumbersFollow) {
  TLibraryGrid grid = MakeGrid({{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}});
  // Sorted differently from the records: records 3, 1, 0, 2.
  grid.Cells[1][0] = "3";
  grid.Cells[2][0] = "1";
  grid.Cells[3][0] = "0";
  grid.Cells[4][0] = "2";
  ASSERT_TRUE(DeleteGridRow(grid, 2));  // record 1
  EXPECT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"2", "0", "1"}));
}

TEST(DeleteGridRow, RefusesHeaderNonNumbersAndOutOfRange) {
  TLibraryGrid grid = MakeGrid({{"a", ""}, {"b", ""}});
  const auto before = grid.Cells;
  EXPECT_FALSE(DeleteGridRow(grid, 0));
  EXPECT_FALSE(DeleteGridRow(grid, 3));
  grid.Cells[1][0] = "x1";
  EXPECT_FALSE(DeleteGridRow(grid, 1));
  grid.Cells[1][0] = "-1";
  EXPECT_FALSE(DeleteGridRow(grid, 1));
  grid.Cells[1][0] = "0";
  EXPECT_EQ(grid.Cells, before);
}

TEST(DeleteGridRow, LastDataRowStaysButIsEmptied) {
  TLibraryGrid grid = MakeGrid({{"only", "one"}});
  ASSERT_TRUE(DeleteGridRow(grid, 1));
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Cell(1, 1), "");
  EXPECT_EQ(grid.Cell(0, 1), "");
}

TEST(AutoFitGridColumn, WidestTextPlusFive) {
  TLibraryGrid grid = MakeGrid({{"abc", ""}, {"abcdefgh", ""}});
  auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 7; };
  EXPECT_EQ(AutoFitGridColumn(grid, 1, width), 8 * 7 + 5);
  EXPECT_EQ(grid.ColWidths[1], 61);
  // The header counts as a cell too.
  EXPECT_EQ(AutoFitGridColumn(grid, 2, width), 5 * 7 + 5);
  EXPECT_EQ(AutoFitGridColumn(grid, 9, width), -1);
}

TEST(HitColumnBorder, WithinFivePixelsOfARightBorderInTheHeader) {
  TLibraryGrid grid;
  grid.ColWidths = {30, 50, -1, 40};
  grid.Cells = {{"#", "A", "B", "C"}};
  // Borders: column 0 at 30, column 1 at 31 + 50 = 81, column 3 at 82 + 40 = 122.
  auto h = HitColumnBorder(grid, 33, 5);
  EXPECT_TRUE(h.Hit);
  EXPECT_EQ(h.Column, 0);
  EXPECT_EQ(h.Width, 30);
  h = HitColumnBorder(grid, 76, 0);
  EXPECT_TRUE(h.Hit);
  EXPECT_EQ(h.Column, 1);
  h = HitColumnBorder(grid, 127, 19);
  EXPECT_TRUE(h.Hit);
  EXPECT_EQ(h.Column, 3);
  EXPECT_EQ(h.Width, 40);
  EXPECT_FALSE(HitColumnBorder(grid, 55, 5).Hit);
  EXPECT_FALSE(HitColumnBorder(grid, 81, 20).Hit);  // below the header
  EXPECT_FALSE(HitColumnBorder(grid, 128, 5).Hit);

  grid.LeftCol = 3;  // scrolled: column 1 is out of view, column 3 follows column 0
  h = HitColumnBorder(grid, 71, 5);
  EXPECT_TRUE(h.Hit);
  EXPECT_EQ(h.Column, 3);
}

TEST(NextVisibleColumn, SkipsHiddenColumns) {
  TLibraryGrid grid;
  grid.ColWidths = {30, -1, 0, -1};
  EXPECT_EQ(NextVisibleColumn(grid, 0), 2);  // width 0 is not hidden
  EXPECT_EQ(NextVisibleColumn(grid, 2), 2);
  EXPECT_EQ(NextVisibleColumn(grid, 3), 3);
}
