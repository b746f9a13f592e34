#include "logs/log_generator.h"

#include <array>

#include "common/hex.h"
#include "common/text.h"

namespace tervolin::test {
namespace {

std::string hexBytes(const std::vector<int>& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) text += ' ';
    text += hexByte(static_cast<std::uint8_t>(bytes[i]));
  }
  return text;
}

}  // namespace

GeneratedLog generateLog(LogFamily family, std::uint32_t seed, int pairs) {
  std::mt19937 rng(seed);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const bool six = family == LogFamily::SixDigit;
  // Request identifiers: service 21 with a few local identifiers, or
  // service 22 with two-byte identifiers.
  std::vector<std::vector<int>> requests;
  if (six) {
    requests = {{0x22, 0xF4, 0x0C}, {0x22, 0xF4, 0x0D}, {0x22, 0x01, 0x05}, {0x22, 0xE0, 0x01}};
  } else {
    requests = {{0x21, 0x01}, {0x21, 0x03}, {0x21, 0x07}, {0x21, 0xE0}, {0x21, 0x0A}, {0x1A, 0x80}};
  }
  const std::array<std::string, 5> prefixes = {"", "12:00:01.250 ", "61 01 ", "[x] ", "21 01 "};

  GeneratedLog log;
  std::string& t = log.text;
  if (family == LogFamily::Adapter) t += "ELM327 v1.5\r\n";
  if (pick(3) == 0) t += "ELM " + std::string("найден"_w) + "\r\n";
  auto responseLine = [&](const std::vector<int>& req) {
    std::vector<int> answer = req;
    answer[0] += 0x40;
    const int dataBytes = 1 + pick(6);
    for (int i = 0; i < dataBytes; ++i) answer.push_back(pick(4) == 0 ? answer[i % answer.size()] : pick(256));
    const std::string prefix = prefixes[static_cast<std::size_t>(pick(static_cast<int>(prefixes.size())))];
    const std::string word = family == LogFamily::RussianWords ? std::string("Ответ"_w) : "RxD";
    if (family == LogFamily::Adapter) {
      const std::array<std::string, 3> gaps = {" ", ": ", ":  "};
      return prefix + word + gaps[static_cast<std::size_t>(pick(3))] + hexBytes(answer);
    }
    const bool lengthByte = family == LogFamily::LengthByte && pick(2) == 0;
    std::vector<int> frame;
    if (lengthByte) {
      frame = {0x80, 0xF1, 0x10, static_cast<int>(answer.size())};
    } else {
      frame = {0x80 + static_cast<int>(answer.size()), 0xF1, 0x10};
    }
    frame.insert(frame.end(), answer.begin(), answer.end());
    frame.push_back(pick(256));
    return prefix + word + " " + hexBytes(frame);
  };
  auto requestLine = [&](const std::vector<int>& req) {
    const std::string word = family == LogFamily::RussianWords ? std::string("Запрос"_w) : "TxD";
    if (family == LogFamily::Adapter) return word + " " + hexBytes(req);
    std::vector<int> frame = {0x80 + static_cast<int>(req.size()), 0x10, 0xF1};
    frame.insert(frame.end(), req.begin(), req.end());
    frame.push_back(0xA5);
    return word + " " + hexBytes(frame);
  };

  // Some responses arrive before the first request.
  for (int i = pick(3); i > 0; --i) t += responseLine(requests[static_cast<std::size_t>(pick(static_cast<int>(requests.size())))]) + "\r\n";
  for (int i = 0; i < pairs; ++i) {
    const auto& req = requests[static_cast<std::size_t>(pick(static_cast<int>(requests.size())))];
    t += requestLine(req) + "\r\n";
    switch (pick(8)) {
      case 0: t += "   \t\r\n\r\n"; break;               // blank lines
      case 1: t += "comment without bytes\n"; break;    // noise
      case 2: t += "RxD F1 10\r\n"; break;              // pair but nothing after it
      default: break;
    }
    if (pick(6) != 0) t += responseLine(req) + "\r\n";
    // Occasionally a response that belongs to another request.
    if (pick(10) == 0) t += responseLine(requests[static_cast<std::size_t>(pick(static_cast<int>(requests.size())))]) + "\r\n";
  }

  // Definitions: every request code in upper case, some twice, a few never
  // answered, one in lower case, one with a non-hex service.
  auto codeOf = [](const std::vector<int>& req) {
    std::string code;
    for (const int b : req) code += hexByte(static_cast<std::uint8_t>(b));
    return code;
  };
  std::vector<std::string> codes;
  for (const auto& r : requests) codes.push_back(codeOf(r));
  codes.push_back(six ? "22AAAA" : "2155");
  codes.push_back(six ? "22f40c" : "21e0");
  codes.push_back("ZZ01");
  const int count = 12 + pick(12);
  for (int i = 0; i < count; ++i) {
    ParamDef d;
    d.requestCode = codes[static_cast<std::size_t>(pick(static_cast<int>(codes.size())))];
    d.name = "P" + std::to_string(i);
    d.unit = "u";
    d.positionField = hexByte(static_cast<std::uint8_t>(pick(4))) + "00";
    d.column = i;
    log.definitions.push_back(d);
  }
  return log;
}

}  // namespace tervolin::test
