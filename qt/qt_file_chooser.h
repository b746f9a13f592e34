#pragma once
// The file chooser on QFileDialog. The program writes its filters as
// "Описание|*.log|Описание|*.rtd" (pairs of description and pattern, joined
// by '|'); they are translated into Qt's name filters when the dialog opens.

#include <QStringList>

#include "qt/file_chooser.h"

class QWidget;

namespace tervolin {

// "Описание|*.log|Другое|*.rtd" -> {"Описание (*.log)", "Другое (*.rtd)"}.
// A pattern may list several masks separated by ';'. A trailing description
// without a pattern is dropped; an empty filter gives no name filters.
QStringList qtNameFilters(const QString& programFilter);

// "*.log" -> "log", ".log" -> "log", "log" -> "log".
QString qtDefaultSuffix(const QString& programSuffix);

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
