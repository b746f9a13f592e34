#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <exception>
#include <string>
#include <system_error>

#include "app/about_box.h"
#include "charts/ui/dependency_graphs_window.h"
#include "charts/ui/parameter_graphs_window.h"
#include "common/paths.h"
#include "common/text.h"
#include "profiles/definition_file.h"
#include "profiles/settings_store.h"
#include "profiles/ui/profile_dialog.h"
#include "profiles/ui/settings_dialog.h"
#include "charts/ui/matrix_window.h"
#include "qt/file_chooser.h"
#include "qt/qt_text.h"
#include "research/ui/research_window.h"
#include "table/column_layout.h"
#include "table/grid_edits.h"
#include "table/line_explanation.h"
#include "table/derived_files.h"
#include "table/open_log.h"
#include "table/open_status.h"
#include "table/table_filter.h"
#include "table/table_views.h"
#include "table/ui/column_choice_window.h"
#include "table/ui/filter_dialog.h"
#include "table/ui/grid_model.h"
#include "table/ui/table_exports.h"

// The background picture is compiled into the Qt layer; a static library's
// resources have to be registered by name from the global namespace.
static void registerMainWindowResources() { Q_INIT_RESOURCE(main_window); }

namespace tervolin {

namespace {

const QString kCaption = QStringLiteral("Программа анализа лог-файлов и графиков");
const QString kProfileInCaption = QStringLiteral("    Профиль: ");
const QString kOpenedFile = QStringLiteral("Открыт файл: ");
// Titles of the progress dialog of the open and the view builds.
const QString kReadingTitle = QStringLiteral("Чтение лога…");
const QString kTableTitle = QStringLiteral("Построение таблицы…");
const QString kGridHint = QStringLiteral("Для получения подсказки щелкните по соответствующей ячейке");
const QString kToTable = QStringLiteral("Таблица");
const QString kToLog = QStringLiteral("LOG");
const QString kMemoStart = QStringLiteral("А здесь расшифровка той строки, \nна которой вы щелкнули мышкой\n\n.");

// The open dialog as the open command sets it up.
const QString kOpenTitle = QStringLiteral("Открыть лог-файл");
const QString kOpenFilter = QStringLiteral(
    "Логи программы диагностики|*.log|Графики программы диагностики|*.rtd|"
    "Логи Ventrix|*.xml|Логи в формате CSV|*.csv|Все файлы|*");
const QString kOpenSuffix = QStringLiteral("*.log");

// The help: a help file put beside the program is looked for first, then
// the program's own guide, which the build places there.
constexpr std::string_view kHelpFile = "TERVOLIN.HLP";
constexpr std::string_view kOwnHelpFile = "tervolin_help.html";

// Geometry of the button panel: buttons left to right, then the two fields.
struct ButtonPlace {
  QPushButton* TForm1::*button;
  int width;
};
constexpr ButtonPlace kButtonRow[] = {
    {&TForm1::btn1, 78}, {&TForm1::btn6, 30}, {&TForm1::btn3, 74},
    {&TForm1::btn5, 74}, {&TForm1::btn4, 78}, {&TForm1::btn2, 60},
};
constexpr int kPanelHeight = 46;
constexpr int kButtonTop = 8;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 2;
constexpr int kFieldsLeft = 415;  // right of the buttons; ends 15 pixels from the edge
constexpr int kFieldHeight = 21;
constexpr int kLogGridWidth = 280;
constexpr int kSplitterHandle = 5;  // the draggable boundary between the grid and the memo
constexpr int kStartWidth = 1000, kStartHeight = 700;
constexpr int kMinWidth = 720, kMinHeight = 420;
// Room around a cell's text: the view's margins and a little air.
constexpr int kCellPadding = 16;

}  // namespace

TForm1::TForm1(AppState& state, Registry& registry, UserChannel& channel, FileChooser& openDialog,
               QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      registry_(registry),
      channel_(channel),
      openDialog_(openDialog),
      exports_(std::make_unique<TableExports>(this, openDialog, channel)),
      recent_(registry),
      logGridWidth_(kLogGridWidth) {
  registerMainWindowResources();
  setObjectName(QStringLiteral("Form1"));
  resize(kStartWidth, kStartHeight);
  setMinimumSize(kMinWidth, kMinHeight);
  restorePlace();
  setAcceptDrops(true);
  buildControls();
  buildMenus();
  buildTableTools();

  // Start-up of the window: table autodetect and table only off, LOG view.
  state_.tableAutodetect = 0;
  state_.tableOnly = 0;
  state_.viewMode = ViewMode::Log;
  settings::readStartupSettings(registry_, state_);

  applyControlStates();
  setWindowTitle(kCaption + kProfileInCaption + toQString(state_.lastProfile));
  showStatus();
}

TForm1::~TForm1() {
  // The view must not outlive the grid it reads: the members go before the
  // base class tears down (and hides) its child widgets.
  delete sg1;
  sg1 = nullptr;
}

void TForm1::buildControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  img1 = new QLabel(client);
  img1->setObjectName(QStringLiteral("img1"));
  img1->setPixmap(QPixmap(QStringLiteral(":/background.jpg")));
  img1->setScaledContents(true);

  pnl1 = new QWidget(client);
  pnl1->setObjectName(QStringLiteral("pnl1"));
  auto makeButton = [this](const char* name, const QString& text) {
    auto* b = new QPushButton(text, pnl1);
    b->setObjectName(QString::fromLatin1(name));
    return b;
  };
  btn1 = makeButton("btn1", QStringLiteral("Открыть "));
  btn6 = makeButton("btn6", QStringLiteral("..."));
  btn3 = makeButton("btn3", kToTable);
  btn5 = makeButton("btn5", QStringLiteral("Фильтр"));
  btn4 = makeButton("btn4", QStringLiteral("Графики"));
  btn4->setToolTip(QStringLiteral("Построить графики по таблице"));
  btn2 = makeButton("btn2", QStringLiteral("Выход"));
  btn6->setToolTip(QStringLiteral("Выбор профиля"));

  edt1 = new QLineEdit(pnl1);
  edt1->setObjectName(QStringLiteral("edt1"));
  edt1->setReadOnly(true);
  edt2 = new QLineEdit(pnl1);
  edt2->setObjectName(QStringLiteral("edt2"));
  edt2->setReadOnly(true);

  // The grid and the explanation memo side by side; the boundary between
  // them can be dragged (the layout's widths are where it starts).
  spl1 = new QSplitter(Qt::Horizontal, client);
  spl1->setObjectName(QStringLiteral("spl1"));
  spl1->setHandleWidth(kSplitterHandle);
  spl1->setChildrenCollapsible(false);
  spl1->setAutoFillBackground(true);  // the handle does not show the picture behind

  sg1 = new QTableView(spl1);
  sg1->setObjectName(QStringLiteral("sg1"));
  model_ = new GridModel(grid_, this);
  sg1->setModel(model_);
  sg1->setToolTip(kGridHint);
  sg1->setWordWrap(false);
  sg1->setShowGrid(true);
  sg1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  sg1->setSelectionBehavior(QAbstractItemView::SelectItems);
  sg1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Sideways by pixels: a LOG line wider than the grid scrolls to its end
  // (by columns the one column of the LOG view could not scroll at all).
  sg1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Every row has the same height and nothing is measured per row: a log of
  // a million lines scrolls as fast as a short one.
  QHeaderView* rows = sg1->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setMinimumSectionSize(8);
  rows->setDefaultSectionSize(Grid::kDefaultRowHeight);
  rows->hide();
  QHeaderView* columns = sg1->horizontalHeader();
  columns->setSectionResizeMode(QHeaderView::Interactive);
  columns->setDefaultSectionSize(Grid::kDefaultColumnWidth);
  columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  columns->setHighlightSections(false);
  columns->setSectionsClickable(false);

  mmo1 = new QPlainTextEdit(spl1);
  mmo1->setObjectName(QStringLiteral("mmo1"));
  mmo1->setReadOnly(true);
  mmo1->setPlainText(kMemoStart);
  spl1->addWidget(sg1);
  spl1->addWidget(mmo1);
  spl1->setStretchFactor(0, 0);
  spl1->setStretchFactor(1, 1);
  connect(spl1, &QSplitter::splitterMoved, this, [this] {
    if (state_.viewMode == ViewMode::Log && !spl1->sizes().isEmpty()) logGridWidth_ = spl1->sizes().front();
  });
  // A file dropped anywhere on the window opens; the controls do not take it.
  for (QWidget* w : {static_cast<QWidget*>(mmo1), static_cast<QWidget*>(edt1), static_cast<QWidget*>(edt2)})
    w->setAcceptDrops(false);

  lblProfile = new QLabel(this);
  lblFile = new QLabel(this);
  lblKind = new QLabel(this);
  lblCounts = new QLabel(this);
  lblTime = new QLabel(this);
  const std::pair<QLabel*, const char*> statusLabels[] = {
      {lblProfile, "lblProfile"}, {lblFile, "lblFile"}, {lblKind, "lblKind"}, {lblCounts, "lblCounts"}, {lblTime, "lblTime"}};
  for (const auto& [label, name] : statusLabels) {
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setContentsMargins(4, 0, 4, 0);
    statusBar()->addWidget(label);
  }

  connect(btn1, &QPushButton::clicked, this, &TForm1::OpenDLGClick);
  connect(btn6, &QPushButton::clicked, this, &TForm1::N37Click);
  connect(btn3, &QPushButton::clicked, this, &TForm1::btn3Click);
  connect(btn2, &QPushButton::clicked, this, &TForm1::btn2Click);
  connect(btn4, &QPushButton::clicked, this, &TForm1::btn4Click);
  connect(sg1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current, const QModelIndex&) {
            if (current.isValid() && !selecting_) sg1SelectCell(current.column(), model_->gridRow(current.row()));
          });
}

void TForm1::buildMenus() {
  auto addItem = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& keys,
                        void (TForm1::*handler)()) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty()) a->setShortcut(keys);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };

  QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
  file->setObjectName(QStringLiteral("mnuFile"));
  addItem(file, "mnuOpen", QStringLiteral("Открыть лог"), QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::OpenDLGClick);
  mnuRecent = file->addMenu(QStringLiteral("Последние файлы"));
  mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
  mnuRecent->setToolTipsVisible(true);
  fillRecentMenu();
  N37 = addItem(file, "N37", QStringLiteral("Выбор профиля"), QKeySequence(Qt::CTRL | Qt::Key_P), &TForm1::N37Click);
  addItem(file, "mnuSettings", QStringLiteral("Настройки"), QKeySequence(Qt::CTRL | Qt::Key_G),
          &TForm1::settingsClick);
  file->addSeparator();
  addItem(file, "mnuExit", QStringLiteral("Выход"), QKeySequence(Qt::CTRL | Qt::Key_Q), &TForm1::btn2Click);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&Вид"));
  view->setObjectName(QStringLiteral("mnuView"));
  N3 = addItem(view, "N3", QStringLiteral("Сменить"), QKeySequence(Qt::CTRL | Qt::Key_T), &TForm1::btn3Click);
  N6 = addItem(view, "N6", QStringLiteral("Обновить"), QKeySequence(Qt::Key_F5), &TForm1::N6Click);

  N8 = menuBar()->addMenu(QStringLiteral("&Таблица"));
  N8->setObjectName(QStringLiteral("N8"));
  pmGraphs = N8->addMenu(QStringLiteral("Графики"));
  pmGraphs->setObjectName(QStringLiteral("pmGraphs"));
  addItem(pmGraphs, "mnuDependencyGraphs", QStringLiteral("Графики зависимостей"), QKeySequence(),
          &TForm1::dependencyGraphsClick);
  addItem(pmGraphs, "mnuParameterGraphs", QStringLiteral("Графики параметров"), QKeySequence(),
          &TForm1::parameterGraphsClick);
  addItem(pmGraphs, "mnuMatrix", QStringLiteral("Трехмерные по матрице"), QKeySequence(), &TForm1::matrixClick);
  N19 = menuBar()->addMenu(QStringLiteral("&Редактирование"));
  N19->setObjectName(QStringLiteral("N19"));
  addItem(N19, "CSV1", QStringLiteral("Экспорт в CSV"), QKeySequence(), &TForm1::CSV1Click);
  addItem(N19, "ExpExcel1", QStringLiteral("Записать результат/экспортировать"), QKeySequence(), &TForm1::ExpExcel);
  N10 = menuBar()->addMenu(QStringLiteral("&Дополнительно"));
  N10->setObjectName(QStringLiteral("N10"));
  addItem(N10, "mnuResearch", QStringLiteral("Исследование"), QKeySequence(), &TForm1::researchClick);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Помощь"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  addItem(help, "mnuHelpContents", QStringLiteral("Помощь"), QKeySequence(Qt::Key_F1), &TForm1::helpClick);
  addItem(help, "mnuAbout", QStringLiteral("О программе"), QKeySequence(), &TForm1::aboutClick);
}

void TForm1::setDialogs(TForm8* profileDialog, TForm9* settingsDialog) {
  profileDialog_ = profileDialog;
  settingsDialog_ = settingsDialog;
}

void TForm1::setGraphWindows(TForm4* dependencyGraphs, TForm10* parameterGraphs) {
  dependencyGraphs_ = dependencyGraphs;
  parameterGraphs_ = parameterGraphs;
}

void TForm1::dependencyGraphsClick() {
  if (dependencyGraphs_) dependencyGraphs_->exec();
}

void TForm1::parameterGraphsClick() {
  if (!parameterGraphs_) return;
  parameterGraphs_->exec();
  if (parameterGraphs_->programEnded()) endProgram();
}

FileRequest TForm1::openRequest() {
  FileRequest request;
  request.title = kOpenTitle;
  request.filter = kOpenFilter;
  request.defaultSuffix = kOpenSuffix;
  // The folder of the file picked last; before the first pick the bundled
  // demo logs, the natural first place to look.
  if (openFolder_.empty()) {
    std::error_code ec;
    const std::filesystem::path demoLogs = state_.programDir / "logs";
    openFolder_ = std::filesystem::is_directory(demoLogs, ec) ? demoLogs : state_.programDir;
  }
  request.startFolder = openFolder_;
  return request;
}

void TForm1::applyControlStates() {
  const bool table = fileOpen_ && state_.viewMode == ViewMode::Table;
  const bool log = fileOpen_ && state_.viewMode == ViewMode::Log;
  // The switch button names the view a click leads to.
  btn3->setText(state_.viewMode == ViewMode::Table ? kToLog : kToTable);
  btn3->setEnabled(fileOpen_ && switchable_);
  N3->setEnabled(fileOpen_ && switchable_);
  N6->setEnabled(fileOpen_);
  N19->menuAction()->setEnabled(fileOpen_);
  N10->menuAction()->setEnabled(researchEnabled_);
  btn4->setEnabled(table);
  btn5->setEnabled(table);
  N8->menuAction()->setEnabled(table);
  lblRows->setVisible(table);
  edt1->setVisible(table);
  edt2->setVisible(table);
  mmo1->setVisible(log);
  sg1->setVisible(fileOpen_);
  spl1->setVisible(fileOpen_);
  pnl1->setVisible(true);
  // A menu with nothing in it yet stays disabled, whatever the rules above.
  for (QAction* top : menuBar()->actions())
    if (QMenu* menu = top->menu(); menu && menu->isEmpty()) top->setEnabled(false);
  FormResize();
}

void TForm1::FormResize() {
  if (!pnl1) return;
  const int W = width();
  const int H = height();
  const int gridHeight = std::max(0, H - 122);
  pnl1->setGeometry(0, 0, std::max(0, centralWidget()->width()), kPanelHeight);
  int x = 5;
  for (const ButtonPlace& place : kButtonRow) {
    (this->*place.button)->setGeometry(x, kButtonTop, place.width, kButtonHeight);
    x += place.width + kButtonGap;
  }
  const int fieldWidth = std::max(40, W - 430);
  edt1->setGeometry(kFieldsLeft, 2, fieldWidth, kFieldHeight);
  edt2->setGeometry(kFieldsLeft, 2 + kFieldHeight + 1, fieldWidth, kFieldHeight);
  img1->setGeometry(5, 48, std::max(0, W - 30), gridHeight);
  // LOG view: grid and memo from 5 to 15 pixels before the right edge, the
  // grid as wide as the layout (280) or as the user dragged it; Table view:
  // the grid alone, W - 22 wide.
  if (state_.viewMode == ViewMode::Log) {
    const int width = std::max(0, W - 20);
    spl1->setGeometry(5, 48, width, gridHeight);
    spl1->setSizes({logGridWidth_, std::max(0, width - logGridWidth_ - kSplitterHandle)});
  } else {
    spl1->setGeometry(5, 48, std::max(0, W - 22), gridHeight);
  }
  // The memo may have been shown or hidden just now.
  spl1->refresh();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TForm1::gridChanged() {
  model_->reload();
  const int columns = grid_.columnCount();
  for (int c = 0; c < columns; ++c) sg1->setColumnWidth(c, grid_.columnWidth(c));
  sg1->verticalHeader()->setDefaultSectionSize(grid_.defaultRowHeight());
}

TaskEnd TForm1::runOnCopies(const QString& title,
                            const std::function<bool(AppState&, Grid&, Progress&, UserChannel&)>& work) {
  AppState copy = state_;  // shares the records: nothing is copied
  Grid fresh;
  fresh.setMaxRows(grid_.maxRows());
  fresh.setMaxCellBytes(grid_.maxCellBytes());
  bool showGrid = false;
  const TaskEnd end = runInBackground(this, title, channel_, [&](Progress& progress, UserChannel& channel) {
    showGrid = work(copy, fresh, progress, channel);
  });
  if (end == TaskEnd::Cancelled) return end;
  state_ = std::move(copy);
  if (showGrid) grid_ = std::move(fresh);
  return end;
}

bool TForm1::showView(ViewMode mode) {
  sg1->setToolTip(kGridHint);
  bool done = false;
  const QString title = mode == ViewMode::Table ? kTableTitle : kReadingTitle;
  if (!runCore([&] {
        done = runOnCopies(title, [&](AppState& state, Grid& grid, Progress& progress, UserChannel& channel) {
                 state.viewMode = mode;
                 return showCurrentView(state, channel, grid, progress);
               }) == TaskEnd::Done;
      }))
    return false;
  if (!done) return false;
  applyControlStates();
  gridChanged();
  tableRebuilt();
  viewRebuilt();
  showStatus();
  if (state_.viewMode == ViewMode::Log) focusGrid();
  return true;
}

void TForm1::focusGrid() {
  // The view makes its first cell current as it takes the focus; that is
  // no cell the user chose, so nothing is explained for it.
  selecting_ = true;
  sg1->setFocus();
  selecting_ = false;
}

void TForm1::viewRebuilt() {
  const bool log = state_.viewMode == ViewMode::Log;
  // The Table view's build empties the two fields above the grid.
  if (!log) {
    edt1->clear();
    edt2->clear();
  }
  model_->setCellToolTips(log);
  if (log) {
    // The line column is as wide as the longest line, so that the grid
    // scrolls sideways to every line's end.
    const int row = longestCellRow(grid_, 0);
    const int width = row < 0 ? 0 : sg1->fontMetrics().horizontalAdvance(toQString(grid_.cell(0, row))) + kCellPadding;
    if (width > sg1->columnWidth(0)) sg1->setColumnWidth(0, width);
  }
  sg1->scrollToTop();
  sg1->horizontalScrollBar()->setValue(0);
}

void TForm1::showStatus() {
  lblProfile->setText(toQString(profileStatusText(state_)));
  for (QLabel* label : {lblFile, lblKind, lblCounts, lblTime}) label->setVisible(fileOpen_);
  if (!fileOpen_) return;
  lblFile->setText(pathToQString(state_.openFileName.filename()));
  lblFile->setToolTip(pathToQString(state_.openFileName));
  lblKind->setText(toQString(logKindText(openKind_)));
  lblCounts->setText(toQString(countsStatusText(state_, grid_)));
  lblTime->setText(openTime_);
}

void TForm1::fillRecentMenu() {
  // The actions may be the one being triggered: they go once it returns.
  for (QAction* a : mnuRecent->actions()) {
    mnuRecent->removeAction(a);
    a->setObjectName(QString());
    a->deleteLater();
  }
  const std::vector<std::filesystem::path>& files = recent_.files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const QString path = pathToQString(files[i]);
    QAction* a = mnuRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(pathToQString(files[i].filename())));
    a->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
    a->setToolTip(path);
    a->setStatusTip(path);
    connect(a, &QAction::triggered, this, [this, file = files[i]] { openFile(file); });
  }
  if (!files.empty()) {
    mnuRecent->addSeparator();
    QAction* clear = mnuRecent->addAction(QStringLiteral("Очистить список"));
    clear->setObjectName(QStringLiteral("mnuRecentClear"));
    connect(clear, &QAction::triggered, this, [this] {
      recent_.clear();
      fillRecentMenu();
    });
  }
  mnuRecent->menuAction()->setEnabled(!files.empty());
}

void TForm1::restorePlace() {
  const std::optional<WindowPlace> stored = readWindowPlace(registry_);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (stored) {
    const QPoint centre(stored->x + stored->width / 2, stored->y + stored->height / 2);
    if (QScreen* there = QGuiApplication::screenAt(centre)) screen = there;
  }
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  setMinimumSize(std::min(kMinWidth, area.width()), std::min(kMinHeight, area.height()));
  const WindowPlace place =
      fitWindowPlace(stored, {area.x(), area.y(), area.width(), area.height()}, kStartWidth, kStartHeight);
  setGeometry(place.x, place.y, place.width, place.height);
  if (place.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TForm1::storePlace() {
  const bool maximized = isMaximized();
  const QRect r = maximized ? normalGeometry() : geometry();
  storeWindowPlace(registry_, {r.x(), r.y(), r.width(), r.height(), maximized});
}

bool TForm1::runCore(const std::function<void()>& work) {
  const CommandScope command(channel_);
  try {
    work();
  } catch (const ProgramEnds&) {
    gridChanged();
    endProgram();
    return false;
  } catch (const std::exception&) {
    // A failure outside the core's own reporting (memory, file system): the
    // grid keeps what was built.
    channel_.message("Ошибка построения таблицы"_w);
  }
  return true;
}

void TForm1::endProgram() {
  programEnded_ = true;
  close();
}

bool TForm1::settleOpen() {
  // 1. The external program's folder, or the first-run settings.
  if (settings::settingsExist(registry_)) {
    settings::readOrvikPath(registry_, state_);
  } else {
    channel_.message("Это первый запуск программы. Требуется первоначальная настройка"_w);
    if (settingsDialog_) {
      settingsDialog_->setFirstRun(true);
      settingsDialog_->exec();
      settingsDialog_->setFirstRun(false);
    }
  }
  // 2. and 3. The external program's folder, the working folder and the
  // profile; the profile dialog when no profile is known.
  if (!prepareOpen(state_) && profileDialog_) {
    profileDialog_->exec();
    if (profileDialog_->programEnded()) {
      endProgram();
      return false;
    }
    // Closed without a choice (Esc, close box): there is no profile to read
    // the file with, so the open command stops here.
    if (state_.profileCode.empty()) return false;
  }
  return true;
}

void TForm1::OpenDLGClick() {
  if (!settleOpen()) return;
  // 5. The file (4. happens in openLog, once the file is known).
  const std::optional<std::filesystem::path> picked = openDialog_.choose(openRequest());
  if (picked) openChosen(*picked);
}

void TForm1::openFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    channel_.message(std::string("Файл не найден: "_w) + pathText(file));
    recent_.remove(file);
    fillRecentMenu();
    return;
  }
  if (settleOpen()) openChosen(file);
}

void TForm1::openChosen(const std::filesystem::path& file) {
  openFolder_ = file.parent_path();
  const QString chosen = pathToQString(file);

  // With "graphs only" a graph file keeps the main window's caption.
  const QString caption = windowTitle();
  const bool graphsOnly = state_.graphsOnly == 1;
  if (!graphsOnly || logKindOf(file) != LogKind::GraphFile) setWindowTitle(kOpenedFile + chosen);
  sg1->setToolTip(kGridHint);
  // The open reads on a copy of the state into a fresh grid, off the GUI
  // thread; a cancel leaves the previous file, its view and the derived
  // definition files as they were.
  OpenOutcome outcome;
  bool done = false;
  const DerivedFiles derived = DerivedFiles::take(state_.workingFolder);
  const bool running = runCore([&] {
    TaskEnd end = TaskEnd::Cancelled;
    try {
      end = runOnCopies(kReadingTitle, [&](AppState& state, Grid& grid, Progress& progress, UserChannel& channel) {
        outcome = openLog(state, channel, file, grid, progress);
        return outcome.built && !outcome.graphsOnly;
      });
    } catch (...) {
      derived.restore();
      throw;
    }
    if (end == TaskEnd::Cancelled) derived.restore();
    done = end == TaskEnd::Done;
  });
  if (!running) return;
  if (!done) {
    setWindowTitle(caption);
    return;
  }
  // Where a read ended early is told once, when the reading is over.
  const auto tellReadStop = [&] {
    if (outcome.readStop) channel_.message(readStopMessage(*outcome.readStop, state_.records.size()));
  };
  if (outcome.graphsOnly) {
    recent_.add(file);
    fillRecentMenu();
    tellReadStop();
    // The main window's view is not built: the records show as graphs only.
    if (parameterGraphs_) {
      parameterGraphs_->setWindowTitle(kOpenedFile + chosen);
      parameterGraphsClick();
    }
    return;
  }
  if (!outcome.built) {
    // The reading failed (its message is shown): the previous view stays.
    setWindowTitle(caption);
    gridChanged();
    return;
  }
  fileOpen_ = true;
  switchable_ = outcome.kind == LogKind::TextLog && state_.tableOnly != 1;
  researchEnabled_ = true;
  openKind_ = outcome.kind;
  openTime_ = toQString(openTimeText(outcome.elapsed, state_.decimalMark));
  // Nothing of the previous file stays in the fields.
  edt1->clear();
  edt2->clear();
  recent_.add(file);
  fillRecentMenu();
  gridChanged();
  tableRebuilt();
  applyControlStates();
  viewRebuilt();
  showStatus();
  if (state_.viewMode == ViewMode::Log) focusGrid();
  tellReadStop();
}

void TForm1::N37Click() {
  if (!profileDialog_) return;
  profileDialog_->exec();
  if (profileDialog_->programEnded()) {
    endProgram();
    return;
  }
  // The status bar names the profile in force, whatever the caption says.
  showStatus();
  // A known last profile is replaced by the new code at the caption's end.
  // After a file has been opened the caption names the file, which is left
  // whole.
  if (state_.lastProfile.empty()) return;
  const QString oldTail = kProfileInCaption + toQString(state_.lastProfile);
  state_.lastProfile = state_.profileCode;
  QString caption = windowTitle();
  if (caption.endsWith(oldTail)) {
    caption.chop(oldTail.size());
    setWindowTitle(caption + kProfileInCaption + toQString(state_.lastProfile));
  }
}

void TForm1::settingsClick() {
  if (!settingsDialog_) return;
  settingsDialog_->setFirstRun(false);
  settingsDialog_->exec();
}

void TForm1::btn3Click() {
  if (!fileOpen_ || !switchable_) return;
  SaveParam();
  const ViewMode next = state_.viewMode == ViewMode::Table ? ViewMode::Log : ViewMode::Table;
  const bool research = researchEnabled_;
  researchEnabled_ = next == ViewMode::Table;
  // A cancelled switch stays in the view it was in.
  if (!showView(next)) researchEnabled_ = research;
}

void TForm1::N6Click() {
  if (!fileOpen_) return;
  showView(state_.viewMode);
}

void TForm1::btn2Click() {
  deleteDerivedDefinitionFiles(state_.workingFolder);
  endProgram();
}

void TForm1::btn4Click() { pmGraphs->popup(frameGeometry().topLeft() + QPoint(335, 65)); }

void TForm1::matrixClick() {
  if (!matrixWindow_) return;
  if (matrixWindow_->isVisible()) {
    matrixWindow_->raise();
    matrixWindow_->activateWindow();
    return;
  }
  matrixWindow_->show();
}

void TForm1::closeEvent(QCloseEvent* event) {
  // The matrix window stores its settings as it closes.
  if (matrixWindow_ && matrixWindow_->isVisible()) matrixWindow_->close();
  if (fileOpen_) SaveParam();
  storePlace();
  programEnded_ = true;
  event->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!urls.isEmpty() && urls.front().isLocalFile()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  event->acceptProposedAction();
  // Opened once the drop is over: the open may ask questions in dialogs.
  const std::filesystem::path file = pathFromQString(urls.front().toLocalFile());
  QTimer::singleShot(0, this, [this, file] { openFile(file); });
}

void TForm1::helpClick() {
  for (const std::string_view name : {kHelpFile, kOwnHelpFile}) {
    const std::filesystem::path help = resolveIgnoringCase(state_.programDir, name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(help, ec)) continue;
    if (!openDocument_(help)) channel_.message(std::string("Не удалось открыть файл справки "_w) + pathText(help));
    return;
  }
  channel_.message(std::string("Не найден файл справки "_w) + std::string(kHelpFile));
}

void TForm1::CSV1Click() {
  if (fileOpen_) exports_->CSV1Click(state_, grid_);
}

void TForm1::ExpExcel() {
  if (fileOpen_) exports_->ExpExcel(state_, grid_);
}

void TForm1::aboutClick() {
  TAboutBox box(this);
  box.exec();
}

void TForm1::researchClick() {
  TForm7 research(state_, channel_, this);
  research.exec();
}

void TForm1::sg1SelectCell(int column, int row) {
  if (!fileOpen_) {
    state_.selectedColumn = column;
    state_.selectedRow = row;
    return;
  }
  CellSelection selection;
  if (!runCore([&] { selection = selectCell(state_, channel_, grid_, column, row); })) return;
  if (selection.fieldsShown) {
    const QString text = toQString(selection.value);
    sg1->setToolTip(toQString(selection.hint));
    edt1->setText(toQString(selection.heading));
    edt2->setText(text);
  }
  if (selection.explained) {
    QStringList lines;
    for (const std::string& line : selection.explanation.lines) lines << toQString(line);
    mmo1->setPlainText(lines.join(QLatin1Char('\n')));
  }
}

// ---- Table tools -------------------------------------------------------

void TForm1::buildTableTools() {
  auto item = [this](QMenu* menu, const char* name, const QString& text, const QString& hint,
                     const QKeySequence& keys, void (TForm1::*handler)()) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    a->setStatusTip(hint);
    a->setToolTip(hint);
    if (!keys.isEmpty()) a->setShortcut(keys);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };

  N8->setToolTipsVisible(true);
  N8->menuAction()->setStatusTip(QStringLiteral("Доступно только в режиме таблицы"));
  N8->menuAction()->setToolTip(QStringLiteral("Доступно только в режиме таблицы"));
  btn5->setToolTip(QStringLiteral("Отфильтровать записи в таблице. Можно последовательно."));
  connect(btn5, &QPushButton::clicked, this, &TForm1::btn5Click);
  item(N8, "mnuFilter", QStringLiteral("Фильтровать"), QStringLiteral("Отфильтровать записи в таблице. Можно последовательно."),
       QKeySequence(), &TForm1::btn5Click);
  item(N8, "mnuClearFilter", QStringLiteral("Очистить фильтр"), QStringLiteral("Показать все записи снова"),
       QKeySequence(), &TForm1::clearFilterClick);
  QMenu* layout = N8->addMenu(QStringLiteral("Настройки"));
  layout->setObjectName(QStringLiteral("mnuTableSettings"));
  layout->setToolTipsVisible(true);
  item(layout, "mnuColumnChoice", QStringLiteral("Настройка столбцов"), QStringLiteral("Выбрать отображаемые столбцы"),
       QKeySequence(), &TForm1::columnChoiceClick);
  item(layout, "N27", QStringLiteral("Применить настройки"), QStringLiteral("Скрыть столбцы и задать ширину по сохранённым настройкам"),
       QKeySequence(), &TForm1::N27Click);
  item(layout, "mnuShowAll", QStringLiteral("Показать все столбцы"), QStringLiteral("Построить таблицу заново со всеми столбцами"),
       QKeySequence(), &TForm1::showAllColumnsClick);
  item(layout, "mnuHideColumn", QStringLiteral("Скрыть столбец"), QStringLiteral("Удалить выбранный столбец из таблицы"),
       QKeySequence(Qt::CTRL | Qt::Key_H), &TForm1::N26Click);
  item(layout, "N16", QStringLiteral("Стандартная ширина столбцов"), QStringLiteral("Всем столбцам ширину по умолчанию"),
       QKeySequence(), &TForm1::N16Click);
  item(layout, "mnuDeleteRow", QStringLiteral("Удалить строку "), QStringLiteral("Удалить выбранную строку из таблицы"),
       QKeySequence(Qt::CTRL | Qt::Key_Y), &TForm1::E1Click);
  item(layout, "mnuSaveLayout", QStringLiteral("Сохранить настройки"), QStringLiteral("Запомнить скрытые столбцы и ширину столбцов для этого лога"),
       QKeySequence(), &TForm1::SaveParam);

  N18 = item(N19, "N18", QStringLiteral("Разрешить редактирование"), QStringLiteral("Разрешить правку ячеек таблицы"),
             QKeySequence(), &TForm1::N18Click);

  pm1 = new QMenu(this);
  pm1->setObjectName(QStringLiteral("pm1"));
  item(pm1, "E1", QStringLiteral("Удалить строку"), QString(), QKeySequence(), &TForm1::E1Click);
  item(pm1, "N26", QStringLiteral("Удалить столбец"), QString(), QKeySequence(), &TForm1::N26Click);
  item(pm1, "N36", QStringLiteral("Посчитать среднее"), QString(), QKeySequence(), &TForm1::N36Click);
  sg1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(sg1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pm1->popup(sg1->viewport()->mapToGlobal(at)); });
  sg1->installEventFilter(this);
  // Widths the user drags are the grid's widths, which the layout stores.
  connect(sg1->horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int column, int, int width) { grid_.setColumnWidth(column, width); });

  lblRows = new QLabel(this);
  lblRows->setObjectName(QStringLiteral("lblRows"));
  statusBar()->addPermanentWidget(lblRows);

  filtr = new Tfiltr(state_, channel_, grid_, this);
  Form5 = new TForm5(state_, registry_, channel_, grid_, this);
}

void TForm1::tableRebuilt() {
  fullRows_ = std::max(0, grid_.rowCount() - 2);
  showRowCount();
}

void TForm1::showRowCount() {
  lblRows->setText(toQString(rowCountText(std::max(0, grid_.rowCount() - 2), fullRows_)));
}

void TForm1::selectGridCell(int column, int row) {
  const QModelIndex index = model_->index(model_->modelRow(row), column);
  selecting_ = true;
  if (index.isValid()) {
    sg1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    sg1->scrollTo(index);
  }
  selecting_ = false;
  sg1SelectCell(column, row);
}

void TForm1::SaveParam() { tervolin::SaveParam(state_, registry_, grid_); }

void TForm1::btn5Click() {
  if (!fileOpen_ || state_.viewMode != ViewMode::Table) return;
  SaveParam();
  if (filtr->exec() != QDialog::Accepted) return;
  gridChanged();
  showRowCount();
}

void TForm1::clearFilterClick() {
  if (fileOpen_ && state_.viewMode == ViewMode::Table) showView(state_.viewMode);
}

void TForm1::showAllColumnsClick() { clearFilterClick(); }

void TForm1::columnChoiceClick() {
  if (!fileOpen_ || state_.viewMode != ViewMode::Table) return;
  if (Form5->exec() == QDialog::Accepted) gridChanged();
}

void TForm1::N27Click() {
  if (!fileOpen_ || state_.viewMode != ViewMode::Table) return;
  applyColumnLayout(state_, registry_, channel_, grid_);
  gridChanged();
}

void TForm1::N16Click() {
  standardColumnWidths(grid_);
  gridChanged();
}

void TForm1::E1Click() {
  if (!fileOpen_) return;
  const int row = state_.selectedRow;
  const std::optional<GridCell> next = deleteRecordedRow(state_, grid_);
  if (grid_.rowCount() == model_->rowCount() + model_->fixedRows()) return;  // nothing was deleted
  selecting_ = true;
  model_->gridRowDeleted(row);
  selecting_ = false;
  showRowCount();
  if (next) selectGridCell(next->column, next->row);
}

void TForm1::N26Click() {
  if (!fileOpen_) return;
  const int column = state_.selectedColumn;
  const int columns = grid_.columnCount();
  const std::optional<GridCell> next = deleteRecordedColumn(state_, channel_, grid_);
  if (grid_.columnCount() == columns) return;
  selecting_ = true;
  model_->gridColumnDeleted(column);
  selecting_ = false;
  if (next) selectGridCell(next->column, next->row);
}

void TForm1::N36Click() {
  const std::string text = columnAverageText(state_, grid_);
  if (fileOpen_ && !text.empty()) channel_.message(text);
}

void TForm1::N18Click() {
  model_->setEditable(true);
  sg1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                       QAbstractItemView::AnyKeyPressed);
}

bool TForm1::sg1KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool ctrl = (modifiers & Qt::ControlModifier) && !(modifiers & (Qt::AltModifier | Qt::ShiftModifier));
  const char letter = key >= Qt::Key_A && key <= Qt::Key_Z ? static_cast<char>('A' + (key - Qt::Key_A)) : '\0';
  switch (gridKeyCommand(letter, ctrl)) {
    case GridKeyCommand::DeleteColumn: N26Click(); return true;
    case GridKeyCommand::DeleteRow: E1Click(); return true;
    // The research window, while its menu is available.
    case GridKeyCommand::Research:
      if (researchEnabled_) researchClick();
      return true;
    case GridKeyCommand::None: return false;
  }
  return false;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == sg1 && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    const bool ours = ctrl && (key->key() == Qt::Key_H || key->key() == Qt::Key_Y || key->key() == Qt::Key_F);
    if (ours && event->type() == QEvent::ShortcutOverride) {
      // The grid acts on the key itself, so the menu's shortcut does not
      // act on it a second time.
      event->accept();
      return true;
    }
    if (ours && !key->isAutoRepeat() && sg1KeyDown(key->key(), key->modifiers())) return true;
    if (ours) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tervolin
