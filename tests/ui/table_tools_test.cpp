// The table tools in the main window, on the bundled sample folder: the
// explanation box in LOG view, the fields in Table view, the filter dialog
// with the row count, the column choice window, the layout kept across a
// rebuild, the grid's keys and pop-up menu, and editing into the core grid.
//
// With TERVOLIN_SHOTS set to a folder, the windows are saved there as PNG
// pictures on the way (run under a real display for screenshots).

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "bench/loggen/loggen.h"
#include "common/text.h"
#include "profiles/ui/profile_dialog.h"
#include "profiles/ui/settings_dialog.h"
#include "qt/qt_registry.h"
#include "qt/qt_text.h"
#include "support/test_support.h"
#include "table/ui/grid_model.h"
#include "ui/support/main_fixture.h"
#include "ui/support/scripted_file_chooser.h"

using namespace tervolin;
using tervolin::test::ScriptedChannel;

namespace {

void shot(QWidget* widget, const QString& name) {
  const QByteArray folder = qgetenv("TERVOLIN_SHOTS");
  if (folder.isEmpty()) return;
  QCoreApplication::processEvents();
  widget->grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// A main window on a fresh copy of the sample folder, profile `profile`
// stored as the last one.
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

  explicit Env(const char* profile) {
    programDir = std::filesystem::path(tmp.path().toStdString()) / "prog";
    std::string error;
    if (!loggen::writeFiles(programDir, loggen::sampleFolder(), error)) qFatal("%s", error.c_str());
    registry = std::make_unique<QtRegistry>(tmp.filePath(QStringLiteral("settings.ini")));
    registry->writeString(kSettingsKey, "OrvikPath", "");
    registry->writeInt(kSettingsKey, "AutoTabl", 0);
    registry->writeInt(kSettingsKey, "TablOnly", 0);
    registry->writeInt(kSettingsKey, "GraphOnly", 0);
    registry->writeString(kSettingsKey, "LastProfile", profile);
    state.programDir = programDir;
    form = std::make_unique<TForm1>(state, *registry, channel, chooser);
    settings = std::make_unique<TForm9>(state, *registry, channel, chooser, form.get());
    profiles = std::make_unique<TForm8>(state, *registry, channel, *settings, form.get());
    form->setDialogs(profiles.get(), settings.get());
    form->resize(1200, 760);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  }
  void open(const char* log) {
    chooser.answers.push_back(pathToQString(programDir / "logs" / log));
    form->OpenDLGClick();
  }
  template <class T>
  T* child(const char* name) const {
    T* w = form->findChild<T*>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
  }
  QAction* action(const char* name) const { return child<QAction>(name); }
  QTableView* grid() const { return child<QTableView>("sg1"); }
  const Grid& core() const { return form->grid(); }
  // Clicks the grid cell of grid row `row`.
  void select(int column, int row) {
    auto& model = form->gridModel();
    grid()->setCurrentIndex(model.index(model.modelRow(row), column));
  }
  // The first grid row (from row 1) whose line contains `text` and `also`.
  int rowWith(std::string_view text, std::string_view also = {}) const {
    for (int r = 1; r < core().rowCount(); ++r) {
      const std::string_view line = core().cell(0, r);
      if (line.find(text) != std::string_view::npos && line.find(also) != std::string_view::npos) return r;
    }
    qFatal("no line with %s", std::string(text).c_str());
  }
  QString memo() const { return child<QPlainTextEdit>("mmo1")->toPlainText(); }
  std::vector<std::string> messages() const { return channel.texts(ScriptedChannel::Event::Message); }
};

}  // namespace

class TableToolsTest : public QObject {
  Q_OBJECT

 private slots:
  void explainsEveryKindOfLine() {
    Env env("B797");
    env.open("b797_trouble_codes.log");
    QCOMPARE(env.state.viewMode, ViewMode::Log);
    const struct {
      const char* shotName;
      std::string_view line;
      QString expected;
    } cases[] = {
        {"explain_b797_request", "TxD 82 10 F1 21 01 A5", QStringLiteral("Передача запроса к ECU Обороты двигателя")},
        {"explain_b797_response", "RxD 80 F1 10 12 61 01", QStringLiteral("Ответ ECU на запрос - Обороты двигателя: ")},
        {"explain_b797_session", "RxD 82 F1 10 50 81", QStringLiteral("Согласен начать сессию диагностики")},
        {"explain_b797_unknown_pid", "RxD 82 F1 10 61 02", QStringLiteral("Нет описания PID 21 02 Значение: ")},
        {"explain_b797_trouble_codes", "RxD 8B F1 10 58 03", QStringLiteral("Код ошибки: 0301 Пропуски воспламенения, цилиндр 1")},
        {"explain_b797_noise", "Соединение установлено"_w, QStringLiteral("Эта строка не запрос и не ответ!")},
    };
    for (const auto& c : cases) {
      const int row = env.rowWith(c.line);
      env.select(0, row);
      QVERIFY2(env.memo().contains(c.expected), qPrintable(env.memo()));
      QCOMPARE(env.state.selectedRow, row);
      shot(env.form.get(), QString::fromLatin1(c.shotName));
    }
    // The trouble-code list shows its box with the line and the codes.
    env.select(0, env.rowWith("RxD 8B F1 10 58 03"));
    const std::vector<std::string> boxes = env.messages();
    QVERIFY(!boxes.empty());
    QVERIFY(boxes.back().find("|03 03 01 24") != std::string::npos);
    QVERIFY(env.memo().startsWith(QStringLiteral("Кол-во ошибок: 3\n")));
  }

  void explainsTheOtherSampleLogs() {
    const struct {
      const char* profile;
      const char* log;
      std::string_view line;
      QString expected;
      std::string_view also = {};
    } cases[] = {
        {"B1797V", "b1797v_trouble_codes.log", "RxD 8B F1 10 58 03",
         QStringLiteral("Код ошибки: 0301 Пропуски воспламенения в 1 цилиндре")},
        {"OBDII", "obd2_kwp.log", "RxD 84 F1 10 41 0C", QStringLiteral("Ответ ECU на запрос - Обороты двигателя: ")},
        {"OBDII", "obd2_kwp.log", "RxD 83 F1 10 7F 01 12", QStringLiteral("Ответ ECU: Неверный запрос!")},
        {"OBDII", "obd2_elm_adapter.log", "TxD 01 0C", QStringLiteral("Передача запроса к ECU Обороты двигателя")},
        {"OBDII", "obd2_elm_adapter.log", "RxD 41 0C", QStringLiteral("Ответ ECU на запрос - Обороты двигателя: ")},
        {"Toyota", "toyota_zapros_otvet.log", "F1 10 61 01", QStringLiteral("Ответ ECU на запрос - Обороты двигателя: ")},
        {"GreatWall", "greatwall_length_byte.log", "RxD 80 F1 10", QStringLiteral("Ответ ECU на запрос - Обороты двигателя: "),
         " 61 01 "},
        {"Nissan", "nissan_6digit.log", "TxD 83 10 F1 21 01 02", QStringLiteral("Передача запроса к ECU Обороты двигателя")},
    };
    for (const auto& c : cases) {
      Env env(c.profile);
      env.open(c.log);
      env.select(0, env.rowWith(c.line, c.also));
      QVERIFY2(env.memo().contains(c.expected), qPrintable(QString::fromLatin1(c.log) + ": " + env.memo()));
      shot(env.form.get(), QStringLiteral("explain_") + QString::fromLatin1(c.log).section('.', 0, 0) + "_" +
                               QString::number(&c - cases));
    }
  }

  void filterDialogNarrowsTheTableAndCountsRows() {
    Env env("Toyota");
    env.open("toyota_zapros_otvet.log");
    env.form->btn3Click();  // to Table view
    QCOMPARE(env.state.viewMode, ViewMode::Table);
    const int full = env.core().rowCount() - 2;
    QCOMPARE(env.child<QLabel>("lblRows")->text(),
             toQString(std::string("Строк: "_w)) + QLocale::c().toString(full).replace(',', ' ') + " из " +
                 QLocale::c().toString(full).replace(',', ' '));

    // Selecting a cell fills the two fields.
    env.select(2, 5);
    QCOMPARE(env.child<QLineEdit>("edt1")->text(), QStringLiteral("Обороты двигателя (об/мин)"));
    QCOMPARE(env.child<QLineEdit>("edt2")->text(), toQString(env.core().cell(2, 5)));

    QStringList items;
    test::main_whenModal([&](QWidget* dialog) {
      auto* cbb1 = dialog->findChild<QComboBox*>(QStringLiteral("cbb1"));
      for (int i = 0; i < cbb1->count(); ++i) items << cbb1->itemText(i);
      cbb1->setEditText(QStringLiteral("Обороты двигателя  2101"));
      dialog->findChild<QComboBox*>(QStringLiteral("cbb2"))->setEditText(QStringLiteral(">"));
      dialog->findChild<QLineEdit*>(QStringLiteral("edt2"))->setText(QStringLiteral("1500"));
      shot(dialog, QStringLiteral("filter_dialog"));
      dialog->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    });
    QTest::mouseClick(env.child<QPushButton>("btn5"), Qt::LeftButton);
    QVERIFY(items.contains(QStringLiteral("Температура ОЖ  2101")));
    const int left = env.core().rowCount() - 2;
    QVERIFY(left > 0 && left < full);
    for (int r = 2; r < env.core().rowCount(); ++r) QVERIFY(std::stod(std::string(env.core().cell(2, r))) > 1500);
    QCOMPARE(env.form->gridModel().rowCount(), left);
    QVERIFY(env.child<QLabel>("lblRows")->text().startsWith(QStringLiteral("Строк: ") + QString::number(left) + " из "));
    shot(env.form.get(), QStringLiteral("filtered_table"));

    // The dialog keeps the last condition; "Очистить фильтр" brings every row back.
    QString kept;
    test::main_whenModal([&](QWidget* dialog) {
      kept = dialog->findChild<QComboBox*>(QStringLiteral("cbb1"))->currentText() +
             dialog->findChild<QLineEdit*>(QStringLiteral("edt2"))->text();
      dialog->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
    });
    env.action("mnuFilter")->trigger();
    QCOMPARE(kept, QStringLiteral("Обороты двигателя  21011500"));
    QCOMPARE(env.core().rowCount() - 2, left);
    env.action("mnuClearFilter")->trigger();
    QCOMPARE(env.core().rowCount() - 2, full);
  }

  void columnChoiceAndLayoutSurviveARebuild() {
    Env env("GreatWall");
    env.open("greatwall_length_byte.log");
    env.form->btn3Click();
    const int columns = env.core().columnCount();
    const std::string second(env.core().cell(1, 0));

    // Hide the second column in the choice window and apply.
    int listed = 0;
    QString key, before, after;
    test::main_whenModal([&](QWidget* dialog) {
      auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("s_pids"));
      listed = table->rowCount();
      key = table->item(1, 0)->text();
      before = table->item(1, 2)->text();
      table->setCurrentCell(1, 1);
      emit table->cellDoubleClicked(1, 1);
      after = table->item(1, 2)->text();
      shot(dialog, QStringLiteral("column_choice"));
      dialog->findChild<QPushButton*>(QStringLiteral("btnApply"))->click();
    });
    env.action("mnuColumnChoice")->trigger();
    QCOMPARE(listed, columns);
    QCOMPARE(key, toQString(second));
    QCOMPARE(before, QStringLiteral("Да"));
    QCOMPARE(after, QStringLiteral("Нет"));
    QCOMPARE(env.core().columnCount(), columns - 1);
    QCOMPARE(env.form->gridModel().columnCount(), columns - 1);

    // A width dragged, then the view switch stores the layout; the rebuild
    // shows every column until it is applied again.
    env.grid()->setColumnWidth(0, 160);
    env.form->btn3Click();  // to LOG: stores
    env.form->btn3Click();  // back to Table: rebuilt
    QCOMPARE(env.core().columnCount(), columns);
    env.action("N27")->trigger();
    QCOMPARE(env.core().columnCount(), columns - 1);
    QCOMPARE(env.grid()->columnWidth(0), 160);
    QVERIFY(env.core().cell(1, 0) != second);
    env.action("N16")->trigger();
    QCOMPARE(env.grid()->columnWidth(0), 100);
    env.action("mnuShowAll")->trigger();
    QCOMPARE(env.core().columnCount(), columns);
  }

  void keysPopupMenuAndEditing() {
    Env env("Toyota");
    env.open("toyota_zapros_otvet.log");
    env.form->btn3Click();
    const int rows = env.core().rowCount();
    const int columns = env.core().columnCount();
    // Before any selection the commands do nothing.
    env.action("E1")->trigger();
    QCOMPARE(env.core().rowCount(), rows);

    env.select(3, 4);
    const std::string below(env.core().cell(3, 5));
    env.grid()->setFocus();
    QTest::keyClick(env.grid(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(env.core().rowCount(), rows - 1);  // once, not twice
    QCOMPARE(std::string(env.core().cell(3, 4)), below);
    QCOMPARE(env.state.selectedRow, 4);
    QCOMPARE(env.grid()->currentIndex().row(), env.form->gridModel().modelRow(4));

    QTest::keyClick(env.grid(), Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(env.core().columnCount(), columns - 1);
    QCOMPARE(env.state.selectedColumn, 2);
    // Ctrl+F opens the research window.
    QString opened;
    test::main_whenModal([&](QWidget* dialog) {
      opened = dialog->objectName();
      dialog->close();
    });
    QTest::keyClick(env.grid(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(opened, QStringLiteral("TForm7"));
    QCOMPARE(env.core().columnCount(), columns - 1);

    // The pop-up menu's average of the selected column.
    env.child<QMenu>("pm1");
    env.action("N36")->trigger();
    QVERIFY(!env.messages().empty());
    QVERIFY(env.messages().back().starts_with("Среднее значение по колонке: "_w));

    // Editing writes into the core grid, which every tool reads.
    auto& model = env.form->gridModel();
    const QModelIndex cell = model.index(0, 0);
    QVERIFY(!(model.flags(cell) & Qt::ItemIsEditable));
    env.action("N18")->trigger();
    QVERIFY(model.flags(cell) & Qt::ItemIsEditable);
    QVERIFY(model.setData(cell, QStringLiteral("правка")));
    QCOMPARE(env.core().cell(0, 2), "правка"_w);
    env.action("N6")->trigger();  // "Обновить" rebuilds: the edit is gone
    QVERIFY(env.core().cell(0, 2) != "правка"_w);
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TableToolsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "table_tools_test.moc"
