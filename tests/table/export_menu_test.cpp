// The export menu items' dialogs and the choice of export by view.

#include <gtest/gtest.h>

#include "table/export_menu.h"

namespace tervolin {
namespace {

TEST(ExportMenu, TheSaveDialogKeepsTheCsvSettingsOnceACsvExportSetThem) {
  SaveDialogSettings dialog;
  EXPECT_EQ(dialog.forProtocol().filter, "Log|*.log");
  EXPECT_EQ(dialog.forProtocol().defaultExtension, "log");
  // The spreadsheet has its own filter and changes nothing.
  EXPECT_EQ(SaveDialogSettings::forSpreadsheet().filter, "Excel|*.xlsx");
  EXPECT_EQ(dialog.forProtocol().filter, "Log|*.log");

  const SaveRequest csv = dialog.forCsvExport();
  EXPECT_EQ(csv.filter, "CSV|*.CSV");
  EXPECT_EQ(csv.defaultExtension, "*.CSV");
  EXPECT_EQ(dialog.forProtocol(), csv);
  EXPECT_EQ(dialog.forCsvExport(), csv);
}

TEST(ExportMenu, TheResultExportFollowsTheView) {
  EXPECT_EQ(resultExportFor(ViewMode::Table), ResultExport::Spreadsheet);
  EXPECT_EQ(resultExportFor(ViewMode::Log), ResultExport::Protocol);
  EXPECT_EQ(resultExportFor(static_cast<ViewMode>(2)), ResultExport::NotAllowed);
}

}  // namespace
}  // namespace tervolin
