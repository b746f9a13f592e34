#pragma once
// The open-file dialog on QFileDialog. The program writes its filters as
// "Описание|*.log|Описание|*.rtd" (pairs of description and pattern, joined
// by '|'); they are translated into Qt's name filters when the dialog opens.

#include <QStringList>

#include "app/file_chooser.h"

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
  void setParent(QWidget* parent) { parent_ = parent; }

  bool execute() override;

 private:
  QWidget* parent_;
};

}  // namespace tervolin
