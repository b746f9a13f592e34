#include "logs/error_dump.h"

#include <cerrno>
#include <string>

#include "common/atomic_file.h"
#include "common/paths.h"
#include "common/text.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

constexpr std::string_view kDumpLine = "Ошибка при заполнении массива данных "_w;

}  // namespace

// The dump can hold millions of lines, so it is written in pieces to a
// temporary file that replaces error_ini.txt when complete.
std::filesystem::path writeErrorDump(const AppState& state, std::string* failure) {
  const std::filesystem::path target = resolveIgnoringCase(state.workingFolder, kErrorDump);
  AtomicFile file(target);
  std::string buffer;
  buffer.reserve(1 << 20);
  const RecordList& records = state.records;
  for (std::size_t i = 0; i < records.size() && file.ok(); ++i) {
    const RecordSource& source = records.source(i);
    buffer.append(kDumpLine).append(source.requestCode).append(source.positionField).append(source.name);
    buffer.append(records.value(i)).append(source.unit).append("\r\n");
    if (buffer.size() >= (1 << 20)) {
      file.write(buffer);
      buffer.clear();
    }
  }
  if (file.write(buffer) && file.commit()) return target;
  if (failure) *failure = writeFailureText(target, systemErrorText(file.error() != 0 ? file.error() : EIO));
  return {};
}

}  // namespace tervolin
