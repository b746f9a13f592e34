#include "logs/csv_log.h"

#include <cstdio>
#include <exception>
#include <string>
#include <system_error>

#include "common/number_format.h"
#include "common/paths.h"
#include "common/physical_lines.h"
#include "common/text.h"

namespace tervolin {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kReadFailure = "Ошибка чтения CSV в строке:"_w;
constexpr std::string_view kRecordWord = " Запись-"_w;
constexpr std::string_view kTooManyColumns =
    "В CSV файле больше 1025 столбцов. Загружены только первые 1025."_w;

// "0000", "0001", ...: the column number in decimal, at least four digits.
std::string columnPosition(std::size_t column) {
  char text[24];
  std::snprintf(text, sizeof text, "%04zu", column);
  return text;
}

class CsvReader {
 public:
  CsvReader(AppState& state, UserChannel& channel, Progress& progress = noProgress())
      : state_(state), channel_(channel), progress_(progress) {}

  void read(std::string_view text) {
    state_.definitions.clear();
    state_.records.clear();
    PhysicalLines lines(text);
    if (lines.atEnd()) return;
    const std::string_view header = lines.next();
    separator_ = header.find(';') != std::string_view::npos ? ';' : ',';
    columns(header);
    while (!lines.atEnd()) {
      if (line_ % 4096 == 0) {
        throwIfCancelled(progress_);
        progress_.report(lines.offset(), text.size());
        progress_.lines(static_cast<std::uint64_t>(line_));
      }
      values(lines.next());
      ++line_;
    }
  }

  void fail() {
    std::string text(kReadFailure);
    text += intText(line_);
    text += kRecordWord;
    text += intText(static_cast<std::int64_t>(state_.records.size()));
    channel_.message(text);
  }

 private:
  void columns(std::string_view header) {
    const std::string zeros(static_cast<std::size_t>(state_.requestCodeWidth > 0 ? state_.requestCodeWidth : 0), '0');
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = header.find(separator_, start);
      if (end == std::string_view::npos) break;
      if (state_.definitions.size() == kMaxDefinitions) {
        channel_.message(kTooManyColumns);
        break;
      }
      const std::size_t n = state_.definitions.size();
      ParamDef def;
      def.requestCode = zeros;
      def.name = std::string(header.substr(start, end - start));
      def.positionField = columnPosition(n);
      def.column = static_cast<int>(n);
      state_.records.addSource({def.requestCode, def.positionField, def.unit, def.name});
      state_.definitions.push_back(std::move(def));
      start = end + 1;
    }
  }

  void values(std::string_view line) {
    const std::size_t columnCount = state_.definitions.size();
    std::size_t start = 0;
    for (std::uint32_t b = 0; b < columnCount; ++b) {
      const std::size_t end = line.find(separator_, start);
      if (end == std::string_view::npos) return;
      const std::string_view field = line.substr(start, end - start);
      start = end + 1;
      if (field.empty()) {
        // Every empty field names one stored "0".
        if (zero_ == kEmptyText) zero_ = state_.records.append(line_, b, "0");
        else state_.records.appendRef(line_, b, zero_);
        continue;
      }
      const std::size_t point = field.find('.');
      if (point == std::string_view::npos) {
        state_.records.append(line_, b, field);
        continue;
      }
      value_.assign(field);
      value_[point] = ',';
      state_.records.append(line_, b, value_);
    }
    // Fields after the last column belong to no column.
  }

  AppState& state_;
  UserChannel& channel_;
  Progress& progress_;
  char separator_ = ',';
  std::int32_t line_ = 0;
  TextRef zero_ = kEmptyText;
  std::string value_;
};

}  // namespace

void readCsvLog(std::string_view bytes, AppState& state, UserChannel& channel, Progress& progress) {
  std::string converted;
  if (bytes.starts_with(kUtf8Mark)) {
    converted = utf8ToCp1251(bytes.substr(kUtf8Mark.size()));
    bytes = converted;
  }
  CsvReader reader(state, channel, progress);
  try {
    reader.read(bytes);
  } catch (const std::bad_alloc&) {
    // Running out of memory is the open's to report: it puts back what was
    // open before.
    throw;
  } catch (const Cancelled&) {
    throw;
  } catch (const std::exception&) {
    reader.fail();
  }
}

void ReadCSV(AppState& state, UserChannel& channel, const std::filesystem::path& file, Progress& progress) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return;
  std::string bytes;
  if (!readWholeFile(file, bytes)) {
    state.definitions.clear();
    state.records.clear();
    CsvReader(state, channel).fail();
    return;
  }
  readCsvLog(bytes, state, channel, progress);
}

}  // namespace tervolin
