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
  // Where the dialog opens while no file has been chosen yet.
  void setStartFolder(const QString& folder) { lastFolder_ = folder; }

  bool execute() override;

 private:
  QWidget* parent_;
  // The folder of the last chosen file: the dialog reopens there even after
  // its file name was emptied (the settings dialog's path chooser does that).
  QString lastFolder_;
};

}  // namespace tervolin
