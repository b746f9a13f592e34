#pragma once
// The main grid as a Qt table model. The model never copies the grid: every
// text is read from the core grid and converted from Windows-1251 when the
// view asks for it, so a log of a million lines costs nothing per row.
//
// The grid's fixed heading rows are not model rows: they are shown as the
// horizontal header (one header line per fixed row), so they stay visible
// while the rows below scroll. Model row r is grid row r + fixedRows().

#include <QAbstractTableModel>
#include <QString>
#include <string_view>

#include "table/grid.h"

namespace tervolin {

class GridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit GridModel(Grid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // An edited text goes into the core grid (as Windows-1251), where every
  // tool and export reads it; the next rebuild of the table replaces it.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // Whether a cell's whole text is its tooltip (the LOG view's lines, which
  // are wider than the column); heading tooltips always show the whole
  // heading.
  void setCellToolTips(bool on) { cellToolTips_ = on; }

  // Cells can be edited once this is set ("Разрешить редактирование").
  void setEditable(bool editable) { editable_ = editable; }
  bool editable() const { return editable_; }

  // Call after a row or a column was deleted from the grid: the view drops
  // it and keeps its place and the other columns' widths.
  void gridRowDeleted(int gridRow);
  void gridColumnDeleted(int column);

  // Call after the grid has been rebuilt or edited: the view re-reads the
  // counts and the heading rows.
  void reload();

  // The grid row and column shown at a model index, and back.
  int gridRow(int modelRow) const { return modelRow + fixedRows_; }
  int modelRow(int gridRow) const { return gridRow - fixedRows_; }
  int fixedRows() const { return fixedRows_; }

 private:
  Grid& grid_;
  bool editable_ = false;
  bool cellToolTips_ = false;
  // Counts as last announced to the view: the grid may change between a
  // rebuild and reload(), and the view must never be told more rows than
  // were announced.
  int rows_ = 0;
  int columns_ = 0;
  int fixedRows_ = 0;
};

}  // namespace tervolin
