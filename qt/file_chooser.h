#pragma once
// The file chooser: a request in (title, filter, default extension, start
// folder), the chosen path out. The windows ask it for a file to open or a
// name to save under; tests answer it from a script.

#include <QString>
#include <filesystem>
#include <optional>

namespace tervolin {

struct FileRequest {
  enum class Mode { Open, Save };

  QString title;
  QString filter;         // "Описание|*.log|Описание|*.rtd", as the program writes it
  QString defaultSuffix;  // "*.log"
  std::filesystem::path startFolder;  // where the dialog opens; empty: the current folder
  Mode mode = Mode::Open;
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;

  // Shows the dialog; the chosen path, or nothing when the user cancelled.
  // An open request gives an existing file.
  virtual std::optional<std::filesystem::path> choose(const FileRequest& request) = 0;
};

}  // namespace tervolin
