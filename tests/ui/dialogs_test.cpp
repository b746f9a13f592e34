// The profile dialog, the settings dialog and the about box, driven through
// their controls' object names, on a temporary settings file and a temporary
// program folder.

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/about_box.h"
#include "common/text.h"
#include "profiles/profile_catalogue.h"
#include "profiles/settings_store.h"
#include "profiles/ui/profile_dialog.h"
#include "profiles/ui/settings_dialog.h"
#include "qt/qt_registry.h"
#include "qt/qt_text.h"
#include "qt/qt_user_channel.h"
#include "ui/support/scripted_file_chooser.h"
#include "ui/support/scripted_user_channel.h"

using namespace tervolin;
namespace st = tervolin::settings;

namespace {

template <typename T>
T* child(QWidget& parent, const char* name) {
  T* found = parent.findChild<T*>(name);
  if (!found) qFatal("no control %s", name);
  return found;
}

void click(QWidget& parent, const char* name) {
  auto* button = child<QAbstractButton>(parent, name);
  // A check box reacts on its box and caption, not on the empty stretch
  // right of them: click near its left edge.
  const QPoint at = qobject_cast<QCheckBox*>(button) ? QPoint(8, button->height() / 2) : QPoint();
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

void writeText(const QString& file, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(file).absolutePath());
  QFile f(file);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& text) {
  const auto items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return items.isEmpty() ? nullptr : items.front();
}

int depthOf(QTreeWidgetItem* item) {
  int depth = 0;
  for (auto* p = item->parent(); p; p = p->parent()) ++depth;
  return depth;
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

  // One fresh world per test: settings file, program folder, external
  // program folder, and the two dialogs on them.
  struct World {
    QTemporaryDir config, program, orvik;
    std::unique_ptr<QtRegistry> registry;
    AppState state;
    test::ScriptedUserChannel channel;
    test::ScriptedFileChooser chooser;
    std::unique_ptr<TForm9> form9;
    std::unique_ptr<TForm8> form8;

    World() {
      registry = std::make_unique<QtRegistry>(config.filePath("settings.ini"));
      state.programDir = program.path().toStdString();
      form9 = std::make_unique<TForm9>(state, *registry, channel, chooser);
      form8 = std::make_unique<TForm8>(state, *registry, channel, *form9);
    }
    QString orvikDefinition(const char* code) const {
      return orvik.filePath(QString("pids/%1/powertrain/pids.ini").arg(code));
    }
  };

 private slots:
  void initTestCase() {
    // Nothing may reach the real user's configuration.
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QVERIFY(QtRegistry::defaultPath().startsWith(home.path()));
  }

  void profileTreeMatchesCatalogue() {
    World w;
    auto* tv1 = child<QTreeWidget>(*w.form8, "tv1");
    // Walk the widget tree in display order and compare with the catalogue.
    std::vector<QTreeWidgetItem*> items;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
      items.push_back(item);
      for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    for (int i = 0; i < tv1->topLevelItemCount(); ++i) walk(tv1->topLevelItem(i));
    const auto tree = profileTree();
    QCOMPARE(items.size(), tree.size());
    for (std::size_t i = 0; i < tree.size(); ++i) {
      QCOMPARE(items[i]->text(0), toQString(tree[i].text));
      QCOMPARE(depthOf(items[i]), tree[i].depth);
    }
    QCOMPARE(findNode(tv1, "Микас 12.3(Евро4)")->parent()->text(0), QString("ГАЗ/УАЗ"));
  }

  void chooseNothingAsksForChoice() {
    World w;
    w.form8->show();
    click(*w.form8, "btnchoose");
    QCOMPARE(w.channel.messages, QStringList{"Вы должны сделать выбор!!!"});
    click(*w.form8, "btnok");
    QCOMPARE(w.channel.messages.last(), QString("Сделайте выбор!"));
    QVERIFY(w.form8->isVisible());
  }

  void doubleClickChoosesAndOkStoresProfile() {
    World w;
    writeText(w.orvikDefinition("Toyota"), "[1]\n");
    w.state.orvikPath = (w.orvik.path() + "/").toStdString();
    w.form8->show();
    auto* tv1 = child<QTreeWidget>(*w.form8, "tv1");
    auto* node = findNode(tv1, "Тойота");
    tv1->setCurrentItem(node);
    emit tv1->itemDoubleClicked(node, 0);
    QCOMPARE(child<QLabel>(*w.form8, "lbl1")->text(), QString("Вами выбран протокол Тойота"));
    QCOMPARE(QString::fromStdString(w.state.profileCode), QString("Toyota"));
    // A group keeps the code; the label names the group.
    tv1->setCurrentItem(findNode(tv1, "China"));
    click(*w.form8, "btnchoose");
    QCOMPARE(child<QLabel>(*w.form8, "lbl1")->text(), QString("Вами выбран протокол China"));
    QCOMPARE(QString::fromStdString(w.state.profileCode), QString("Toyota"));
    click(*w.form8, "btnok");
    QCOMPARE(w.form8->result(), int(QDialog::Accepted));
    QVERIFY(!w.form8->programEnded());
    QCOMPARE(w.registry->readString(kSettingsKey, st::kLastProfile).value_or(""), std::string("Toyota"));
    QVERIFY(w.channel.questions.isEmpty());
  }

  // A click on another profile and OK (or Enter in the tree) takes it: the
  // highlighted node is chosen before the choice is confirmed.
  void okAndEnterTakeTheHighlightedProfile() {
    for (const bool enter : {false, true}) {
      World w;
      writeText(w.orvikDefinition("Nissan"), "[1]\n");
      w.state.orvikPath = (w.orvik.path() + "/").toStdString();
      w.state.profileCode = "Toyota";
      w.form8->show();
      auto* tv1 = child<QTreeWidget>(*w.form8, "tv1");
      tv1->setCurrentItem(findNode(tv1, "Ниссан"));
      if (enter) {
        tv1->setFocus();
        QTest::keyClick(tv1, Qt::Key_Return);
      } else {
        click(*w.form8, "btnok");
      }
      QCOMPARE(w.form8->result(), int(QDialog::Accepted));
      QVERIFY(!w.form8->isVisible());
      QCOMPARE(QString::fromStdString(w.state.profileCode), QString("Nissan"));
      QCOMPARE(child<QLabel>(*w.form8, "lbl1")->text(), QString("Вами выбран протокол Ниссан"));
      QCOMPARE(w.registry->readString(kSettingsKey, st::kLastProfile).value_or(""), std::string("Nissan"));
      QCOMPARE(QString::fromStdString(w.state.workingFolder.string()), w.program.path() + "/Nissan/");
    }
  }

  void missingDefinitionYesOpensSettingsAndPathFixesIt() {
    World w;
    writeText(w.orvikDefinition("OBDII"), "[1]\n");
    w.chooser.answers = {w.orvik.filePath("orvik.exe")};
    w.form8->show();
    auto* tv1 = child<QTreeWidget>(*w.form8, "tv1");
    tv1->setCurrentItem(findNode(tv1, "OBDII"));
    click(*w.form8, "btnchoose");
    w.channel.yesNoAnswers = {true};
    // The settings dialog runs modally: pick the external folder and save.
    w.channel.onQuestion = [&] {
      QTimer::singleShot(0, [&] {
        QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(w.form9.get()));
        click(*w.form9, "chk4");
        click(*w.form9, "btn3");
        click(*w.form9, "btn1");
      });
    };
    click(*w.form8, "btnok");
    QCOMPARE(w.channel.questions.size(), 1);
    const QString missing = QString::fromStdString(
        profileDefinitionPath(w.state.programDir, "OBDII").string());
    QCOMPARE(w.channel.questions[0],
             "Профиль " + missing + " недоступен! Укажите путь к программе Orvik");
    QCOMPARE(w.form8->result(), int(QDialog::Accepted));
    QCOMPARE(w.registry->readString(kSettingsKey, st::kOrvikPath).value_or(""),
             fromQString(w.orvik.path() + "/"));
    QCOMPARE(w.registry->readString(kSettingsKey, st::kLastProfile).value_or(""), std::string("OBDII"));
  }

  void missingDefinitionNoEndsProgram() {
    World w;
    w.form8->show();
    auto* tv1 = child<QTreeWidget>(*w.form8, "tv1");
    tv1->setCurrentItem(findNode(tv1, "G4EE"));
    click(*w.form8, "btnchoose");
    click(*w.form8, "btnok");
    QCOMPARE(w.channel.questions.size(), 1);
    QVERIFY(w.channel.questions[0].contains("powertrain2"));
    QVERIFY(w.form8->programEnded());
    QCOMPARE(w.form8->result(), int(QDialog::Rejected));
    QVERIFY(!w.registry->valueExists(kSettingsKey, st::kLastProfile));
  }

  void cancelEndsProgramAndReshowClearsChoice() {
    World w;
    w.form8->show();
    click(*w.form8, "btncanc");
    QVERIFY(w.form8->programEnded());
    QVERIFY(!w.form8->isVisible());
    // Shown again: the earlier choice is forgotten, so a known profile is
    // confirmed without checking its definition file.
    auto* tv1 = child<QTreeWidget>(*w.form8, "tv1");
    tv1->setCurrentItem(findNode(tv1, "Logan"));
    click(*w.form8, "btnchoose");
    w.form8->hide();
    w.form8->show();
    QVERIFY(!w.form8->programEnded());
    click(*w.form8, "btnok");
    QCOMPARE(w.form8->result(), int(QDialog::Accepted));
    QVERIFY(w.channel.questions.isEmpty());
    QCOMPARE(QString::fromStdString(w.state.workingFolder.string()), w.program.path() + "/logan/");
  }

  void settingsFirstShowAndFirstRun() {
    World w;
    TForm9& f = *w.form9;
    f.show();  // no settings key yet: the controls keep their initial state
    QVERIFY(w.channel.messages.isEmpty());
    QVERIFY(child<QCheckBox>(f, "chk2")->isChecked() && !child<QCheckBox>(f, "chk2")->isEnabled());
    QVERIFY(!child<QCheckBox>(f, "chk5")->isChecked() && !child<QCheckBox>(f, "chk5")->isEnabled());
    QVERIFY(child<QCheckBox>(f, "chk4")->isChecked());
    QVERIFY(!child<QPushButton>(f, "btn3")->isEnabled());
    f.setFirstRun(true);
    QVERIFY(!child<QPushButton>(f, "btn2")->isEnabled());
    f.setFirstRun(false);
    QVERIFY(child<QPushButton>(f, "btn2")->isEnabled());
  }

  void settingsActivationShowsStoredValues() {
    World w;
    w.registry->writeInt(kSettingsKey, st::kAutoTabl, 0);
    w.registry->writeInt(kSettingsKey, st::kTablOnly, 1);
    w.registry->writeInt(kSettingsKey, st::kGraphOnly, 1);
    w.registry->writeString(kSettingsKey, st::kOrvikPath, "/opt/Программа/"_w);
    TForm9& f = *w.form9;
    f.show();
    QVERIFY(w.channel.messages.isEmpty());
    QVERIFY(child<QCheckBox>(f, "chk1")->isChecked());
    QVERIFY(!child<QCheckBox>(f, "chk1")->isEnabled());  // graphs only is on
    QVERIFY(!child<QCheckBox>(f, "chk2")->isChecked());
    QVERIFY(child<QCheckBox>(f, "chk3")->isChecked());
    QVERIFY(!child<QCheckBox>(f, "chk4")->isChecked());
    QVERIFY(child<QPushButton>(f, "btn3")->isEnabled());
    QCOMPARE(child<QLineEdit>(f, "edt4")->text(), QString("/opt/Программа/"));
    QCOMPARE(w.state.tableOnly, 1);
    // The check boxes switch their dependants.
    click(f, "chk3");  // QTest clicks the box's centre: toggles it
    QVERIFY(child<QCheckBox>(f, "chk1")->isEnabled());
    click(f, "chk4");
    QVERIFY(!child<QPushButton>(f, "btn3")->isEnabled());
  }

  void settingsReadErrorAndClean() {
    World w;
    w.registry->writeInt(st::settingsKey("Toyota", st::kColWidth), "", 1);
    w.registry->writeInt(st::settingsKey("B797", st::kColWidth), "", 1);
    w.form9->show();  // the key exists without the integers
    QCOMPARE(w.channel.messages, QStringList{"Ошибка чтения настроек из реестра"});
    click(*w.form9, "btn4");
    QCOMPARE(w.channel.messages.size(), 1);
    QVERIFY(!w.registry->keyExists(st::settingsKey("Toyota")));
    QVERIFY(w.registry->keyExists(st::settingsKey("B797")));
    QVERIFY(w.form9->isVisible());
  }

  void settingsSaveAndCancel() {
    World w;
    TForm9& f = *w.form9;
    f.show();
    click(f, "chk1");
    click(f, "btn1");
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(w.registry->readInt(kSettingsKey, st::kTablOnly), std::optional<std::int32_t>(1));
    QCOMPARE(w.registry->readInt(kSettingsKey, st::kAutoTabl), std::optional<std::int32_t>(1));
    QCOMPARE(w.registry->readInt(kSettingsKey, st::kGraphOnly), std::optional<std::int32_t>(0));
    QCOMPARE(w.registry->readString(kSettingsKey, st::kOrvikPath), std::optional<std::string>(""));
    QCOMPARE(w.state.tableOnly, 1);
    // Cancel after a change stores nothing.
    f.show();
    QVERIFY(child<QCheckBox>(f, "chk1")->isChecked());
    click(f, "chk1");
    click(f, "btn2");
    QCOMPARE(f.result(), int(QDialog::Rejected));
    QCOMPARE(w.registry->readInt(kSettingsKey, st::kTablOnly), std::optional<std::int32_t>(1));
  }

  void settingsWriteErrorReportedAndCloses() {
    World w;
    MemoryRegistry readOnly;
    readOnly.setReadOnly(true);
    TForm9 f(w.state, readOnly, w.channel, w.chooser);
    f.show();
    click(f, "btn1");
    QCOMPARE(w.channel.messages, QStringList{"Ошибка записи настроек в реестр"});
    QVERIFY(!f.isVisible());
  }

  void pathChooserWritesAtOnce() {
    World w;
    TForm9& f = *w.form9;
    f.show();
    click(f, "chk4");
    QVERIFY(child<QPushButton>(f, "btn3")->isEnabled());
    w.chooser.answers = {"/opt/orvik/orvik.exe"};
    click(f, "btn3");
    QCOMPARE(w.chooser.requests.size(), 1u);
    QCOMPARE(w.chooser.requests[0].filter, QString("Программа Orvik|orvik.exe|Программа Marvela|marvela.exe"));
    QCOMPARE(w.chooser.requests[0].title,
             QString("Укажите путь к программе Orvik или нажмите \"отмена\" если будет использоваться локальная папка"));
    QCOMPARE(child<QLineEdit>(f, "edt4")->text(), QString("/opt/orvik/"));
    // The next choice starts in the folder chosen.
    click(f, "btn3");
    QCOMPARE(w.chooser.requests.size(), 2u);
    QCOMPARE(w.chooser.requests[1].startFolder, std::filesystem::path("/opt/orvik/"));
    // Stored at once: cancelling the dialog keeps it.
    click(f, "btn2");
    QCOMPARE(w.registry->readString(kSettingsKey, st::kOrvikPath), std::optional<std::string>("/opt/orvik/"));
    // A cancelled chooser with no path stores nothing.
    World fresh;
    fresh.form9->show();
    click(*fresh.form9, "chk4");
    click(*fresh.form9, "btn3");
    QVERIFY(!fresh.registry->keyExists(kSettingsKey));
  }

  void aboutBoxTogglesHistory() {
    TAboutBox box;
    box.show();
    auto* button = child<QPushButton>(box, "HistoryButton");
    QVERIFY(child<QLabel>(box, "Version")->text().contains("Tervolin"));
    QVERIFY(!child<QLabel>(box, "ProgramIcon")->pixmap().isNull());
    const QString caption = button->text();
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(box.showsHistory());
    QVERIFY(child<QPlainTextEdit>(box, "History")->toPlainText().contains("история версий"));
    QVERIFY(!child<QLabel>(box, "Version")->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!box.showsHistory());
    QVERIFY(child<QLabel>(box, "Version")->isVisible());
    QCOMPARE(button->text(), caption);
  }

  void textConversionRoundTrips() {
    // Every Windows-1251 byte but the unassigned 0x98 comes back unchanged.
    std::string all;
    for (int b = 1; b < 256; ++b)
      if (b != 0x98) all += static_cast<char>(b);
    const QString text = toQString(all);
    QCOMPARE(text.size(), qsizetype(all.size()));
    QCOMPARE(fromQString(text), all);
    QCOMPARE(toQString("Ёж ё№"_w), QString("Ёж ё№"));
    QCOMPARE(fromQString(QString("日本")), std::string("??"));
    QCOMPARE(toQString(std::string_view()), QString());
  }

  void userChannelShowsBoxes() {
    QtUserChannel channel(QStringLiteral("Tervolin"));
    QWidget main;
    main.show();
    channel.setMainWindow(&main);
    // Answers the next message box with `button` and records what it showed.
    QString shownText, shownTitle;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    const auto answer = [&](QMessageBox::StandardButton button) {
      QTimer::singleShot(0, [&, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shownText = box->text();
        shownTitle = box->windowTitle();
        shownIcon = box->icon();
        QVERIFY(box->button(button));
        box->button(button)->click();
      });
    };
    answer(QMessageBox::Ok);
    channel.message("Ошибка чтения настроек из реестра"_w);
    QCOMPARE(shownText, QString("Ошибка чтения настроек из реестра"));
    QCOMPARE(shownTitle, QString("Tervolin"));
    QCOMPARE(shownIcon, QMessageBox::Information);
    answer(QMessageBox::Ok);
    QVERIFY(channel.okBox("Файл пуст"_w));
    QCOMPARE(shownIcon, QMessageBox::Critical);
    answer(QMessageBox::Yes);
    QVERIFY(channel.yesNo("Профиль?"_w));
    answer(QMessageBox::No);
    QVERIFY(!channel.yesNo("Профиль?"_w));
    QCOMPARE(shownText, QString("Профиль?"));
    channel.closeMainWindow();
    QVERIFY(!main.isVisible());
  }

  // With TERVOLIN_SCREENSHOTS set to a folder, saves pictures of the windows.
  void screenshots() {
    const QString folder = qEnvironmentVariable("TERVOLIN_SCREENSHOTS");
    if (folder.isEmpty()) QSKIP("TERVOLIN_SCREENSHOTS not set");
    World w;
    w.form8->show();
    auto* tv1 = child<QTreeWidget>(*w.form8, "tv1");
    tv1->expandAll();
    tv1->setCurrentItem(findNode(tv1, "Микас 12.3(Евро4)"));
    click(*w.form8, "btnchoose");
    QVERIFY(w.form8->grab().save(folder + "/profile_dialog.png"));
    w.form9->show();
    QVERIFY(w.form9->grab().save(folder + "/settings_dialog.png"));
    TAboutBox box;
    box.show();
    QVERIFY(box.grab().save(folder + "/about_box.png"));
    box.HistoryButtonClick();
    QVERIFY(box.grab().save(folder + "/about_history.png"));
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
