#pragma once
// The progress dialog of long work (see background_task.h): a title text,
// the share done and "Отмена". Closing it (Esc, the close box) asks to
// cancel as the button does; it stays until the work has ended.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tervolin {

class ProgressDialog : public QDialog {
  Q_OBJECT

 public:
  ProgressDialog(QWidget* parent, const QString& title, std::function<void()> onCancel);

  // `done` of `total`; a total of 0 shows a busy bar.
  void setShare(std::uint64_t done, std::uint64_t total);
  // What the work does now ("Чтение лога…"), shown instead of the title.
  void setStage(const QString& text);
  // Lines read in `seconds` of the stage: "Прочитано строк: 450 000
  // (1 250 000 в секунду)"; nothing while no lines are counted.
  void setLines(std::uint64_t lines, double seconds);

  QLabel* lblTitle;
  QProgressBar* pbShare;
  QLabel* lblLines;
  QPushButton* btnCancel;

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void cancel();

  std::function<void()> onCancel_;
};

}  // namespace tervolin
