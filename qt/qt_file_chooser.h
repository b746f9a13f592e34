#pragma once
// The file chooser on QFileDialog. The program writes its filters as
// "Описание|*.log|Описание|*.rtd" (pairs of description and pattern, joined
// by '|'); they are translated into Qt's name filters when the dialog opens.

#include <QSize>
#include <QStringList>

#include "qt/file_chooser.h"

class QScreen;
class QWidget;

namespace tervolin {

// "Описание|*.log|Другое|*.rtd" -> {"Описание (*.log)", "Другое (*.rtd)"}.
// A pattern may list several masks separated by ';'. A trailing description
// without a pattern is dropped; an empty filter gives no name filters.
QStringList qtNameFilters(const QString& programFilter);

// "*.log" -> "log", ".log" -> "log", "log" -> "log".
QString qtDefaultSuffix(const QString& programSuffix);

// The size the file dialog opens at on `screen`: 960 x 640, or nine tenths
// of the screen's free area where that is smaller.
QSize fileDialogSize(const QScreen* screen);

class QtFileChooser : public FileChooser {
 public:
  explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
  // The window the dialog is modal to.
  void setParent(QWidget* parent) { parent_ = parent; }

  std::optional<std::filesystem::path> choose(const FileRequest& request) override;

 private:
  QWidget* parent_;
};

}  // namespace tervolin
