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

  QLabel* lblTitle;
  QProgressBar* pbShare;
  QPushButton* btnCancel;

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void cancel();

  std::function<void()> onCancel_;
};

}  // namespace tervolin
