#pragma once
// A FileChooser for window tests: records what the dialog looked like when
// it was shown and "picks" a scripted file name (or cancels when empty).

#include <QString>
#include <QStringList>

#include "app/file_chooser.h"

namespace tervolin::test {

class ScriptedFileChooser : public FileChooser {
 public:
  bool execute() override {
    shownTitles << title;
    shownFilters << filter;
    if (answer.isEmpty()) return false;
    fileName = answer;
    return true;
  }

  QString answer;  // the file the user picks; empty = "Отмена"
  QStringList shownTitles, shownFilters;
};

}  // namespace tervolin::test
