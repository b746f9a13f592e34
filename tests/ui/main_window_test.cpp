// The main window driven through its controls' object names, with a scripted
// message channel and open dialog, a throw-away program folder and a
// throw-away settings file.

#include <QAction>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <tuple>

#include "app/main_window.h"
#include "bench/loggen/loggen.h"
#include "profiles/desktop_settings.h"
#include "qt/desktop_services.h"
#include "qt/progress_dialog.h"
#include "common/message_cap.h"
#include "common/text.h"
#include "profiles/ui/profile_dialog.h"
#include "profiles/ui/settings_dialog.h"
#include "qt/qt_file_chooser.h"
#include "qt/qt_registry.h"
#include "qt/qt_text.h"
#include "support/test_support.h"
#include "table/ui/grid_model.h"
#include "table/ui/table_exports.h"
#include "ui/support/main_fixture.h"
#include "ui/support/scripted_file_chooser.h"

using namespace tervolin;
using tervolin::test::ScriptedChannel;

namespace {

// Everything one main window needs, in a fresh temporary folder.
struct Env {
  QTemporaryDir tmp;
  std::filesystem::path programDir;
  std::unique_ptr<QtRegistry> registry;
  ScriptedChannel channel;
  // The program's cap in front of the scripted boxes, when a test asks for it.
  MessageCap cap{channel};
  bool capped = false;
  test::ScriptedFileChooser chooser;
  AppState state;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<TForm9> settings;
  std::unique_ptr<TForm8> profiles;

  Env() {
    programDir = std::filesystem::path(tmp.path().toStdString()) / "prog";
    std::filesystem::create_directories(programDir);
    registry = std::make_unique<QtRegistry>(tmp.filePath(QStringLiteral("settings.ini")));
    state.programDir = programDir;
    state.decimalMark = ',';  // the test log writes its interval as 0,10
  }
  // The settings key as a finished first run leaves it.
  void storeSettings() {
    registry->writeString(kSettingsKey, "OrvikPath", "");
    registry->writeInt(kSettingsKey, "AutoTabl", 0);
    registry->writeInt(kSettingsKey, "TablOnly", 0);
    registry->writeInt(kSettingsKey, "GraphOnly", 0);
  }
  void start() {
    UserChannel& boxes = capped ? static_cast<UserChannel&>(cap) : channel;
    form = std::make_unique<TForm1>(state, *registry, boxes, chooser);
    settings = std::make_unique<TForm9>(state, *registry, channel, chooser, form.get());
    profiles = std::make_unique<TForm8>(state, *registry, channel, *settings, form.get());
    form->setDialogs(profiles.get(), settings.get());
    form->resize(1200, 800);
    form->show();
  }
  QString logFile() const { return QString::fromStdString((programDir / "drive.log").string()); }
  void open(const QString& file) {
    chooser.answers.push_back(file);
    button("btn1")->click();
  }

  template <class T>
  T* child(const char* name) const {
    T* w = form->findChild<T*>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
  }
  QPushButton* button(const char* name) const { return child<QPushButton>(name); }
  QAction* action(const char* name) const { return child<QAction>(name); }
  bool menuEnabled(const char* name) const { return child<QMenu>(name)->menuAction()->isEnabled(); }
  QTableView* grid() const { return child<QTableView>("sg1"); }
  QString cell(int modelRow, int column) const {
    return grid()->model()->index(modelRow, column).data().toString();
  }
  QString heading(int column) const {
    return grid()->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  }
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& e : channel.events)
      if (e.kind == ScriptedChannel::Event::Message) out.push_back(e.text);
    return out;
  }
};

// Which controls are enabled and shown, in one row per situation.
struct ControlState {
  bool switchEnabled, refreshEnabled, editMenu, extraMenu, tableTools, fieldsShown, memoShown, gridShown;
};

ControlState controlState(const Env& env) {
  return {env.button("btn3")->isEnabled(),
          env.action("N6")->isEnabled(),
          env.menuEnabled("N19"),
          env.menuEnabled("N10"),
          env.button("btn4")->isEnabled() && env.button("btn5")->isEnabled() && env.menuEnabled("N8"),
          env.child<QLineEdit>("edt1")->isVisible() && env.child<QLineEdit>("edt2")->isVisible(),
          env.child<QPlainTextEdit>("mmo1")->isVisible(),
          env.grid()->isVisible()};
}

bool operator==(const ControlState& a, const ControlState& b) {
  return std::tie(a.switchEnabled, a.refreshEnabled, a.editMenu, a.extraMenu, a.tableTools, a.fieldsShown,
                  a.memoShown, a.gridShown) == std::tie(b.switchEnabled, b.refreshEnabled, b.editMenu, b.extraMenu,
                                                        b.tableTools, b.fieldsShown, b.memoShown, b.gridShown);
}

#define compareState(got, want) QVERIFY((got) == (want))

constexpr ControlState kAtStart{false, false, false, false, false, false, false, false};
constexpr ControlState kLogView{true, true, true, true, false, false, true, true};
constexpr ControlState kTableView{true, true, true, true, true, true, false, true};
constexpr ControlState kTableOnly{false, true, true, true, true, true, false, true};

const QString kTemperature =
    QStringLiteral("2101/0000\nТемпература охлаждающей жидкости двигателя по датчику температуры ДТОЖ (C)");

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startupReadsSettings_data() {
    QTest::addColumn<int>("tablOnly");   // -1: value missing
    QTest::addColumn<int>("graphOnly");  // -1: value missing
    QTest::addColumn<QString>("lastProfile");
    QTest::addColumn<int>("wantTableOnly");
    QTest::addColumn<int>("wantGraphsOnly");
    QTest::addColumn<QString>("wantLastProfile");
    QTest::newRow("all values") << 1 << 1 << "Toyota" << 1 << 1 << "Toyota";
    QTest::newRow("zeros") << 0 << 0 << "Nissan" << 0 << 0 << "Nissan";
    QTest::newRow("missing TablOnly ends the reading") << -1 << 1 << "Toyota" << 0 << 0 << "";
    QTest::newRow("missing GraphOnly ends the reading") << 1 << -1 << "Toyota" << 1 << 0 << "";
  }
  void startupReadsSettings() {
    QFETCH(int, tablOnly);
    QFETCH(int, graphOnly);
    QFETCH(QString, lastProfile);
    Env env;
    if (tablOnly >= 0) env.registry->writeInt(kSettingsKey, "TablOnly", tablOnly);
    if (graphOnly >= 0) env.registry->writeInt(kSettingsKey, "GraphOnly", graphOnly);
    env.registry->writeString(kSettingsKey, "LastProfile", lastProfile.toStdString());
    env.start();
    QTEST(int(env.state.tableOnly), "wantTableOnly");
    QTEST(int(env.state.graphsOnly), "wantGraphsOnly");
    QTEST(QString::fromStdString(env.state.lastProfile), "wantLastProfile");
    QFETCH(QString, wantLastProfile);
    QCOMPARE(env.form->windowTitle(),
             QStringLiteral("Программа анализа лог-файлов и графиков    Профиль: ") + wantLastProfile);
    QCOMPARE(env.state.viewMode, ViewMode::Log);
    compareState(controlState(env), kAtStart);
    QVERIFY(env.button("btn1")->isEnabled());
    QVERIFY(env.button("btn6")->isEnabled());
    QVERIFY(env.button("btn2")->isEnabled());
    QVERIFY(!env.action("N3")->isEnabled());
    QVERIFY(env.child<QLabel>("img1")->isVisible());
    QVERIFY(!env.child<QLabel>("img1")->pixmap().isNull());
    QCOMPARE(env.button("btn4")->toolTip(), QStringLiteral("Построить графики по таблице"));
    QVERIFY(env.messages().empty());
  }

  void firstRunShowsSettingsWithoutCancel() {
    Env env;
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    bool cancelEnabled = true;
    QString dialogName;
    test::main_whenModal([&](QWidget* dialog) {
      dialogName = dialog->objectName();
      auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("btn2"));
      cancelEnabled = cancel && cancel->isEnabled();
      dialog->findChild<QPushButton*>(QStringLiteral("btn1"))->click();  // "Сохранить"
    });
    env.open(env.logFile());
    QCOMPARE(env.messages().at(0), std::string("Это первый запуск программы. Требуется первоначальная настройка"_w));
    QVERIFY(!cancelEnabled);
    QVERIFY(env.registry->keyExists(kSettingsKey));
    // Saved with the local folder: the program's own folder is the external
    // program path, and the file opened in LOG view.
    QCOMPARE(env.state.orvikPath, env.programDir);
    QCOMPARE(env.state.viewMode, ViewMode::Log);
    QCOMPARE(env.chooser.requests.size(), 1u);

    // With the key in place the next open asks nothing.
    const std::size_t before = env.messages().size();
    env.open(env.logFile());
    QCOMPARE(env.messages().size(), before);
  }

  void openDialogIsSetUpForLogs() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    std::filesystem::create_directories(env.programDir / "logs");
    env.open(QString());  // cancelled
    QCOMPARE(env.chooser.requests.size(), 1u);
    const FileRequest& asked = env.chooser.requests.at(0);
    QCOMPARE(asked.title, QStringLiteral("Открыть лог-файл"));
    QCOMPARE(asked.defaultSuffix, QStringLiteral("*.log"));
    QCOMPARE(asked.filter,
             QStringLiteral("Логи программы диагностики|*.log|Графики программы диагностики|*.rtd|"
                            "Логи Ventrix|*.xml|Логи в формате CSV|*.csv|Все файлы|*"));
    QVERIFY(asked.mode == FileRequest::Mode::Open);
    // The first open starts in the bundled demo logs, the next one in the
    // folder of the file picked last.
    QCOMPARE(asked.startFolder, env.programDir / "logs");
    env.open(env.logFile());
    env.open(QString());
    QCOMPARE(env.chooser.requests.size(), 3u);
    QCOMPARE(env.chooser.requests.at(2).startFolder, env.programDir);
  }

  void cancelledOpenChangesNothing() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    env.open(QString());
    // Cancelling stops the command: nothing opened, nothing enabled.
    compareState(controlState(env), kAtStart);
    QVERIFY(env.form->windowTitle().startsWith(QStringLiteral("Программа анализа")));
    QCOMPARE(env.state.workingFolder, env.programDir);
  }

  void openTextLogInLogView() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    env.open(env.logFile());
    QCOMPARE(env.form->windowTitle(), QStringLiteral("Открыт файл: ") + env.logFile());
    QCOMPARE(env.state.viewMode, ViewMode::Log);
    compareState(controlState(env), kLogView);
    QCOMPARE(env.button("btn3")->text(), QStringLiteral("Таблица"));
    QCOMPARE(env.heading(0), QStringLiteral("Log как он есть"));
    QCOMPARE(env.grid()->model()->columnCount(), 1);
    // The line column starts at the layout's 250 and is as wide as the
    // longest line; the grid keeps the layout's 280.
    const QString longest = test::main_logLines().at(0);
    QVERIFY(env.grid()->columnWidth(0) > env.grid()->fontMetrics().horizontalAdvance(longest));
    QVERIFY(env.grid()->columnWidth(0) >= 250);
    QCOMPARE(env.grid()->width(), 280);
    const QStringList lines = test::main_logLines();
    QCOMPARE(env.grid()->model()->rowCount(), lines.size() + 1);
    QCOMPARE(env.cell(0, 0), QString());
    for (int k = 0; k < lines.size(); ++k) QCOMPARE(env.cell(k + 1, 0), lines[k]);
    QCOMPARE(env.child<QPlainTextEdit>("mmo1")->toPlainText(),
             QStringLiteral("А здесь расшифровка той строки, \nна которой вы щелкнули мышкой\n\n."));
    // The memo fills the rest, right of the splitter's handle, to 15 pixels
    // before the window's edge.
    const auto* memo = env.child<QPlainTextEdit>("mmo1");
    const QPoint memoAt = memo->mapTo(env.form->centralWidget(), QPoint(0, 0));
    QCOMPARE(memoAt.x(), 5 + 280 + 5);
    QCOMPARE(memoAt.x() + memo->width(), env.form->width() - 15);
    QVERIFY(env.messages().empty());
  }

  void switchViewsAndRefresh() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    env.open(env.logFile());

    env.button("btn3")->click();
    QCOMPARE(env.state.viewMode, ViewMode::Table);
    compareState(controlState(env), kTableView);
    QCOMPARE(env.button("btn3")->text(), QStringLiteral("LOG"));
    QCOMPARE(env.grid()->width(), env.form->width() - 22);
    QCOMPARE(env.grid()->model()->columnCount(), 2);
    QCOMPARE(env.heading(0), kTemperature);
    QCOMPARE(env.grid()->model()->rowCount(), 2);
    QCOMPARE(env.cell(0, 0), QStringLiteral("83"));
    QCOMPARE(env.cell(0, 1), QStringLiteral("132"));
    QCOMPARE(env.cell(1, 0), QStringLiteral("84"));
    QCOMPARE(env.cell(1, 1), QStringLiteral("135"));

    // "Обновить" rebuilds the view from the records: an edit is undone.
    env.form->grid().setCell(0, 2, "edited");
    env.form->gridChanged();
    QCOMPARE(env.cell(0, 0), QStringLiteral("edited"));
    env.action("N6")->trigger();
    QCOMPARE(env.cell(0, 0), QStringLiteral("83"));

    // The menu item switches back.
    env.action("N3")->trigger();
    QCOMPARE(env.state.viewMode, ViewMode::Log);
    QCOMPARE(env.button("btn3")->text(), QStringLiteral("Таблица"));
    QCOMPARE(env.heading(0), QStringLiteral("Log как он есть"));
    QCOMPARE(env.grid()->width(), 280);
    // After switching back to LOG, "Дополнительно" is off until the next
    // open or switch to Table.
    QVERIFY(!env.menuEnabled("N10"));
    QVERIFY(env.child<QPlainTextEdit>("mmo1")->isVisible());
    QVERIFY(env.messages().empty());
  }

  void tableOnlyOpensInTableWithoutSwitch() {
    Env env;
    env.storeSettings();
    env.registry->writeInt(kSettingsKey, "TablOnly", 1);
    env.registry->writeInt(kSettingsKey, "GraphOnly", 0);
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    env.open(env.logFile());
    QCOMPARE(env.state.viewMode, ViewMode::Table);
    compareState(controlState(env), kTableOnly);
    QVERIFY(!env.action("N3")->isEnabled());
    QCOMPARE(env.cell(0, 0), QStringLiteral("83"));
    // The switch refuses to act while disabled, even when called directly.
    env.form->btn3Click();
    QCOMPARE(env.state.viewMode, ViewMode::Table);
  }

  void graphFileOpensInTableView() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    test::main_writeGraphFile(env.programDir / "drive.rtd", {{0x7B, 0x2C}, {0x7C, 0x2D}});
    env.start();
    const QString file = QString::fromStdString((env.programDir / "drive.rtd").string());
    env.open(file);
    QVERIFY(env.messages().empty());
    QCOMPARE(env.state.viewMode, ViewMode::Table);
    compareState(controlState(env), kTableOnly);
    QCOMPARE(env.form->windowTitle(), QStringLiteral("Открыт файл: ") + file);
    QCOMPARE(env.heading(0), kTemperature);
    QCOMPARE(env.grid()->model()->rowCount(), 2);
    QCOMPARE(env.cell(1, 0), QStringLiteral("84"));
    QCOMPARE(env.cell(1, 1), QStringLiteral("135"));

    // A text log opened next may be switched again.
    env.open(env.logFile());
    QVERIFY(env.button("btn3")->isEnabled());
    QCOMPARE(env.button("btn3")->text(), QStringLiteral("LOG"));
  }

  void lastProfileSettlesWorkingFolder() {
    Env env;
    env.storeSettings();
    env.registry->writeInt(kSettingsKey, "TablOnly", 1);
    env.registry->writeInt(kSettingsKey, "GraphOnly", 0);
    env.registry->writeString(kSettingsKey, "LastProfile", "Toyota");
    test::main_makeToyotaFolder(env.programDir);
    env.start();
    env.open(env.logFile());
    QCOMPARE(QString::fromStdString(env.state.profileCode), QStringLiteral("Toyota"));
    QCOMPARE(env.state.workingFolder, env.programDir / "Toyota");
    QCOMPARE(env.cell(1, 1), QStringLiteral("135"));
  }

  void xmlAndCsvLogsOpenInTableViewOnly_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("firstValue");
    QTest::newRow("xml") << "scan.xml" << QByteArray("<L><E><R sID=\"61\" Data=\"01 7B 2C\"/></E></L>")
                         << QStringLiteral("83");
    QTest::newRow("csv") << "scan.csv" << QByteArray("A;B;\r\n12.5;2;\r\n") << QStringLiteral("12,5");
    QTest::newRow("CSV") << "SCAN.CSV" << QByteArray("A,B,\r\n7,8,\r\n") << QStringLiteral("7");
  }
  void xmlAndCsvLogsOpenInTableViewOnly() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, firstValue);
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    test::writeFile(env.programDir / name.toStdString(), bytes.toStdString());
    env.start();
    const QString file = QString::fromStdString((env.programDir / name.toStdString()).string());
    env.open(file);
    QVERIFY(env.messages().empty());
    QCOMPARE(env.state.viewMode, ViewMode::Table);
    QCOMPARE(env.state.csvFlag, !name.endsWith(QStringLiteral(".xml")));
    compareState(controlState(env), kTableOnly);
    QCOMPARE(env.form->windowTitle(), QStringLiteral("Открыт файл: ") + file);
    QCOMPARE(env.cell(0, 0), firstValue);
  }

  void xmlThatDoesNotParseKeepsThePreviousView() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    test::writeFile(env.programDir / "broken.xml", "<L><E><R sID=\"61\"");
    env.start();
    env.open(env.logFile());
    const QString caption = env.form->windowTitle();
    const QString line = env.cell(2, 0);
    env.open(QString::fromStdString((env.programDir / "broken.xml").string()));
    QCOMPARE(env.messages().size(), std::size_t(1));
    QVERIFY(env.messages().at(0).starts_with("Ошибка разбора XML: "_w));
    compareState(controlState(env), kLogView);
    QCOMPARE(env.form->windowTitle(), caption);
    QCOMPARE(env.cell(2, 0), line);
  }

  void exportItemsWriteWhatTheViewShows() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    test::writeFile(env.programDir / "scan.csv", "A;B;\r\n12.5;Да;\r\n"_w);
    env.start();
    std::vector<std::filesystem::path> shown;
    env.form->exports().setDocumentOpener([&](const std::filesystem::path& f) {
      shown.push_back(f);
      return false;
    });
    env.open(QString::fromStdString((env.programDir / "scan.csv").string()));
    const std::filesystem::path out = env.programDir / "out";
    std::filesystem::create_directories(out);

    // "Экспорт в CSV": the CSV settings, kept for the protocol afterwards.
    env.chooser.answers.push_back(QString::fromStdString((out / "t.CSV").string()));
    env.action("CSV1")->trigger();
    const FileRequest& csv = env.chooser.requests.back();
    QCOMPARE(csv.mode, FileRequest::Mode::Save);
    QCOMPARE(csv.filter, QStringLiteral("CSV|*.CSV"));
    QCOMPARE(csv.defaultSuffix, QStringLiteral("*.CSV"));
    QCOMPARE(QString::fromStdString(test::readFile(out / "t.CSV")),
             QStringLiteral("LogID,LogEntryDate,LogEntryTime,LogEntrySeconds,LogNotes,A (),B (),\r\n0,,,,,12.5,1,\r\n"));

    // In Table view the result export writes a workbook and shows it; with
    // nothing to show it, a message says where it is.
    env.chooser.answers.push_back(QString::fromStdString((out / "t.xlsx").string()));
    env.action("ExpExcel1")->trigger();
    QCOMPARE(env.chooser.requests.back().filter, QStringLiteral("Excel|*.xlsx"));
    QVERIFY(std::filesystem::file_size(out / "t.xlsx") > 0);
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(env.messages().size(), std::size_t(1));
    QVERIFY(env.messages().back().starts_with("Нет программы для открытия книги Excel"_w));

    // Cancelling the dialog writes nothing.
    env.action("ExpExcel1")->trigger();
    QCOMPARE(shown.size(), std::size_t(1));

    // In LOG view of a text log: the protocol, with the dialog as the CSV
    // export left it. (The text log opens in the view the CSV log left.)
    env.open(env.logFile());
    if (env.state.viewMode != ViewMode::Log) env.button("btn3")->click();
    env.chooser.answers.push_back(QString::fromStdString((out / "p.log").string()));
    env.action("ExpExcel1")->trigger();
    QCOMPARE(env.chooser.requests.back().filter, QStringLiteral("CSV|*.CSV"));
    const std::string protocol = test::readFile(out / "p.log");
    QVERIFY(protocol.starts_with("\r\n"));
    QCOMPARE(toQString(protocol.substr(2, protocol.find("\r\n", 2) - 2)), toQString(env.form->grid().cell(0, 2)));
  }

  void xmlInUpperCaseIsReadAsTextLog() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    std::filesystem::copy_file(env.programDir / "drive.log", env.programDir / "drive.XML");
    env.start();
    env.open(QString::fromStdString((env.programDir / "drive.XML").string()));
    QVERIFY(env.messages().empty());
    compareState(controlState(env), kLogView);
    QCOMPARE(env.cell(2, 0), test::main_logLines().at(1));
  }

  void selectingCellFillsFields() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    env.open(env.logFile());
    env.button("btn3")->click();
    QTableView* grid = env.grid();
    grid->setCurrentIndex(grid->model()->index(1, 1));
    QCOMPARE(env.child<QLineEdit>("edt1")->text(),
             QStringLiteral("Давление топлива в топливной рампе по датчику давления топлива (kPa)"));
    QCOMPARE(env.child<QLineEdit>("edt2")->text(), QStringLiteral("135"));
    QCOMPARE(grid->toolTip(), QStringLiteral("135"));
    QCOMPARE(env.state.selectedColumn, 1);
    QCOMPARE(env.state.selectedRow, 3);  // grid row: two heading rows above

    // In LOG view the fields stay hidden and untouched; the cell is recorded.
    env.button("btn3")->click();
    QCOMPARE(grid->toolTip(), QStringLiteral("Для получения подсказки щелкните по соответствующей ячейке"));
    grid->setCurrentIndex(grid->model()->index(3, 0));
    QCOMPARE(env.state.selectedRow, 4);
    QCOMPARE(env.state.selectedColumn, 0);
    QCOMPARE(env.child<QLineEdit>("edt2")->text(), QStringLiteral("135"));
  }

  void exitDeletesDerivedFilesCloseBoxKeepsThem() {
    for (bool viaExit : {false, true}) {
      Env env;
      env.storeSettings();
      test::main_makeLocalProfileFolder(env.programDir);
      env.start();
      env.open(env.logFile());
      test::main_writeCp1251(env.programDir / "_TMP.ini", "x");
      QVERIFY(std::filesystem::exists(env.programDir / "_usesTblPids.ini") ||
              std::filesystem::exists(env.programDir / "_UsesTblPids.ini"));
      if (viaExit)
        env.button("btn2")->click();
      else
        env.form->close();
      QVERIFY(!env.form->isVisible());
      QVERIFY(env.form->programEnded());
      int derived = 0;
      for (const auto& entry : std::filesystem::directory_iterator(env.programDir)) {
        QString name = QString::fromStdString(entry.path().filename().string()).toLower();
        if (name == QStringLiteral("_tmp.ini") || name == QStringLiteral("_usestblpids.ini")) ++derived;
      }
      QCOMPARE(derived, viaExit ? 0 : 2);
      QVERIFY(std::filesystem::exists(env.programDir / "pids.ini"));
      QVERIFY(std::filesystem::exists(env.programDir / "drive.log"));
    }
  }

  void profileChangeRewritesCaption() {
    Env env;
    env.storeSettings();
    env.registry->writeString(kSettingsKey, "LastProfile", "Toyota");
    env.start();
    env.state.profileCode = "Nissan";  // the code in use; OK keeps it
    test::main_whenModal([](QWidget* dialog) {
      dialog->findChild<QPushButton*>(QStringLiteral("btnok"))->click();
    });
    env.button("btn6")->click();
    QVERIFY(!env.form->programEnded());
    QCOMPARE(QString::fromStdString(env.state.lastProfile), QStringLiteral("Nissan"));
    QCOMPARE(env.form->windowTitle(),
             QStringLiteral("Программа анализа лог-файлов и графиков    Профиль: Nissan"));
  }

  void profileCancelEndsProgram() {
    Env env;
    env.storeSettings();
    env.start();
    test::main_whenModal([](QWidget* dialog) {
      dialog->findChild<QPushButton*>(QStringLiteral("btncanc"))->click();
    });
    env.action("N37")->trigger();
    QVERIFY(env.form->programEnded());
    QVERIFY(!env.form->isVisible());
  }

  void profileDialogClosedWithoutChoiceStopsTheOpen() {
    Env env;
    env.storeSettings();
    test::main_makeToyotaFolder(env.programDir);
    env.start();
    test::main_whenModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    env.open(env.logFile());
    QCOMPARE(env.chooser.requests.size(), 0u);  // no file is asked for without a profile
    QVERIFY(!env.form->programEnded());
    compareState(controlState(env), kAtStart);
  }

  void missingHelpFileIsReported() {
    Env env;
    env.start();
    env.child<QAction>("mnuHelpContents")->trigger();
    QCOMPARE(env.messages().size(), std::size_t(1));
    QVERIFY(env.messages().at(0).find("TERVOLIN.HLP") != std::string::npos);
  }

  void layoutFollowsWindowSize() {
    Env env;
    env.start();
    env.form->resize(1000, 700);
    QCOMPARE(env.child<QLabel>("img1")->geometry(), QRect(5, 48, 1000 - 30, 700 - 122));
    QCOMPARE(env.child<QLineEdit>("edt1")->width(), 1000 - 430);
    // No control of the button panel overlaps another.
    const QList<QWidget*> row = {env.button("btn1"), env.button("btn6"), env.button("btn3"), env.button("btn5"),
                                 env.button("btn4"), env.button("btn2"), env.child<QLineEdit>("edt1")};
    for (int i = 1; i < row.size(); ++i) QVERIFY(row[i - 1]->geometry().right() < row[i]->geometry().left());
  }

  // ---- The desktop program around the Part's window ----

  // A LOG line wider than the column: the column is as wide as the line, the
  // line is the cell's tooltip, the boundary to the memo can be dragged and
  // stays where it was dragged; headings have the whole heading as tooltip.
  void logLinesAreReadable() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    const std::string wide = "TxD 82 10 F1 21 01 A5   " + std::string(300, '-') + " end";
    test::main_writeCp1251(env.programDir / "wide.log",
                           "Интервал между запросами тестера: 0,10\n" + wide + "\nRxD 84 F1 10 61 01 7B 2C 5E\n");
    env.start();
    env.open(QString::fromStdString((env.programDir / "wide.log").string()));
    QTableView* grid = env.grid();
    const QString line = QString::fromStdString(wide);
    QVERIFY(grid->columnWidth(0) > grid->fontMetrics().horizontalAdvance(line));
    QTRY_VERIFY(grid->horizontalScrollBar()->maximum() > 0);  // the grid scrolls to the line's end
    const QModelIndex cell = grid->model()->index(2, 0);
    QCOMPARE(cell.data(Qt::ToolTipRole).toString(), line);
    QVERIFY(!grid->model()->index(0, 0).data(Qt::ToolTipRole).isValid() ||
            grid->model()->index(0, 0).data(Qt::ToolTipRole).toString().isEmpty());  // row 1 is empty

    auto* splitter = env.child<QSplitter>("spl1");
    const int total = splitter->sizes().at(0) + splitter->sizes().at(1);
    splitter->setSizes({400, total - 400});
    emit splitter->splitterMoved(400, 1);
    env.form->resize(1300, 820);
    QCOMPARE(grid->width(), 400);
    env.button("btn3")->click();  // Table view: the grid alone, full width
    QCOMPARE(grid->width(), env.form->width() - 22);
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(),
             QStringLiteral("2101/0100\nДавление топлива в топливной рампе по датчику давления топлива (kPa)"));
    QVERIFY(!grid->model()->index(0, 0).data(Qt::ToolTipRole).isValid());  // values keep the grid's hint
    env.button("btn3")->click();
    QCOMPARE(grid->width(), 400);
  }

  // Every rebuild of a view starts at the top left, whatever was scrolled.
  void everyRebuildStartsAtTheTopLeft() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    std::string log = "Интервал между запросами тестера: 0,10\n";
    for (int i = 0; i < 400; ++i) log += "TxD 82 10 F1 21 01 A5 " + std::string(i % 7 == 0 ? 200 : 0, '.') + "\nRxD 84 F1 10 61 01 7B 2C 5E\n";
    test::main_writeCp1251(env.programDir / "long.log", log);
    env.start();
    env.open(QString::fromStdString((env.programDir / "long.log").string()));
    QTableView* grid = env.grid();
    const auto scrollAway = [&] {
      grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
      grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
      QVERIFY(grid->verticalScrollBar()->value() > 0);
    };
    const auto atTopLeft = [&] {
      QCOMPARE(grid->verticalScrollBar()->value(), 0);
      QCOMPARE(grid->horizontalScrollBar()->value(), 0);
    };
    scrollAway();
    env.button("btn3")->click();  // to Table
    atTopLeft();
    scrollAway();
    env.action("N6")->trigger();  // "Обновить"
    atTopLeft();
    scrollAway();
    env.button("btn3")->click();  // back to LOG
    atTopLeft();
    scrollAway();
    env.open(env.logFile());
    atTopLeft();
  }

  // A read that ends early: the records before it are shown, and the user is
  // told once, after the read, in the program's own words. The log's
  // interval is read with either decimal mark.
  void readErrorIsToldOnceAfterTheRead() {
    Env env;
    env.storeSettings();
    env.state.decimalMark = '.';  // the logs write "0,10"
    env.registry->writeInt(kSettingsKey, "TablOnly", 1);
    test::main_makeLocalProfileFolder(env.programDir);
    const std::filesystem::path cut = env.programDir / "cut.log";
    test::main_writeCp1251(cut,
                           "Интервал между запросами тестера: 0,10\nTxD 82 10 F1 21 01 A5\n"
                           "RxD 84 F1 10 61 01 7B 2C 5E\nИнтервал между запросами тестера: x\n"
                           "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 7C 2D 5E\n");
    env.start();
    env.open(env.logFile());
    QVERIFY(env.messages().empty());
    QCOMPARE(env.grid()->model()->rowCount(), 2);  // the comma interval did not end the read
    QCOMPARE(env.state.requestInterval, 0.1);
    env.open(QString::fromStdString(cut.string()));
    const std::vector<std::string> told = env.messages();
    QCOMPARE(told.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(cp1251ToUtf8(told[0])),
             QStringLiteral("Чтение файла %1 прервано в строке 4 (байт 89): интервал между запросами «x» не "
                            "является числом.\nПоказаны записи, прочитанные до этого места: 2.\nПрочитанные "
                            "записи сохранены в файле %2.")
                 .arg(QString::fromStdString(cut.string()), QString::fromStdString((env.programDir / "error_ini.txt").string())));
    QCOMPARE(env.grid()->model()->rowCount(), 1);
    QCOMPARE(env.cell(0, 0), QStringLiteral("83"));
  }

  // A log with many bad lines: ten boxes, then one question for the rest, in
  // every open afresh.
  void repeatedMessagesAreCappedPerOpen() {
    Env env;
    env.capped = true;
    env.storeSettings();
    env.registry->writeInt(kSettingsKey, "TablOnly", 1);
    test::main_makeLocalProfileFolder(env.programDir);
    const std::filesystem::path bad = env.programDir / "bad.log";
    std::string log = "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 7B 2C 5E\n";
    for (int i = 0; i < 25; ++i) log += "TxD G2 10 F1 21 01 A5 " + std::to_string(i) + "\n";
    test::main_writeCp1251(bad, log);
    env.start();
    for (int round = 1; round <= 2; ++round) {
      env.open(QString::fromStdString(bad.string()));
      QCOMPARE(env.messages().size(), std::size_t(10 * round));
      QCOMPARE(env.messages().back(), std::string("TxD G2 10 F1 21 01 A5 9"));
      const auto questions = env.channel.texts(ScriptedChannel::Event::YesNo);
      QCOMPARE(questions.size(), std::size_t(round));
      QCOMPARE(QString::fromStdString(cp1251ToUtf8(questions.back())),
               QStringLiteral("Ещё 15 похожих сообщений. Показывать их?"));
    }
  }

  // The fields above the grid are emptied by every open.
  void openEmptiesTheFields() {
    Env env;
    env.storeSettings();
    env.registry->writeInt(kSettingsKey, "TablOnly", 1);
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    env.open(env.logFile());
    env.grid()->setCurrentIndex(env.grid()->model()->index(1, 1));
    QCOMPARE(env.child<QLineEdit>("edt2")->text(), QStringLiteral("135"));
    env.open(env.logFile());
    QCOMPARE(env.child<QLineEdit>("edt1")->text(), QString());
    QCOMPARE(env.child<QLineEdit>("edt2")->text(), QString());
  }

  // The status bar: the profile in force with its name from the tree, then
  // the file, its kind, the counts and the time of the open.
  void statusBarTellsWhatIsOpen() {
    Env env;
    env.storeSettings();
    env.registry->writeString(kSettingsKey, "LastProfile", "Toyota");
    test::main_makeToyotaFolder(env.programDir);
    env.start();
    QCOMPARE(env.child<QLabel>("lblProfile")->text(), QStringLiteral("Профиль: Toyota (Тойота)"));
    QVERIFY(!env.child<QLabel>("lblFile")->isVisible());
    env.open(env.logFile());
    QCOMPARE(env.child<QLabel>("lblFile")->text(), QStringLiteral("drive.log"));
    QCOMPARE(env.child<QLabel>("lblFile")->toolTip(), env.logFile());
    QCOMPARE(env.child<QLabel>("lblKind")->text(), QStringLiteral("Текстовый лог"));
    QCOMPARE(env.child<QLabel>("lblCounts")->text(), QStringLiteral("Записей: 4 · строк лога: 5"));
    QVERIFY(env.child<QLabel>("lblTime")->text().startsWith(QStringLiteral("Открыт за ")));
    env.button("btn3")->click();
    QCOMPARE(env.child<QLabel>("lblCounts")->text(), QStringLiteral("Записей: 4"));
    QVERIFY(env.child<QLabel>("lblRows")->isVisible());  // the table's rows have their own text
  }

  // The last files opened come back in "Файл" / "Последние файлы", newest
  // first, also in the next run; one of them opens as the open command with
  // that file; a file gone is said so and leaves the list.
  void recentFilesReopen() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    std::filesystem::copy_file(env.programDir / "drive.log", env.programDir / "second.log");
    const QString second = QString::fromStdString((env.programDir / "second.log").string());
    env.start();
    auto* recent = env.child<QMenu>("mnuRecent");
    QVERIFY(!recent->menuAction()->isEnabled());
    env.open(env.logFile());
    env.open(second);
    env.open(env.logFile());
    QCOMPARE(env.action("mnuRecent1")->toolTip(), env.logFile());
    QCOMPARE(env.action("mnuRecent2")->toolTip(), second);
    QVERIFY(!env.form->findChild<QAction*>(QStringLiteral("mnuRecent3")));
    QVERIFY(recent->menuAction()->isEnabled());

    // The next run shows the same list; a recent entry opens without the dialog.
    Env next;
    next.registry = std::make_unique<QtRegistry>(env.tmp.filePath(QStringLiteral("settings.ini")));
    next.state.programDir = env.programDir;
    next.state.decimalMark = ',';
    next.start();
    next.action("mnuRecent2")->trigger();
    QCOMPARE(next.chooser.requests.size(), 0u);
    QCOMPARE(next.state.openFileName, env.programDir / "second.log");
    QCOMPARE(next.action("mnuRecent1")->toolTip(), second);

    std::filesystem::remove(env.programDir / "drive.log");
    next.action("mnuRecent2")->trigger();
    QCOMPARE(next.messages().back(), std::string("Файл не найден: "_w) + (env.programDir / "drive.log").string());
    QCOMPARE(next.state.openFileName, env.programDir / "second.log");
    QCoreApplication::processEvents();
    QVERIFY(!next.form->findChild<QAction*>(QStringLiteral("mnuRecent2")));
    next.action("mnuRecentClear")->trigger();
    QVERIFY(!next.child<QMenu>("mnuRecent")->menuAction()->isEnabled());
  }

  // A file dropped on the window opens as the open command with that file.
  void droppedFileOpens() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(env.logFile())});
    QDragEnterEvent enter(QPoint(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(env.form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(env.form.get(), &drop);
    QTRY_COMPARE(env.state.openFileName, env.programDir / "drive.log");
    QCOMPARE(env.chooser.requests.size(), 0u);
    QCOMPARE(env.form->windowTitle(), QStringLiteral("Открыт файл: ") + env.logFile());
    compareState(controlState(env), kLogView);
  }

  // The window's place comes back at the next start, fitted to the screen.
  void windowPlaceComesBack() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    Env env;
    env.form = std::make_unique<TForm1>(env.state, *env.registry, env.channel, env.chooser);
    QVERIFY(screen.contains(env.form->geometry()));  // the first start fits the screen
    env.form->show();
    env.form->setGeometry(screen.x() + 20, screen.y() + 30, 730, 430);
    env.form->close();
    Env next;
    next.registry = std::make_unique<QtRegistry>(env.tmp.filePath(QStringLiteral("settings.ini")));
    next.form = std::make_unique<TForm1>(next.state, *next.registry, next.channel, next.chooser);
    QCOMPARE(next.form->geometry(), QRect(screen.x() + 20, screen.y() + 30, 730, 430));
    // A stored place larger than the screen shrinks to it.
    storeWindowPlace(*next.registry, {0, 0, screen.width() * 2, screen.height() * 2, true});
    TForm1 fitted(next.state, *next.registry, next.channel, next.chooser);
    QVERIFY(screen.contains(fitted.geometry()));
    QVERIFY(fitted.windowState() & Qt::WindowMaximized);
  }

  // "Помощь" opens a help file put beside the program, or else the program's
  // own guide; the build places the guide beside the executable.
  void helpOpensTheGuide() {
    QVERIFY(std::filesystem::is_regular_file(std::filesystem::path(TERVOLIN_BIN_DIR) / "tervolin_help.html"));
    Env env;
    env.start();
    std::vector<std::filesystem::path> opened;
    env.form->setDocumentOpener([&](const std::filesystem::path& file) {
      opened.push_back(file);
      return true;
    });
    std::filesystem::copy_file(std::filesystem::path(TERVOLIN_BIN_DIR) / "tervolin_help.html",
                               env.programDir / "tervolin_help.html");
    env.action("mnuHelpContents")->trigger();
    test::main_writeCp1251(env.programDir / "tervolin.hlp", "help");
    env.action("mnuHelpContents")->trigger();
    QCOMPARE(opened, (std::vector<std::filesystem::path>{env.programDir / "tervolin_help.html",
                                                          env.programDir / "tervolin.hlp"}));
    QVERIFY(env.messages().empty());
    env.form->setDocumentOpener([](const std::filesystem::path&) { return false; });
    env.action("mnuHelpContents")->trigger();
    QCOMPARE(env.messages().size(), std::size_t(1));
  }

  // A menu with nothing in it is disabled, whatever the view allows.
  void emptyMenusAreDisabled() {
    Env env;
    env.storeSettings();
    test::main_makeLocalProfileFolder(env.programDir);
    env.start();
    env.open(env.logFile());
    QVERIFY(env.menuEnabled("N10"));
    env.child<QMenu>("N10")->clear();
    env.open(env.logFile());
    QVERIFY(!env.menuEnabled("N10"));
    QVERIFY(env.menuEnabled("N19"));
  }

  // With TERVOLIN_SCREENSHOTS set to a folder, saves pictures of the main
  // window on the bundled samples: LOG view with a wide line and the
  // splitter, Table view with the status bar, the recent files menu and the
  // open dialog in Russian.
  void screenshots() {
    const QString folder = qEnvironmentVariable("TERVOLIN_SCREENSHOTS");
    if (folder.isEmpty()) QSKIP("TERVOLIN_SCREENSHOTS not set");
    // The program's dialogs as main() sets them up: in Russian.
    std::unique_ptr<QTranslator> translator(installQtTranslations(*QCoreApplication::instance()));
    Env env;
    std::string error;
    QVERIFY(loggen::writeFiles(env.programDir, loggen::sampleFolder(), error));
    env.storeSettings();
    env.registry->writeString(kSettingsKey, "LastProfile", "Toyota");
    env.start();
    env.form->resize(1280, 760);
    const auto logs = env.programDir / "logs";
    env.open(pathToQString(logs / "toyota_interval_comma.log"));
    env.open(pathToQString(logs / "toyota_zapros_otvet.log"));
    env.grid()->setCurrentIndex(env.grid()->model()->index(3, 0));
    QTest::qWait(200);
    QVERIFY(env.form->grab().save(folder + "/main_log_view.png"));
    env.grid()->horizontalScrollBar()->setValue(env.grid()->horizontalScrollBar()->maximum() / 2);
    auto* splitter = env.child<QSplitter>("spl1");
    splitter->setSizes({560, splitter->width() - 565});
    emit splitter->splitterMoved(560, 1);
    QTest::qWait(200);
    QVERIFY(env.form->grab().save(folder + "/main_log_splitter.png"));
    env.button("btn3")->click();
    QTest::qWait(200);
    QVERIFY(env.form->grab().save(folder + "/main_table_view.png"));
    auto* fileMenu = env.child<QMenu>("mnuFile");
    fileMenu->popup(env.form->mapToGlobal(QPoint(0, 20)));
    auto* recent = env.child<QMenu>("mnuRecent");
    recent->popup(env.form->mapToGlobal(QPoint(200, 60)));
    QTest::qWait(300);
    QVERIFY(recent->grab().save(folder + "/recent_files.png"));
    QVERIFY(fileMenu->grab().save(folder + "/file_menu.png"));
    recent->close();
    fileMenu->close();
    QtFileChooser chooser(env.form.get());
    test::main_whenModal([&](QWidget* dialog) {
      QTest::qWait(300);
      QVERIFY(dialog->grab().save(folder + "/open_dialog.png"));
      static_cast<QDialog*>(dialog)->reject();
    });
    FileRequest request;
    request.title = QStringLiteral("Открыть лог-файл");
    request.filter = QStringLiteral("Логи программы диагностики|*.log|Графики программы диагностики|*.rtd|"
                                    "Логи Ventrix|*.xml|Логи в формате CSV|*.csv|Все файлы|*");
    request.startFolder = logs;
    chooser.choose(request);
  }
};

// The model and the filter translation, without a window.
class GridModelTest : public QObject {
  Q_OBJECT
 private slots:
  void convertsWindows1251() {
    QCOMPARE(toQString("Ёж ъ №1"_w), QStringLiteral("Ёж ъ №1"));
    QCOMPARE(toQString(std::string_view("\x98", 1)), QString(QChar(0xFFFD)));
    QCOMPARE(toQString(""), QString());
  }

  void headingRowsBecomeHeader() {
    Grid grid;
    grid.setColumnCount(2);
    grid.setRowCount(4);
    grid.setFixedRows(2);
    grid.setCell(0, 0, "2101/0000");
    grid.setCell(0, 1, "Обороты (rpm)"_w);
    grid.setCell(1, 3, "42");
    GridModel model(grid);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("2101/0000\nОбороты (rpm)"));
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("42"));
    QCOMPARE(model.gridRow(1), 3);
    QCOMPARE(model.modelRow(3), 1);
  }

  void staleCountsNeverReadPastTheGrid() {
    Grid grid;
    grid.setColumnCount(3);
    grid.setRowCount(10);
    grid.setFixedRows(1);
    grid.setCell(2, 9, "last");
    GridModel model(grid);
    const QModelIndex last = model.index(8, 2);
    QCOMPARE(model.data(last).toString(), QStringLiteral("last"));
    grid.setRowCount(2);
    grid.setColumnCount(1);
    QVERIFY(!model.data(last).isValid());
    QVERIFY(!model.headerData(2, Qt::Horizontal).isValid());
    model.reload();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 1);
  }

  void fixedRowsBeyondTheGridAreClamped() {
    Grid grid;
    grid.setColumnCount(1);
    grid.setRowCount(1);
    grid.setFixedRows(2);
    GridModel model(grid);
    QCOMPARE(model.rowCount(), 0);
  }

  void translatesProgramFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("want");
    QTest::newRow("two kinds") << "Логи|*.log|Графики|*.rtd"
                               << QStringList{QStringLiteral("Логи (*.log)"), QStringLiteral("Графики (*.rtd)")};
    QTest::newRow("several masks") << "Программы|orvik.exe;marvela.exe"
                                   << QStringList{QStringLiteral("Программы (orvik.exe marvela.exe)")};
    QTest::newRow("dangling description") << "Логи|*.log|Лишнее" << QStringList{QStringLiteral("Логи (*.log)")};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("no description") << "|*.csv" << QStringList{QStringLiteral("*.csv")};
  }
  void translatesProgramFilters() {
    QFETCH(QString, filter);
    QTEST(qtNameFilters(filter), "want");
  }
};

// Qt's own dialogs speak the program's language once its translations are in.
class TranslationsTest : public QObject {
  Q_OBJECT
 private slots:
  void qtDialogsSpeakRussian() {
    QTranslator* translator = installQtTranslations(*QCoreApplication::instance());
    QVERIFY2(translator, "Qt's Russian translations are not installed (qt6-translations-l10n)");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Open"), QStringLiteral("Открыть"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Перейти к:"));
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
};

// Long work of the main window off the GUI thread: the open of a large log
// cancelled half-way leaves the previous table, file and derived files as
// they were; questions and messages raised by the worker are answered on the
// GUI thread, in order, before the work goes on.
class LongWorkTest : public QObject {
  Q_OBJECT

  // A program folder with the benchmark profile (Toyota, 300 definitions of
  // eight request codes), a short log that polls 21 02 and a long one that
  // polls 21 01.
  static void writeProfile(Env& env) {
    std::string error;
    auto files = loggen::benchProfileFiles();
    std::string previous = loggen::bigLog(40);
    for (const auto& [from, to] : {std::pair<std::string_view, std::string_view>{"21 01", "21 02"}, {"61 01", "61 02"}})
      for (std::size_t at = previous.find(from); at != std::string::npos; at = previous.find(from, at))
        previous.replace(at, from.size(), to);
    files.push_back({"previous.log", previous});
    files.push_back({"large.log", loggen::bigLog(400'000)});
    QVERIFY(loggen::writeFiles(env.programDir, files, error));
    env.storeSettings();
    env.registry->writeString(kSettingsKey, "LastProfile", "Toyota");
  }
  static QString file(const Env& env, const char* name) {
    return QString::fromStdString((env.programDir / name).string());
  }
  static std::vector<QStringList> rows(const Env& env) {
    std::vector<QStringList> out;
    QAbstractItemModel* model = env.grid()->model();
    for (int r = 0; r < model->rowCount(); ++r) {
      QStringList row;
      for (int c = 0; c < model->columnCount(); ++c) row << model->index(r, c).data().toString();
      out.push_back(row);
    }
    return out;
  }
  static ProgressDialog* progressDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<ProgressDialog*>(w)) return d;
    return nullptr;
  }

 private slots:
  void cancelledOpenLeavesThePreviousTable() {
    Env env;
    writeProfile(env);
    env.start();
    env.open(file(env, "previous.log"));
    env.button("btn3")->click();  // to the Table view
    QCOMPARE(env.state.viewMode, ViewMode::Table);
    const std::vector<QStringList> before = rows(env);
    QVERIFY(before.size() > 10);
    const QString title = env.form->windowTitle();
    const std::size_t records = env.state.records.size();
    const std::filesystem::path used = env.programDir / "Toyota" / "_usesTblPids.ini";
    const std::string usedBefore = test::readFile(used);
    QVERIFY(!usedBefore.empty());

    // Once the open of the large log has written its used-parameter file
    // (its reading under way), "Отмена".
    bool cancelled = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      if (cancelled || test::readFile(used) == usedBefore) return;
      if (ProgressDialog* d = progressDialog()) {
        d->reject();
        cancelled = true;
      }
    });
    poll.start(1);
    env.open(file(env, "large.log"));
    poll.stop();
    QVERIFY(cancelled);

    QCOMPARE(rows(env), before);
    QCOMPARE(env.state.viewMode, ViewMode::Table);
    QCOMPARE(env.state.records.size(), records);
    QCOMPARE(env.state.openFileName, env.programDir / "previous.log");
    QCOMPARE(env.form->windowTitle(), title);
    QCOMPARE(test::readFile(used), usedBefore);
    // The table is built again from the records kept, as before.
    env.action("N6")->trigger();
    QCOMPARE(rows(env), before);
  }

  void workerQuestionsAndMessagesComeInOrder() {
    Env env;
    writeProfile(env);
    // A definition file of 301 lines: the question whether to break off,
    // raised while the worker loads it; answered No, the open goes on.
    std::string pids = test::readFile(env.programDir / "pids" / "Toyota" / "Powertrain" / "pids.ini");
    pids += "X\r\n";
    test::writeFile(env.programDir / "pids" / "Toyota" / "Powertrain" / "pids.ini", pids);
    // A request line whose format byte is not hex: a message from the reading.
    std::string log = test::readFile(env.programDir / "previous.log");
    log += "[12:00:10.000] TxD ZZ 10 F1 21 02 A6\r\n";
    test::writeFile(env.programDir / "previous.log", log);
    env.start();
    env.open(file(env, "previous.log"));
    const auto& events = env.channel.events;
    const auto question = std::find_if(events.begin(), events.end(),
                                       [](const auto& e) { return e.kind == ScriptedChannel::Event::YesNo; });
    const auto badLine = std::find_if(events.begin(), events.end(), [](const auto& e) {
      return e.kind == ScriptedChannel::Event::Message && e.text.find("TxD ZZ") != std::string::npos;
    });
    QVERIFY(question != events.end());
    QVERIFY(badLine != events.end());
    QVERIFY(question < badLine);  // the definitions are loaded before the log is read
    QCOMPARE(env.state.openFileName, env.programDir / "previous.log");

    // The Table view's placement question, from the worker too: Yes stops
    // the build where the rows run out.
    env.form->grid().setMaxRows(5);
    env.channel.yesNoAnswers = {true};
    const auto asked = [&] { return env.channel.texts(ScriptedChannel::Event::YesNo).size(); };
    const std::size_t questions = asked();
    env.button("btn3")->click();
    QCOMPARE(asked(), questions + 1);
    QVERIFY(env.channel.texts(ScriptedChannel::Event::YesNo).back().find("Хотите прервать?"_w) != std::string::npos);
    QCOMPARE(env.state.viewMode, ViewMode::Table);
    QCOMPARE(env.form->grid().rowCount(), 5);
  }

  // With TERVOLIN_SCREENSHOTS set to a folder, a picture of the progress
  // dialog of a large open, taken once it shows lines read; then cancelled.
  void screenshots() {
    const QString folder = qEnvironmentVariable("TERVOLIN_SCREENSHOTS");
    if (folder.isEmpty()) QSKIP("TERVOLIN_SCREENSHOTS not set");
    Env env;
    writeProfile(env);
    std::string error;
    QVERIFY(loggen::writeFiles(env.programDir, {{"huge.log", loggen::bigLog(3'000'000)}}, error));
    env.start();
    bool taken = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      ProgressDialog* d = progressDialog();
      if (taken || !d || !d->isVisible() || !d->lblLines->isVisible()) return;
      QVERIFY(d->grab().save(folder + "/open_progress.png"));
      QVERIFY(env.form->grab().save(folder + "/open_progress_window.png"));
      taken = true;
      d->reject();
    });
    poll.start(20);
    env.open(file(env, "huge.log"));
    QVERIFY(taken);
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int status = 0;
  {
    TranslationsTest translations;
    status |= QTest::qExec(&translations, argc, argv);
  }
  {
    GridModelTest models;
    status |= QTest::qExec(&models, argc, argv);
  }
  {
    MainWindowTest windows;
    status |= QTest::qExec(&windows, argc, argv);
  }
  {
    LongWorkTest longWork;
    status |= QTest::qExec(&longWork, argc, argv);
  }
  return status;
}

#include "main_window_test.moc"
