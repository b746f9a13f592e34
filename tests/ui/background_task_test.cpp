// Long work off the GUI thread: the progress dialog after the delay, the
// questions of the worker answered on the GUI thread through the scripted
// channel, cancelling, and exceptions carried back to the caller.

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <thread>

#include "common/text.h"
#include "qt/background_task.h"
#include "qt/progress_dialog.h"
#include "ui/support/scripted_user_channel.h"

using namespace tervolin;
using namespace std::chrono_literals;

namespace {

ProgressDialog* visibleDialog() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<ProgressDialog*>(w); d && d->isVisible()) return d;
  return nullptr;
}

}  // namespace

class BackgroundTaskTest : public QObject {
  Q_OBJECT

 private slots:
  void quickWorkRunsOffTheGuiThreadWithoutADialog() {
    test::ScriptedUserChannel channel;
    std::thread::id workerThread;
    int value = 0;
    bool sawDialog = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] { sawDialog = sawDialog || visibleDialog(); });
    watch.start(10);
    const TaskEnd end = runInBackground(nullptr, QStringLiteral("Открытие"), channel, [&](Progress& p, UserChannel&) {
      workerThread = std::this_thread::get_id();
      p.report(1, 1);
      std::this_thread::sleep_for(50ms);
      value = 42;
    });
    QCOMPARE(end, TaskEnd::Done);
    QCOMPARE(value, 42);
    QVERIFY(workerThread != std::this_thread::get_id());
    QVERIFY(!sawDialog);
    QVERIFY(!visibleDialog());
  }

  void workerQuestionsAreAnsweredOnTheGuiThread() {
    test::ScriptedUserChannel channel;
    channel.yesNoAnswers = {true, false};
    bool onGuiThread = true;
    channel.onQuestion = [&] { onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread(); };
    bool first = false, second = true, ok = false;
    const TaskEnd end = runInBackground(nullptr, QStringLiteral("Чтение"), channel, [&](Progress&, UserChannel& ch) {
      first = ch.yesNo("Прервать?"_w);
      second = ch.yesNo("Ещё раз?"_w);
      ch.message("Готово"_w);
      ok = ch.okBox("Профиль не подходит"_w);
      ch.closeMainWindow();
    });
    QCOMPARE(end, TaskEnd::Done);
    QVERIFY(first);
    QVERIFY(!second);
    QVERIFY(ok);
    QVERIFY(onGuiThread);
    QCOMPARE(channel.questions, (QStringList{"Прервать?", "Ещё раз?"}));
    QCOMPARE(channel.messages, QStringList{"Готово"});
    QCOMPARE(channel.okBoxes, QStringList{"Профиль не подходит"});
    QCOMPARE(channel.closeRequests, 1);
  }

  void dialogAfterTheDelayShowsTheShareAndCancels() {
    test::ScriptedUserChannel channel;
    bool earlyDialog = true;
    QString shownTitle;
    int shownShare = -1;
    QTimer::singleShot(kProgressDelayMs / 2, [&] { earlyDialog = visibleDialog() != nullptr; });
    QTimer::singleShot(kProgressDelayMs + 400, [&] {
      ProgressDialog* d = visibleDialog();
      QVERIFY(d);
      QVERIFY(d->isModal());
      shownTitle = d->lblTitle->text();
      shownShare = d->pbShare->value();
      // With TERVOLIN_SCREENSHOTS set to a folder, a picture of the dialog.
      if (const QString folder = qEnvironmentVariable("TERVOLIN_SCREENSHOTS"); !folder.isEmpty())
        QVERIFY(d->grab().save(folder + "/progress_dialog.png"));
      QTest::mouseClick(d->btnCancel, Qt::LeftButton);
    });
    std::uint64_t reached = 0;
    const TaskEnd end =
        runInBackground(nullptr, QStringLiteral("Поиск формулы"), channel, [&](Progress& p, UserChannel&) {
          const auto start = std::chrono::steady_clock::now();
          for (std::uint64_t i = 0; std::chrono::steady_clock::now() - start < 30s; ++i) {
            throwIfCancelled(p);
            p.report(i, 4000);
            reached = i;
            std::this_thread::sleep_for(1ms);
          }
        });
    QCOMPARE(end, TaskEnd::Cancelled);
    QVERIFY(!earlyDialog);
    QCOMPARE(shownTitle, QStringLiteral("Поиск формулы"));
    QVERIFY2(shownShare > 0, qPrintable(QString::number(shownShare)));
    QVERIFY(reached < 30000);
    QVERIFY(!visibleDialog());
  }

  void noDialogWhileABoxIsOpen() {
    test::ScriptedUserChannel channel;
    channel.yesNoAnswers = {true};
    bool dialogDuringBox = false;
    // The user reads the box for longer than the delay.
    channel.onQuestion = [&] {
      QEventLoop reading;
      QTimer::singleShot(kProgressDelayMs + 300, &reading, &QEventLoop::quit);
      reading.exec();
      dialogDuringBox = visibleDialog() != nullptr;
    };
    std::atomic<bool> dialogAfterBox{false};
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
      if (visibleDialog()) dialogAfterBox = true;
    });
    watch.start(10);
    const TaskEnd end = runInBackground(nullptr, QStringLiteral("Экспорт"), channel, [&](Progress&, UserChannel& ch) {
      ch.yesNo("Прервать?"_w);
      const auto start = std::chrono::steady_clock::now();
      while (!dialogAfterBox && std::chrono::steady_clock::now() - start < 10s) std::this_thread::sleep_for(5ms);
    });
    QCOMPARE(end, TaskEnd::Done);
    QVERIFY(!dialogDuringBox);
    QVERIFY(dialogAfterBox);
  }

  void exceptionsComeBackToTheCaller() {
    test::ScriptedUserChannel channel;
    const auto runThrowing = [&](auto thrown) {
      runInBackground(nullptr, QStringLiteral("Сбой"), channel, [&](Progress&, UserChannel&) { throw thrown; });
    };
    QVERIFY_THROWS_EXCEPTION(ProgramEnds, runThrowing(ProgramEnds()));
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, runThrowing(std::bad_alloc()));
    try {
      runThrowing(std::runtime_error("disk gone"));
      QFAIL("no exception");
    } catch (const std::runtime_error& e) {
      QCOMPARE(QString(e.what()), QStringLiteral("disk gone"));
    }
    // What the GUI side of a question throws reaches the worker, and from
    // there the caller.
    struct Refusing : test::ScriptedUserChannel {
      bool yesNo(std::string_view) override { throw ProgramEnds(); }
    } refusing;
    bool after = false;
    QVERIFY_THROWS_EXCEPTION(ProgramEnds, runInBackground(nullptr, QStringLiteral("Сбой"), refusing,
                                                          [&](Progress&, UserChannel& ch) {
                                                            ch.yesNo("?"_w);
                                                            after = true;
                                                          }));
    QVERIFY(!after);
    QVERIFY(!visibleDialog());
  }

  void noProgressIsQuietAndNeverCancelled() {
    Progress& none = noProgress();
    none.report(5, 10);
    QVERIFY(!none.cancelled());
    throwIfCancelled(none);
  }
};

QTEST_MAIN(BackgroundTaskTest)
#include "background_task_test.moc"
