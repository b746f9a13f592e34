// The three-dimensional matrix window driven through its controls' object
// names, on a record list made in the test, with a scripted message channel
// and file chooser and a registry in memory. Offscreen there is no OpenGL:
// the 3D view says so, and the 2D row chart is drawn.

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <qcustomplot.h>

#include "app/main_window.h"
#include "charts/ui/matrix_chart_3d.h"
#include "charts/ui/matrix_window.h"
#include "common/text.h"
#include "qt/qt_text.h"
#include "ui/support/scripted_file_chooser.h"
#include "ui/support/scripted_user_channel.h"

using namespace tervolin;

namespace {

constexpr auto kKey = "Software\\Tervolin\\Toyota\\matrix";

// Speed, load and injection of `passes` polls, one poll per pass.
struct Env {
  AppState state;
  MemoryRegistry registry;
  test::ScriptedUserChannel channel;
  test::ScriptedFileChooser chooser;
  std::unique_ptr<TForm11> form;

  explicit Env(int passes = 40) {
    state.profileCode = "Toyota";
    state.requestCodeWidth = 4;
    state.decimalMark = ',';
    state.definitions = {{"2101", utf8ToCp1251("Обороты"), "", "0200", "", 0},
                         {"2101", utf8ToCp1251("Нагрузка"), "", "0600", "", 1},
                         {"2101", utf8ToCp1251("Впрыск"), "", "0800", "", 2}};
    const auto rpm = state.records.addSource({"2101", "0200", "", utf8ToCp1251("Обороты")});
    const auto load = state.records.addSource({"2101", "0600", "", utf8ToCp1251("Нагрузка")});
    const auto inj = state.records.addSource({"2101", "0800", "", utf8ToCp1251("Впрыск")});
    for (int k = 0; k < passes; ++k) {
      state.records.append(k, rpm, std::to_string(800 + 100 * (k % 20)));
      state.records.append(k, load, std::to_string(10 + 5 * (k % 9)));
      state.records.append(k, inj, std::to_string(k % 5) + ",5");
    }
    form = std::make_unique<TForm11>(state, registry, channel, chooser);
  }
  template <class T>
  T* find(const char* name) {
    T* w = form->findChild<T*>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
  }
  QTableWidget* kvant() { return find<QTableWidget>("kvant"); }
  QString quant(int row, int column) { return kvant()->item(row, column)->text(); }
  void setQuant(int row, int column, const QString& text) { kvant()->item(row, column)->setText(text); }
  void choose(const char* list, int item) {
    auto* c = find<QComboBox>(list);
    c->setCurrentIndex(item);
    emit c->textActivated(c->itemText(item));
  }
  void chooseAll() {
    choose("cbb1", 0);
    choose("cbb2", 1);
    choose("cbb3", 2);
  }
  // Presses "&ПУСК!" and waits for the build's last slice.
  void build() {
    QTest::mouseClick(find<QPushButton>("btn1"), Qt::LeftButton);
    QTRY_VERIFY(!form->logic().building());
  }
  QAbstractItemModel* matrix() { return find<QTableView>("grd_3d")->model(); }
  QString cell(int row, int column) { return matrix()->index(row, column).data().toString(); }
};

}  // namespace

class MatrixWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void activationFillsTheControls() {
    Env env;
    env.registry.writeString(kKey, "cbb3", utf8ToCp1251("2101/0800 Впрыск"));
    env.registry.writeString(kKey, "stepx", "250");
    env.form->show();
    QCOMPARE(env.form->windowTitle(), QStringLiteral("Трехмерные таблицы и графики"));
    QVERIFY(!env.form->isModal());
    auto* cbb1 = env.find<QComboBox>("cbb1");
    QCOMPARE(cbb1->count(), 3);
    QCOMPARE(cbb1->itemText(0), QStringLiteral("2101/0200 Обороты"));
    QCOMPARE(cbb1->currentText(), QStringLiteral(""));  // the key exists: a missing value is empty
    QCOMPARE(env.find<QComboBox>("cbb3")->currentText(), QStringLiteral("2101/0800 Впрыск"));
    auto* cbb4 = env.find<QComboBox>("cbb4");
    QCOMPARE(cbb4->count(), 7);
    QCOMPARE(cbb4->itemText(5), QStringLiteral("Кол-во ненулевых значений"));
    QCOMPARE(env.quant(0, 1), QStringLiteral("Min"));
    QCOMPARE(env.quant(0, 2), QStringLiteral("Шаг"));
    QCOMPARE(env.quant(0, 3), QStringLiteral("Max"));
    QCOMPARE(env.quant(1, 0), QStringLiteral("X"));
    QCOMPARE(env.quant(2, 0), QStringLiteral("Y"));
    QCOMPARE(env.quant(1, 2), QStringLiteral("250"));
    QCOMPARE(env.find<QTabWidget>("pgc1")->currentWidget()->objectName(), QStringLiteral("ts2"));
    QVERIFY(!env.find<QPushButton>("btn1")->isEnabled());
    QCOMPARE(env.find<QPushButton>("btn1")->text(), QStringLiteral("&ПУСК!"));
    QCOMPARE(env.find<QCheckBox>("chk1")->isChecked(), true);
    QCOMPARE(env.find<QLabel>("lbl1")->text(), QStringLiteral("Ось Z"));
    // The Z range of the restored data list.
    QCOMPARE(env.form->logic().zRange().largest, 4.5);
  }

  void firstActivationShowsNull() {
    Env env;
    env.form->show();
    QCOMPARE(env.find<QComboBox>("cbb1")->currentText(), QStringLiteral("<null>"));
    QTest::mouseClick(env.find<QPushButton>("btn1"), Qt::LeftButton);  // disabled: nothing happens
    QVERIFY(env.channel.messages.isEmpty());
    env.choose("cbb1", 0);
    QTest::mouseClick(env.find<QPushButton>("btn1"), Qt::LeftButton);
    QCOMPARE(env.channel.messages, QStringList{QStringLiteral("Вы должны выбрать из списка!")});
  }

  void selectingWritesTheGridRow() {
    Env env;
    env.form->show();
    env.choose("cbb1", 0);
    QCOMPARE(env.quant(1, 1), QStringLiteral("800,00"));
    QCOMPARE(env.quant(1, 2), QStringLiteral("118,8"));  // 1900 / 16 = 118,75
    QCOMPARE(env.quant(1, 3), QStringLiteral("2700,00"));
    QVERIFY(env.find<QPushButton>("btn1")->isEnabled());
    env.choose("cbb2", 1);
    QCOMPARE(env.quant(2, 1), QStringLiteral("10,00"));
    QCOMPARE(env.quant(2, 3), QStringLiteral("50,00"));
  }

  void buildFillsTheMatrixWithItsHeatMap() {
    Env env;
    env.form->show();
    env.chooseAll();
    env.setQuant(1, 1, QStringLiteral("800"));
    env.setQuant(1, 2, QStringLiteral("500"));
    env.setQuant(1, 3, QStringLiteral("2800"));
    env.setQuant(2, 1, QStringLiteral("10"));
    env.setQuant(2, 2, QStringLiteral("20"));
    env.setQuant(2, 3, QStringLiteral("50"));
    env.build();
    QVERIFY(!env.find<QPushButton>("btn1")->isEnabled());
    QCOMPARE(env.matrix()->columnCount(), 5);  // 800 … 2800
    QCOMPARE(env.matrix()->rowCount(), 3);     // 10, 30, 50
    QCOMPARE(env.matrix()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("800,00"));
    QCOMPARE(env.matrix()->headerData(2, Qt::Vertical).toString(), QStringLiteral("50,00"));
    auto* pb1 = env.find<QProgressBar>("pb1");
    QCOMPARE(pb1->maximum(), 15);
    QCOMPARE(pb1->value(), 15);
    // Every shown cell has a colour, empty cells none.
    int shown = 0;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 5; ++c) {
        const bool empty = env.cell(r, c).isEmpty();
        QCOMPARE(env.matrix()->index(r, c).data(Qt::BackgroundRole).isValid(), !empty);
        shown += empty ? 0 : 1;
      }
    }
    QVERIFY(shown > 3);
    // The counts mode, then a minimum of hits above every count.
    auto* cbb4 = env.find<QComboBox>("cbb4");
    cbb4->setCurrentIndex(4);
    emit cbb4->activated(4);
    int total = 0;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 5; ++c) total += env.cell(r, c).toInt();
    QCOMPARE(total, 40);  // every sample is counted once
    env.find<QSpinBox>("spnHits")->setValue(1000);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 5; ++c) QCOMPARE(env.cell(r, c), QString());
    // "Копировать": the grid with its headers, tab-separated.
    env.find<QSpinBox>("spnHits")->setValue(1);
    QTest::mouseClick(env.find<QPushButton>("btnCopy"), Qt::LeftButton);
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY2(copied.startsWith(QStringLiteral("\t800,00\t1300,00\t1800,00\t2300,00\t2800,00\r\n10,00\t")),
             qPrintable(copied));
    QCOMPARE(copied.count(QStringLiteral("\r\n")), 4);
  }

  void badGridCellsEndTheBuildWithAMessage() {
    Env env;
    env.form->show();
    env.chooseAll();
    env.setQuant(1, 2, QStringLiteral("0"));
    QTest::mouseClick(env.find<QPushButton>("btn1"), Qt::LeftButton);
    QCOMPARE(env.channel.messages.size(), 1);
    QVERIFY(env.channel.messages[0].contains(QStringLiteral("шаг равен 0")));
    QVERIFY(!env.find<QPushButton>("btn1")->isEnabled());
    env.choose("cbb3", 2);  // a selection enables it again
    QVERIFY(env.find<QPushButton>("btn1")->isEnabled());
    env.setQuant(2, 1, QStringLiteral("abc"));
    env.setQuant(1, 2, QStringLiteral("100"));
    QTest::mouseClick(env.find<QPushButton>("btn1"), Qt::LeftButton);
    QVERIFY(env.channel.messages.last().contains(QStringLiteral("\"abc\" - не число")));
  }

  void chartTabDrawsTheRowOrSaysThereIsNo3D() {
    Env env;
    env.form->show();
    env.chooseAll();
    env.build();
    auto* pgc1 = env.find<QTabWidget>("pgc1");
    pgc1->setCurrentWidget(env.find<QWidget>("ts1"));
    // Offscreen: no OpenGL, and the view says so instead of crashing.
    QVERIFY(!env.form->view3d()->available());
    QVERIFY(env.form->findChild<QLabel*>(QStringLiteral("lbl3dUnavailable"))->isVisible());
    QVERIFY(!env.find<QSlider>("trckbr1")->isEnabled());
    QCOMPARE(env.find<QLabel>("lbl1")->text(), QStringLiteral("Нагрузка"));
    auto* chk1 = env.find<QCheckBox>("chk1");
    QTest::mouseClick(chk1, Qt::LeftButton);
    QVERIFY(!chk1->isChecked());
    auto* slider = env.find<QSlider>("trckbr1");
    QVERIFY(slider->isEnabled());
    QCOMPARE(slider->maximum(), env.form->logic().axes().y.last());
    QCustomPlot* plot = env.form->plot2d();
    QVERIFY(plot->isVisible());
    QCOMPARE(plot->graphCount(), 1);
    QCOMPARE(plot->graph(0)->dataCount(), int(env.form->logic().rowPoints(0).size()));
    QCOMPARE(plot->xAxis->range().lower, env.form->logic().axes().x.min());
    slider->setValue(2);
    QCOMPARE(env.find<QLineEdit>("txt1")->text(), QString::fromStdString(env.form->logic().rowTitle(2)));
    QCOMPARE(plot->graph(0)->dataCount(), int(env.form->logic().rowPoints(2).size()));
  }

  void closingStoresTheSettingsAndExcelWritesAWorkbook() {
    Env env;
    QTemporaryDir dir;
    env.form->show();
    env.chooseAll();
    env.build();
    env.chooser.answers.push_back(dir.filePath(QStringLiteral("matrix.xlsx")));
    QTest::mouseClick(env.find<QPushButton>("btnExcel"), Qt::LeftButton);
    QCOMPARE(env.chooser.requests.size(), std::size_t{1});
    QCOMPARE(env.chooser.requests[0].filter, QStringLiteral("Excel|*.xlsx"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("matrix.xlsx"))).size() > 0);
    env.setQuant(2, 2, QStringLiteral("7"));
    QTest::mouseClick(env.find<QPushButton>("btn2"), Qt::LeftButton);
    QVERIFY(!env.form->isVisible());
    QCOMPARE(toQString(*env.registry.readString(kKey, "cbb2")), QStringLiteral("2101/0600 Нагрузка"));
    QCOMPARE(toQString(*env.registry.readString(kKey, "minx")), QStringLiteral("800,00"));
    QCOMPARE(toQString(*env.registry.readString(kKey, "stepy")), QStringLiteral("7"));
    // Reopening keeps the samples and restores the texts.
    env.form->show();
    QCOMPARE(env.quant(2, 2), QStringLiteral("7"));
    QCOMPARE(env.form->logic().lastSample(), std::size_t{39});
  }

  void graphsMenuOpensTheWindowBesideTheMainWindow() {
    Env env;
    QTemporaryDir dir;
    MemoryRegistry registry;
    test::ScriptedUserChannel channel;
    test::ScriptedFileChooser chooser;
    env.state.programDir = std::filesystem::path(dir.path().toStdString());
    TForm1 main(env.state, registry, channel, chooser);
    main.setMatrixWindow(env.form.get());
    auto* entry = main.findChild<QAction*>(QStringLiteral("mnuMatrix"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Трехмерные по матрице"));
    QCOMPARE(main.findChild<QMenu*>(QStringLiteral("pmGraphs"))->actions().size() >= 1, true);
    entry->trigger();
    QVERIFY(env.form->isVisible());
    QVERIFY(!env.form->isModal());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    main.close();  // the matrix window closes with the main window and stores its settings
    QVERIFY(!env.form->isVisible());
    QVERIFY(env.registry.keyExists(kKey));
  }
};

QTEST_MAIN(MatrixWindowTest)
#include "matrix_window_test.moc"
