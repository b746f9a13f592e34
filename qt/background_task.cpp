#include "qt/background_task.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "qt/progress_dialog.h"
#include "qt/qt_text.h"

namespace tervolin {
namespace {

constexpr int kRefreshMs = 50;

// The worker stores, the GUI thread reads.
class TaskProgress : public Progress {
 public:
  void report(std::uint64_t done, std::uint64_t total) override {
    done_.store(done, std::memory_order_relaxed);
    total_.store(total, std::memory_order_relaxed);
  }
  void lines(std::uint64_t count) override { lines_.store(count, std::memory_order_relaxed); }
  void stage(std::string_view text) override {
    const std::lock_guard lock(mutex_);
    stage_ = std::string(text);
    stageStart_ = std::chrono::steady_clock::now();
    ++stages_;
    done_.store(0, std::memory_order_relaxed);
    total_.store(0, std::memory_order_relaxed);
    lines_.store(0, std::memory_order_relaxed);
  }
  bool cancelled() const override { return cancel_.load(std::memory_order_relaxed); }

  void cancel() { cancel_.store(true, std::memory_order_relaxed); }
  std::uint64_t done() const { return done_.load(std::memory_order_relaxed); }
  std::uint64_t total() const { return total_.load(std::memory_order_relaxed); }
  std::uint64_t lineCount() const { return lines_.load(std::memory_order_relaxed); }
  // The stage text (Windows-1251), how many stages began so far and the
  // seconds since the current one began.
  struct Stage {
    std::string text;
    int count;
    double seconds;
  };
  Stage currentStage() const {
    const std::lock_guard lock(mutex_);
    return {stage_, stages_, std::chrono::duration<double>(std::chrono::steady_clock::now() - stageStart_).count()};
  }

 private:
  std::atomic<std::uint64_t> done_{0}, total_{0}, lines_{0};
  std::atomic<bool> cancel_{false};
  mutable std::mutex mutex_;
  std::string stage_;
  int stages_ = 0;
  std::chrono::steady_clock::time_point stageStart_ = std::chrono::steady_clock::now();
};

// The worker's channel: each call runs on `target` in the GUI thread (where
// `context` lives) while the worker waits for it; what the call throws is
// thrown again in the worker. `asking` tells the GUI thread a box is open.
class ForwardingChannel : public UserChannel {
 public:
  ForwardingChannel(QObject& context, UserChannel& target, bool& asking)
      : context_(context), target_(target), asking_(asking) {}

  void message(std::string_view text) override {
    call([&] {
      target_.message(text);
      return true;
    });
  }
  void similarMessage(std::string_view kind, std::string_view text) override {
    call([&] {
      target_.similarMessage(kind, text);
      return true;
    });
  }
  bool okBox(std::string_view text) override { return call([&] { return target_.okBox(text); }); }
  bool yesNo(std::string_view text) override { return call([&] { return target_.yesNo(text); }); }
  void closeMainWindow() override {
    call([&] {
      target_.closeMainWindow();
      return true;
    });
  }

 private:
  template <class Call>
  bool call(Call&& onGuiThread) {
    bool answer = false;
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        &context_,
        [&] {
          asking_ = true;
          try {
            answer = onGuiThread();
          } catch (...) {
            failure = std::current_exception();
          }
          asking_ = false;
        },
        Qt::BlockingQueuedConnection);
    if (failure) std::rethrow_exception(failure);
    return answer;
  }

  QObject& context_;
  UserChannel& target_;
  bool& asking_;
};

}  // namespace

TaskEnd runInBackground(QWidget* parent, const QString& title, UserChannel& channel,
                        const std::function<void(Progress& progress, UserChannel& channel)>& work) {
  // The work is one command: its repeated messages are counted together.
  const CommandScope command(channel);
  TaskProgress progress;
  QObject context;  // lives on the GUI thread: the worker's calls run there
  bool asking = false;
  ForwardingChannel forwarding(context, channel, asking);
  ProgressDialog dialog(parent, title, [&progress] { progress.cancel(); });

  // Set on the GUI thread when the worker has ended.
  bool finished = false;
  bool cancelled = false;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work(progress, forwarding);
    } catch (const Cancelled&) {
      cancelled = true;
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&context, [&finished] { finished = true; }, Qt::QueuedConnection);
  });

  // After the delay the dialog shows, unless a box is open: then it shows at
  // the first refresh after the answer.
  QTimer refresh;
  refresh.setInterval(kRefreshMs);
  // Lines per second count from the start of the stage they belong to.
  int stageSeen = 0;
  const auto tick = [&] {
    const TaskProgress::Stage stage = progress.currentStage();
    if (stage.count != stageSeen) {
      stageSeen = stage.count;
      dialog.setStage(stage.text.empty() ? title : toQString(stage.text));
    }
    dialog.setShare(progress.done(), progress.total());
    dialog.setLines(progress.lineCount(), stage.seconds);
    if (!asking && !finished && !dialog.isVisible()) dialog.show();
  };
  QObject::connect(&refresh, &QTimer::timeout, &context, tick);
  QTimer::singleShot(kProgressDelayMs, &context, [&] {
    refresh.start();
    tick();
  });

  // Until the dialog shows, user input waits (it is delivered afterwards, or
  // blocked by the modal dialog once it is up), so no handler of the window
  // runs while the work does.
  while (!finished) {
    const QEventLoop::ProcessEventsFlags flags =
        dialog.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
  }
  worker.join();
  refresh.stop();
  dialog.hide();

  if (failure) std::rethrow_exception(failure);
  return cancelled ? TaskEnd::Cancelled : TaskEnd::Done;
}

}  // namespace tervolin
