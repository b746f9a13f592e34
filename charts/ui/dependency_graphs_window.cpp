#include "charts/ui/dependency_graphs_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>

#include "charts/dependency_graphs.h"
#include "charts/graph_colours.h"
#include "charts/series_readout.h"
#include "charts/ui/colour_box.h"
#include "charts/ui/zoom_chart.h"
#include "qt/qt_text.h"

namespace tervolin {
namespace {

const QString kXText =
    QStringLiteral("Параметр по оси X: (если нет, строится диаграмма), где Х - кол-во кадров");
const QString kYText = QStringLiteral("Параметр по оси Y: (если нет - не строится ничего)");
const QString kChartHint = QStringLiteral(
    "Если загружен лог для сравнения - рисуется синим цветом.\r\nДля увеличения какой-либо области - выделите\r\n"
    "ее мышью слева направо. Для возврата к нормальному \r\nмасштабу - ALT+Левая кнопка мыши. Прокрутка графика "
    "\r\nосущесвляется Правой кнопкой мыши\r\n (Держим и тащим вправо-влево-вверх-вниз)");

constexpr int kPanelLeft = 5;
constexpr int kPanelWidth = 222;
constexpr int kChartLeft = 234;

QCPRange shownRange(const QCPRange& r) {
  if (r.size() > 0 && QCPRange::validRange(r)) return r;
  return QCPRange(r.center() - 1, r.center() + 1);
}

}  // namespace

TForm4::TForm4(const AppState& state, const Grid& grid, UserChannel& channel, QWidget* parent)
    : QDialog(parent), state_(state), grid_(grid), channel_(channel) {
  setObjectName(QStringLiteral("TForm4"));
  setWindowTitle(QStringLiteral("Строим графики"));
  setModal(true);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  resize(1100, 760);
  setMinimumSize(700, 560);

  panels_[0] = makePanel(QStringLiteral("График 1"), ColourBox::colourAt(kRedColour), par1, par2, "par1", "par2");
  panels_[1] = makePanel(QStringLiteral("График 2"), ColourBox::colourAt(kGreenColour), par3, par4, "par3", "par4");
  ch1 = makeChart("ch1", "Series1", ColourBox::colourAt(kRedColour));
  ch2 = makeChart("ch2", "Series2", ColourBox::colourAt(kGreenColour));

  chk2 = new QCheckBox(QStringLiteral("Показать линии"), this);
  chk2->setObjectName(QStringLiteral("chk2"));
  chk3 = new QCheckBox(QStringLiteral("Показать значения графика"), this);
  chk3->setObjectName(QStringLiteral("chk3"));
  btn1 = new QPushButton(QStringLiteral("График"), this);
  btn1->setObjectName(QStringLiteral("btn1"));
  btn2 = new QPushButton(QStringLiteral("Закрыть"), this);
  btn2->setObjectName(QStringLiteral("btn2"));
  btn1->setAutoDefault(false);
  btn2->setAutoDefault(false);

  pm1 = new QMenu(this);
  pm1->setObjectName(QStringLiteral("pm1"));
  N1 = pm1->addAction(QStringLiteral("Вернуть нормальный размер"));
  N1->setObjectName(QStringLiteral("N1"));
  N3 = pm1->addAction(QStringLiteral("Печатать график"));
  N3->setObjectName(QStringLiteral("N3"));
  pm2 = new QMenu(this);
  pm2->setObjectName(QStringLiteral("pm2"));
  MenuItem1 = pm2->addAction(QStringLiteral("Вернуть нормальный размер"));
  MenuItem1->setObjectName(QStringLiteral("MenuItem1"));
  MenuItem2 = pm2->addAction(QStringLiteral("Печатать график"));
  MenuItem2->setObjectName(QStringLiteral("MenuItem2"));

  connect(btn1, &QPushButton::clicked, this, &TForm4::btn1Click);
  connect(btn2, &QPushButton::clicked, this, &TForm4::btn2Click);
  for (QComboBox* x : {par1, par3}) connect(x, &QComboBox::textActivated, this, &TForm4::par1Select);
  for (QComboBox* y : {par2, par4}) connect(y, &QComboBox::textActivated, this, &TForm4::par2Select);
  connect(ch1, &ZoomChart::hovered, this, [this](QPoint p) { line_text(0, p); });
  connect(ch2, &ZoomChart::hovered, this, [this](QPoint p) { line_text(1, p); });
  connect(ch1, &ZoomChart::contextMenuAsked, this, [this](QPoint at) { pm1->popup(at); });
  connect(ch2, &ZoomChart::contextMenuAsked, this, [this](QPoint at) { pm2->popup(at); });
  connect(N1, &QAction::triggered, this, &TForm4::N1Click);
  connect(MenuItem1, &QAction::triggered, this, &TForm4::MenuItem1Click);
  connect(N3, &QAction::triggered, this, &TForm4::N3Click);
  connect(MenuItem2, &QAction::triggered, this, &TForm4::MenuItem2Click);
  connect(chk2, &QCheckBox::clicked, this, &TForm4::chk2Click);
  connect(chk3, &QCheckBox::clicked, this, &TForm4::chk3Click);
  FormResize();
}

TForm4::~TForm4() = default;

TForm4::Panel TForm4::makePanel(const QString& heading, const QColor& colour, QComboBox*& x, QComboBox*& y,
                                const char* xName, const char* yName) {
  Panel p;
  p.heading = new QLabel(heading, this);
  QFont bold = p.heading->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  p.heading->setFont(bold);
  QPalette palette = p.heading->palette();
  palette.setColor(QPalette::WindowText, colour);
  p.heading->setPalette(palette);
  p.xText = new QLabel(kXText, this);
  p.yText = new QLabel(kYText, this);
  for (QLabel* text : {p.xText, p.yText}) {
    text->setWordWrap(true);
    text->setPalette(palette);
  }
  // Editable, so that the text a list shows survives the refill of its items.
  auto makeList = [this](const char* name) {
    auto* list = new QComboBox(this);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(12);
    list->view()->setMinimumWidth(420);
    return list;
  };
  x = makeList(xName);
  y = makeList(yName);
  return p;
}

ZoomChart* TForm4::makeChart(const char* name, const char* seriesName, const QColor& colour) {
  auto* chart = new ZoomChart(this);
  chart->setObjectName(QString::fromLatin1(name));
  chart->setToolTip(kChartHint);
  chart->legend->setVisible(false);
  chart->plotLayout()->insertRow(0);
  auto* title = new QCPTextElement(chart, QString(), QFont(font().family(), font().pointSize(), QFont::Bold));
  title->setObjectName(QStringLiteral("title"));
  chart->plotLayout()->addElement(0, 0, title);
  QCPGraph* series = chart->addGraph();
  series->setName(QString::fromLatin1(seriesName));
  series->setPen(QPen(colour, 1));
  series->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 3));
  series->setAdaptiveSampling(true);
  return chart;
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TForm4::FormActivate() {
  QStringList items;
  for (const std::string& item : dependencyItems(grid_)) items.push_back(toQString(item));
  for (QComboBox* list : {par1, par2, par3, par4}) {
    const QString shown = list->currentText();
    list->blockSignals(true);
    list->clear();
    list->addItems(items);
    list->setEditText(shown);
    list->blockSignals(false);
  }
}

void TForm4::btn1Click() {
  DependencyChoice choice;
  const std::array<QComboBox*, 4> lists = {par1, par2, par3, par4};
  for (std::size_t i = 0; i < lists.size(); ++i) choice.list[i] = fromQString(lists[i]->currentText());
  const auto charts = PaintGraf(grid_, choice, state_.decimalMark, channel_);
  for (std::size_t i = 0; i < lists.size(); ++i) {
    lists[i]->setEditText(toQString(choice.list[i]));
    lists[i]->lineEdit()->setCursorPosition(0);
  }

  const std::array<ZoomChart*, 2> views = {ch1, ch2};
  for (std::size_t c = 0; c < views.size(); ++c) {
    ZoomChart* view = views[c];
    const DependencyChart& chart = charts[c];
    if (auto* title = qobject_cast<QCPTextElement*>(view->plotLayout()->element(0, 0)))
      title->setText(toQString(chart.title));
    QVector<QCPGraphData> points(static_cast<qsizetype>(chart.x.size()));
    for (std::size_t i = 0; i < chart.x.size(); ++i) points[static_cast<qsizetype>(i)] = QCPGraphData(chart.x[i], chart.y[i]);
    auto data = QSharedPointer<QCPGraphDataContainer>::create();
    data->set(points, true);  // already in ascending x, equal x in row order
    view->graph(0)->setData(data);
    bool found = false;
    const QCPRange x = view->graph(0)->getKeyRange(found);
    const QCPRange y = view->graph(0)->getValueRange(found);
    if (found) view->setFullView(shownRange(x), shownRange(y));
    view->replot();
  }
}

void TForm4::btn2Click() { close(); }

void TForm4::par1Select() {
  par1->setToolTip(par1->currentText());
  par3->setToolTip(par3->currentText());
}

void TForm4::par2Select() {
  par2->setToolTip(par2->currentText());
  par4->setToolTip(par4->currentText());
}

void TForm4::line_text(int chart, QPoint pos) {
  ZoomChart* view = chart == 0 ? ch1 : ch2;
  std::vector<QLine> lines;
  std::vector<ZoomChart::OverlayText> texts;
  const int X = pos.x(), Y = pos.y();
  if (crosshair_) {
    lines.emplace_back(0, Y, view->width(), Y);
    lines.emplace_back(X, 0, X, view->height());
  }
  if (values_) {
    const char mark = state_.decimalMark;
    texts.push_back({QPoint(X - 60, Y - 5), toQString(axisReadoutText("y", view->yAxis->pixelToCoord(Y), mark)), Qt::black});
    texts.push_back({QPoint(X - 60, Y + 15), toQString(axisReadoutText("x", view->xAxis->pixelToCoord(X), mark)), Qt::black});
  }
  if (lines.empty() && texts.empty()) {
    view->clearOverlay();
    return;
  }
  view->setOverlay(std::move(lines), Qt::black, std::move(texts));
}

void TForm4::N1Click() { ch1->undoZoom(); }
void TForm4::MenuItem1Click() { ch2->undoZoom(); }
void TForm4::N3Click() { ch1->print(); }
void TForm4::MenuItem2Click() { ch2->print(); }
void TForm4::chk2Click() { crosshair_ = chk2->isChecked(); }
void TForm4::chk3Click() { values_ = chk3->isChecked(); }

void TForm4::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TForm4::placePanel(const Panel& panel, QComboBox* x, QComboBox* y, int top) {
  panel.heading->setGeometry(kPanelLeft, top, kPanelWidth, 24);
  panel.xText->setGeometry(kPanelLeft, top + 28, kPanelWidth, 48);
  x->setGeometry(kPanelLeft, top + 78, kPanelWidth, 24);
  panel.yText->setGeometry(kPanelLeft, top + 110, kPanelWidth, 34);
  y->setGeometry(kPanelLeft, top + 146, kPanelWidth, 24);
}

void TForm4::FormResize() {
  if (!ch2) return;
  const int W = width(), H = height();
  const int chartWidth = std::max(100, W - kChartLeft);
  const int chartHeight = std::max(80, H / 2 - 40);
  const int secondTop = H / 2 - 20;
  ch1->setGeometry(kChartLeft, 0, chartWidth, chartHeight);
  ch2->setGeometry(kChartLeft, secondTop, chartWidth, chartHeight);
  placePanel(panels_[0], par1, par2, 4);
  placePanel(panels_[1], par3, par4, secondTop + 4);
  chk2->setGeometry(kChartLeft, secondTop - 20, 160, 20);
  chk3->setGeometry(kChartLeft + 170, secondTop - 20, 240, 20);
  const int buttonsTop = secondTop + 4 + 170 + 6;
  btn1->setGeometry(kPanelLeft, buttonsTop, (kPanelWidth - 6) / 2, 28);
  btn2->setGeometry(kPanelLeft + (kPanelWidth + 6) / 2, buttonsTop, (kPanelWidth - 6) / 2, 28);
}

}  // namespace tervolin
