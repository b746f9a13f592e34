#pragma once
// Generated text logs of every profile family, for the reader tests.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/param_def.h"

namespace tervolin::test {

enum class LogFamily {
  Ordinary,      // TxD/RxD with 10 F1 / F1 10 addresses
  RussianWords,  // "Запрос"/"Ответ" lines
  Adapter,       // through an ELM adapter: TxD/RxD without addresses
  LengthByte,    // responses with and without a length byte after the addresses
  SixDigit,      // service plus a two-byte identifier
};

struct GeneratedLog {
  std::string text;
  std::vector<ParamDef> definitions;
};

// A log of about `pairs` request/response pairs with noise lines, responses
// before the first request, repeated patterns inside the data, and a
// definition table mixing answered, unanswered and malformed request codes.
GeneratedLog generateLog(LogFamily family, std::uint32_t seed, int pairs);

}  // namespace tervolin::test
