#include "table/export_file.h"

#include <cerrno>

#include "common/atomic_file.h"
#include "common/paths.h"
#include "common/text.h"

namespace tervolin {

bool ChunkedOutput::flush() {
  if (failed_) return false;
  if (used_ > 0 && !write_(std::string_view(buffer_.data(), used_))) failed_ = true;
  used_ = 0;
  return !failed_;
}

std::string firstCommaToPoint(std::string_view text) {
  std::string out(text);
  const std::size_t comma = out.find(',');
  if (comma != std::string::npos) out[comma] = '.';
  return out;
}

ExportResult writeTextFile(const std::filesystem::path& target,
                           const std::function<ExportStatus(ChunkedOutput&)>& produce) {
  AtomicFile file(target);
  if (!file.ok()) return {ExportStatus::Failed, writeFailureText(target, systemErrorText(file.error()))};
  ChunkedOutput out([&](std::string_view piece) { return file.write(piece); });
  const ExportStatus status = produce(out);
  if (status == ExportStatus::Written && out.flush() && file.commit()) return {};
  return {ExportStatus::Failed, writeFailureText(target, systemErrorText(file.error() != 0 ? file.error() : EIO))};
}

}  // namespace tervolin
