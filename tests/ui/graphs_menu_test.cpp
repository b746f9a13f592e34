// The main window's graphs menu and the "graphs only" display option: the
// two chart windows opened from the menu, and a file shown as parameter
// graphs alone.

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "charts/ui/dependency_graphs_window.h"
#include "charts/ui/parameter_graphs_window.h"
#include "profiles/ui/profile_dialog.h"
#include "profiles/ui/settings_dialog.h"
#include "qt/qt_registry.h"
#include "support/test_support.h"
#include "ui/support/main_fixture.h"
#include "ui/support/scripted_file_chooser.h"

using namespace tervolin;
using tervolin::test::ScriptedChannel;

namespace {

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
  std::unique_ptr<TForm4> form4;
  std::unique_ptr<TForm10> form10;

  explicit Env(int graphOnly, int tablOnly) {
    programDir = std::filesystem::path(tmp.path().toStdString()) / "prog";
    test::main_makeLocalProfileFolder(programDir);
    registry = std::make_unique<QtRegistry>(tmp.filePath(QStringLiteral("settings.ini")));
    registry->writeString(kSettingsKey, "OrvikPath", "");
    registry->writeInt(kSettingsKey, "AutoTabl", 0);
    registry->writeInt(kSettingsKey, "TablOnly", tablOnly);
    registry->writeInt(kSettingsKey, "GraphOnly", graphOnly);
    state.programDir = programDir;
    state.decimalMark = ',';
    form = std::make_unique<TForm1>(state, *registry, channel, chooser);
    settings = std::make_unique<TForm9>(state, *registry, channel, chooser, form.get());
    profiles = std::make_unique<TForm8>(state, *registry, channel, *settings, form.get());
    form->setDialogs(profiles.get(), settings.get());
    form4 = std::make_unique<TForm4>(state, form->grid(), channel, form.get());
    form10 = std::make_unique<TForm10>(state, *registry, channel, form.get());
    form->setGraphWindows(form4.get(), form10.get());
    form->show();
  }
  void open(const std::filesystem::path& file) {
    chooser.answers.push_back(QString::fromStdString(file.string()));
    form->btn1->click();
  }
};

}  // namespace

class GraphsMenuTest : public QObject {
  Q_OBJECT
 private slots:
  void graphsButtonPopsUpTheMenuWithBothWindows() {
    Env env(0, 1);
    QVERIFY(!env.form->btn4->isEnabled());
    env.open(env.programDir / "drive.log");
    QVERIFY(env.form->btn4->isEnabled());
    QCOMPARE(env.form->btn4->toolTip(), QStringLiteral("Построить графики по таблице"));
    const QList<QAction*> entries = env.form->pmGraphs->actions();
    QVERIFY(entries.size() >= 2);
    QCOMPARE(entries[0]->text(), QStringLiteral("Графики зависимостей"));
    QCOMPARE(entries[1]->text(), QStringLiteral("Графики параметров"));

    env.form->btn4->click();
    QTRY_VERIFY(env.form->pmGraphs->isVisible());
    QCOMPARE(env.form->pmGraphs->pos(), env.form->frameGeometry().topLeft() + QPoint(335, 65));
    env.form->pmGraphs->hide();

    int items = 0;
    test::main_whenModal([&](QWidget* modal) {
      items = modal->findChild<QComboBox*>(QStringLiteral("cbb1"))->count();
      modal->close();
    });
    entries[1]->trigger();
    QCOMPARE(items, 3);  // "Нет" and the two parameters

    QString heading;
    test::main_whenModal([&](QWidget* modal) {
      heading = modal->findChild<QComboBox*>(QStringLiteral("par2"))->itemText(1);
      modal->close();
    });
    entries[0]->trigger();
    QVERIFY(heading.startsWith(QStringLiteral("2101/0000 Температура")));
  }

  void graphsOnlyShowsTheFileAsParameterGraphs() {
    Env env(1, 0);
    QString caption;
    int items = 0;
    test::main_whenModal([&](QWidget* modal) {
      caption = modal->windowTitle();
      items = modal->findChild<QComboBox*>(QStringLiteral("cbb1"))->count();
      modal->close();
    });
    env.open(env.programDir / "drive.log");
    QCOMPARE(caption, QStringLiteral("Открыт файл: ") + QString::fromStdString((env.programDir / "drive.log").string()));
    QCOMPARE(items, 3);
    QCOMPARE(env.state.records.size(), 4u);
    QVERIFY(env.form->windowTitle().startsWith(QStringLiteral("Открыт файл: ")));
    // The main window's view was not built.
    QVERIFY(env.form->findChild<QTableView*>(QStringLiteral("sg1"))->isHidden());
    QVERIFY(!env.form->btn3->isEnabled());
  }

  void graphsOnlyReadsAGraphFileWithItsReader() {
    Env env(1, 0);
    test::main_writeGraphFile(env.programDir / "drive.rtd", {{0x7B, 0x2C}, {0x7C, 0x2D}});
    const QString before = env.form->windowTitle();
    int items = 0;
    test::main_whenModal([&](QWidget* modal) {
      items = modal->findChild<QComboBox*>(QStringLiteral("cbb1"))->count();
      modal->close();
    });
    env.open(env.programDir / "drive.rtd");
    QCOMPARE(items, 9);  // "Нет" and all eight channels
    QCOMPARE(env.form->windowTitle(), before);  // a graph file leaves the main caption
    QCOMPARE(env.state.definitionFileName, std::string("_tmp.ini"));
  }
};

QTEST_MAIN(GraphsMenuTest)
#include "graphs_menu_test.moc"
