#include "charts/ui/matrix_grid_model.h"

#include <QBrush>
#include <QColor>

#include "charts/matrix_heat.h"
#include "qt/qt_text.h"

namespace tervolin {

MatrixGridModel::MatrixGridModel(const MatrixLogic& logic, QObject* parent)
    : QAbstractTableModel(parent), logic_(logic) {
  reload();
}

int MatrixGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int MatrixGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant MatrixGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= columns_) return {};
  const Grid& grid = logic_.grid();
  if (role == Qt::DisplayRole) return toQString(grid.cell(index.column() + 1, index.row() + 1));
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role == Qt::BackgroundRole && heat_ && logic_.shown()) {
    const MatrixCells& cells = logic_.cells();
    if (index.column() >= cells.columns() || index.row() >= cells.rows()) return {};
    const auto scale = logic_.heatScale();
    const auto value = cellValue(cells.at(index.column(), index.row()), logic_.shownMode(), logic_.shownMinHits());
    if (!scale || !value) return {};
    const Rgb c = heatColour(*value, *scale);
    return QBrush(QColor(c.r, c.g, c.b));
  }
  return {};
}

QVariant MatrixGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || section < 0) return QAbstractTableModel::headerData(section, orientation, role);
  const Grid& grid = logic_.grid();
  if (orientation == Qt::Horizontal) return toQString(grid.cell(section + 1, 0));
  return toQString(grid.cell(0, section + 1));
}

void MatrixGridModel::reload() {
  beginResetModel();
  const Grid& grid = logic_.grid();
  rows_ = grid.rowCount() > 1 ? grid.rowCount() - 1 : 0;
  columns_ = grid.columnCount() > 1 ? grid.columnCount() - 1 : 0;
  endResetModel();
}

void MatrixGridModel::setHeatMap(bool on) {
  heat_ = on;
  reload();
}

}  // namespace tervolin
