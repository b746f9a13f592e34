#include "table/line_explanation.h"

#include <array>
#include <optional>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "common/text.h"
#include "decode/decode_dan.h"
#include "logs/line_text.h"
#include "table/trouble_codes.h"

namespace tervolin {
namespace {

using logtext::contains;
using logtext::copyAt;
using logtext::positionOf;

constexpr std::string_view kNegativeResponse = "Ответ ECU: Неверный запрос!"_w;
constexpr std::string_view kRequestOf = "Передача запроса к ECU "_w;
constexpr std::string_view kNoRequestDefinition = "Нет описания PID"_w;
constexpr std::string_view kNeither = "Эта строка не запрос и не ответ!"_w;
constexpr std::string_view kSessionConfirmed = "Ответ EKU на запрос: Согласен начать сессию диагностики"_w;
constexpr std::string_view kResponseTo = "Ответ ECU на запрос - "_w;
constexpr std::string_view kNoResponseDefinition = "Нет описания PID "_w;
constexpr std::string_view kValueLabel = " Значение: "_w;
constexpr std::string_view kErrorCount = "Кол-во ошибок: "_w;
constexpr std::string_view kErrorCode = "Код ошибки: "_w;
constexpr std::string_view kNoXmlRoot = "Ошибка чтения XML"_w;

// Services whose key is the service alone (no identifier follows).
constexpr std::array<std::string_view, 3> kBareResponseServices = {"81", "03", "13"};
constexpr std::array<std::string_view, 2> kBareRequestServices = {"03", "13"};

// Profiles whose trouble-code responses are listed and whose unknown
// identifiers are named.
constexpr std::array<std::string_view, 2> kTroubleCodeProfiles = {"B1797V", "B797"};

// How a response tells whether it carries a length byte, by profile (upper
// case). A code matches at most one rule.
enum class LengthTest {
  ServiceAfterLength,  // the five characters 9 after the ECU pair equal `text`
  FormatByte,          // the byte just ahead of the header is 0x80 or less
};
struct LengthRule {
  std::string_view profile;
  LengthTest test;
  std::string_view text;  // ServiceAfterLength, compared upper-cased
};
constexpr std::array<LengthRule, 8> kLengthRules = {{
    {"B797", LengthTest::ServiceAfterLength, "61 01"},
    {"B1797V", LengthTest::ServiceAfterLength, "61 01"},
    {"M11E2", LengthTest::ServiceAfterLength, "61 01"},
    {"M11E3", LengthTest::ServiceAfterLength, "61 07"},
    {"M103E2", LengthTest::ServiceAfterLength, "61 E0"},
    {"B154R", LengthTest::FormatByte, {}},
    {"B154E2", LengthTest::FormatByte, {}},
    {"M74CAN", LengthTest::FormatByte, {}},
}};
// Only M103E2 compares the upper-cased text; the others compare as written.
constexpr std::string_view kUpperCasedRule = "M103E2";

// Raised where a text that must be hex is not; ends the handling.
struct Failure {
  std::string message;
};

std::uint64_t hexValue(std::string_view text) {
  const auto value = parseHex(text);
  if (!value) throw Failure{"\"" + std::string(text) + std::string("\" не является шестнадцатеричным числом"_w)};
  return *value;
}

template <std::size_t N>
bool isOneOf(std::string_view text, const std::array<std::string_view, N>& list) {
  for (std::string_view item : list)
    if (item == text) return true;
  return false;
}

// Trailing characters of code 32 or less removed.
std::string_view trimmedRight(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

// Leading and trailing characters of code 32 or less removed.
std::string_view trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  return trimmedRight(text);
}

class Explainer {
 public:
  Explainer(AppState& state, UserChannel& channel, std::string_view line)
      : state_(state),
        channel_(channel),
        line_(trimmed(line)),
        profile_(asciiUpper(state.profileCode)),
        H_(state.layout.ecuPosition),
        Q_(state.layout.testerPosition),
        D_(state.layout.adapterOffset),
        W_(state.requestCodeWidth == 6 ? 2 : 1) {}

  Explanation run() {
    try {
      explain();
    } catch (const Failure& failure) {
      channel_.message(failure.message);
      out_.complete = false;
    }
    return std::move(out_);
  }

 private:
  long long L() const { return state_.lengthOffset; }

  void explain() {
    const bool response = logtext::isResponseMarked(line_);
    const bool request = logtext::isRequestLine(line_);
    std::string key;
    if (response) {
      if (copyAt(line_, H_ + D_ + L(), 2) == "7F") {
        out_.lines.emplace_back(kNegativeResponse);
        out_.complete = false;
        return;
      }
      rederiveLengthOffset();
      const std::uint64_t service = hexValue(copyAt(line_, H_ + D_ + L(), 2));
      // The request's service: the response's minus 0x40, as a byte.
      const std::string requestService = hexByte(static_cast<std::uint8_t>(service - 0x40));
      key = requestService;
      if (!isOneOf(requestService, kBareResponseServices)) {
        key += ' ';
        key += copyAt(line_, H_ + D_ + L() + 3, W_ == 1 ? 2 : 5);
      }
    } else if (request) {
      // The request's bytes start D after the tester pair: 6 in framed
      // lines, and -3 in adapter lines, which carry no header.
      const long long at = Q_ + D_;
      const std::string_view service = copyAt(line_, at, 2);
      key = isOneOf(service, kBareRequestServices) ? service : copyAt(line_, at, W_ == 1 ? 5 : 8);
    }

    if (request) {
      explainRequest(key);
    } else if (!response) {
      out_.lines.emplace_back(kNeither);
    } else {
      explainResponse(key);
    }
  }

  void rederiveLengthOffset() {
    for (const LengthRule& rule : kLengthRules) {
      if (rule.profile != profile_) continue;
      const long long p = positionOf(line_, state_.layout.ecuPair);
      if (rule.test == LengthTest::FormatByte) {
        state_.lengthOffset = hexValue(copyAt(line_, p - 3, 2)) <= 0x80 ? 3 : 0;
      } else {
        std::string found(copyAt(line_, p + 9, 5));
        if (rule.profile == kUpperCasedRule) found = asciiUpper(found);
        state_.lengthOffset = found == rule.text ? 3 : 0;
      }
      return;
    }
  }

  void explainRequest(const std::string& key) {
    const std::string code = delspace(key);
    bool any = false;
    for (const ParamDef& def : state_.definitions) {
      if (def.requestCode != code) continue;
      out_.lines.push_back(std::string(kRequestOf) + def.name);
      any = true;
    }
    if (!any) out_.lines.emplace_back(kNoRequestDefinition);
  }

  void explainResponse(const std::string& key) {
    if (key.starts_with("10")) {
      out_.lines.emplace_back(kSessionConfirmed);
      return;
    }
    const std::string code = asciiUpper(delspace(key));
    const long long dataStart = H_ + D_ + L() + 3 + (isOneOf(key, kBareResponseServices) ? 0 : 3 * W_);
    const std::string_view data = trimmedRight(copyAt(line_, dataStart, static_cast<long long>(line_.size())));
    const DecodeOptions options{state_.byteOrderInversion, state_.decimalMark};
    bool any = false;
    for (const ParamDef& def : state_.definitions) {
      if (def.requestCode != code) continue;
      std::string value;
      try {
        value = DecodeDan(data, def.requestCode, def.positionField, def.formulaCode, options);
      } catch (const DecodeError&) {
        throw Failure{std::string("Ошибка при распознавании данных: "_w) + std::string(data) + "/" +
                      def.requestCode + "/" + def.positionField + "/" + def.formulaCode};
      }
      out_.lines.push_back(std::string(kResponseTo) + def.name + ": " + value + " " + def.unit);
      any = true;
    }
    if (any || !isOneOf(std::string_view(profile_), kTroubleCodeProfiles)) return;
    if (key.starts_with("18")) {
      listTroubleCodes();
    } else {
      out_.lines.push_back(std::string(kNoResponseDefinition) + key + std::string(kValueLabel));
    }
  }

  void listTroubleCodes() {
    const long long start = H_ + D_ + L() + 3;
    const long long size = static_cast<long long>(line_.size());
    std::string codes(copyAt(line_, start, size - 3 - (start - 1)));
    channel_.message(std::string(line_) + "|" + codes);
    out_.lines.push_back(std::string(kErrorCount) + intText(static_cast<std::int64_t>(hexValue(copyAt(codes, 1, 2)))));
    codes = delspace(codes.size() > 2 ? std::string_view(codes).substr(2) : std::string_view());
    const auto count = roundedQuotient(static_cast<std::int64_t>(trimmed(codes).size()), 6);
    const std::string_view group = troubleCodeGroup(state_.profileCode);
    for (std::int64_t i = 0; i < count; ++i) {
      const std::string code(copyAt(codes, 6 * i + 1, 4));
      out_.lines.push_back(std::string(kErrorCode) + code + " " + describe(group, "P" + code));
    }
  }

  // The description of a trouble code. The file is read at the first
  // look-up of the explanation and kept for the others.
  std::string describe(std::string_view group, const std::string& code) {
    if (!codeFile_)
      codeFile_ = TroubleCodeFile::read(resolveIgnoringCase(state_.programDir, kTroubleCodeFile));
    switch (codeFile_->status()) {
      case TroubleCodeFile::Status::Failed:
        throw Failure{codeFile_->error()};
      case TroubleCodeFile::Status::NoRoot:
        channel_.message(kNoXmlRoot);
        return {};
      case TroubleCodeFile::Status::Loaded:
        break;
    }
    return codeFile_->describe(group, code);
  }

  AppState& state_;
  UserChannel& channel_;
  const std::string_view line_;
  const std::string profile_;
  const long long H_, Q_, D_;
  const int W_;
  Explanation out_;
  std::optional<TroubleCodeFile> codeFile_;
};

}  // namespace

Explanation explainLine(AppState& state, UserChannel& channel, std::string_view line) {
  return Explainer(state, channel, line).run();
}

CellSelection selectCell(AppState& state, UserChannel& channel, const Grid& grid, int column, int row) {
  CellSelection out;
  if (state.viewMode == ViewMode::Table) {
    out.fieldsShown = true;
    out.hint = std::string(grid.cell(column, row));
    out.heading = std::string(grid.cell(column, 1));
    out.value = out.hint;
  } else if (state.viewMode == ViewMode::Log) {
    out.explained = true;
    out.explanation = explainLine(state, channel, grid.cell(column, row));
    if (!out.explanation.complete) return out;
  }
  state.selectedColumn = column;
  state.selectedRow = row;
  return out;
}

}  // namespace tervolin
