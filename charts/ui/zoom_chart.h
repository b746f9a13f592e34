#pragma once
// The line chart of the chart windows, on QCustomPlot: zoom by dragging a
// rectangle from left to right (dragging it the other way, or Alt with any
// button, undoes the zoom), scrolling with the right button held, a right
// click for the context menu, clicks told apart from double clicks, drawing
// over the chart's buffered image (cursor lines and texts), and printing in
// landscape. Include only from .cpp files: qcustomplot.h is heavy.

#include <QColor>
#include <QLine>
#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

#include <qcustomplot.h>

class QPrinter;
class QRubberBand;
class QTimer;
class QVariantAnimation;

namespace tervolin {

class ZoomChart : public QCustomPlot {
  Q_OBJECT
 public:
  explicit ZoomChart(QWidget* parent = nullptr);

  // The view "undo zoom" returns to: the ranges the chart was last built with.
  void setFullView(const QCPRange& x, const QCPRange& y);
  void undoZoom();
  // Milliseconds a zoom takes to move to its new ranges (0: at once).
  void setZoomAnimation(int ms) { zoomMs_ = ms; }

  // What is drawn over the chart until the next call.
  struct OverlayText {
    QPoint topLeft;
    QString text;
    QColor colour;
  };
  void setOverlay(std::vector<QLine> lines, QColor pen, std::vector<OverlayText> texts);
  void clearOverlay();

  // Prints the chart on one landscape page: asks for the printer (the print
  // dialog, which also offers a PDF file) unless `choosePrinter` is set.
  void print();
  std::function<bool(QPrinter&)> choosePrinter;
  void printTo(QPrinter& printer);

 signals:
  void zoomed();                        // the view changed by zooming or undoing the zoom
  void clicked(QPoint pos);             // a left click that is not part of a double click
  void doubleClicked(QPoint pos);
  void hovered(QPoint pos);             // the pointer moved over the chart
  void contextMenuAsked(QPoint globalPos);  // a right click without scrolling
  void resized();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void zoomTo(const QCPRange& x, const QCPRange& y);

  QRubberBand* band_ = nullptr;
  QTimer* clickTimer_ = nullptr;
  QVariantAnimation* animation_ = nullptr;
  int zoomMs_ = 150;
  Qt::MouseButton pressButton_ = Qt::NoButton;
  QPoint pressPos_, clickPos_;
  bool dragged_ = false;
  bool inDoubleClick_ = false;
  QCPRange panX_, panY_;
  QCPRange fullX_{0, 1}, fullY_{0, 1};
  QCPRange fromX_, fromY_, toX_, toY_;

  std::vector<QLine> lines_;
  QColor pen_;
  std::vector<OverlayText> texts_;
};

}  // namespace tervolin
