#pragma once
// What the exports share: their outcome, how they report progress and are
// stopped, and a text written in large pieces to a file that appears whole
// or not at all (or to any other output, such as standard output).

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/atomic_file.h"
#include "common/progress.h"

namespace tervolin {

// A cancelled export throws Cancelled (common/progress.h) and leaves no file.
enum class ExportStatus { Written, Failed };

struct ExportResult {
  ExportStatus status = ExportStatus::Written;
  // Windows-1251: why it failed, or what the user must know about a
  // written file (e.g. rows a spreadsheet cannot hold). Empty otherwise.
  std::string message;
};

// Text collected in a buffer and handed to `write` in pieces of about a
// megabyte.
class ChunkedOutput {
 public:
  using Write = std::function<bool(std::string_view)>;
  static constexpr std::size_t kChunk = std::size_t{1} << 20;

  explicit ChunkedOutput(Write write) : write_(std::move(write)), buffer_(2 * kChunk, '\0') {}

  // Room for `n` bytes at the end of the text, which the caller fills.
  char* put(std::size_t n) {
    if (used_ + n > buffer_.size()) buffer_.resize(std::max(2 * buffer_.size(), used_ + n));
    char* at = buffer_.data() + used_;
    used_ += n;
    return at;
  }
  void append(std::string_view text) {
    if (!text.empty()) std::memcpy(put(text.size()), text.data(), text.size());
  }
  void append(char c) { *put(1) = c; }

  // Call now and then: hands the text on once a chunk is full. False once a
  // write failed.
  bool flushIfFull() { return used_ < kChunk || flush(); }
  bool flush();

 private:
  Write write_;
  std::string buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

// The first ',' of a text turned into '.', the rest unchanged.
std::string firstCommaToPoint(std::string_view text);

// Produces a text export into `target` through a temporary file: renamed
// over the target when `produce` returns Written and every write worked,
// removed otherwise (also when `produce` throws, as a cancelled export
// does). A failure gives the system's message naming the file.
ExportResult writeTextFile(const std::filesystem::path& target,
                           const std::function<ExportStatus(ChunkedOutput&)>& produce);

}  // namespace tervolin
