#pragma once
// What the export items of the "Редактирование" menu ask and do, without
// windows: the save dialog each one shows (the main window's save dialog
// keeps the CSV settings once a CSV export set them) and which export
// "Записать результат/экспортировать" makes in the current view.

#include <string>
#include <string_view>

#include "common/app_state.h"
#include "common/text.h"

namespace tervolin {

// A save dialog as the program describes it (Windows-1251): filter pairs
// "description|masks|...", the default extension as the program writes it.
struct SaveRequest {
  std::string title;
  std::string filter;
  std::string defaultExtension;
  bool operator==(const SaveRequest&) const = default;
};

inline constexpr std::string_view kExportNotAllowed = "Функция не разрешена в этом режиме отображения данных"_w;

enum class ResultExport { Spreadsheet, Protocol, NotAllowed };

// ExpExcel: the spreadsheet in Table view, the protocol in LOG view.
ResultExport resultExportFor(ViewMode mode);

// The main window's save dialog: "Log|*.log" with the default extension
// "log" until the first CSV export, "CSV|*.CSV" with "*.CSV" from then on.
class SaveDialogSettings {
 public:
  // For "Экспорт в CSV": switches the dialog to the CSV settings for good.
  SaveRequest forCsvExport();
  // For the protocol: the dialog as it stands.
  SaveRequest forProtocol() const;
  // For the spreadsheet: its own filter; the dialog's settings stay.
  static SaveRequest forSpreadsheet();

 private:
  bool csv_ = false;
};

}  // namespace tervolin
