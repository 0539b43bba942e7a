// The library grid's model: a view over the songs and the row order, with the grid columns in
// the order of the column setting. Texts are made when a cell is drawn, so a large library
// costs no widget and no text per row.
#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

#include "cd/LibraryGridRows.h"

class TLibraryTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  TLibraryTableModel(const TLibraryForSongs& library, const TLibraryGridRows& rows, QObject* parent = nullptr)
      : QAbstractTableModel(parent), m_library(library), m_rows(rows) {}

  // Column ids of grid columns 0, 1, ... (column 0 is always the index).
  void SetColumns(std::vector<int> ids);
  const std::vector<int>& Columns() const { return m_columns; }
  int ColumnId(int gridColumn) const;
  // The list position shown in data row `row`, or -1.
  int PositionOfRow(int row) const;
  // What the cell shows ("" outside the grid).
  std::string CellText(int row, int gridColumn) const;
  // After the songs or the row order changed.
  void Refresh();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const TLibraryForSongs& m_library;
  const TLibraryGridRows& m_rows;
  std::vector<int> m_columns{0};
};
