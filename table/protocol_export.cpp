#include "table/protocol_export.h"

namespace tervolin {
namespace {

// Rows between two progress reports.
constexpr int kProgressRows = 16384;

}  // namespace

ExportStatus writeProtocol(const Grid& grid, ChunkedOutput& out, Progress& progress) {
  const int rows = grid.rowCount();
  const auto total = static_cast<std::uint64_t>(rows > 1 ? rows - 1 : 0);
  for (int r = 1; r < rows; ++r) {
    if ((r - 1) % kProgressRows == 0) {
      progress.report(static_cast<std::uint64_t>(r - 1), total);
      throwIfCancelled(progress);
    }
    out.append(grid.cell(0, r));
    out.append("\r\n");
    if (!out.flushIfFull()) return ExportStatus::Failed;
  }
  progress.report(total, total);
  return ExportStatus::Written;
}

ExportResult exportProtocolFile(const Grid& grid, const std::filesystem::path& target,
                                Progress& progress) {
  return writeTextFile(target, [&](ChunkedOutput& out) { return writeProtocol(grid, out, progress); });
}

}  // namespace tervolin
