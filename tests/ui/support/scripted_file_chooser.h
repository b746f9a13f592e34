#pragma once
// A FileChooser for window tests: answers execute() from a queue of file
// names (an empty name, or an empty queue, is a cancelled dialog) and records
// what the dialog looked like at each call.

#include <QString>
#include <QStringList>
#include <deque>

#include "app/file_chooser.h"

namespace tervolin::test {

class ScriptedFileChooser : public FileChooser {
 public:
  bool execute() override {
    ++calls;
    titles << title;
    filters << filter;
    suffixes << defaultSuffix;
    if (answers.empty()) return false;
    const QString next = answers.front();
    answers.pop_front();
    if (next.isEmpty()) return false;
    fileName = next;
    return true;
  }

  std::deque<QString> answers;
  int calls = 0;
  QStringList titles, filters, suffixes;
};

}  // namespace tervolin::test
