// The research window TForm7 driven through its controls' object names, on
// the throw-away log of the main window tests (two responses of 21 01, byte 0
// 7B and 7C, byte 1 2C and 2D), and its place in the main window's menu.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>
#include <random>

#include "app/main_window.h"
#include "common/paths.h"
#include "common/text.h"
#include "decode/formula_list.h"
#include "logs/layout_detection.h"
#include "profiles/settings_store.h"
#include "profiles/ui/profile_dialog.h"
#include "profiles/ui/settings_dialog.h"
#include "common/hex.h"
#include "qt/progress_dialog.h"
#include "qt/qt_registry.h"
#include "qt/qt_text.h"
#include "research/ui/research_window.h"
#include "support/test_support.h"
#include "ui/support/main_fixture.h"
#include "ui/support/scripted_file_chooser.h"

using namespace tervolin;
using tervolin::test::ScriptedChannel;

namespace {

constexpr int kLongPolls = 30000;

const QString kFT = QStringLiteral("FT: A-40 (-40.. 215`C) Температура воздуха или жидкости");

struct Folder {
  QTemporaryDir tmp;
  std::filesystem::path programDir = std::filesystem::path(tmp.path().toStdString()) / "prog";
  Folder() { test::main_makeLocalProfileFolder(programDir); }
};

// Notes what the result box held when each message came.
class BoxWatchingChannel : public ScriptedChannel {
 public:
  void message(std::string_view text) override {
    ScriptedChannel::message(text);
    boxAtMessage << (box ? box->toPlainText() : QString());
  }
  QPlainTextEdit* box = nullptr;
  QStringList boxAtMessage;
};

// The window on a log opened as the open command leaves it.
struct Research {
  Folder folder;
  AppState state;
  BoxWatchingChannel channel;
  std::unique_ptr<TForm7> form;

  Research() {
    state.openFileName = folder.programDir / "drive.log";
    std::string log;
    readWholeFile(state.openFileName, log);
    state.layout = detectLayout(log);
    state.requestCodeWidth = 4;
    state.decimalMark = ',';
    state.records.append(1, state.records.addSource({"2101", "0000", "C", "T"}), "83");
    form = std::make_unique<TForm7>(state, channel);
    channel.box = box();
    form->show();
  }
  template <class T>
  T* child(const char* name) const {
    T* w = form->findChild<T*>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
  }
  QComboBox* formula() const { return child<QComboBox>("Formula"); }
  QLineEdit* field(const char* name) const { return child<QLineEdit>(name); }
  QPlainTextEdit* box() const { return child<QPlainTextEdit>("mmo1"); }
  // The formula list loses the focus for `reason`.
  void leaveFormula(Qt::FocusReason reason = Qt::TabFocusReason) const {
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(formula(), &out);
  }
  void choose(const QString& text) const {
    formula()->setCurrentText(text);
    leaveFormula();
  }
  void search(const QString& min, const QString& max) const {
    field("edtmin")->setText(min);
    field("edtmax")->setText(max);
    child<QPushButton>("btn1")->click();
  }
  QStringList messages() const {
    QStringList out;
    for (const auto& e : channel.events)
      if (e.kind == ScriptedChannel::Event::Message) out << toQString(e.text);
    return out;
  }
};

QString reportLine(const QString& formula, const QString& min, const QString& max, const QString& position,
                   const QString& tail) {
  return QStringLiteral("Условия поиска: Формула:") + formula + " Max:" + max + QStringLiteral(" Мин:") + min +
         QStringLiteral(" № искомого БАЙТА:") + position + QStringLiteral(" Мода/Пид:2101 Совпадений:") + tail;
}

}  // namespace

class ResearchWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithTheListAndTheResourceTexts() {
    Research r;
    QCOMPARE(r.form->windowTitle(), QStringLiteral("Поищем значения?"));
    QCOMPARE(r.formula()->count(), 86);
    const auto items = formulaListItems();
    for (int i = 0; i < r.formula()->count(); ++i)
      QCOMPARE(r.formula()->itemText(i), toQString(items[static_cast<std::size_t>(i)]));
    QVERIFY(r.formula()->isEditable());
    QCOMPARE(r.field("edtmin")->text(), QStringLiteral("edtmin"));
    QCOMPARE(r.field("edtmax")->text(), QStringLiteral("edtmax"));
    QCOMPARE(r.child<QCheckBox>("chk1")->text(), QStringLiteral("Инверсия"));
    QCOMPARE(r.child<QPushButton>("btn1")->text(), QStringLiteral("Поиск"));
    QCOMPARE(r.child<QPushButton>("btnexit")->text(), QStringLiteral("Выход"));
    QVERIFY(r.field("edtz")->isVisible());
    QVERIFY(r.box()->toPlainText().isEmpty());
  }

  void leavingTheFormulaListFillsTheRange() {
    Research r;
    r.choose(kFT);
    QCOMPARE(r.field("edtmin")->text(), QStringLiteral("-40"));
    QCOMPARE(r.field("edtmax")->text(), QStringLiteral("215"));
    r.choose(QStringLiteral("FD: A*0.005 Напряжение на ДК "));  // no range: the fields stay
    QCOMPARE(r.field("edtmin")->text(), QStringLiteral("-40"));
    r.formula()->setCurrentText(QStringLiteral("FK:  (A-128)*100/128 (-100..99.22)"));
    r.leaveFormula(Qt::PopupFocusReason);  // opening the drop-down is no leaving
    QCOMPARE(r.field("edtmin")->text(), QStringLiteral("-40"));
    r.leaveFormula(Qt::MouseFocusReason);
    QCOMPARE(r.field("edtmin")->text(), QStringLiteral("-100"));
    QCOMPARE(r.field("edtmax")->text(), QStringLiteral("9922"));
  }

  void searchFillsTheResultBox() {
    Research r;
    r.choose(kFT);
    r.state.byteOrderInversion = true;
    r.child<QCheckBox>("chk1")->setChecked(false);
    r.search(QStringLiteral("80"), QStringLiteral("90"));
    QCOMPARE(r.box()->toPlainText(),
             reportLine(kFT, QStringLiteral("80"), QStringLiteral("90"), QStringLiteral("0000"),
                        QStringLiteral("2из 2 100,00%")));
    QCOMPARE(r.messages(), QStringList{QStringLiteral("Все!")});
    QCOMPARE(r.channel.boxAtMessage, QStringList{r.box()->toPlainText()});  // filled before "Все!"
    QVERIFY(r.state.byteOrderInversion);  // given back

    // A bound that is not a number: a message, the box keeps its lines.
    const QString before = r.box()->toPlainText();
    r.search(QStringLiteral("edtmin"), QStringLiteral("90"));
    QCOMPARE(r.messages().last(), QStringLiteral("'edtmin' не является числом"));
    QCOMPARE(r.box()->toPlainText(), before);

    // Nothing in range: the box is emptied.
    r.search(QStringLiteral("200"), QStringLiteral("210"));
    QVERIFY(r.box()->toPlainText().isEmpty());
    QCOMPARE(r.messages().last(), QStringLiteral("Все!"));
  }

  void theLogGoneIsAMessage() {
    Research r;
    std::filesystem::remove(r.state.openFileName);
    r.search(QStringLiteral("0"), QStringLiteral("1"));
    QCOMPARE(r.messages().size(), 1);
    QVERIFY(r.messages()[0].startsWith(QStringLiteral("Ошибка ввода/вывода")));
  }

  void anUnreadableByteBoxCanStopTheSearch() {
    // FH writes the byte as hex text: 2C is a number, 7B is not.
    Research r;
    r.formula()->setCurrentText(QStringLiteral("FH"));
    QStringList boxes;
    test::main_whenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      boxes << box->text();
      for (QAbstractButton* b : box->buttons())
        if (b->text() == QStringLiteral("Прервать поиск")) b->click();
    });
    r.search(QStringLiteral("0"), QStringLiteral("99"));
    QCOMPARE(boxes, QStringList{QStringLiteral("7B 2C;st_byte - 0000 №цикла- 0")});
    QVERIFY(r.messages().isEmpty());  // stopped: no "Все!"
    QVERIFY(r.box()->toPlainText().isEmpty());
  }

  void cancelShowsWhatWasFoundSoFar() {
    // Long responses of random words: the byte pairs rarely repeat, so the
    // search takes seconds and the progress dialog comes up.
    Research r;
    std::mt19937 rng(7);
    std::string log;
    for (int poll = 0; poll < kLongPolls; ++poll) {
      log += "TxD 82 10 F1 21 01 A5\r\nRxD 80 F1 10 FF 61 01";
      for (int b = 0; b < 250; ++b) log += " " + hexByte(static_cast<std::uint8_t>(b == 0 ? 0x10 : rng()));
      log += " 00\r\n";
    }
    test::writeFile(r.state.openFileName, log);
    r.state.lengthOffset = 3;
    r.state.byteOrderInversion = true;
    r.formula()->setCurrentText(QStringLiteral("FL: (A*256+B)*0.0000305 (0..2)"));
    // The window itself is modal: wait for the progress dialog on top of it.
    bool sawProgress = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (auto* progress = qobject_cast<ProgressDialog*>(QApplication::activeModalWidget())) {
        sawProgress = true;
        watch.stop();
        progress->btnCancel->click();
      }
    });
    watch.start(10);
    QElapsedTimer clock;
    clock.start();
    r.search(QStringLiteral("0,1"), QStringLiteral("0,2"));
    QVERIFY2(sawProgress, qPrintable(QStringLiteral("the search ended after %1 ms").arg(clock.elapsed())));
    QVERIFY(r.messages().isEmpty());  // no "Все!"
    const QString found = r.box()->toPlainText();
    QVERIFY(found.startsWith(QStringLiteral("Условия поиска: Формула:FL")));  // byte 0 (0x10..) matched
    QVERIFY(!found.contains(QStringLiteral("из %1 ").arg(kLongPolls)));          // not every response was read
    QVERIFY(r.state.byteOrderInversion);
  }

  void exitClosesTheWindow() {
    Research r;
    QVERIFY(r.form->isVisible());
    r.child<QPushButton>("btnexit")->click();
    QVERIFY(!r.form->isVisible());
  }

  void theMenuItemOpensANewWindowEachTime() {
    QTemporaryDir tmp;
    const auto programDir = std::filesystem::path(tmp.path().toStdString()) / "prog";
    test::main_makeLocalProfileFolder(programDir);
    QtRegistry registry(tmp.filePath(QStringLiteral("settings.ini")));
    registry.writeString(kSettingsKey, "OrvikPath", "");
    registry.writeInt(kSettingsKey, "TablOnly", 0);
    registry.writeInt(kSettingsKey, "GraphOnly", 0);
    ScriptedChannel channel;
    test::ScriptedFileChooser chooser;
    AppState state;
    state.programDir = programDir;
    state.decimalMark = ',';
    TForm1 form(state, registry, channel, chooser);
    TForm9 settings(state, registry, channel, chooser, &form);
    TForm8 profiles(state, registry, channel, settings, &form);
    form.setDialogs(&profiles, &settings);
    form.show();

    auto* menu = form.findChild<QMenu*>(QStringLiteral("N10"));
    auto* item = form.findChild<QAction*>(QStringLiteral("mnuResearch"));
    QVERIFY(menu && item);
    QCOMPARE(item->text(), QStringLiteral("Исследование"));
    QVERIFY(menu->actions().contains(item));
    QVERIFY(!menu->menuAction()->isEnabled());

    chooser.answers.push_back(QString::fromStdString((programDir / "drive.log").string()));
    form.findChild<QPushButton*>(QStringLiteral("btn1"))->click();
    QVERIFY(menu->menuAction()->isEnabled());

    for (int use = 0; use < 2; ++use) {
      QString title, minimum;
      test::main_whenModal([&](QWidget* modal) {
        title = modal->windowTitle();
        auto* research = qobject_cast<TForm7*>(modal);
        QVERIFY(research);
        minimum = research->edtmin->text();
        research->edtmin->setText(QStringLiteral("typed"));  // must not survive the window
        research->btnexit->click();
      });
      item->trigger();
      QCOMPARE(title, QStringLiteral("Поищем значения?"));
      QCOMPARE(minimum, QStringLiteral("edtmin"));
      QVERIFY(form.findChildren<TForm7*>().isEmpty());  // destroyed on close
    }
  }
};

QTEST_MAIN(ResearchWindowTest)
#include "research_window_test.moc"
