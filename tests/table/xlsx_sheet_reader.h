#pragma once
// Reads the first sheet of an .xlsx workbook back for the tests: the zip
// container is opened with zlib, the sheet XML with pugixml.

#include <filesystem>
#include <map>
#include <string>
#include <utility>

namespace tervolin::test {

struct SheetValue {
  bool number = false;
  std::string text;  // UTF-8 text, or the number as the sheet writes it
  bool operator==(const SheetValue&) const = default;
};

struct ReadSheet {
  bool ok = false;
  std::string name;       // of the first sheet, from workbook.xml
  std::string dimension;  // "A1:D4"
  std::map<std::pair<int, int>, SheetValue> cells;  // (row, column) from 0
};

// The named entry of a zip file, inflated; empty when missing.
std::string zipEntry(const std::filesystem::path& zip, const std::string& name);

ReadSheet readFirstSheet(const std::filesystem::path& workbook);

}  // namespace tervolin::test
