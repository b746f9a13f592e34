#include <cstdio>
#include <fstream>
#include <string>
#include <system_error>

#include "common/paths.h"
#include "common/text.h"
#include "logs/text_log_reader.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

constexpr std::string_view kDumpLine = "Ошибка при заполнении массива данных "_w;

}  // namespace

// The dump can hold millions of lines, so it is streamed to a temporary file
// in the working folder and renamed over error_ini.txt when complete.
void writeErrorDump(const AppState& state) {
  const std::filesystem::path target = resolveIgnoringCase(state.workingFolder, kErrorDump);
  std::filesystem::path temporary = target;
  temporary += ".partial";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return;
    std::string buffer;
    buffer.reserve(1 << 20);
    const RecordList& records = state.records;
    for (std::size_t i = 0; i < records.size(); ++i) {
      const RecordSource& source = records.source(i);
      buffer.append(kDumpLine).append(source.requestCode).append(source.positionField).append(source.name);
      buffer.append(records.value(i)).append(source.unit).append("\r\n");
      if (buffer.size() >= (1 << 20)) {
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        buffer.clear();
      }
    }
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) std::filesystem::remove(temporary, error);
}

}  // namespace tervolin
