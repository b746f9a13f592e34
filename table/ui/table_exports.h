#pragma once
// The export items of the "Редактирование" menu: "Экспорт в CSV" (CSV1Click)
// and "Записать результат/экспортировать" (ExpExcel). They ask for the target
// in the main window's save dialog, run the core export off the GUI thread
// (a progress dialog with a cancel button after 0.3 s; a cancelled export
// leaves no file) and report through the user channel; a written workbook
// is opened with the desktop's handler for .xlsx.

#include <filesystem>
#include <functional>
#include <optional>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/export_file.h"
#include "table/export_menu.h"
#include "qt/desktop_services.h"
#include "table/grid.h"

class QWidget;

namespace tervolin {

class FileChooser;

class TableExports {
 public:
  TableExports(QWidget* parent, FileChooser& saveDialog, UserChannel& channel);

  void CSV1Click(const AppState& state, const Grid& grid);
  void ExpExcel(const AppState& state, const Grid& grid);

  // How a written workbook is shown: the desktop's handler by default;
  // tests replace it.
  using DocumentOpener = tervolin::DocumentOpener;
  void setDocumentOpener(DocumentOpener opener) { openDocument_ = std::move(opener); }

 private:
  std::optional<std::filesystem::path> askTarget(const SaveRequest& request, const AppState& state);
  // Runs an export in the background; reports a failure or a notice. False
  // when it was cancelled or failed.
  bool run(const std::function<ExportResult(Progress&)>& work);

  QWidget* parent_;
  FileChooser& saveDialog_;
  UserChannel& channel_;
  SaveDialogSettings dialogSettings_;
  DocumentOpener openDocument_;
};

}  // namespace tervolin
