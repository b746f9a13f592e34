#include "app/grid_model.h"

#include <algorithm>
#include <array>

#include "common/text.h"

namespace tervolin {

namespace {

// UTF-16 code units of the 256 Windows-1251 bytes; the unassigned byte 0x98
// shows as U+FFFD.
constexpr std::array<char16_t, 256> makeTable() {
  std::array<char16_t, 256> table{};
  for (int b = 0; b < 0x80; ++b) table[b] = static_cast<char16_t>(b);
  for (int b = 0x80; b < 0x100; ++b) {
    const char32_t cp = cp1251_detail::kHighHalf[b - 0x80];
    table[b] = cp == 0 ? char16_t(0xFFFD) : static_cast<char16_t>(cp);
  }
  return table;
}

constexpr std::array<char16_t, 256> kUtf16 = makeTable();

}  // namespace

QString cp1251ToQString(std::string_view bytes) {
  QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* dst = out.data();
  for (std::size_t i = 0; i < bytes.size(); ++i)
    dst[i] = QChar(kUtf16[static_cast<unsigned char>(bytes[i])]);
  return out;
}

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
  return cp1251ToQString(grid_.cell(column, row));
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
    text += cp1251ToQString(grid_.cell(section, r));
  }
  return text;
}

}  // namespace tervolin
