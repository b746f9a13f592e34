#include "table/export_menu.h"

namespace tervolin {
namespace {

constexpr std::string_view kSaveTitle = "Сохранить как"_w;

SaveRequest request(std::string_view filter, std::string_view extension) {
  return {std::string(kSaveTitle), std::string(filter), std::string(extension)};
}

}  // namespace

ResultExport resultExportFor(ViewMode mode) {
  switch (mode) {
    case ViewMode::Table:
      return ResultExport::Spreadsheet;
    case ViewMode::Log:
      return ResultExport::Protocol;
  }
  return ResultExport::NotAllowed;
}

SaveRequest SaveDialogSettings::forCsvExport() {
  csv_ = true;
  return forProtocol();
}

SaveRequest SaveDialogSettings::forProtocol() const {
  return csv_ ? request("CSV|*.CSV", "*.CSV") : request("Log|*.log", "log");
}

SaveRequest SaveDialogSettings::forSpreadsheet() { return request("Excel|*.xlsx", "xlsx"); }

}  // namespace tervolin
