// The parameter graphs window TForm10 and the dependency graphs window TForm4
// driven through their controls' object names, on a log opened by the core,
// with a scripted message channel and a throw-away settings file.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "charts/ui/colour_box.h"
#include "charts/ui/dependency_graphs_window.h"
#include "charts/ui/parameter_graphs_window.h"
#include "charts/ui/zoom_chart.h"
#include "common/text.h"
#include "profiles/definition_file.h"
#include "qt/qt_registry.h"
#include "qt/qt_text.h"
#include "support/test_support.h"
#include "table/open_log.h"

using namespace tervolin;
using tervolin::test::ScriptedChannel;

namespace {

// Ten polls of 21 01 (two parameters answered), 50 ms between requests.
std::string driveLog() {
  std::string log = std::string("Интервал между запросами тестера: 50  \r\n"_w);
  for (int i = 0; i < 10; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "RxD 84 F1 10 61 01 %02X %02X 5E\r\n", 0x30 + i * 3, 0x60 - i);
    log += "TxD 82 10 F1 21 01 A5\r\n";
    log += line;
  }
  return log;
}

struct Env {
  QTemporaryDir tmp;
  std::filesystem::path dir;
  std::unique_ptr<QtRegistry> registry;
  ScriptedChannel channel;
  AppState state;
  Grid grid;

  Env() {
    dir = std::filesystem::path(tmp.path().toStdString());
    registry = std::make_unique<QtRegistry>(tmp.filePath(QStringLiteral("settings.ini")));
    state.programDir = dir;
    state.workingFolder = dir;
    state.profileCode = "Toyota";
    state.tableOnly = 1;
    test::writeFile(dir / "pids.ini", definitionFileText(std::vector<ParamDef>{
                                          {"2101", "Tw", "C", "0000", "", 0}, {"2101", "Ta", "%", "0100", "", 1}}));
    test::writeFile(dir / "formules.ini", "21010000FT\r\n21010100FT\r\n");
    test::writeFile(dir / "drive.log", driveLog());
    openLog(state, channel, dir / "drive.log", grid);
    channel.events.clear();
  }
};

template <class T>
T* child(QWidget* w, const char* name) {
  T* c = w->findChild<T*>(QString::fromLatin1(name));
  if (!c) qFatal("no control %s", name);
  return c;
}

// A click on the chart is told once the double-click time has passed.
void waitForClick() { QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 80); }

}  // namespace

class ChartsWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(120); }

  void activationFillsTheListsAndTheTiming() {
    Env env;
    TForm10 form(env.state, *env.registry, env.channel);
    form.show();
    QCOMPARE(form.cbb[0]->count(), 3);
    QCOMPARE(form.cbb[5]->currentText(), QStringLiteral("Нет"));
    QCOMPARE(form.cbb[1]->itemText(1), QStringLiteral("01/0000 Tw"));
    QCOMPARE(form.edt1->text(), QStringLiteral("50"));
    QVERIFY(!form.edt1->isEnabled());
    QCOMPARE(form._time->currentText(), QStringLiteral("с"));
    QCOMPARE(form.cbb7->currentText(), QStringLiteral("1"));
    QCOMPARE(form.clrbx[0]->currentIndex(), 9);
    QVERIFY(form.l[0]->isHidden());
    QCOMPARE(form.chk1->text().at(12), QLatin1Char('c'));  // "маcштаб" with a Latin c
    QCOMPARE(ColourBox::colourAt(13), QColor(0xFF, 0x00, 0xFF));
  }

  void buildPlotsAndColoursApplyAtOnce() {
    Env env;
    TForm10 form(env.state, *env.registry, env.channel);
    form.show();
    form.cbb[0]->setCurrentIndex(1);
    form.cbb[2]->setCurrentIndex(2);
    form.btn1->click();
    QCOMPARE(form.ch1->graph(0)->dataCount(), 10);
    QCOMPARE(form.ch1->graph(1)->dataCount(), 0);
    QCOMPARE(form.ch1->graph(2)->dataCount(), 10);
    QCOMPARE(form.ch1->graph(0)->data()->at(9)->key, 10 * 0.05);
    QCOMPARE(form.ch1->yAxis->range().lower, form.logic().axis().min);
    QVERIFY(form.ch1->yAxis->visible());

    form.clrbx[0]->setCurrentIndex(12);
    QCOMPARE(form.ch1->graph(0)->pen().color(), QColor(0, 0, 0xFF));
    form.cbb7->setCurrentIndex(4);
    QCOMPARE(form.ch1->graph(3)->pen().width(), 5);
    form.clrbx7->setCurrentIndex(11);
    QCOMPARE(form.ch1->axisRect()->backgroundBrush().color(), QColor(0xFF, 0xFF, 0));

    form.chk1->setChecked(true);
    form.btn1->click();
    QVERIFY(!form.ch1->yAxis->visible());
    QVERIFY(env.channel.events.empty());
  }

  void cursorModeLabelsAndTwoMarkers() {
    Env env;
    TForm10 form(env.state, *env.registry, env.channel);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.cbb[0]->setCurrentIndex(1);
    form.btn1->click();
    ZoomChart* chart = form.ch1;
    const QPoint middle(chart->xAxis->coordToPixel(0.25), chart->height() / 2);

    QTest::mouseDClick(chart, Qt::LeftButton, {}, middle);
    waitForClick();
    QVERIFY(form.logic().cursorMode());
    QVERIFY(form.l[0]->isVisible());
    QVERIFY(form.txt1->isHidden());  // the double click set no marker

    QTest::mouseMove(chart, middle);
    QVERIFY(form.l[0]->text().endsWith(QStringLiteral(" C")));
    QVERIFY(!form.l[0]->text().startsWith(QStringLiteral("0.000")));
    QTest::mouseClick(chart, Qt::LeftButton, {}, middle);
    waitForClick();
    QVERIFY(form.txt1->isVisible());
    QVERIFY(form.txt1->text().startsWith(QStringLiteral("Параметры под маркером 1:") + form.l[0]->text() + ";"));
    QVERIFY(form.l[0]->isHidden());
    QVERIFY(!form.logic().cursorMode());

    QTest::mouseDClick(chart, Qt::LeftButton, {}, middle);
    waitForClick();
    QTest::mouseMove(chart, middle + QPoint(40, 0));
    QTest::mouseClick(chart, Qt::LeftButton, {}, middle + QPoint(40, 0));
    waitForClick();
    QVERIFY(form.txt2->isVisible());
    QVERIFY(form.txt2->text().contains(QStringLiteral(" x2-x1=")));
    QCOMPARE(form.logic().markerCount(), 2);

    form.N1->trigger();
    QVERIFY(form.txt1->isHidden() && form.txt2->isHidden());
    QCOMPARE(form.logic().markerCount(), 0);
  }

  void zoomAndUndoZoomRemoveTheMarkers() {
    Env env;
    TForm10 form(env.state, *env.registry, env.channel);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.ch1->setZoomAnimation(0);
    form.cbb[0]->setCurrentIndex(1);
    form.btn1->click();
    const QCPRange full = form.ch1->xAxis->range();
    ZoomChart* chart = form.ch1;
    const QRect area = chart->axisRect()->rect();
    const QPoint from = area.topLeft() + QPoint(area.width() / 4, 10);
    const QPoint to = area.topLeft() + QPoint(area.width() / 2, area.height() - 10);
    QTest::mousePress(chart, Qt::LeftButton, {}, from);
    QTest::mouseMove(chart, to);
    QTest::mouseRelease(chart, Qt::LeftButton, {}, to);
    QVERIFY(chart->xAxis->range().size() < full.size() / 2);
    // From right to left: back to the full view.
    QTest::mousePress(chart, Qt::LeftButton, {}, to);
    QTest::mouseMove(chart, from);
    QTest::mouseRelease(chart, Qt::LeftButton, {}, from);
    QCOMPARE(chart->xAxis->range().lower, full.lower);
    QCOMPARE(chart->xAxis->range().upper, full.upper);
    // Scrolling with the right button.
    QTest::mousePress(chart, Qt::RightButton, {}, to);
    QTest::mouseMove(chart, to + QPoint(-50, 0));
    QTest::mouseRelease(chart, Qt::RightButton, {}, to + QPoint(-50, 0));
    QVERIFY(chart->xAxis->range().lower > full.lower);
    QCOMPARE(chart->xAxis->range().size(), full.size());
  }

  void settingsComeBackAfterClosing() {
    Env env;
    {
      TForm10 form(env.state, *env.registry, env.channel);
      form.show();
      form.cbb[1]->setCurrentIndex(2);
      form._time->setCurrentIndex(0);
      form.chk1->setChecked(true);
      form.clrbx[3]->setCurrentIndex(14);
      form.btn2->click();
    }
    const auto stored = env.registry->readString("Software\\Tervolin\\crc_databases", env.state.logKey);
    QVERIFY(stored.has_value());
    QVERIFY(stored->starts_with("1:0002:0023:000"));
    TForm10 again(env.state, *env.registry, env.channel);
    again.show();
    QCOMPARE(again.cbb[1]->currentIndex(), 2);
    QCOMPARE(again._time->currentIndex(), 0);
    QVERIFY(again.chk1->isChecked());
    QCOMPARE(again.clrbx[3]->currentIndex(), 14);
  }

  void dependencyGraphsInBothModes() {
    Env env;
    TForm4 form(env.state, env.grid, env.channel);
    form.show();
    QCOMPARE(form.par1->count(), 3);
    QCOMPARE(form.par2->itemText(1), QStringLiteral("2101/0000 Tw (C)"));
    form.par1->setCurrentIndex(0);  // "Нет"
    form.par2->setCurrentIndex(1);
    form.par3->setCurrentIndex(2);
    form.par4->setCurrentIndex(1);
    form.btn1->click();
    QCOMPARE(form.ch1->graph(0)->dataCount(), 10);
    QCOMPARE(form.ch1->graph(0)->data()->at(9)->key, 9.0);
    QCOMPARE(form.par1->currentText(), QString());  // "Нет" is emptied
    QCOMPARE(form.ch2->graph(0)->dataCount(), 10);
    // Ta falls while Tw rises: sorted by x, the first point has the largest Tw.
    QVERIFY(form.ch2->graph(0)->data()->at(0)->value > form.ch2->graph(0)->data()->at(9)->value);
    auto* title = qobject_cast<QCPTextElement*>(form.ch2->plotLayout()->element(0, 0));
    QCOMPARE(title->text(), QStringLiteral("График зависимости параметра 2101/0000 Tw (C) от параметра 2101/0100 Ta (%)"));
    QVERIFY(env.channel.events.empty());

    // Nothing chosen.
    for (QComboBox* list : {form.par1, form.par2, form.par3, form.par4}) list->setEditText(QString());
    form.btn1->click();
    QCOMPARE(env.channel.texts(ScriptedChannel::Event::Message),
             std::vector<std::string>{std::string("Нужно указать параметр"_w)});
  }

  void dependencyReadoutUndoZoomAndPrinting() {
    Env env;
    TForm4 form(env.state, env.grid, env.channel);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.par2->setCurrentIndex(1);
    form.btn1->click();
    ZoomChart* chart = form.ch1;
    chart->setZoomAnimation(0);
    const QCPRange full = chart->xAxis->range();
    chart->xAxis->setRange(2, 3);
    QTest::mouseClick(chart, Qt::LeftButton, Qt::AltModifier, QPoint(300, 100));
    QCOMPARE(chart->xAxis->range().lower, full.lower);
    chart->xAxis->setRange(2, 3);
    form.N1->trigger();
    QCOMPARE(chart->xAxis->range().upper, full.upper);

    form.chk2->click();
    form.chk3->click();
    QTest::mouseMove(chart, QPoint(300, 100));  // draws without failing

    const QString pdf = QDir(env.tmp.path()).filePath(QStringLiteral("chart.pdf"));
    bool landscape = false;
    chart->choosePrinter = [&](QPrinter& printer) {
      landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    };
    form.N3->trigger();
    QVERIFY(landscape);
    QVERIFY(QFileInfo(pdf).size() > 1000);
  }
};

QTEST_MAIN(ChartsWindowsTest)
#include "charts_windows_test.moc"
