#pragma once
// The main window's open-file dialog as an object that other windows borrow
// (the settings dialog's path chooser changes its filter and title, then
// restores them). Tests replace it with a scripted chooser.

#include <QString>

namespace tervolin {

class FileChooser {
 public:
  virtual ~FileChooser() = default;

  QString title;
  QString filter;         // "Описание|*.log|Описание|*.rtd", as the program writes it
  QString defaultSuffix;  // "*.log"
  QString fileName;       // the chosen (open) file; empty when none

  // Shows the dialog; true when the user picked a file (fileName is set).
  virtual bool execute() = 0;
};

}  // namespace tervolin
