#pragma once
// A FileChooser for window tests: answers each request from a queue of paths
// (an empty path, or an empty queue, is a cancelled dialog) and records every
// request it was given.

#include <QString>
#include <deque>
#include <vector>

#include "qt/file_chooser.h"
#include "qt/qt_text.h"

namespace tervolin::test {

class ScriptedFileChooser : public FileChooser {
 public:
  std::optional<std::filesystem::path> choose(const FileRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    const QString next = answers.front();
    answers.pop_front();
    if (next.isEmpty()) return std::nullopt;
    return pathFromQString(next);
  }

  std::deque<QString> answers;
  std::vector<FileRequest> requests;
};

}  // namespace tervolin::test
