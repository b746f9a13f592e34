#include "table/ui/table_exports.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QUrl>

#include "common/paths.h"
#include "common/text.h"
#include "qt/file_chooser.h"
#include "qt/qt_text.h"
#include "table/csv_export.h"
#include "table/protocol_export.h"
#include "table/xlsx_export.h"

namespace tervolin {
namespace {

constexpr int kProgressDelayMs = 300;
constexpr int kProgressSteps = 1000;

}  // namespace

TableExports::TableExports(QWidget* parent, FileChooser& saveDialog, UserChannel& channel)
    : parent_(parent), saveDialog_(saveDialog), channel_(channel), openDocument_([](const std::filesystem::path& file) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(pathToQString(file)));
      }) {}

std::optional<std::filesystem::path> TableExports::askTarget(const SaveRequest& request, const AppState& state) {
  FileRequest dialog;
  dialog.mode = FileRequest::Mode::Save;
  dialog.title = toQString(request.title);
  dialog.filter = toQString(request.filter);
  dialog.defaultSuffix = toQString(request.defaultExtension);
  dialog.startFolder = state.openFileName.parent_path();
  return saveDialog_.choose(dialog);
}

ExportResult TableExports::run(const std::function<ExportResult(const ExportProgress&)>& work) {
  QProgressDialog progress(QStringLiteral("Экспорт..."), QStringLiteral("Отмена"), 0, kProgressSteps, parent_);
  progress.setWindowTitle(QStringLiteral("Экспорт"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(kProgressDelayMs);
  progress.setAutoReset(false);
  progress.setAutoClose(false);
  QElapsedTimer sinceEvents;
  sinceEvents.start();
  const ExportResult result = work([&](std::uint64_t done, std::uint64_t total) {
    if (sinceEvents.elapsed() >= 30 || done == total) {
      progress.setValue(total == 0 ? kProgressSteps : static_cast<int>(done * kProgressSteps / total));
      QApplication::processEvents();
      sinceEvents.restart();
    }
    return !progress.wasCanceled();
  });
  progress.close();
  if (!result.message.empty()) channel_.message(result.message);
  return result;
}

void TableExports::CSV1Click(const AppState& state, const Grid& grid) {
  const std::optional<std::filesystem::path> target = askTarget(dialogSettings_.forCsvExport(), state);
  if (!target) return;
  run([&](const ExportProgress& progress) { return exportCsvFile(grid, *target, progress); });
}

void TableExports::ExpExcel(const AppState& state, const Grid& grid) {
  switch (resultExportFor(state.viewMode)) {
    case ResultExport::Protocol: {
      const std::optional<std::filesystem::path> target = askTarget(dialogSettings_.forProtocol(), state);
      if (target) run([&](const ExportProgress& progress) { return exportProtocolFile(grid, *target, progress); });
      return;
    }
    case ResultExport::Spreadsheet: {
      const std::optional<std::filesystem::path> target = askTarget(SaveDialogSettings::forSpreadsheet(), state);
      if (!target) return;
      const GridSheet sheet(grid);
      const ExportResult result =
          run([&](const ExportProgress& progress) { return writeXlsx(sheet, *target, progress); });
      if (result.status == ExportStatus::Written && !openDocument_(*target))
        channel_.message(std::string(kNoWorkbookViewer) + pathText(*target));
      return;
    }
    case ResultExport::NotAllowed:
      channel_.message(kExportNotAllowed);
      return;
  }
}

}  // namespace tervolin
