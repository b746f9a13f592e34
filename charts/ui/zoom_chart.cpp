#include "charts/ui/zoom_chart.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRubberBand>
#include <QStyleHints>
#include <QTimer>
#include <QVariantAnimation>

namespace tervolin {
namespace {

// Pointer travel below which a press and release are a click.
constexpr int kClickSlack = 3;
// A rectangle smaller than this (pixels) zooms nothing.
constexpr int kSmallestZoom = 4;

QCPRange between(const QCPRange& a, const QCPRange& b, double t) {
  return QCPRange(a.lower + (b.lower - a.lower) * t, a.upper + (b.upper - a.upper) * t);
}

}  // namespace

ZoomChart::ZoomChart(QWidget* parent) : QCustomPlot(parent) {
  setInteractions(QCP::Interactions());
  setSelectionRectMode(QCP::srmNone);
  setMouseTracking(true);
  setNoAntialiasingOnDrag(true);
  band_ = new QRubberBand(QRubberBand::Rectangle, this);
  clickTimer_ = new QTimer(this);
  clickTimer_->setSingleShot(true);
  connect(clickTimer_, &QTimer::timeout, this, [this] { emit clicked(clickPos_); });
  animation_ = new QVariantAnimation(this);
  animation_->setStartValue(0.0);
  animation_->setEndValue(1.0);
  animation_->setEasingCurve(QEasingCurve::OutCubic);
  connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
    const double t = v.toDouble();
    xAxis->setRange(between(fromX_, toX_, t));
    yAxis->setRange(between(fromY_, toY_, t));
    replot(QCustomPlot::rpQueuedReplot);
  });
}

void ZoomChart::setFullView(const QCPRange& x, const QCPRange& y) {
  fullX_ = x;
  fullY_ = y;
  animation_->stop();
  xAxis->setRange(x);
  yAxis->setRange(y);
}

void ZoomChart::undoZoom() {
  zoomTo(fullX_, fullY_);
}

void ZoomChart::zoomTo(const QCPRange& x, const QCPRange& y) {
  animation_->stop();
  emit zoomed();
  if (zoomMs_ <= 0) {
    xAxis->setRange(x);
    yAxis->setRange(y);
    replot();
    return;
  }
  fromX_ = xAxis->range();
  fromY_ = yAxis->range();
  toX_ = x;
  toY_ = y;
  animation_->setDuration(zoomMs_);
  animation_->start();
}

void ZoomChart::setOverlay(std::vector<QLine> lines, QColor pen, std::vector<OverlayText> texts) {
  lines_ = std::move(lines);
  pen_ = pen;
  texts_ = std::move(texts);
  update();
}

void ZoomChart::clearOverlay() {
  if (lines_.empty() && texts_.empty()) return;
  lines_.clear();
  texts_.clear();
  update();
}

void ZoomChart::mousePressEvent(QMouseEvent* event) {
  // A press starts a gesture of its own; the double click that may follow
  // it marks its release again.
  inDoubleClick_ = false;
  pressButton_ = event->button();
  pressPos_ = event->pos();
  dragged_ = false;
  if (event->modifiers() & Qt::AltModifier) {
    pressButton_ = Qt::NoButton;
    undoZoom();
    return;
  }
  if (pressButton_ == Qt::RightButton) {
    panX_ = xAxis->range();
    panY_ = yAxis->range();
  }
}

void ZoomChart::mouseMoveEvent(QMouseEvent* event) {
  emit hovered(event->pos());
  if (pressButton_ == Qt::NoButton || !(event->buttons() & pressButton_)) return;
  if (!dragged_ && (event->pos() - pressPos_).manhattanLength() > kClickSlack) dragged_ = true;
  if (!dragged_) return;
  if (pressButton_ == Qt::LeftButton) {
    band_->setGeometry(QRect(pressPos_, event->pos()).normalized());
    band_->show();
  } else if (pressButton_ == Qt::RightButton) {
    // The point under the pointer at the press stays under it.
    const QRect area = axisRect()->rect();
    const QPoint moved = event->pos() - pressPos_;
    const double dx = -moved.x() * panX_.size() / std::max(1, area.width());
    const double dy = moved.y() * panY_.size() / std::max(1, area.height());
    xAxis->setRange(panX_.lower + dx, panX_.upper + dx);
    yAxis->setRange(panY_.lower + dy, panY_.upper + dy);
    replot(QCustomPlot::rpQueuedReplot);
  }
}

void ZoomChart::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != pressButton_) return;
  const Qt::MouseButton button = pressButton_;
  pressButton_ = Qt::NoButton;
  band_->hide();
  if (button == Qt::RightButton) {
    if (dragged_) {
      replot();
    } else {
      emit contextMenuAsked(event->globalPosition().toPoint());
    }
    return;
  }
  if (button != Qt::LeftButton) return;
  if (!dragged_) {
    if (inDoubleClick_) {
      inDoubleClick_ = false;
      return;
    }
    clickPos_ = event->pos();
    clickTimer_->start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    return;
  }
  const QRect r = QRect(pressPos_, event->pos()).normalized();
  if (event->pos().x() < pressPos_.x()) {
    undoZoom();  // dragged from right to left
    return;
  }
  if (r.width() < kSmallestZoom || r.height() < kSmallestZoom) return;
  const QCPRange x(xAxis->pixelToCoord(r.left()), xAxis->pixelToCoord(r.right()));
  const QCPRange y(yAxis->pixelToCoord(r.bottom()), yAxis->pixelToCoord(r.top()));
  zoomTo(x, y);
}

void ZoomChart::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  clickTimer_->stop();
  inDoubleClick_ = true;
  // Its release ends the double click, not a click of its own.
  pressButton_ = Qt::LeftButton;
  pressPos_ = event->pos();
  dragged_ = false;
  emit doubleClicked(event->pos());
}

void ZoomChart::resizeEvent(QResizeEvent* event) {
  QCustomPlot::resizeEvent(event);
  emit resized();
}

void ZoomChart::paintEvent(QPaintEvent* event) {
  QCustomPlot::paintEvent(event);
  if (lines_.empty() && texts_.empty()) return;
  QPainter painter(this);
  painter.setPen(pen_);
  for (const QLine& line : lines_) painter.drawLine(line);
  const QFontMetrics metrics(font());
  const QColor face = palette().color(QPalette::Button);
  for (const OverlayText& t : texts_) {
    const QRect box(t.topLeft, metrics.size(Qt::TextSingleLine, t.text) + QSize(2, 0));
    painter.fillRect(box, face);
    painter.setPen(t.colour);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, t.text);
  }
}

void ZoomChart::print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  if (choosePrinter) {
    if (!choosePrinter(printer)) return;
  } else {
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
  }
  printTo(printer);
}

void ZoomChart::printTo(QPrinter& printer) {
  printer.setPageOrientation(QPageLayout::Landscape);
  QCPPainter painter;
  if (!painter.begin(&printer)) return;
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  const int w = std::max(1, width()), h = std::max(1, height());
  const double scale = std::min(page.width() / w, page.height() / h);
  painter.setMode(QCPPainter::pmVectorized);
  painter.setMode(QCPPainter::pmNoCaching);
  painter.scale(scale, scale);
  toPainter(&painter, w, h);
  painter.end();
}

}  // namespace tervolin
