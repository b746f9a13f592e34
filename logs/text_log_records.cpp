#include "logs/text_log_records.h"

#include <atomic>
#include <cstring>
#include <exception>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string>
#include <unordered_map>
#include <vector>

#include "common/hex.h"
#include "common/memory_budget.h"
#include "common/number_format.h"
#include "common/parallel.h"
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
// Lines between two looks at the progress (cancel, share read).
constexpr std::uint64_t kProgressLines = 8192;

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

// Which of the bytes the line tests look for first occur in a line at all:
// one pass over the line instead of one search per marker. Bytes of 0x80
// and up start the Russian markers, 'x' is the second letter of "TxD", 'L'
// that of "ELM".
struct LineBytes {
  bool high = false, x = false, l = false;
};

LineBytes scanLine(std::string_view line) {
  const char* p = line.data();
  std::size_t n = line.size();
  LineBytes found;
#if defined(__SSE2__)
  const __m128i xs = _mm_set1_epi8('x');
  const __m128i ls = _mm_set1_epi8('L');
  int high = 0, x = 0, l = 0;
  for (; n >= 16; n -= 16, p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    high |= _mm_movemask_epi8(v);
    x |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, xs));
    l |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, ls));
  }
  found = {high != 0, x != 0, l != 0};
#endif
  for (; n > 0; --n, ++p) {
    found.high |= static_cast<unsigned char>(*p) >= 0x80;
    found.x |= *p == 'x';
    found.l |= *p == 'L';
  }
  return found;
}

// Where a piece of the log puts its records: the list of the state for the
// first piece (whose messages go to the user at once), a list of its own
// for a later piece (joined afterwards; its messages wait until the pieces
// before it have sent theirs). An Output of the record decoding.
class PieceOutput {
 public:
  PieceOutput(RecordList& records, UserChannel* channel) : appender_(records), channel_(channel) {}
  std::uint64_t record(std::int32_t ordinal, std::uint32_t source, std::string_view value) {
    const TextRef ref = appender_.add(value);
    appender_.append(ordinal, source, ref);
    return ref;
  }
  void repeat(std::int32_t ordinal, std::uint32_t source, std::uint64_t handle) {
    appender_.append(ordinal, source, static_cast<TextRef>(handle));
  }
  void message(std::string_view kind, std::string_view text) {
    if (channel_) channel_->similarMessage(kind, text);
    else messages.push_back({kind, std::string(text)});
  }
  // The records appended so far, in the list.
  void flush() { appender_.flush(); }

  struct Message {
    std::string_view kind;  // one of the kinds' constants
    std::string text;
  };
  std::vector<Message> messages;

 private:
  RecordList::Appender appender_;
  UserChannel* channel_;
};

// Bytes and lines read by all pieces together, reported by the calling
// thread.
struct SharedProgress {
  Progress& progress;
  std::uint64_t total;
  std::atomic<std::uint64_t> bytes{0};
  std::atomic<std::uint64_t> lines{0};
  // The first piece that a read error or a failure ended.
  std::atomic<std::size_t> ended{static_cast<std::size_t>(-1)};

  void end(std::size_t piece) {
    std::size_t was = ended.load(std::memory_order_relaxed);
    while (piece < was && !ended.compare_exchange_weak(was, piece, std::memory_order_relaxed)) {
    }
  }
  bool endedBefore(std::size_t piece) const { return ended.load(std::memory_order_relaxed) < piece; }

  void report() {
    progress.report(bytes.load(std::memory_order_relaxed), total);
    progress.lines(lines.load(std::memory_order_relaxed));
  }
};

// Reading state carried from line to line, into a PieceOutput.
template <class Output>
class RecordReader {
 public:
  RecordReader(const AppState& state, const DefinitionsByCode& byCode, const DecodingTable& table, Output& out)
      : state_(state), out_(out), byCode_(byCode), decoder_(table), adapter_(state.layout.adapterOffset == -3) {
    // Until the first request the current request code is empty.
    group_ = byCode_.find(requestCode_, scratch_);
  }

  std::uint32_t requestCounter() const { return counter_; }
  const std::optional<double>& interval() const { return interval_; }

  // Reads lines of `text`, where a piece of the log that starts at
  // `start` in it, without decoding, messages or read errors, to learn the
  // state at its end. Starts from the state of a log's beginning when
  // `fromLogStart`, else from an unknown one: true when the lines settled
  // every part of the state the reading of the next line depends on (the
  // request code and format byte, in adapter logs the response data kept
  // for no-data answers).
  bool learn(std::string_view text, bool fromLogStart) {
    quiet_ = true;
    codeKnown_ = formatKnown_ = dataKnown_ = fromLogStart;
    if (fromLogStart) {
      formatByte_ = 0;
      requestCode_.clear();
      group_ = byCode_.find(requestCode_, scratch_);
      data_ = {};
    }
    LogLines lines(text);
    std::string_view line;
    while (lines.next(line)) this->line(line);
    quiet_ = false;
    counter_ = 0;
    interval_.reset();
    return codeKnown_ && (adapter_ ? dataKnown_ : formatKnown_);
  }

  // Reads every line of `text` (which starts at `start` in the log); the
  // line that ends the read with a read error, as its offset in the log and
  // its number in `text`.
  struct Stop {
    std::size_t offset;  // of the line that ended the read, in the log
    ReadStopCause cause;
    std::string text;    // the offending text
  };
  std::optional<Stop> read(std::string_view text, std::size_t start, SharedProgress& shared) {
    LogLines lines(text);
    std::string_view line;
    std::uint64_t count = 0;
    std::size_t reported = 0;
    while (lines.next(line)) {
      ++count;
      if (!this->line(line)) {
        const auto at = static_cast<std::uint64_t>(line.data() - text.data());
        return Stop{start + at, cause_, std::string(stopText_)};
      }
      if (count % kProgressLines == 0) {
        throwIfCancelled(shared.progress);
        // A piece before this one ended the read: nothing here will be taken.
        if (shared.endedBefore(piece_)) return std::nullopt;
        shared.bytes.fetch_add(lines.offset() - reported, std::memory_order_relaxed);
        shared.lines.fetch_add(kProgressLines, std::memory_order_relaxed);
        reported = lines.offset();
        if (reports_) shared.report();
      }
    }
    shared.bytes.fetch_add(text.size() - reported, std::memory_order_relaxed);
    shared.lines.fetch_add(count % kProgressLines, std::memory_order_relaxed);
    return std::nullopt;
  }

  // Which piece of the log this reader reads; the first reports the
  // progress of all of them.
  void setPiece(std::size_t piece) {
    piece_ = piece;
    reports_ = piece == 0;
  }

 private:
  // False on a read error. The same tests as isRequestLine and holdsData;
  // "TxD" and "ELM" are sought by their second letters, which hex data
  // never holds (their first letters fill data lines).
  bool line(std::string_view line) {
    static_assert(static_cast<unsigned char>(kIntervalMarker[0]) >= 0x80 &&
                  static_cast<unsigned char>(kRequestWord[0]) >= 0x80 && kTxD[1] == 'x' && kElm[1] == 'L');
    const LineBytes bytes = scanLine(line);
    if (bytes.high && has(line, kIntervalMarker)) return interval(line) || quiet_;
    if ((bytes.x && has(line, kTxD, 1)) || (bytes.high && has(line, kRequestWord))) {
      request(line);
      return true;
    }
    if (state_.layout.ecuPair.empty() || !has(line, state_.layout.ecuPair) || (bytes.l && has(line, kElm, 1)) ||
        firstHexPair(line) == 0)
      return true;
    return response(line) || quiet_;
  }

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
        formatKnown_ = true;
      } else if (!quiet_) {
        out_.message(kBadFormatByteKind, line);
      }
      // With the format byte unknown, so is what this line does to the code.
      if (!formatKnown_) codeKnown_ = false;
      if (formatByte_ <= 0x79) return;
      const long long count = formatByte_ <= 0x80 ? 5 : (formatByte_ - 0x80) * 3 - 1;
      code = copyAt(line, q + 6, count);
    }
    if (formatKnown_ || adapter_) codeKnown_ = true;
    upperInto(code.substr(0, kMaxRequestCode), requestCode_);
    group_ = byCode_.find(requestCode_, scratch_);
  }

  bool response(std::string_view line) {
    const long long size = static_cast<long long>(line.size());
    const long long m = positionOf(line, state_.layout.ecuPair);
    const long long n = static_cast<long long>(requestCode_.size());
    if (adapter_) {
      // An adapter's no-data answer keeps the previous data in use.
      if (copyAt(line, m + 4, size - m - 3).size() > 7) {
        data_ = copyAt(line, m + 5 + n, size - m - 4 - n);
        dataKnown_ = codeKnown_;
      }
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
    cause_ = cause;
    stopText_ = text;
    return false;
  }

  const AppState& state_;
  Output& out_;
  const DefinitionsByCode& byCode_;
  RecordDecoder decoder_;
  bool adapter_;
  bool quiet_ = false;
  bool reports_ = false;
  // What learn() has settled.
  bool codeKnown_ = true, formatKnown_ = true, dataKnown_ = true;
  // What ended the read.
  ReadStopCause cause_ = ReadStopCause::Unreadable;
  std::string_view stopText_;

  std::uint32_t counter_ = 0;
  std::size_t piece_ = 0;
  std::optional<double> interval_;
  int formatByte_ = 0;
  std::string requestCode_;
  const std::vector<std::uint32_t>* group_ = nullptr;
  std::string_view data_;
  ResponseBytes bytes_;
  std::string scratch_;
};

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Where the pieces start: just after a line end at or after each share of
// the text; fewer pieces when the lines are too few.
std::vector<std::size_t> pieceStarts(std::string_view text, std::size_t parts) {
  std::vector<std::size_t> starts{0};
  for (std::size_t k = 1; k < parts; ++k) {
    std::size_t at = std::max(text.size() / parts * k, starts.back());
    while (at < text.size() && !isLineEnd(text[at])) ++at;
    if (at >= text.size()) break;
    if (at + 1 > starts.back()) starts.push_back(at + 1);
  }
  return starts;
}

// The start of the line the byte at `at` belongs to, counting a line as the
// bytes after a line end.
std::size_t lineStartBefore(std::string_view text, std::size_t at) {
  while (at > 0 && !isLineEnd(text[at - 1])) --at;
  return at;
}

struct Piece {
  std::size_t start = 0, end = 0;
  RecordList records;
  std::vector<PieceOutput::Message> messages;
  std::uint32_t counter = 0;
  std::optional<double> interval;
  std::optional<ReadStop> stop;  // offset in the log, line not yet counted
  std::exception_ptr failure;    // what ended the piece otherwise
};

template <class Output>
void readPiece(RecordReader<Output>& reader, std::string_view text, Piece& piece, SharedProgress& shared) {
  const auto stop = reader.read(text.substr(piece.start, piece.end - piece.start), piece.start, shared);
  piece.counter = reader.requestCounter();
  piece.interval = reader.interval();
  if (stop) {
    piece.stop.emplace();
    piece.stop->cause = stop->cause;
    piece.stop->offset = stop->offset;
    piece.stop->text = std::move(stop->text);
  }
}

// The state where a piece starts: read back from `lookBack` bytes before
// it, further while that does not settle the state, from the log's start at
// the latest.
template <class Output>
void learnStateBefore(RecordReader<Output>& reader, std::string_view text, std::size_t pieceStart,
                      std::size_t lookBack) {
  for (std::size_t back = std::max<std::size_t>(lookBack, 1);; back *= 4) {
    const std::size_t from = back >= pieceStart ? 0 : lineStartBefore(text, pieceStart - back);
    if (reader.learn(text.substr(from, pieceStart - from), from == 0) || from == 0) return;
  }
}

}  // namespace

std::optional<ReadStop> readTextLogRecords(std::string_view logText, AppState& state, UserChannel& channel,
                                           const ReadSplit& split, Progress& progress) {
  const std::size_t wanted = logText.size() > split.above ? (split.parts ? split.parts : processorParts()) : 1;
  const std::vector<std::size_t> starts = pieceStarts(logText, wanted);
  const std::size_t parts = starts.size();

  state.records = state.records.forPart(0, parts);
  state.requestCounter = 0;
  const DecodingTable table =
      prepareDefinitions(state.definitions, state.records, {state.byteOrderInversion, state.decimalMark});
  const DefinitionsByCode byCode(state.definitions);
  SharedProgress shared{progress, logText.size()};

  std::vector<Piece> pieces(parts);
  for (std::size_t k = 0; k < parts; ++k) {
    pieces[k].start = starts[k];
    pieces[k].end = k + 1 < parts ? starts[k + 1] : logText.size();
    if (k > 0) pieces[k].records = state.records.forPart(k, parts);
  }
  runParts(
      parts,
      [&](std::size_t k) {
        Piece& piece = pieces[k];
        try {
          PieceOutput out(k == 0 ? state.records : piece.records, k == 0 ? &channel : nullptr);
          RecordReader<PieceOutput> reader(state, byCode, table, out);
          reader.setPiece(k);
          if (k > 0) learnStateBefore(reader, logText, piece.start, split.lookBack);
          readPiece(reader, logText, piece, shared);
          out.flush();
          piece.messages = std::move(out.messages);
        } catch (...) {
          // Taken up in order below: only when the pieces before it were
          // read to their ends does it end the read.
          piece.failure = std::current_exception();
        }
        if (piece.stop || piece.failure) shared.end(k);
      },
      [&] { shared.report(); });

  // The pieces in order, up to the first that a read error ended; each
  // piece's request ordinals count on from the requests before it.
  std::optional<ReadStop> stop;
  std::uint32_t counter = 0;
  for (std::size_t k = 0; k < parts; ++k) {
    Piece& piece = pieces[k];
    if (piece.failure) std::rethrow_exception(piece.failure);
    if (k > 0) {
      state.records.appendPart(std::move(piece.records), counter);
      for (const PieceOutput::Message& m : piece.messages) channel.similarMessage(m.kind, m.text);
    }
    counter += piece.counter;
    if (piece.interval) state.requestInterval = *piece.interval;
    if (piece.stop) {
      stop = std::move(piece.stop);
      stop->line = lineNumberAt(logText, stop->offset);
      break;
    }
  }
  state.requestCounter = counter;
  shared.report();
  return stop;
}

std::optional<ReadStop> loadTextLog(AppState& state, UserChannel& channel, const std::filesystem::path& logFile,
                                    std::string_view logText, Progress& progress) {
  rIniF(state, channel, state.definitionFileName);
  std::optional<ReadStop> stop = readTextLogRecords(logText, state, channel, {}, progress);
  if (stop) {
    stop->file = logFile;
    stop->dump = writeErrorDump(state, &stop->dumpFailure);
  }
  return stop;
}

std::optional<ReadStop> readTextLog(AppState& state, UserChannel& channel, const std::filesystem::path& logFile) {
  std::string text;
  if (!readWholeFile(logFile, text)) {
    rIniF(state, channel, state.definitionFileName);
    state.records.clear();
    state.requestCounter = 0;
    std::optional<ReadStop> stop(std::in_place);
    stop->file = logFile;
    stop->dump = writeErrorDump(state, &stop->dumpFailure);
    return stop;
  }
  return loadTextLog(state, channel, logFile, text);
}

}  // namespace tervolin
