#include "charts/ui/matrix_window.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>

#include "charts/matrix_grid.h"
#include "charts/matrix_heat.h"
#include "charts/ui/matrix_chart_3d.h"
#include "charts/ui/matrix_grid_model.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "common/text.h"
#include "qt/background_task.h"
#include "qt/desktop_services.h"
#include "qt/qt_text.h"
#include "table/export_menu.h"
#include "table/xlsx_export.h"

namespace tervolin {

// The colour scale of the heat map: the ramp from the smallest value shown
// to the largest, with both written at its ends.
class MatrixHeatLegend : public QWidget {
 public:
  explicit MatrixHeatLegend(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("heatLegend")); }
  void setTexts(const QString& low, const QString& high) {
    low_ = low;
    high_ = high;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect bar(0, 0, width(), height() / 2);
    for (int x = 0; x < bar.width(); ++x) {
      const Rgb c = heatColour(bar.width() > 1 ? double(x) / (bar.width() - 1) : 0.5, HeatScale{0, 1});
      p.setPen(QColor(c.r, c.g, c.b));
      p.drawLine(x, bar.top(), x, bar.bottom());
    }
    p.setPen(palette().color(QPalette::WindowText));
    const QRect labels(0, bar.bottom() + 1, width(), height() - bar.height() - 1);
    p.drawText(labels, Qt::AlignLeft | Qt::AlignVCenter, low_);
    p.drawText(labels, Qt::AlignRight | Qt::AlignVCenter, high_);
  }

 private:
  QString low_, high_;
};

namespace {

// Records walked between two looks at the clock in a build slice, and how
// long one slice may keep the window busy.
constexpr std::size_t kSliceRecords = 1 << 18;
constexpr int kSliceMilliseconds = 30;

QLabel* label(const QString& text, QWidget* parent, int x, int y, int w) {
  auto* l = new QLabel(text, parent);
  l->setGeometry(x, y, w, 24);
  return l;
}

QComboBox* list(const char* name, QWidget* parent, int x, int y, int w) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  c->setMaxVisibleItems(25);
  c->setGeometry(x, y, w, 24);
  c->setEditText(QStringLiteral("<null>"));
  return c;
}

}  // namespace

TForm11::TForm11(AppState& state, Registry& registry, UserChannel& channel, FileChooser& chooser, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), channel_(channel), chooser_(chooser), logic_(state, registry, channel) {
  setObjectName(QStringLiteral("TForm11"));
  setWindowTitle(QStringLiteral("Трехмерные таблицы и графики"));
  resize(1000, 700);
  setMinimumSize(930, 420);

  top_ = new QWidget(this);
  top_->setGeometry(0, 0, 930, 140);
  label(QStringLiteral("ось X"), top_, 8, 8, 50);
  cbb1 = list("cbb1", top_, 60, 8, 260);
  label(QStringLiteral("ось Y"), top_, 330, 8, 40);
  cbb2 = list("cbb2", top_, 372, 8, 260);
  label(QStringLiteral("Данные"), top_, 8, 40, 50);
  cbb3 = list("cbb3", top_, 60, 40, 260);
  label(QStringLiteral("Что показать"), top_, 330, 40, 90);
  cbb4 = new QComboBox(top_);
  cbb4->setObjectName(QStringLiteral("cbb4"));
  cbb4->setGeometry(420, 40, 212, 24);
  for (const AggregationMode& m : kAggregationModes) cbb4->addItem(toQString(m.item));
  cbb4->setCurrentIndex(0);

  btn1 = new QPushButton(QStringLiteral("&ПУСК!"), top_);
  btn1->setObjectName(QStringLiteral("btn1"));
  btn1->setGeometry(60, 72, 100, 26);
  btn1->setEnabled(false);
  btn2 = new QPushButton(QStringLiteral("&Закрыть"), top_);
  btn2->setObjectName(QStringLiteral("btn2"));
  btn2->setGeometry(170, 72, 100, 26);
  pb1 = new QProgressBar(top_);
  pb1->setObjectName(QStringLiteral("pb1"));
  pb1->setGeometry(280, 73, 352, 24);
  pb1->setRange(0, 100);
  pb1->setValue(0);

  label(QStringLiteral("Мин. попаданий"), top_, 8, 106, 104);
  spnHits = new QSpinBox(top_);
  spnHits->setObjectName(QStringLiteral("spnHits"));
  spnHits->setRange(1, 1'000'000);
  spnHits->setValue(1);
  spnHits->setToolTip(QStringLiteral("Ячейки, в которые попало меньше значений, показываются пустыми"));
  spnHits->setGeometry(114, 106, 76, 24);
  chkHeat = new QCheckBox(QStringLiteral("Тепловая карта"), top_);
  chkHeat->setObjectName(QStringLiteral("chkHeat"));
  chkHeat->setChecked(true);
  chkHeat->setGeometry(200, 106, 120, 24);
  btnCopy = new QPushButton(QStringLiteral("Копировать"), top_);
  btnCopy->setObjectName(QStringLiteral("btnCopy"));
  btnCopy->setToolTip(QStringLiteral("Матрица с заголовками в буфер обмена, через табуляцию"));
  btnCopy->setGeometry(330, 105, 120, 26);
  btnExcel = new QPushButton(QStringLiteral("Экспорт в Excel"), top_);
  btnExcel->setObjectName(QStringLiteral("btnExcel"));
  btnExcel->setGeometry(460, 105, 172, 26);

  label(QStringLiteral("Параметры квантования осей"), top_, 650, 2, 260);
  kvant = new QTableWidget(3, 4, top_);
  kvant->setObjectName(QStringLiteral("kvant"));
  kvant->horizontalHeader()->hide();
  kvant->verticalHeader()->hide();
  kvant->horizontalHeader()->setDefaultSectionSize(64);
  kvant->verticalHeader()->setDefaultSectionSize(24);
  kvant->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  kvant->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  kvant->setGeometry(650, 26, 4 * 64 + 2, 3 * 24 + 2);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) kvant->setItem(r, c, new QTableWidgetItem);
  legend_ = new MatrixHeatLegend(top_);
  legend_->setGeometry(650, 104, 4 * 64 + 2, 30);

  pgc1 = new QTabWidget(this);
  pgc1->setObjectName(QStringLiteral("pgc1"));
  ts1 = new QWidget;
  ts1->setObjectName(QStringLiteral("ts1"));
  ts2 = new QWidget;
  ts2->setObjectName(QStringLiteral("ts2"));
  pgc1->addTab(ts1, QStringLiteral("График"));
  pgc1->addTab(ts2, QStringLiteral("Матрица"));

  model_ = new MatrixGridModel(logic_, this);
  grd_3d = new QTableView(ts2);
  grd_3d->setObjectName(QStringLiteral("grd_3d"));
  grd_3d->setModel(model_);
  grd_3d->horizontalHeader()->setDefaultSectionSize(kMatrixColumnWidth);
  grd_3d->horizontalHeader()->setMinimumSectionSize(20);
  // Bin centres such as "-1234,50" fit the 50-pixel columns in a smaller font.
  QFont headerFont = grd_3d->horizontalHeader()->font();
  headerFont.setPointSizeF(headerFont.pointSizeF() * 0.85);
  grd_3d->horizontalHeader()->setFont(headerFont);
  grd_3d->verticalHeader()->setDefaultSectionSize(22);
  grd_3d->setEditTriggers(QAbstractItemView::NoEditTriggers);

  cht1 = new QWidget(ts1);
  cht1->setObjectName(QStringLiteral("cht1"));
  chartStack_ = new QStackedWidget(cht1);
  view3d_ = new MatrixChart3D(chartStack_);
  plot2d_ = new QCustomPlot(chartStack_);
  plot2d_->setObjectName(QStringLiteral("cht1Plot2d"));
  plot2d_->setBackground(QColor(192, 192, 192));
  plot2d_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
  plot2d_->setSelectionRectMode(QCP::srmZoom);
  chartStack_->addWidget(view3d_);
  chartStack_->addWidget(plot2d_);
  trckbr1 = new QSlider(Qt::Horizontal, ts1);
  trckbr1->setObjectName(QStringLiteral("trckbr1"));
  trckbr1->setRange(0, 0);
  trckbr1->setTickPosition(QSlider::TicksBelow);
  txt1 = new QLineEdit(ts1);
  txt1->setObjectName(QStringLiteral("txt1"));
  txt1->setReadOnly(true);
  chk1 = new QCheckBox(QStringLiteral("3D"), ts1);
  chk1->setObjectName(QStringLiteral("chk1"));
  chk1->setChecked(true);
  lbl1 = new QLabel(QStringLiteral("Ось Z"), ts1);
  lbl1->setObjectName(QStringLiteral("lbl1"));

  FormCreate();

  connect(cbb1, &QComboBox::textActivated, this, &TForm11::cbb1Exit);
  connect(cbb2, &QComboBox::textActivated, this, &TForm11::cbb2Exit);
  connect(cbb3, &QComboBox::textActivated, this, &TForm11::cbb3Select);
  connect(cbb4, &QComboBox::activated, this, &TForm11::cbb4Select);
  connect(btn1, &QPushButton::clicked, this, &TForm11::btn1Click);
  connect(btn2, &QPushButton::clicked, this, &TForm11::btn2Click);
  connect(pgc1, &QTabWidget::currentChanged, this, [this](int index) {
    if (pgc1->widget(index) == ts2) ts2Show();
    else ts1Show();
  });
  connect(trckbr1, &QSlider::valueChanged, this, &TForm11::trckbr1Change);
  connect(chk1, &QCheckBox::clicked, this, &TForm11::chk1Click);
  connect(spnHits, &QSpinBox::valueChanged, this, &TForm11::minHitsChange);
  connect(chkHeat, &QCheckBox::clicked, this, &TForm11::heatClick);
  connect(btnCopy, &QPushButton::clicked, this, &TForm11::copyClick);
  connect(btnExcel, &QPushButton::clicked, this, &TForm11::excelClick);
  connect(plot2d_, &QCustomPlot::mouseDoubleClick, this, [this] {
    // A double click undoes the zoom: the axes the row was drawn with.
    if (logic_.built()) graph2();
  });
  FormResize();
}

TForm11::~TForm11() {
  // The views read the logic as they are hidden: they go before it does.
  activated_ = false;
  delete pgc1;
  delete top_;
}

void TForm11::FormCreate() { pgc1->setCurrentWidget(ts2); }

void TForm11::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TForm11::FormActivate() {
  logic_.activate();
  const QString texts[] = {toQString(logic_.lists().x), toQString(logic_.lists().y), toQString(logic_.lists().data)};
  QComboBox* lists[] = {cbb1, cbb2, cbb3};
  for (int k = 0; k < 3; ++k) {
    const QSignalBlocker block(lists[k]);
    lists[k]->clear();
    for (const std::string& item : logic_.items()) lists[k]->addItem(toQString(item));
    lists[k]->setEditText(texts[k]);
  }
  const QString headings[][2] = {{QStringLiteral("Min"), {}}, {QStringLiteral("Шаг"), {}}, {QStringLiteral("Max"), {}}};
  for (int c = 1; c <= 3; ++c) {
    QTableWidgetItem* h = kvant->item(0, c);
    h->setText(headings[c - 1][0]);
    h->setFlags(Qt::ItemIsEnabled);
  }
  kvant->item(0, 0)->setFlags(Qt::ItemIsEnabled);
  kvant->item(1, 0)->setText(QStringLiteral("X"));
  kvant->item(1, 0)->setFlags(Qt::ItemIsEnabled);
  kvant->item(2, 0)->setText(QStringLiteral("Y"));
  kvant->item(2, 0)->setFlags(Qt::ItemIsEnabled);
  pushQuant();
  pgc1->setCurrentWidget(ts2);
  btn1->setEnabled(logic_.startEnabled() && !logic_.building());
  activated_ = true;
}

// Row 1 of the grid holds MinX, StepX, MaxX; row 2 MinY, StepY, MaxY.
void TForm11::pushQuant() {
  const QuantTexts& q = logic_.quantTexts();
  const std::string* cells[2][3] = {{&q.minX, &q.stepX, &q.maxX}, {&q.minY, &q.stepY, &q.maxY}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) kvant->item(r + 1, c + 1)->setText(toQString(*cells[r][c]));
}

void TForm11::pullQuant() {
  QuantTexts& q = logic_.quantTexts();
  std::string* cells[2][3] = {{&q.minX, &q.stepX, &q.maxX}, {&q.minY, &q.stepY, &q.maxY}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) *cells[r][c] = fromQString(kvant->item(r + 1, c + 1)->text());
}

void TForm11::cbb1Exit(const QString& text) { axisChosen(&MatrixLogic::selectX, text); }
void TForm11::cbb2Exit(const QString& text) { axisChosen(&MatrixLogic::selectY, text); }

// The scan writes the list's grid row; cells typed in the other row stay.
void TForm11::axisChosen(void (MatrixLogic::*select)(std::string_view), const QString& text) {
  pullQuant();
  (logic_.*select)(fromQString(text));
  pushQuant();
  btn1->setEnabled(!logic_.building());
}

void TForm11::cbb3Select(const QString& text) {
  logic_.selectData(fromQString(text));
  btn1->setEnabled(!logic_.building());
}

void TForm11::btn1Click() {
  if (logic_.building()) return;
  // Texts typed into the lists count as chosen.
  logic_.setLists({fromQString(cbb1->currentText()), fromQString(cbb2->currentText()),
                   fromQString(cbb3->currentText())});
  pullQuant();
  const bool started = logic_.startBuild();
  btn1->setEnabled(logic_.startEnabled() && !started);
  if (!started) return;
  model_->reload();
  updateProgress();
  QTimer::singleShot(0, this, &TForm11::buildSlice);
}

void TForm11::buildSlice() {
  const std::uint64_t before = logic_.finishedBuilds();
  QElapsedTimer clock;
  clock.start();
  bool over = false;
  while (!over && clock.elapsed() < kSliceMilliseconds) over = logic_.continueBuild(kSliceRecords);
  updateProgress();
  if (!over) {
    QTimer::singleShot(0, this, &TForm11::buildSlice);
    return;
  }
  if (logic_.finishedBuilds() == before) {
    model_->reload();  // given up: another log was opened meanwhile
    return;
  }
  buildDone();
}

void TForm11::buildDone() {
  if (matrixTabActive()) showMatrix();
  else drawChart();
}

void TForm11::showMatrix() {
  logic_.fillMatrix();
  model_->reload();
  updateProgress();
  const auto& scale = logic_.heatScale();
  const bool whole = kAggregationModes[static_cast<std::size_t>(logic_.shownMode())].wholeNumber;
  auto text = [&](double v) {
    return toQString(whole ? intText(static_cast<std::int64_t>(v)) : fixed2(v, state_.decimalMark));
  };
  legend_->setTexts(scale ? text(scale->low) : QString(), scale ? text(scale->high) : QString());
}

void TForm11::updateProgress() {
  pb1->setRange(0, static_cast<int>(std::min<std::uint64_t>(logic_.progressMaximum(), INT32_MAX)));
  pb1->setValue(static_cast<int>(std::min<std::uint64_t>(logic_.progress(), INT32_MAX)));
}

bool TForm11::matrixTabActive() const { return pgc1->currentWidget() == ts2; }

void TForm11::ts2Show() {
  if (logic_.built() && logic_.lastSample() > 0 && !logic_.building()) showMatrix();
}

void TForm11::ts1Show() {
  if (!logic_.building()) drawChart();
}

// Steps 1 to 3 of the chart: only once a build has more than one sample.
void TForm11::drawChart() {
  if (!logic_.built() || logic_.lastSample() == 0) return;
  {
    const QSignalBlocker block(trckbr1);
    trckbr1->setRange(0, logic_.axes().y.last());
  }
  txt1->clear();
  const std::string& yList = logic_.lists().y;
  lbl1->setText(toQString(yList.size() > 10 ? std::string_view(yList).substr(10) : std::string_view()));
  if (!chk1->isChecked()) {
    trckbr1->setEnabled(true);
    graph2();
    return;
  }
  trckbr1->setEnabled(false);
  chartStack_->setCurrentWidget(view3d_);
  std::vector<double> rows;
  for (int k = 0; k <= logic_.axes().y.last(); ++k) rows.push_back(logic_.axes().y.centre(k));
  view3d_->setSeries(logic_.chartSeries(), rows, toQString(logic_.lists().x), toQString(logic_.lists().data),
                     toQString(logic_.lists().y));
}

void TForm11::graph2() {
  chartStack_->setCurrentWidget(plot2d_);
  plot2d_->clearGraphs();
  const auto points = logic_.rowPoints(trckbr1->value());
  QVector<double> xs, ys;
  for (const ChartPoint& p : points) {
    xs.push_back(p.x);
    ys.push_back(p.y);
  }
  // The value axis spans the Z range; values of the modes that lie beyond
  // it (counts, sums) widen it, so that the line is never drawn off the chart.
  double low = std::min(logic_.zRange().smallest, logic_.zRange().largest);
  double high = std::max(logic_.zRange().smallest, logic_.zRange().largest);
  for (const double y : ys) {
    low = std::min(low, y);
    high = std::max(high, y);
  }
  plot2d_->yAxis->setRange(low, high);
  const MatrixAxes& axes = logic_.axes();
  plot2d_->xAxis->setRange(axes.x.min(), axes.x.centre(axes.x.last()));
  QCPGraph* line = plot2d_->addGraph();
  line->setPen(QPen(QColor(0, 0, 160), 2));
  line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 6));
  line->setData(xs, ys, true);
  plot2d_->xAxis->setLabel(toQString(logic_.lists().x));
  const std::string& data = logic_.lists().data;
  plot2d_->yAxis->setLabel(toQString(data.size() > 10 ? std::string_view(data).substr(10) : std::string_view()));
  plot2d_->replot();
}

void TForm11::trckbr1Change(int position) {
  if (!logic_.built()) return;
  txt1->setText(toQString(logic_.rowTitle(position)));
  graph2();
}

void TForm11::chk1Click() {
  trckbr1->setEnabled(!chk1->isChecked());
  drawChart();
}

void TForm11::cbb4Select(int index) {
  logic_.setMode(index);
  if (!logic_.built() || logic_.lastSample() == 0 || logic_.building()) return;
  if (matrixTabActive()) showMatrix();
  else drawChart();
}

void TForm11::minHitsChange(int hits) {
  logic_.setMinHits(static_cast<std::uint32_t>(hits));
  if (logic_.shown() && !logic_.building()) showMatrix();
}

void TForm11::heatClick() {
  model_->setHeatMap(chkHeat->isChecked());
  legend_->setVisible(chkHeat->isChecked());
}

void TForm11::copyClick() {
  QGuiApplication::clipboard()->setText(toQString(matrixClipboardText(logic_.grid())));
}

void TForm11::excelClick() {
  if (logic_.building()) return;
  if (!logic_.shown()) {
    channel_.message("Матрица ещё не построена: нажмите «ПУСК!» на вкладке «Матрица»"_w);
    return;
  }
  const SaveRequest save = SaveDialogSettings::forSpreadsheet();
  FileRequest request;
  request.title = toQString(save.title);
  request.filter = toQString(save.filter);
  request.defaultSuffix = toQString(save.defaultExtension);
  request.startFolder = state_.openFileName.parent_path();
  request.mode = FileRequest::Mode::Save;
  const auto target = chooser_.choose(request);
  if (!target) return;
  // A matrix of many cells takes seconds to write: off the GUI thread, with
  // the progress dialog and its cancel (which leaves no file).
  ExportResult result;
  const MatrixSheet sheet(logic_.grid());
  const TaskEnd end = runInBackground(this, QStringLiteral("Экспорт в Excel"), channel_,
                                      [&](Progress& progress, UserChannel&) { result = writeXlsx(sheet, *target, progress); });
  if (end == TaskEnd::Cancelled) return;
  if (!result.message.empty()) channel_.message(result.message);
  if (result.status == ExportStatus::Written && !openWithDesktop(*target))
    channel_.message(std::string(kNoWorkbookViewer) + pathText(*target));
}

void TForm11::btn2Click() { close(); }

void TForm11::closeEvent(QCloseEvent* event) {
  if (activated_) {
    logic_.setLists({fromQString(cbb1->currentText()), fromQString(cbb2->currentText()),
                     fromQString(cbb3->currentText())});
    pullQuant();
    if (!logic_.storeSettings()) channel_.message("Ошибка записи настроек в реестр"_w);
  }
  event->accept();
}

void TForm11::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

// The tab control fills the window below the controls; in it the grid and
// the chart, and under the chart the row chooser, its Y value and "3D".
void TForm11::FormResize() {
  const int w = width(), h = height();
  pgc1->setGeometry(5, 140, w - 10, h - 150);
  const int tabW = pgc1->width(), tabH = pgc1->height();
  grd_3d->setGeometry(0, 0, tabW - 13, tabH - 30);
  cht1->setGeometry(0, 0, tabW - 13, tabH - 72);
  chartStack_->setGeometry(0, 0, cht1->width(), cht1->height());
  const int row = tabH - 57;
  trckbr1->setGeometry(5, row, 300, 24);
  txt1->setGeometry(315, row, 90, 24);
  chk1->setGeometry(415, row, 50, 24);
  lbl1->setGeometry(475, row, std::max(tabW - 490, 50), 24);
}

}  // namespace tervolin
