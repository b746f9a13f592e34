#include "logs/text_log_records.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "common/hex.h"
#include "common/memory_budget.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "decode/decode_fast.h"
#include "decode/record_decoding.h"
#include "logs/error_dump.h"
#include "logs/line_text.h"
#include "logs/log_lines.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

using namespace logtext;

constexpr std::size_t kMaxRequestCode = 8;
// The kind of the messages that show a request line whose format byte is
// not hex, one per such line.
constexpr std::string_view kBadFormatByteKind = "request line without a hex format byte";

// The definitions of each request code, in table order, looked up once per
// request line.
class DefinitionsByCode {
 public:
  explicit DefinitionsByCode(const DefinitionTable& definitions) {
    for (std::size_t d = 0; d < definitions.size(); ++d)
      groups_[definitions[d].requestCode].push_back(static_cast<std::uint32_t>(d));
  }
  // Definitions whose code equals `code` with blanks removed (code is
  // already upper case).
  const std::vector<std::uint32_t>* find(std::string_view code, std::string& scratch) const {
    scratch.clear();
    appendWithoutBlanks(scratch, code);
    const auto it = groups_.find(scratch);
    return it == groups_.end() ? nullptr : &it->second;
  }

 private:
  std::unordered_map<std::string, std::vector<std::uint32_t>> groups_;
};

// Whether `text` occurs in `line` (an empty text occurs everywhere). The
// search runs over the character at `anchor` of `text`: chosen to be rare in
// data lines, it keeps the comparisons few.
bool has(std::string_view line, std::string_view text, std::size_t anchor = 0) {
  if (text.empty()) return true;
  if (line.size() < text.size()) return false;
  const char* p = line.data() + anchor;
  const char* const end = line.data() + (line.size() - text.size()) + anchor + 1;
  while (p < end) {
    p = static_cast<const char*>(std::memchr(p, text[anchor], static_cast<std::size_t>(end - p)));
    if (p == nullptr) return false;
    if (std::memcmp(p - anchor, text.data(), text.size()) == 0) return true;
    ++p;
  }
  return false;
}

// The records of the worker that reads the second half of a log. The worker
// hands them over in batches as it goes, and the calling thread appends them
// after the first half's records while the worker is still reading, so that
// the copying overlaps the reading. Handles number the distinct stored values
// (0 is the empty text); each is copied into the record list once. Messages
// are sent after the last batch. An Output of the record decoding.
class BufferedOutput {
 public:
  // What is buffered keeps to `memoryLimit` bytes, the limit of the record
  // list it goes to; past it, or once the reading side has given up, the
  // worker stops with MemoryBudgetExceeded.
  explicit BufferedOutput(std::size_t memoryLimit) : memoryLimit_(memoryLimit) { pending_.heads.reserve(kBatch); }

  std::uint64_t record(std::int32_t ordinal, std::uint32_t source, std::string_view value) {
    std::uint32_t handle = 0;
    if (!value.empty()) {
      use(value.size());
      pending_.values.append(value);
      pending_.ends.push_back(pending_.values.size());
      handle = ++valueCount_;
    }
    push({ordinal, source, handle});
    return handle;
  }
  void repeat(std::int32_t ordinal, std::uint32_t source, std::uint64_t handle) {
    push({ordinal, source, static_cast<std::uint32_t>(handle)});
  }
  void message(std::string_view kind, std::string_view text) {
    use(sizeof(Message) + text.size());
    messages_.push_back({kind, std::string(text)});
  }

  // Reading side: the records will not be taken; the worker stops soon.
  void abandon() { abandoned_.store(true, std::memory_order_relaxed); }

  // Worker side: hands over what is left and marks the end. Never throws, so
  // that the reading side always learns the end.
  void finish() noexcept {
    {
      const std::lock_guard lock(mutex_);
      finished_ = true;
      try {
        if (!pending_.heads.empty()) batches_.push_back(std::move(pending_));
      } catch (...) {
        failure_ = std::current_exception();
      }
    }
    ready_.notify_one();
  }

  // Reading side: appends the records batch by batch until the worker has
  // finished, then sends its messages.
  void handOver(RecordList& records, UserChannel& channel) {
    TextArena& arena = *records.arena();
    std::vector<TextRef> refs{kEmptyText};
    for (;;) {
      Batch batch;
      {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !batches_.empty() || finished_; });
        if (batches_.empty()) break;
        batch = std::move(batches_.front());
        batches_.pop_front();
      }
      std::size_t begin = 0;
      for (const std::size_t end : batch.ends) {
        refs.push_back(arena.add(std::string_view(batch.values).substr(begin, end - begin)));
        begin = end;
      }
      for (const Head& head : batch.heads) records.appendRef(head.ordinal, head.source, refs[head.value]);
    }
    if (failure_) std::rethrow_exception(failure_);
    for (const Message& m : messages_) channel.similarMessage(m.kind, m.text);
  }

 private:
  static constexpr std::size_t kBatch = 16384;
  struct Head {
    std::int32_t ordinal;
    std::uint32_t source;
    std::uint32_t value;  // handle of the value
  };
  struct Batch {
    std::vector<Head> heads;
    std::string values;              // the values first stored in this batch
    std::vector<std::size_t> ends;   // end of each of them in `values`
  };

  void use(std::size_t bytes) {
    used_ += bytes;
    if (used_ > memoryLimit_ || abandoned_.load(std::memory_order_relaxed)) throw MemoryBudgetExceeded();
  }

  void push(Head head) {
    use(sizeof(Head));
    pending_.heads.push_back(head);
    if (pending_.heads.size() < kBatch) return;
    {
      const std::lock_guard lock(mutex_);
      batches_.push_back(std::move(pending_));
    }
    ready_.notify_one();
    pending_ = Batch{};
    pending_.heads.reserve(kBatch);
  }

  const std::size_t memoryLimit_;
  std::size_t used_ = 0;  // worker only
  std::atomic<bool> abandoned_{false};
  Batch pending_;  // worker only
  std::uint32_t valueCount_ = 0;
  struct Message {
    std::string_view kind;  // one of the kinds' constants
    std::string text;
  };
  std::vector<Message> messages_;  // read by the other side after the end

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Batch> batches_;
  bool finished_ = false;
  std::exception_ptr failure_;
};

// Reading state carried from line to line; `Output` is RecordListOutput or
// BufferedOutput.
template <class Output>
class RecordReader {
 public:
  RecordReader(const AppState& state, const DecodingTable& table, Output& out)
      : state_(state),
        out_(out),
        byCode_(state.definitions),
        decoder_(table),
        adapter_(state.layout.adapterOffset == -3) {
    // Until the first request the current request code is empty.
    group_ = byCode_.find(requestCode_, scratch_);
  }

  // Lines read only to learn the state where a later part of the log starts:
  // no decoding, no records, no messages.
  void setQuiet(bool quiet) { quiet_ = quiet; }

  std::uint32_t requestCounter() const { return counter_; }
  const std::optional<double>& interval() const { return interval_; }

  // Reads every line of `text`; false on a read error, whose line, cause and
  // offending text are then kept.
  bool read(std::string_view text) {
    LogLines lines(text);
    std::string_view line;
    while (lines.next(line)) {
      if (!this->line(line)) {
        stopLine_ = line;
        return false;
      }
    }
    return true;
  }

  // Where the read error was, with the offset and line counted in `logText`,
  // the whole log that the lines read are views into.
  ReadStop stop(std::string_view logText) const {
    ReadStop s;
    s.cause = stopCause_;
    s.offset = static_cast<std::size_t>(stopLine_.data() - logText.data());
    s.line = lineNumberAt(logText, s.offset);
    s.text = std::string(stopText_);
    return s;
  }

  // False on a read error. The same tests as isRequestLine and holdsData;
  // "TxD" and "ELM" are sought by their second letters, which hex data
  // never holds (their first letters fill data lines).
  bool line(std::string_view line) {
    if (has(line, kIntervalMarker)) return interval(line);
    if (has(line, kTxD, 1) || has(line, kRequestWord)) {
      request(line);
      return true;
    }
    if (state_.layout.ecuPair.empty() || !has(line, state_.layout.ecuPair) || has(line, kElm, 1) ||
        firstHexPair(line) == 0)
      return true;
    return response(line);
  }

 private:
  bool interval(std::string_view line) {
    const long long start = positionOf(line, kIntervalMarker) + static_cast<long long>(kIntervalMarker.size()) + 1;
    std::string_view value = copyAt(line, start, 4);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    // Logs are written on whatever machine recorded them: the interval is
    // read with either decimal mark.
    const auto number = parseNumberEitherMark(value, state_.decimalMark);
    if (!number) return fail(ReadStopCause::IntervalNotNumber, value);
    interval_ = *number;
    return true;
  }

  void request(std::string_view line) {
    ++counter_;
    const long long size = static_cast<long long>(line.size());
    std::string_view code;
    if (adapter_) {
      const long long t = positionOf(line, state_.layout.testerPair);
      code = copyAt(line, t + 4, size - t - 3);
    } else {
      const long long q = state_.layout.testerPosition;
      if (const auto f = parseHex(copyAt(line, q - 3, 2))) {
        formatByte_ = static_cast<int>(*f);
      } else if (!quiet_) {
        out_.message(kBadFormatByteKind, line);
      }
      if (formatByte_ <= 0x79) return;
      const long long count = formatByte_ <= 0x80 ? 5 : (formatByte_ - 0x80) * 3 - 1;
      code = copyAt(line, q + 6, count);
    }
    upperInto(code.substr(0, kMaxRequestCode), requestCode_);
    group_ = byCode_.find(requestCode_, scratch_);
  }

  bool response(std::string_view line) {
    const long long size = static_cast<long long>(line.size());
    const long long m = positionOf(line, state_.layout.ecuPair);
    const long long n = static_cast<long long>(requestCode_.size());
    if (adapter_) {
      // An adapter's no-data answer keeps the previous data in use.
      if (copyAt(line, m + 4, size - m - 3).size() > 7) data_ = copyAt(line, m + 5 + n, size - m - 4 - n);
    } else {
      const std::string_view formatText = copyAt(line, m - 3, 2);
      const auto format = parseHex(formatText);
      if (!format) return fail(ReadStopCause::LengthNotHex, formatText);
      long long length = static_cast<long long>(*format) - 0x80;
      long long start = m + 7 + n;
      if (length == 0) {
        // A length byte follows the addresses.
        const std::string_view lengthText = copyAt(line, m + 6, 2);
        const auto lengthByte = parseHex(lengthText);
        if (!lengthByte) return fail(ReadStopCause::LengthNotHex, lengthText);
        length = static_cast<long long>(*lengthByte);
        start = m + 10 + n;
      }
      data_ = copyAt(line, start, 3 * length - 1 - n);
    }
    if (group_ == nullptr || quiet_) return true;
    bytes_.assign(data_);
    const auto ordinal = static_cast<std::int32_t>(counter_);
    for (const std::uint32_t d : *group_) decoder_.decode(ordinal, d, bytes_, data_, out_);
    return true;
  }

  bool fail(ReadStopCause cause, std::string_view text) {
    stopCause_ = cause;
    stopText_ = text;
    return false;
  }

  const AppState& state_;
  Output& out_;
  DefinitionsByCode byCode_;
  RecordDecoder decoder_;
  bool adapter_;
  bool quiet_ = false;

  std::uint32_t counter_ = 0;
  std::optional<double> interval_;
  int formatByte_ = 0;
  std::string requestCode_;
  const std::vector<std::uint32_t>* group_ = nullptr;
  std::string_view data_;
  ResponseBytes bytes_;
  std::string scratch_;

  std::string_view stopLine_;  // the line that ended the read
  ReadStopCause stopCause_ = ReadStopCause::Unreadable;
  std::string_view stopText_;
};

// The offset of a line end near the middle of `text`, or 0 when there is none.
std::size_t splitPoint(std::string_view text) {
  for (std::size_t i = text.size() / 2; i < text.size(); ++i)
    if (text[i] == '\r' || text[i] == '\n') return i;
  return 0;
}

}  // namespace

std::optional<ReadStop> readTextLogRecords(std::string_view logText, AppState& state, UserChannel& channel,
                                           std::size_t splitAbove) {
  state.records.clear();
  state.requestCounter = 0;
  const DecodingTable table =
      prepareDefinitions(state.definitions, state.records, {state.byteOrderInversion, state.decimalMark});

  RecordListOutput direct(state.records, channel);
  RecordReader<RecordListOutput> first(state, table, direct);
  const std::size_t split = logText.size() > splitAbove ? splitPoint(logText) : 0;
  if (split == 0) {
    const bool ok = first.read(logText);
    state.requestCounter = first.requestCounter();
    if (first.interval()) state.requestInterval = *first.interval();
    if (!ok) return first.stop(logText);
    return std::nullopt;
  }

  // Two halves split at a line end, read at once. The worker learns the
  // state at the split by reading the first half quietly, then reads the
  // second half into a buffer that is appended after the first half's
  // records, so records, messages and counters come out as from one read.
  BufferedOutput buffered(state.records.memoryLimit());
  RecordReader<BufferedOutput> second(state, table, buffered);
  bool secondOk = false;
  std::exception_ptr secondFailure;
  std::thread worker([&] {
    try {
      second.setQuiet(true);
      if (second.read(logText.substr(0, split))) {
        second.setQuiet(false);
        secondOk = second.read(logText.substr(split));
      }
    } catch (...) {
      secondFailure = std::current_exception();
    }
    buffered.finish();
  });
  bool firstOk = false;
  try {
    firstOk = first.read(logText.substr(0, split));
    // A read error in the first half ends the read there: the second half's
    // records are then never taken.
    if (firstOk) buffered.handOver(state.records, channel);
    else buffered.abandon();
  } catch (...) {
    buffered.abandon();
    worker.join();
    throw;
  }
  worker.join();
  if (secondFailure && firstOk) std::rethrow_exception(secondFailure);
  if (!firstOk) {
    state.requestCounter = first.requestCounter();
    if (first.interval()) state.requestInterval = *first.interval();
    return first.stop(logText);
  }
  state.requestCounter = second.requestCounter();
  if (second.interval()) state.requestInterval = *second.interval();
  if (!secondOk) return second.stop(logText);
  return std::nullopt;
}

std::optional<ReadStop> readTextLog(AppState& state, UserChannel& channel, const std::filesystem::path& logFile) {
  rIniF(state, channel, state.definitionFileName);
  std::string text;
  std::optional<ReadStop> stop;
  if (!readWholeFile(logFile, text)) {
    state.records.clear();
    state.requestCounter = 0;
    stop.emplace();
  } else {
    stop = readTextLogRecords(text, state, channel);
  }
  if (stop) {
    stop->file = logFile;
    stop->dump = writeErrorDump(state, &stop->dumpFailure);
  }
  return stop;
}

}  // namespace tervolin
