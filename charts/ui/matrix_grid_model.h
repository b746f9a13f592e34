#pragma once
// The matrix grid of tab "Матрица" as a Qt table model: the X bin centres
// (grid row 0) are the horizontal header, the Y bin centres (grid column 0)
// the vertical header, and every cell shows the core grid's text, coloured
// by the heat map of the mode shown. Nothing is copied: texts are read from
// the core grid when the view asks for them.

#include <QAbstractTableModel>

#include "charts/matrix_logic.h"

namespace tervolin {

class MatrixGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit MatrixGridModel(const MatrixLogic& logic, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Call after the grid was laid out or filled, or the heat map switched.
  void reload();
  void setHeatMap(bool on);
  bool heatMap() const { return heat_; }

 private:
  const MatrixLogic& logic_;
  int rows_ = 0, columns_ = 0;
  bool heat_ = true;
};

}  // namespace tervolin
