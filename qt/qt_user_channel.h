#pragma once
// UserChannel on message boxes: messages, the OK box, Yes/No questions, and
// closing the main window.

#include <QPointer>
#include <QString>
#include <QWidget>

#include "common/user_channel.h"

namespace tervolin {

class QtUserChannel : public UserChannel {
 public:
  explicit QtUserChannel(QString title = QStringLiteral("Tervolin")) : title_(std::move(title)) {}

  // The window that boxes are centred on and that closeMainWindow() closes.
  void setMainWindow(QWidget* window) { mainWindow_ = window; }

  void message(std::string_view text) override;
  bool okBox(std::string_view text) override;
  bool yesNo(std::string_view text) override;
  void closeMainWindow() override;

 private:
  QWidget* parentWidget() const;

  QString title_;
  QPointer<QWidget> mainWindow_;
};

}  // namespace tervolin
