// The main window driven through its controls' object names, with a scripted
// message channel and open dialog, a throw-away program folder and a
// throw-away settings file.

#include <QAction>
#include <QDialog>
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
    form = std::make_unique<TForm1>(state, *registry, channel, chooser);
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
                            "Логи Ventrix|*.xml|Логи в формате CSV|*.csv"));
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
    QCOMPARE(env.grid()->columnWidth(0), 250);
    QCOMPARE(env.grid()->width(), 280);
    const QStringList lines = test::main_logLines();
    QCOMPARE(env.grid()->model()->rowCount(), lines.size() + 1);
    QCOMPARE(env.cell(0, 0), QString());
    for (int k = 0; k < lines.size(); ++k) QCOMPARE(env.cell(k + 1, 0), lines[k]);
    QCOMPARE(env.child<QPlainTextEdit>("mmo1")->toPlainText(),
             QStringLiteral("А здесь расшифровка той строки, \nна которой вы щелкнули мышкой\n\n."));
    QCOMPARE(env.child<QPlainTextEdit>("mmo1")->geometry().left(), 285);
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

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int status = 0;
  {
    GridModelTest models;
    status |= QTest::qExec(&models, argc, argv);
  }
  {
    MainWindowTest windows;
    status |= QTest::qExec(&windows, argc, argv);
  }
  return status;
}

#include "main_window_test.moc"
