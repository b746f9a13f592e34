#include "charts/ui/parameter_graphs_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QAbstractItemView>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

#include "charts/series_detail.h"
#include "charts/series_readout.h"
#include "charts/ui/colour_box.h"
#include "charts/ui/zoom_chart.h"
#include "qt/qt_text.h"

namespace tervolin {
namespace {

const QColor kMarkerColours[] = {QColor(0x00, 0x80, 0x00), QColor(0xFF, 0x00, 0x00)};  // green, red

// Geometry of the panel at the left of the chart.
constexpr int kChartTop = 10;
constexpr int kChartLeft = 240;
constexpr int kPanelLeft = 5;
constexpr int kPanelWidth = 228;
constexpr int kRowHeight = 40;
constexpr int kListWidth = 168;
constexpr int kTimingHeight = 62;
constexpr int kColourGroupHeight = 112;
constexpr int kButtonHeight = 28;

// Points per chunk of a series' lighter copy, and the series length from
// which a lighter copy is made.
constexpr std::size_t kChunk = 64;
constexpr std::size_t kLightFrom = 200'000;

QSharedPointer<QCPGraphDataContainer> graphData(const SeriesData& s, const std::vector<std::size_t>* only) {
  auto data = QSharedPointer<QCPGraphDataContainer>::create();
  const std::size_t n = only ? only->size() : s.count();
  QVector<QCPGraphData> points(static_cast<qsizetype>(n));
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = only ? (*only)[k] : k;
    points[static_cast<qsizetype>(k)] = QCPGraphData(s.x[i], s.y(i));
  }
  data->set(points, true);  // x never decreases along a point list
  return data;
}

// A double has no room beyond the largest finite one; a zero span cannot be
// shown, so such an axis gets one unit either side.
QCPRange shownRange(double a, double b) {
  QCPRange r(std::min(a, b), std::max(a, b));
  if (!(r.size() > 0) || !QCPRange::validRange(r)) r = QCPRange(r.center() - 1, r.center() + 1);
  return r;
}

}  // namespace

struct TForm10::Detail {
  std::array<QSharedPointer<QCPGraphDataContainer>, kSeriesCount> full, light;
  std::array<bool, kSeriesCount> showingLight{};
};

TForm10::TForm10(AppState& state, Registry& registry, UserChannel& channel, QWidget* parent)
    : QDialog(parent), logic_(state, registry, channel), detail_(std::make_unique<Detail>()) {
  setObjectName(QStringLiteral("TForm10"));
  setWindowTitle(QStringLiteral("Графики параметров"));
  setModal(true);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  resize(1100, 720);
  setMinimumSize(760, 560);
  logic_.setColourCount(ColourBox::colourCount());
  buildControls();
}

TForm10::~TForm10() = default;

void TForm10::buildControls() {
  panel_ = new QWidget(this);
  panel_->setObjectName(QStringLiteral("pnl1"));
  panel_->setAutoFillBackground(true);
  for (int k = 0; k < kSeriesCount; ++k) {
    const int top = 4 + k * kRowHeight;
    cbb[k] = new QComboBox(panel_);
    cbb[k]->setObjectName(QStringLiteral("cbb%1").arg(k + 1));
    cbb[k]->setGeometry(4, top, kListWidth, 22);
    cbb[k]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbb[k]->setMinimumContentsLength(10);
    cbb[k]->view()->setMinimumWidth(420);  // the whole item in the open list
    clrbx[k] = new ColourBox(panel_);
    clrbx[k]->setObjectName(QStringLiteral("clrbx%1").arg(k + 1));
    clrbx[k]->setGeometry(4 + kListWidth + 4, top, kPanelWidth - kListWidth - 12, 22);
    clrbx[k]->setCurrentIndex(kDesignSeriesColours[k]);
    l[k] = new QLabel(panel_);
    l[k]->setObjectName(QStringLiteral("l%1").arg(k + 1));
    l[k]->setGeometry(8, top + 22, kPanelWidth - 12, 16);
    l[k]->hide();
    connect(clrbx[k], &QComboBox::currentIndexChanged, this, [this, k] { clrbxChange(k); });
    connect(cbb[k], &QComboBox::currentTextChanged, cbb[k], &QWidget::setToolTip);
  }

  const int timingTop = 4 + kSeriesCount * kRowHeight;
  timingGroup_ = new QGroupBox(QStringLiteral("Настройка таймингов"), panel_);
  timingGroup_->setGeometry(4, timingTop, kPanelWidth - 8, kTimingHeight);
  auto* p2p3 = new QLabel(QStringLiteral("P2+P3"), timingGroup_);
  p2p3->setGeometry(8, 26, 40, 22);
  edt1 = new QLineEdit(timingGroup_);
  edt1->setObjectName(QStringLiteral("edt1"));
  edt1->setGeometry(52, 26, 80, 22);
  _time = new QComboBox(timingGroup_);
  _time->setObjectName(QStringLiteral("_time"));
  _time->setGeometry(138, 26, 70, 22);
  for (const TimeUnit& u : kTimeUnits) _time->addItem(toQString(u.text));
  _time->setCurrentIndex(kDefaultTimeUnit);

  chk1 = new QCheckBox(QStringLiteral("Подогнать ма") + QLatin1Char('c') + QStringLiteral("штаб?"), panel_);
  chk1->setObjectName(QStringLiteral("chk1"));
  chk1->setGeometry(8, timingTop + kTimingHeight + 6, kPanelWidth - 12, 22);
  panel_->setGeometry(kPanelLeft, kChartTop, kPanelWidth, timingTop + kTimingHeight + 34);

  btn1 = new QPushButton(QStringLiteral("Построить"), this);
  btn1->setObjectName(QStringLiteral("btn1"));
  btn2 = new QPushButton(QStringLiteral("Выход"), this);
  btn2->setObjectName(QStringLiteral("btn2"));
  btn1->setAutoDefault(false);
  btn2->setAutoDefault(false);

  colourGroup_ = new QGroupBox(QStringLiteral("Оформление"), this);
  // One labelled picker of the group per row.
  auto picker = [this](int row, const QString& label, const char* name, int start) {
    auto* caption = new QLabel(label, colourGroup_);
    caption->setGeometry(8, 24 + 28 * row, 120, 22);
    auto* box = new ColourBox(colourGroup_);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(134, 24 + 28 * row, kPanelWidth - 146, 22);
    box->setCurrentIndex(start);
    return box;
  };
  clrbx7 = picker(0, QStringLiteral("Цвет фона"), "clrbx7", kWhiteColour);
  auto* widthLabel = new QLabel(QStringLiteral("Толщина линий графика"), colourGroup_);
  widthLabel->setGeometry(8, 52, 168, 22);
  cbb7 = new QComboBox(colourGroup_);
  cbb7->setObjectName(QStringLiteral("cbb7"));
  cbb7->setGeometry(176, 52, kPanelWidth - 188, 22);
  for (int w = 1; w <= 7; ++w) cbb7->addItem(QString::number(w));
  clrbx8 = picker(2, QStringLiteral("Цвет линий"), "clrbx8", kBlackColour);

  ch1 = new ZoomChart(this);
  ch1->setObjectName(QStringLiteral("ch1"));
  for (int k = 0; k < kSeriesCount; ++k) {
    QCPGraph* series = ch1->addGraph();
    series->setName(QStringLiteral("Series%1").arg(k + 1));
    series->setAdaptiveSampling(true);
    series->setPen(QPen(ColourBox::colourAt(kDesignSeriesColours[k]), 1));
  }
  ch1->legend->setVisible(false);
  ch1->setBackground(QBrush(ColourBox::colourAt(kWhiteColour)));

  txt1 = new QLabel(this);
  txt1->setObjectName(QStringLiteral("txt1"));
  txt2 = new QLabel(this);
  txt2->setObjectName(QStringLiteral("txt2"));
  for (QLabel* t : {txt1, txt2}) {
    t->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    t->setWordWrap(true);
    t->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    t->setTextInteractionFlags(Qt::TextSelectableByMouse);
    t->hide();
  }

  pm1 = new QMenu(this);
  pm1->setObjectName(QStringLiteral("pm1"));
  N1 = pm1->addAction(QStringLiteral("Убрать маркеры"));
  N1->setObjectName(QStringLiteral("N1"));

  connect(btn1, &QPushButton::clicked, this, &TForm10::btn1Click);
  connect(btn2, &QPushButton::clicked, this, &TForm10::btn2Click);
  connect(clrbx7, &QComboBox::currentIndexChanged, this, &TForm10::clrbx7Change);
  connect(cbb7, &QComboBox::currentIndexChanged, this, &TForm10::cbb7Change);
  connect(ch1, &ZoomChart::doubleClicked, this, &TForm10::ch1DblClick);
  connect(ch1, &ZoomChart::hovered, this, &TForm10::ch1MouseMove);
  connect(ch1, &ZoomChart::clicked, this, &TForm10::ch1Click);
  connect(ch1, &ZoomChart::resized, this, &TForm10::N1Click);
  connect(ch1, &ZoomChart::zoomed, this, &TForm10::N1Click);
  connect(ch1, &ZoomChart::contextMenuAsked, this, [this](QPoint at) { pm1->popup(at); });
  connect(N1, &QAction::triggered, this, &TForm10::N1Click);
  connect(ch1->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, &TForm10::chooseDetail);
  FormResize();
}

GraphControls TForm10::controls() const {
  GraphControls c;
  const auto& items = logic_.items();
  for (int k = 0; k < kSeriesCount; ++k) {
    const int index = cbb[k]->currentIndex();
    c.list[k] = index;
    c.listText[k] = index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)]
                                                                          : fromQString(cbb[k]->currentText());
    c.colour[k] = clrbx[k]->currentIndex();
  }
  c.timing = fromQString(edt1->text());
  c.unit = _time->currentIndex();
  c.fit = chk1->isChecked();
  c.background = clrbx7->currentIndex();
  c.lineWidth = cbb7->currentIndex();
  c.cursorLine = clrbx8->currentIndex();
  return c;
}

void TForm10::applyControls(const GraphControls& c) {
  // Restored selections only set the controls; the next build applies them.
  const QList<QWidget*> quiet = {cbb[0], cbb[1], cbb[2], cbb[3], cbb[4], cbb[5], clrbx[0], clrbx[1], clrbx[2],
                                 clrbx[3], clrbx[4], clrbx[5], clrbx7, cbb7, clrbx8, _time, chk1, edt1};
  for (QWidget* w : quiet) w->blockSignals(true);
  for (int k = 0; k < kSeriesCount; ++k) {
    cbb[k]->setCurrentIndex(c.list[k]);
    clrbx[k]->setCurrentIndex(c.colour[k]);
  }
  edt1->setText(toQString(c.timing));
  _time->setCurrentIndex(c.unit);
  chk1->setChecked(c.fit);
  clrbx7->setCurrentIndex(c.background);
  cbb7->setCurrentIndex(c.lineWidth);
  clrbx8->setCurrentIndex(c.cursorLine);
  for (QWidget* w : quiet) w->blockSignals(false);
}

void TForm10::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TForm10::FormActivate() {
  GraphControls c;
  bool complete = false;
  try {
    complete = logic_.activate(c);
  } catch (const ProgramEnds&) {
    programEnded_ = true;
    QTimer::singleShot(0, this, &QDialog::reject);
  }
  QStringList items;
  items.reserve(static_cast<int>(logic_.items().size()));
  for (const std::string& item : logic_.items()) items.push_back(toQString(item));
  for (QComboBox* list : cbb) {
    list->blockSignals(true);
    list->clear();
    list->addItems(items);
    list->blockSignals(false);
  }
  applyControls(c);
  edt1->setEnabled(logic_.timingEnabled());
  if (complete) showLabels(false);
}

void TForm10::btn1Click() {
  logic_.build(controls());
  showChart();
}

void TForm10::showChart() {
  bool anyX = false;
  QCPRange x;
  for (int k = 0; k < kSeriesCount; ++k) {
    const SeriesData& s = logic_.series(k);
    const bool shown = s.plotted && s.count() > 0;
    detail_->full[k] = shown ? graphData(s, nullptr) : QSharedPointer<QCPGraphDataContainer>::create();
    detail_->light[k].reset();
    if (shown && s.count() >= kLightFrom) {
      const std::vector<std::size_t> kept = envelopeIndexes(s, kChunk);
      detail_->light[k] = graphData(s, &kept);
    }
    detail_->showingLight[k] = false;
    ch1->graph(k)->setData(detail_->full[k]);
    if (shown) {
      const QCPRange r(s.x.front(), s.x.back());
      x = anyX ? QCPRange(std::min(x.lower, r.lower), std::max(x.upper, r.upper)) : r;
      anyX = true;
    }
  }
  applySeriesPens();
  applyBackground();
  ch1->yAxis->setVisible(logic_.leftAxisVisible());
  const AxisBounds& y = logic_.axis();
  ch1->setFullView(anyX ? shownRange(x.lower, x.upper) : ch1->xAxis->range(), shownRange(y.min, y.max));
  chooseDetail();
  ch1->replot();
}

void TForm10::chooseDetail() {
  const QCPRange range = ch1->xAxis->range();
  const std::size_t columns = static_cast<std::size_t>(std::max(1, ch1->axisRect()->width()));
  for (int k = 0; k < kSeriesCount; ++k) {
    if (!detail_->light[k]) continue;
    const bool light = pointsBetween(logic_.series(k), range.lower, range.upper) > columns * kChunk;
    if (light == detail_->showingLight[k]) continue;
    detail_->showingLight[k] = light;
    ch1->graph(k)->setData(light ? detail_->light[k] : detail_->full[k]);
  }
}

void TForm10::applySeriesPens() {
  for (int k = 0; k < kSeriesCount; ++k)
    ch1->graph(k)->setPen(QPen(ColourBox::colourAt(logic_.seriesColour(k)), logic_.lineWidth()));
  colourLabels();
}

void TForm10::applyBackground() {
  const QColor colour = ColourBox::colourAt(logic_.background());
  ch1->setBackground(QBrush(colour));
  ch1->axisRect()->setBackground(QBrush(colour));
  QPalette palette = panel_->palette();
  palette.setColor(QPalette::Window, colour);
  panel_->setPalette(palette);
}

void TForm10::btn2Click() { close(); }

void TForm10::clrbxChange(int k) {
  logic_.setSeriesColour(k, clrbx[k]->currentIndex());
  applySeriesPens();
  ch1->replot();
}

void TForm10::clrbx7Change() {
  logic_.setBackground(clrbx7->currentIndex());
  applyBackground();
  ch1->replot();
}

void TForm10::cbb7Change() {
  logic_.setLineWidth(cbb7->currentIndex());
  applySeriesPens();
  ch1->replot();
}

void TForm10::showLabels(bool on) {
  colourLabels();
  for (QLabel* label : l) label->setVisible(on);
}

void TForm10::colourLabels() {
  for (int k = 0; k < kSeriesCount; ++k) {
    QPalette palette = l[k]->palette();
    palette.setColor(QPalette::WindowText, ColourBox::colourAt(logic_.seriesColour(k)));
    l[k]->setPalette(palette);
  }
}

void TForm10::ch1DblClick() {
  logic_.toggleCursorMode();
  showLabels(logic_.cursorMode());
  if (!logic_.cursorMode()) ch1->clearOverlay();
}

void TForm10::ch1MouseMove(QPoint pos) {
  if (!logic_.cursorMode()) {
    ch1->clearOverlay();
    return;
  }
  const int X = pos.x(), Y = pos.y();
  const char mark = logic_.decimalMark();
  const double xv = ch1->xAxis->pixelToCoord(X);
  logic_.cursorAt(X, xv);

  std::vector<ZoomChart::OverlayText> texts;
  if (chk1->isChecked()) {
    const int tolerance = ch1->selectionTolerance();
    const double xLo = ch1->xAxis->pixelToCoord(X - tolerance), xHi = ch1->xAxis->pixelToCoord(X + tolerance);
    const double yLo = ch1->yAxis->pixelToCoord(Y + tolerance), yHi = ch1->yAxis->pixelToCoord(Y - tolerance);
    const double yv = ch1->yAxis->pixelToCoord(Y);
    const int column = X >= ch1->width() - 50 ? X - 35 : X + 15;
    int row = Y;
    bool any = false;
    for (int r = 0; r < kSeriesCount; ++r) {
      const SeriesData& s = logic_.series(r);
      if (!s.plotted || !seriesUnder(s, xLo, xHi, yLo, yHi)) continue;
      row += 15;
      const int at = row >= ch1->height() - 100 ? row - 35 : row;
      texts.push_back({QPoint(column, at), toQString(fitReadoutText(s, yv, mark)),
                       ColourBox::colourAt(logic_.seriesColour(r))});
      any = true;
    }
    if (any && !edt1->text().isEmpty())
      texts.push_back({QPoint(column, ch1->height() - 20), toQString(timeReadoutText(xv, _time->currentIndex(), mark)),
                       Qt::black});
  } else {
    texts.push_back({QPoint(X - 60, Y + 15), toQString(axisReadoutText("x", xv, mark)), Qt::black});
  }
  ch1->setOverlay({QLine(X, 0, X, ch1->height())}, clrbx8->colour(), std::move(texts));
  for (int k = 0; k < kSeriesCount; ++k) l[k]->setText(toQString(logic_.labels()[k]));
}

void TForm10::ch1Click() {
  if (!logic_.cursorMode()) return;
  const int column = logic_.lastCursorPixel();
  const int marker = logic_.markerClick(ch1->xAxis->pixelToCoord(column), controls());
  if (marker == 0) return;
  showLabels(false);
  markers_.push_back({ch1->x() + column, kMarkerColours[marker - 1]});
  QLabel* text = marker == 1 ? txt1 : txt2;
  text->setText(toQString(logic_.markerText(marker)));
  text->show();
  update();
}

void TForm10::N1Click() {
  logic_.removeMarkers();
  markers_.clear();
  txt1->hide();
  txt2->hide();
  update();
}

void TForm10::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TForm10::FormResize() {
  if (!ch1) return;
  const int W = width(), H = height();
  ch1->setGeometry(kChartLeft, kChartTop, std::max(100, W - kChartLeft - 5), std::max(100, H - 60));
  const QRect panel = panel_->geometry();
  const int buttonsTop = panel.bottom() + 1 + 6;
  btn1->setGeometry(kPanelLeft, buttonsTop, (kPanelWidth - 6) / 2, kButtonHeight);
  btn2->setGeometry(kPanelLeft + (kPanelWidth + 6) / 2, buttonsTop, (kPanelWidth - 6) / 2, kButtonHeight);
  const int groupTop = buttonsTop + kButtonHeight + 6;
  colourGroup_->setGeometry(kPanelLeft, groupTop, kPanelWidth, kColourGroupHeight);
  const int below = groupTop + kColourGroupHeight;
  if (H - below > 160) {
    txt1->setGeometry(kPanelLeft, below + 5, kPanelWidth, 75);
    txt2->setGeometry(kPanelLeft, below + 5 + 75, kPanelWidth, 75);
  } else {
    // In the strip under the chart.
    txt1->setGeometry(kChartLeft, H - 49, std::min(W - kChartLeft - 5, 640), 23);
    txt2->setGeometry(kChartLeft, H - 25, std::min(W - kChartLeft - 5, 640), 23);
  }
}

void TForm10::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  if (markers_.empty()) return;
  QPainter painter(this);
  for (const Marker& m : markers_) {
    painter.setPen(QPen(m.colour, 1));
    const QPoint left(m.x - 3, 0), tip(m.x, 10), right(m.x + 3, 0);
    painter.drawLine(left, tip);
    painter.drawLine(tip, right);
    painter.drawLine(right, left);
  }
}

void TForm10::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TForm10::FormClose() { logic_.store(controls()); }

}  // namespace tervolin
