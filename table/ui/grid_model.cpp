#include "table/ui/grid_model.h"

#include <algorithm>

#include "qt/qt_text.h"

namespace tervolin {

GridModel::GridModel(Grid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
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
  const bool toolTip = role == Qt::ToolTipRole && cellToolTips_;
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && !toolTip)) return {};
  const int column = index.column();
  const int row = gridRow(index.row());
  // The grid may have shrunk since the last reload(): answer nothing rather
  // than read past its end.
  if (column < 0 || column >= grid_.columnCount() || row < 0 || row >= grid_.rowCount()) return {};
  return toQString(grid_.cell(column, row));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(QString::number(gridRow(section))) : QVariant();
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

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (editable_ && index.isValid()) f |= Qt::ItemIsEditable;
  return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!editable_ || !index.isValid() || role != Qt::EditRole) return false;
  const int column = index.column();
  const int row = gridRow(index.row());
  if (column < 0 || column >= grid_.columnCount() || row < 0 || row >= grid_.rowCount()) return false;
  grid_.setCell(column, row, fromQString(value.toString()));
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

void GridModel::gridRowDeleted(int gridRow) {
  const int row = modelRow(gridRow);
  if (row < 0 || row >= rows_) return reload();
  beginRemoveRows(QModelIndex(), row, row);
  --rows_;
  endRemoveRows();
}

void GridModel::gridColumnDeleted(int column) {
  if (column < 0 || column >= columns_) return reload();
  beginRemoveColumns(QModelIndex(), column, column);
  --columns_;
  endRemoveColumns();
}

}  // namespace tervolin
