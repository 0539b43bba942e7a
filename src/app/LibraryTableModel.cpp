#include "app/LibraryTableModel.h"

#include "cd/LibraryColumns.h"

void TLibraryTableModel::SetColumns(std::vector<int> ids) {
  beginResetModel();
  m_columns = std::move(ids);
  endResetModel();
}

int TLibraryTableModel::ColumnId(int gridColumn) const {
  return gridColumn >= 0 && gridColumn < static_cast<int>(m_columns.size()) ? m_columns[static_cast<std::size_t>(gridColumn)]
                                                                             : -1;
}

void TLibraryTableModel::Refresh() {
  beginResetModel();
  endResetModel();
}

int TLibraryTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows.Count(); }

int TLibraryTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

int TLibraryTableModel::PositionOfRow(int row) const {
  if (row < 0 || row >= m_rows.Count()) return -1;
  const int position = m_rows.Rows[static_cast<std::size_t>(row)];
  return position >= 0 && position < m_library.Count() ? position : -1;
}

std::string TLibraryTableModel::CellText(int row, int gridColumn) const {
  const int position = PositionOfRow(row);
  if (position < 0) return {};
  return LibraryCellText(m_library.Item(position), position, ColumnId(gridColumn));
}

QVariant TLibraryTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || PositionOfRow(index.row()) < 0) return {};
  return QString::fromStdString(CellText(index.row(), index.column()));
}

QVariant TLibraryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return QString::fromStdString(LibraryColumnHeader(ColumnId(section)));
}
