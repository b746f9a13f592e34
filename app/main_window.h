#pragma once
// The main window TForm1: owns the grid shown in sg1, runs the open command,
// switches between the Table and LOG views, enables the tools that fit the
// current view and starts the other windows.

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "common/app_state.h"
#include "common/progress.h"
#include "common/registry.h"
#include "common/user_channel.h"
#include "profiles/desktop_settings.h"
#include "qt/desktop_services.h"
#include "qt/background_task.h"
#include "table/grid.h"
#include "table/open_log.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableView;
class QWidget;

namespace tervolin {

class FileChooser;
struct FileRequest;
class GridModel;
class TForm5;
class TForm10;
class TForm4;
class TForm8;
class TForm9;
class TableExports;
class Tfiltr;
class TForm11;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // Start-up of the main window: reads TablOnly, GraphOnly and LastProfile,
  // starts in LOG view with every table tool disabled.
  TForm1(AppState& state, Registry& registry, UserChannel& channel, FileChooser& openDialog,
         QWidget* parent = nullptr);
  ~TForm1() override;

  // The profile and settings dialogs, made after the main window at start-up.
  void setDialogs(TForm8* profileDialog, TForm9* settingsDialog);
  // The three-dimensional matrix window, made at start-up; not modal.
  void setMatrixWindow(TForm11* matrixWindow) { matrixWindow_ = matrixWindow; }
  // The dependency graphs and parameter graphs windows, made at start-up.
  void setGraphWindows(TForm4* dependencyGraphs, TForm10* parameterGraphs);

  Grid& grid() { return grid_; }
  GridModel& gridModel() { return *model_; }
  // Shows the grid again after a tool changed its cells (the view re-reads
  // counts, headings and column widths).
  void gridChanged();
  // True once something asked the program to end (the window is closed).
  bool programEnded() const { return programEnded_; }

  // The open command with `file` in place of the open-file dialog's choice:
  // a recent file, or a file dropped on the window.
  void openFile(const std::filesystem::path& file);
  // How documents (the help) are shown: the desktop's handler unless a test
  // replaces it.
  void setDocumentOpener(DocumentOpener opener) { openDocument_ = std::move(opener); }

  // Handlers, named after control and event.
  void OpenDLGClick();   // "Открыть " and "Файл" / "Открыть лог"
  void N37Click();       // "..." and "Файл" / "Выбор профиля"
  void settingsClick();  // "Файл" / "Настройки"
  void btn3Click();      // view switch, also "Вид" / "Сменить"
  void N6Click();        // "Вид" / "Обновить"
  void btn2Click();      // "Выход"
  void helpClick();      // "Помощь" / "Помощь"
  void aboutClick();     // "Помощь" / "О программе"
  void researchClick();  // "Дополнительно" / "Исследование", and Ctrl+F on the grid
  void CSV1Click();      // "Редактирование" / "Экспорт в CSV"
  void ExpExcel();       // "Редактирование" / "Записать результат/экспортировать"
  TableExports& exports() { return *exports_; }
  void dependencyGraphsClick();  // "Графики зависимостей"
  void parameterGraphsClick();   // "Графики параметров"
  void sg1SelectCell(int column, int row);
  void btn4Click();      // pops the graphs menu up
  void matrixClick();    // graphs menu / "Трехмерные по матрице"
  void FormResize();

  // Table tools: filter, column layout, row and column edits.
  void btn5Click();            // "Фильтр" and "Таблица" / "Фильтровать"
  void clearFilterClick();     // "Очистить фильтр"
  void columnChoiceClick();    // "Настройка столбцов"
  void N27Click();             // "Применить настройки"
  void showAllColumnsClick();  // "Показать все столбцы"
  void N16Click();             // "Стандартная ширина столбцов"
  void SaveParam();            // "Сохранить настройки"; also before the view switch, the filter and on close
  void E1Click();              // "Удалить строку"
  void N26Click();             // "Удалить столбец", "Скрыть столбец"
  void N36Click();             // "Посчитать среднее"
  void N18Click();             // "Разрешить редактирование"
  // Ctrl+H, Ctrl+Y, Ctrl+F on the grid; true when the key was handled.
  bool sg1KeyDown(int key, Qt::KeyboardModifiers modifiers);

  // Controls, named as the other windows refer to them.
  QWidget* pnl1 = nullptr;  // button panel
  QPushButton* btn1 = nullptr;
  QPushButton* btn6 = nullptr;
  QPushButton* btn3 = nullptr;
  QPushButton* btn5 = nullptr;
  QPushButton* btn4 = nullptr;
  QPushButton* btn2 = nullptr;
  QLineEdit* edt1 = nullptr;
  QLineEdit* edt2 = nullptr;
  QLabel* img1 = nullptr;  // background picture
  QTableView* sg1 = nullptr;
  QPlainTextEdit* mmo1 = nullptr;
  QAction* N3 = nullptr;   // "Сменить"
  QAction* N6 = nullptr;   // "Обновить"
  QAction* N37 = nullptr;  // "Выбор профиля"
  QMenu* N8 = nullptr;     // "Таблица"
  QMenu* N19 = nullptr;    // "Редактирование"
  QMenu* N10 = nullptr;    // "Дополнительно"
  QAction* N18 = nullptr;  // "Разрешить редактирование"
  QMenu* pm1 = nullptr;    // the grid's pop-up menu
  QLabel* lblRows = nullptr;  // "Строк: ... из ..." in the status bar
  Tfiltr* filtr = nullptr;
  TForm5* Form5 = nullptr;
  QMenu* pmGraphs = nullptr;  // the graphs menu: btn4 and "Таблица" / "Графики"
  QSplitter* spl1 = nullptr;  // sg1 and mmo1, the boundary between them draggable
  QMenu* mnuRecent = nullptr;  // "Файл" / "Последние файлы"
  // The status bar: profile in force, open file, its kind, counts, time of the open.
  QLabel* lblProfile = nullptr;
  QLabel* lblFile = nullptr;
  QLabel* lblKind = nullptr;
  QLabel* lblCounts = nullptr;
  QLabel* lblTime = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  // Enables, shows and places every control after the state: whether a file
  // is open, the view mode and whether the open file allows the view switch.
  void applyControlStates();
  // Builds the view of the current mode into the grid and shows it.
  // Builds the view of `mode` off the GUI thread and shows it; false when
  // the build was cancelled or failed (the previous view stays).
  bool showView(ViewMode mode);
  // Gives the grid the keyboard focus without explaining a cell.
  void focusGrid();
  // Runs core work on a worker thread with the progress dialog: `work` gets
  // a copy of the state and a fresh grid with the limits of the one shown,
  // and says whether the grid it built is to be shown. When it finishes, the
  // copy replaces the state (and the grid the shown one); when it is
  // cancelled, nothing has changed.
  TaskEnd runOnCopies(const QString& title,
                      const std::function<bool(AppState&, Grid&, Progress&, UserChannel&)>& work);
  // Runs core work: false when it ended the program; any other failure is
  // reported as a failed table build and the work counts as done.
  bool runCore(const std::function<void()>& work);
  void endProgram();
  // The open-file dialog as the open command shows it.
  FileRequest openRequest();
  // Steps 1 to 3 of the open command: the first-run settings, the external
  // program's folder, the working folder and the profile. False when the
  // command stops there.
  bool settleOpen();
  // The rest of the open command once the file is known.
  void openChosen(const std::filesystem::path& file);
  // After every rebuild of the view: the view starts at its top left, the
  // LOG view's line column is as wide as its longest line, tooltips fit the
  // view.
  void viewRebuilt();
  void showStatus();
  void fillRecentMenu();
  // The window's place from the last run, fitted to the screen; stored on close.
  void restorePlace();
  void storePlace();
  void buildTableTools();
  // After a rebuild of the view: the row count of the full table.
  void tableRebuilt();
  void showRowCount();
  // Makes (column, row) the grid's current cell and handles its selection.
  void selectGridCell(int column, int row);

  AppState& state_;
  Registry& registry_;
  UserChannel& channel_;
  FileChooser& openDialog_;
  TForm8* profileDialog_ = nullptr;
  TForm9* settingsDialog_ = nullptr;
  TForm11* matrixWindow_ = nullptr;
  TForm4* dependencyGraphs_ = nullptr;
  TForm10* parameterGraphs_ = nullptr;

  Grid grid_;
  GridModel* model_ = nullptr;
  std::unique_ptr<TableExports> exports_;
  bool fileOpen_ = false;
  bool switchable_ = false;  // a text log without table only is open
  bool researchEnabled_ = false;  // "Дополнительно": on after an open, off after switching to LOG
  bool programEnded_ = false;
  bool selecting_ = false;  // the grid's current cell is being moved by a tool
  int fullRows_ = 0;        // data rows of the table as last built
  std::filesystem::path openFolder_;  // where the open-file dialog opens next
  RecentFiles recent_;
  DocumentOpener openDocument_ = openWithDesktop;
  int logGridWidth_;  // the grid's width in LOG view: the layout's, then as dragged
  QString openTime_;  // how long the last open took, for the status bar
  LogKind openKind_ = LogKind::TextLog;
};

}  // namespace tervolin
