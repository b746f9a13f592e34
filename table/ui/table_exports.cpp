#include "table/ui/table_exports.h"

#include "common/paths.h"
#include "common/text.h"
#include "qt/background_task.h"
#include "qt/file_chooser.h"
#include "qt/qt_text.h"
#include "table/csv_export.h"
#include "table/protocol_export.h"
#include "table/xlsx_export.h"

namespace tervolin {
TableExports::TableExports(QWidget* parent, FileChooser& saveDialog, UserChannel& channel)
    : parent_(parent), saveDialog_(saveDialog), channel_(channel), openDocument_(openWithDesktop) {}

std::optional<std::filesystem::path> TableExports::askTarget(const SaveRequest& request, const AppState& state) {
  FileRequest dialog;
  dialog.mode = FileRequest::Mode::Save;
  dialog.title = toQString(request.title);
  dialog.filter = toQString(request.filter);
  dialog.defaultSuffix = toQString(request.defaultExtension);
  dialog.startFolder = state.openFileName.parent_path();
  return saveDialog_.choose(dialog);
}

bool TableExports::run(const std::function<ExportResult(Progress&)>& work) {
  ExportResult result;
  const TaskEnd end = runInBackground(parent_, QStringLiteral("Экспорт"), channel_,
                                      [&](Progress& progress, UserChannel&) { result = work(progress); });
  if (end == TaskEnd::Cancelled) return false;
  if (!result.message.empty()) channel_.message(result.message);
  return result.status == ExportStatus::Written;
}

void TableExports::CSV1Click(const AppState& state, const Grid& grid) {
  const std::optional<std::filesystem::path> target = askTarget(dialogSettings_.forCsvExport(), state);
  if (!target) return;
  run([&](Progress& progress) { return exportCsvFile(grid, *target, progress); });
}

void TableExports::ExpExcel(const AppState& state, const Grid& grid) {
  switch (resultExportFor(state.viewMode)) {
    case ResultExport::Protocol: {
      const std::optional<std::filesystem::path> target = askTarget(dialogSettings_.forProtocol(), state);
      if (target) run([&](Progress& progress) { return exportProtocolFile(grid, *target, progress); });
      return;
    }
    case ResultExport::Spreadsheet: {
      const std::optional<std::filesystem::path> target = askTarget(SaveDialogSettings::forSpreadsheet(), state);
      if (!target) return;
      const GridSheet sheet(grid);
      const bool written = run([&](Progress& progress) { return writeXlsx(sheet, *target, progress); });
      if (written && !openDocument_(*target)) channel_.message(std::string(kNoWorkbookViewer) + pathText(*target));
      return;
    }
    case ResultExport::NotAllowed:
      channel_.message(kExportNotAllowed);
      return;
  }
}

}  // namespace tervolin
