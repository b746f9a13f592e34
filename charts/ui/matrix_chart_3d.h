#pragma once
// The 3D view of tab "График": one series per Y row of the matrix, each a
// line through its points (X bin centre, value of the mode) at the depth of
// its Y value, in a view the mouse rotates (right button) and zooms (wheel).
// Where OpenGL cannot be had, the view says so instead.

#include <QWidget>
#include <vector>

#include "charts/matrix_chart.h"

class Q3DScatter;
class QLabel;

namespace tervolin {

class MatrixChart3D : public QWidget {
  Q_OBJECT
 public:
  explicit MatrixChart3D(QWidget* parent = nullptr);

  // False when the view could not get an OpenGL context.
  bool available() const { return graph_ != nullptr; }

  // Replaces every series. `rowValues` are the Y values of the series (the
  // depth), `xTitle`, `valueTitle` and `rowTitle` the axis names.
  void setSeries(const std::vector<ChartSeries>& series, const std::vector<double>& rowValues,
                 const QString& xTitle, const QString& valueTitle, const QString& rowTitle);
  void clear();

  // The view as an image (for screenshots and checks); empty when not available.
  QImage renderImage(const QSize& size) const;

 private:
  Q3DScatter* graph_ = nullptr;
  QLabel* unavailable_ = nullptr;
};

}  // namespace tervolin
