#include "charts/ui/matrix_chart_3d.h"

#include <QGuiApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DScatter>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>
#include <QtDataVisualization/QValue3DAxis>
#include <algorithm>

#include "qt/qt_text.h"
#include <array>

namespace tervolin {
namespace {

// Series colours in turn, as a chart gives them automatically (none pale on
// the silver background).
constexpr std::array<QRgb, 12> kColours = {0xff0000, 0x008000, 0x808000, 0x0000ff, 0xff8000, 0x606060,
                                           0xff00ff, 0x008080, 0x000080, 0x800000, 0x00ff00, 0x800080};
// Dots drawn between two points of a row, so that the row reads as a line.
constexpr int kDotsPerSegment = 24;

}  // namespace

MatrixChart3D::MatrixChart3D(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  // Without a display server OpenGL is never there, and a graph without a
  // context must not be touched again.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    auto* graph = new Q3DScatter();
    if (graph->hasContext()) {
      graph_ = graph;
    } else {
      graph->deleteLater();
    }
  }
  if (!graph_) {
    unavailable_ = new QLabel(QStringLiteral("Трёхмерный вид недоступен: нет OpenGL. Снимите галочку «3D», "
                                             "чтобы увидеть строку матрицы на плоском графике."),
                              this);
    unavailable_->setObjectName(QStringLiteral("lbl3dUnavailable"));
    unavailable_->setAlignment(Qt::AlignCenter);
    unavailable_->setWordWrap(true);
    layout->addWidget(unavailable_);
    return;
  }
  Q3DTheme* theme = graph_->activeTheme();
  theme->setType(Q3DTheme::ThemeQt);
  theme->setBackgroundColor(QColor(192, 192, 192));
  theme->setWindowColor(QColor(192, 192, 192));
  theme->setLabelBackgroundEnabled(false);
  graph_->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
  // A square floor whatever the X and Y ranges (by default the floor
  // follows their ratio, and rows of a load axis would stand in a sliver),
  // seen from the front left and a little above: X runs to the right, the
  // rows go back in depth, the values rise.
  graph_->setHorizontalAspectRatio(1.0);
  graph_->scene()->activeCamera()->setCameraPosition(-40, 25, 80);
  for (QValue3DAxis* axis : {graph_->axisX(), graph_->axisY(), graph_->axisZ()}) axis->setTitleVisible(true);
  graph_->axisX()->setLabelFormat(QStringLiteral("%.0f"));
  graph_->axisZ()->setLabelFormat(QStringLiteral("%.1f"));
  graph_->axisY()->setLabelFormat(QStringLiteral("%.2f"));
  QWidget* container = QWidget::createWindowContainer(graph_, this);
  container->setObjectName(QStringLiteral("cht1View3d"));
  container->setFocusPolicy(Qt::StrongFocus);
  layout->addWidget(container);
}

void MatrixChart3D::clear() {
  if (!graph_) return;
  for (QScatter3DSeries* s : graph_->seriesList()) {
    graph_->removeSeries(s);
    delete s;
  }
}

void MatrixChart3D::setSeries(const std::vector<ChartSeries>& series, const std::vector<double>& rowValues,
                              const QString& xTitle, const QString& valueTitle, const QString& rowTitle) {
  if (!graph_) return;
  clear();
  graph_->axisX()->setTitle(xTitle);
  graph_->axisY()->setTitle(valueTitle);
  graph_->axisZ()->setTitle(rowTitle);
  for (std::size_t k = 0; k < series.size(); ++k) {
    const ChartSeries& row = series[k];
    if (row.points.empty()) continue;
    const auto depth = static_cast<float>(rowValues[k]);
    const QColor colour = QColor::fromRgb(kColours[k % kColours.size()]);
    // The points themselves, and the dots of the line through them.
    auto* points = new QScatterDataArray;
    auto* dots = new QScatterDataArray;
    for (std::size_t i = 0; i < row.points.size(); ++i) {
      const ChartPoint& p = row.points[i];
      points->append(QScatterDataItem(QVector3D(float(p.x), float(p.y), depth)));
      if (i + 1 == row.points.size()) continue;
      const ChartPoint& q = row.points[i + 1];
      for (int d = 1; d < kDotsPerSegment; ++d) {
        const double t = double(d) / kDotsPerSegment;
        dots->append(QScatterDataItem(QVector3D(float(p.x + (q.x - p.x) * t), float(p.y + (q.y - p.y) * t), depth)));
      }
    }
    for (auto [data, size] : {std::pair{points, 0.09f}, std::pair{dots, 0.03f}}) {
      auto* s = new QScatter3DSeries(new QScatterDataProxy);
      s->dataProxy()->resetArray(data);
      s->setName(toQString(row.title));
      s->setBaseColor(colour);
      s->setMesh(QAbstract3DSeries::MeshSphere);
      s->setMeshSmooth(size > 0.05f);
      s->setItemSize(size);
      s->setItemLabelFormat(QStringLiteral("@seriesName: X @xLabel, Z @yLabel"));
      graph_->addSeries(s);
    }
  }
}

QImage MatrixChart3D::renderImage(const QSize& size) const {
  if (!graph_) return {};
  return graph_->renderToImage(0, size);
}

}  // namespace tervolin
