#include "table/ui/grid_model.h"

#include <algorithm>

#include "qt/qt_text.h"

namespace tervolin {

GridModel::GridModel(const Grid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
  reload();
}

void GridModel::reload() {
  beginResetModel();
  columns_ = std::max(0, grid_.columnCount());
  const int rows = std::max(0, grid_.rowCount());
  fixedRows_ = std::clamp(grid_.fixedRows(), 0, rows);
  rows_ = rows - fixedRows_;
  endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const int column = index.column();
  const int row = gridRow(index.row());
  // The grid may have shrunk since the last reload(): answer nothing rather
  // than read past its end.
  if (column < 0 || column >= grid_.columnCount() || row < 0 || row >= grid_.rowCount()) return {};
  return toQString(grid_.cell(column, row));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return QString::number(gridRow(section));
  if (section < 0 || section >= grid_.columnCount()) return {};
  // One header line per fixed row, clamped to what the grid holds now.
  const int fixed = std::min(fixedRows_, grid_.rowCount());
  QString text;
  for (int r = 0; r < fixed; ++r) {
    if (r > 0) text += QLatin1Char('\n');
    text += toQString(grid_.cell(section, r));
  }
  return text;
}

}  // namespace tervolin
