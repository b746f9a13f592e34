#include "logs/error_dump.h"

#include <ostream>
#include <string>

#include "common/paths.h"
#include "common/text.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

constexpr std::string_view kDumpLine = "Ошибка при заполнении массива данных "_w;

}  // namespace

// The dump can hold millions of lines, so it is streamed through a
// temporary file in the working folder that replaces error_ini.txt when
// complete.
void writeErrorDump(const AppState& state) {
  const std::filesystem::path target = resolveIgnoringCase(state.workingFolder, kErrorDump);
  writeFileAtomically(target, [&state](std::ostream& out) {
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
  });
}

}  // namespace tervolin
