#include "logs/text_log_records.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "decode/decode_fast.h"
#include "logs/line_text.h"
#include "logs/log_lines.h"
#include "logs/text_log_reader.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

using namespace logtext;

constexpr std::size_t kMaxRequestCode = 8;
constexpr std::string_view kDecodeFailure = "Ошибка при распознавании данных: \\"_w;

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
    for (const char c : code)
      if (c != ' ') scratch.push_back(c);
    const auto it = groups_.find(scratch);
    return it == groups_.end() ? nullptr : &it->second;
  }

 private:
  std::unordered_map<std::string, std::vector<std::uint32_t>> groups_;
};

// Reading state carried from line to line.
class RecordReader {
 public:
  RecordReader(AppState& state, UserChannel& channel)
      : state_(state),
        channel_(channel),
        byCode_(state.definitions),
        adapter_(state.layout.adapterOffset == -3),
        options_{state.byteOrderInversion, state.decimalMark} {
    prepared_.reserve(state.definitions.size());
    for (const ParamDef& d : state.definitions) {
      state.records.addSource({d.requestCode, d.positionField, d.unit, d.name});
      prepared_.emplace_back(d.requestCode, d.positionField, d.formulaCode);
    }
    // Until the first request the current request code is empty.
    group_ = byCode_.find(requestCode_, scratch_);
  }

  // False on a read error.
  bool line(std::string_view line) {
    if (contains(line, kIntervalMarker)) return interval(line);
    if (isRequestLine(line)) {
      request(line);
      return true;
    }
    if (!contains(line, state_.layout.ecuPair) || state_.layout.ecuPair.empty() || !holdsData(line)) return true;
    return response(line);
  }

 private:
  bool interval(std::string_view line) {
    const long long start = positionOf(line, kIntervalMarker) + static_cast<long long>(kIntervalMarker.size()) + 1;
    std::string_view value = copyAt(line, start, 4);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    const auto number = parseNumber(value, state_.decimalMark);
    if (!number) return false;
    state_.requestInterval = *number;
    return true;
  }

  void request(std::string_view line) {
    ++state_.requestCounter;
    const long long size = static_cast<long long>(line.size());
    std::string_view code;
    if (adapter_) {
      const long long t = positionOf(line, state_.layout.testerPair);
      code = copyAt(line, t + 4, size - t - 3);
    } else {
      const long long q = state_.layout.testerPosition;
      if (const auto f = parseHex(copyAt(line, q - 3, 2))) {
        formatByte_ = static_cast<int>(*f);
      } else {
        channel_.message(line);
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
      const auto format = parseHex(copyAt(line, m - 3, 2));
      if (!format) return false;
      long long length = static_cast<long long>(*format) - 0x80;
      long long start = m + 7 + n;
      if (length == 0) {
        // A length byte follows the addresses.
        const auto lengthByte = parseHex(copyAt(line, m + 6, 2));
        if (!lengthByte) return false;
        length = static_cast<long long>(*lengthByte);
        start = m + 10 + n;
      }
      data_ = copyAt(line, start, 3 * length - 1 - n);
    }
    if (group_ == nullptr) return true;
    bytes_.assign(data_);
    const auto ordinal = static_cast<std::int32_t>(state_.requestCounter);
    for (const std::uint32_t d : *group_) {
      try {
        decodeInto(bytes_, prepared_[d], options_, value_);
      } catch (const DecodeError&) {
        const ParamDef& def = state_.definitions[d];
        std::string text(kDecodeFailure);
        text.append(data_).append("/").append(def.requestCode).append("/").append(def.positionField);
        text.append("/").append(def.formulaCode);
        channel_.message(text);
        value_.clear();
      }
      state_.records.append(ordinal, d, value_);
    }
    return true;
  }

  AppState& state_;
  UserChannel& channel_;
  DefinitionsByCode byCode_;
  std::vector<PreparedDefinition> prepared_;
  bool adapter_;
  DecodeOptions options_;

  int formatByte_ = 0;
  std::string requestCode_;
  const std::vector<std::uint32_t>* group_ = nullptr;
  std::string_view data_;
  ResponseBytes bytes_;
  std::string value_, scratch_;
};

}  // namespace

bool readTextLogRecords(std::string_view logText, AppState& state, UserChannel& channel) {
  state.records.clear();
  state.requestCounter = 0;
  RecordReader reader(state, channel);
  // A response before any request is read against the empty request code.
  LogLines lines(logText);
  std::string_view line;
  while (lines.next(line))
    if (!reader.line(line)) return false;
  return true;
}

void readTextLog(AppState& state, UserChannel& channel, const std::filesystem::path& logFile) {
  rIniF(state, channel, state.definitionFileName);
  std::string text;
  if (!readWholeFile(logFile, text)) {
    state.records.clear();
    state.requestCounter = 0;
    writeErrorDump(state);
    return;
  }
  if (!readTextLogRecords(text, state, channel)) writeErrorDump(state);
}

}  // namespace tervolin
