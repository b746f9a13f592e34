#include "xlsx_sheet_reader.h"

#include <pugixml.hpp>
#include <zlib.h>

#include <cstdint>
#include <cstring>

#include "support/test_support.h"

namespace tervolin::test {
namespace {

std::uint32_t le(const std::string& s, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

std::string inflateRaw(std::string_view packed, std::size_t size) {
  std::string out(size, '\0');
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return {};
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  z.avail_in = static_cast<uInt>(packed.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  return rc == Z_STREAM_END ? out : std::string();
}

// "B12" -> (11, 1).
std::pair<int, int> cellPlace(std::string_view ref) {
  int column = 0, row = 0;
  std::size_t i = 0;
  for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) column = column * 26 + (ref[i] - 'A' + 1);
  for (; i < ref.size(); ++i) row = row * 10 + (ref[i] - '0');
  return {row - 1, column - 1};
}

}  // namespace

std::string zipEntry(const std::filesystem::path& zip, const std::string& name) {
  const std::string bytes = readFile(zip);
  // The central directory, found from its end record.
  const std::size_t end = bytes.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos || end + 22 > bytes.size()) return {};
  std::size_t at = le(bytes, end + 16, 4);
  const std::size_t entries = le(bytes, end + 10, 2);
  for (std::size_t e = 0; e < entries && at + 46 <= bytes.size(); ++e) {
    const std::uint32_t method = le(bytes, at + 10, 2);
    const std::uint32_t packedSize = le(bytes, at + 20, 4);
    const std::uint32_t size = le(bytes, at + 24, 4);
    const std::uint32_t nameLength = le(bytes, at + 28, 2);
    const std::uint32_t extra = le(bytes, at + 30, 2);
    const std::uint32_t comment = le(bytes, at + 32, 2);
    const std::uint32_t local = le(bytes, at + 42, 4);
    if (bytes.compare(at + 46, nameLength, name) == 0 && name.size() == nameLength) {
      const std::size_t data = local + 30 + le(bytes, local + 26, 2) + le(bytes, local + 28, 2);
      const std::string_view packed(bytes.data() + data, packedSize);
      return method == 0 ? std::string(packed) : inflateRaw(packed, size);
    }
    at += 46 + nameLength + extra + comment;
  }
  return {};
}

ReadSheet readFirstSheet(const std::filesystem::path& workbook) {
  ReadSheet sheet;
  pugi::xml_document book, xml;
  const std::string bookXml = zipEntry(workbook, "xl/workbook.xml");
  const std::string sheetXml = zipEntry(workbook, "xl/worksheets/sheet1.xml");
  if (!book.load_string(bookXml.c_str()) || !xml.load_string(sheetXml.c_str())) return sheet;
  sheet.name = book.child("workbook").child("sheets").child("sheet").attribute("name").value();
  const pugi::xml_node root = xml.child("worksheet");
  sheet.dimension = root.child("dimension").attribute("ref").value();
  for (pugi::xml_node row : root.child("sheetData").children("row")) {
    for (pugi::xml_node c : row.children("c")) {
      SheetValue value;
      const std::string type = c.attribute("t").value();
      if (type == "inlineStr") {
        value.text = c.child("is").child("t").text().get();
      } else if (type.empty() || type == "n") {
        value.number = true;
        value.text = c.child("v").text().get();
      } else {
        value.text = "?" + type;
      }
      sheet.cells[cellPlace(c.attribute("r").value())] = value;
    }
  }
  sheet.ok = true;
  return sheet;
}

}  // namespace tervolin::test
