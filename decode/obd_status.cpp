#include "decode/obd_status.h"

#include <span>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/text.h"
#include "decode/decode_dan.h"

namespace tervolin::status {
namespace {

constexpr std::string_view kNoData = "Нет данных"_w;
constexpr std::string_view kYes = kYesText;
constexpr std::string_view kNo = kNoText;

enum class Kind : std::uint8_t {
  Supported,     // list of supported PIDs
  Monitors,      // 0101
  FuelSystem,    // 0103
  ValueText,     // a text per value of A
  SensorBits,    // a text per set bit of A, bit 0 first
  AuxInput,      // 011E
  VoltageAtIndex,  // 01B2: reads the byte at the definition's index
  Characters,    // 01D3
  Cases,         // chosen by the position code K
};

struct ValueText {
  int value;
  std::string_view text;
};

// A rule of the higher PIDs: when K matches, do the action.
enum class When : std::uint8_t { Eq, Lt, Any };
enum class Action : std::uint8_t {
  Flag,           // "Да"/"Нет" of the bit at a position of the byte
  OkFalse,        // "OK" when that bit is clear, "False" otherwise
  YesLowerNo,     // "Да" when that bit is set, "нет" otherwise
  Scaled,         // byte * mul / div as 8/2
  Integer,        // integer text of byte * mul
  HighestWeight,  // the byte less its highest weight
  Text,           // fixed text
  NoText,         // empty result
};

struct Case {
  When when;
  int k;
  Action action;
  std::uint8_t byte = 0;      // 0..5 for A..F
  int position = 0;           // bit-test position (minus K when fromK)
  bool fromK = false;
  double mul = 1;
  double div = 1;
  std::string_view text{};
};

struct Request {
  std::string_view code;
  Kind kind;
  std::uint8_t firstPid = 0;
  std::uint8_t byteCount = 0;
  std::span<const ValueText> values{};
  bool noTextOtherwise = false;  // ValueText: other values give no text (else "Нет данных")
  std::span<const std::string_view> bitTexts{};
  std::span<const Case> cases{};
};

struct Monitor {
  std::string_view text;
  std::uint8_t byte;
  std::uint8_t supportedBit;
  std::uint8_t statusBit;
};

constexpr Monitor kMonitors[] = {
    {"Зажигание - "_w, 1, 0, 4},
    {"Топливная система - "_w, 1, 1, 5},
    {"Компоненты - "_w, 1, 2, 6},
    {"Резерв - "_w, 1, 3, 7},
    {"Катализатор - "_w, 2, 0, 4},
    {"Нагреватель катализатора - "_w, 2, 1, 5},
    {"Evaporotive System - "_w, 2, 2, 6},
    {"Отопление и вентиляция - "_w, 2, 3, 7},
    {"A/C хладагент - "_w, 3, 0, 4},
    {"Кислородный датчик - "_w, 3, 1, 5},
    {"Нагреватель кислородника - "_w, 3, 2, 6},
    {"Система EGR - "_w, 3, 3, 7},
};

struct FuelText {
  int value;
  std::string_view before;  // before the label
  std::string_view after;   // after the label
};

constexpr FuelText kFuelTexts[] = {
    {1, "Система "_w, " не замкнута из-за недостаточной температуры двигателя"_w},
    {2, "Система "_w, " замкнута, используестя кислородный датчик для определения состава смеси"_w},
    {4, "Система "_w, " не замкнута из-за повышенной нагрузки или отсечки топлива при сбросе газа"_w},
    {8, "Система "_w, " не замкнута из-за ошибки системы"_w},
    {16, "Систма "_w, " замкнута, однако используется только один кислородный датчик"_w},
};

constexpr ValueText kSecondaryAir[] = {
    {1, "Upstream of catalitic converter"},
    {2, "Downtream of catalitic converter"},
    {4, "From the outside atmosphere or Off"},
};

constexpr ValueText kStandards[] = {
    {1, "OBD-II as difined by the CARB"}, {2, "OBD as defined by the EPA"},
    {3, "OBD and OBDII"},                 {4, "OBD-I"},
    {5, "Не совместим с OBD"_w},          {6, "EOBD Europe"},
    {7, "EOBD and OBD-II"},               {8, "EOBD and OBD"},
    {9, "EOBD, OBD and OBD-II"},          {10, "JOBD (Japan)"},
    {11, "JOBD and OBD-II"},              {12, "JOBD and EOBD"},
    {13, "JOBD, EOBD and OBD-II"},
};

constexpr std::string_view kTwoBankSensors[] = {
    "Bank1/Sensor1;", "Bank1/Sensor2;", "Bank1/Sensor3;", "Bank1/Sensor4;",
    "Bank2/Sensor1;", "Bank2/Sensor2;", "Bank2/Sensor3;", "Bank2/Sensor4;",
};

constexpr std::string_view kFourBankSensors[] = {
    "Bank1/Sensor1;", "Bank1/Sensor2;", "Bank2/Sensor1;", "Bank2/Sensor2;",
    "Bank3/Sensor1;", "Bank3/Sensor2;", "Bank4/Sensor1;", "Bank4/Sensor2;",
};

constexpr std::uint8_t A = 0, B = 1, C = 2, D = 3, E = 4, F = 5;

// Flag of byte `byte` at position base - K.
constexpr Case flagBelow(When when, int k, std::uint8_t byte, int base) {
  return {when, k, Action::Flag, byte, base, true};
}
constexpr Case scaled(When when, int k, std::uint8_t byte, double mul, double div) {
  return {when, k, Action::Scaled, byte, 0, false, mul, div};
}
constexpr Case integer(When when, int k, std::uint8_t byte, double mul = 1) {
  return {when, k, Action::Integer, byte, 0, false, mul};
}
constexpr Case otherwiseNoData() { return {When::Any, 0, Action::Text, 0, 0, false, 1, 1, kNoData}; }

constexpr Case k01B3[] = {
    flagBelow(When::Lt, 10, A, 9),         scaled(When::Eq, 20, C, 5, 255),
    scaled(When::Eq, 30, D, 12.49, 255),   scaled(When::Eq, 40, E, 19.9, 255),
    scaled(When::Eq, 50, F, 2.5, 255),     otherwiseNoData(),
};
constexpr Case k01B7[] = {
    scaled(When::Eq, 0, A, 0.00498, 1),
    scaled(When::Eq, 10, B, 0.3886, 1),
    {When::Eq, 28, Action::Flag, C, 8, false},
    otherwiseNoData(),
};
constexpr Case k01BB[] = {flagBelow(When::Any, 0, A, 9)};
constexpr Case k01D5[] = {scaled(When::Any, 0, A, 0.817, 1)};
constexpr Case k01E2[] = {
    scaled(When::Eq, 0, A, 6375, 255),
    scaled(When::Eq, 10, B, 3.98, 255),
    {When::Any, 0, Action::NoText},
};
constexpr Case k01E3[] = {scaled(When::Any, 0, A, 816, 255)};
constexpr Case k01E6[] = {scaled(When::Any, 0, A, 99.4, 255)};
constexpr Case k01E8[] = {
    flagBelow(When::Lt, 10, A, 9), flagBelow(When::Lt, 20, B, 19), flagBelow(When::Lt, 30, C, 29),
    otherwiseNoData(),
};
constexpr Case k01E9[] = {
    integer(When::Eq, 0, A), integer(When::Eq, 10, B), integer(When::Eq, 20, C), integer(When::Eq, 30, D),
    otherwiseNoData(),
};
constexpr Case k01EB[] = {integer(When::Any, 0, A, 256)};
constexpr Case k01EC[] = {{When::Any, 0, Action::OkFalse, A, 9, true}};
constexpr Case k01ED[] = {scaled(When::Any, 0, A, 159, 255)};
constexpr Case k01F8[] = {
    {When::Eq, 0, Action::HighestWeight, A},
    {When::Eq, 4, Action::YesLowerNo, A, 9, true},
    {When::Eq, 5, Action::YesLowerNo, A, 9, true},
    {When::Eq, 6, Action::YesLowerNo, A, 9, true},
    otherwiseNoData(),
};
constexpr Case k01F9[] = {flagBelow(When::Lt, 10, A, 9), flagBelow(When::Lt, 20, B, 19), otherwiseNoData()};
constexpr Case k01FB[] = {flagBelow(When::Any, 0, A, 9)};
constexpr Case k01EF[] = {
    flagBelow(When::Lt, 10, A, 9),  flagBelow(When::Lt, 20, B, 19), flagBelow(When::Lt, 30, C, 29),
    flagBelow(When::Lt, 40, D, 39), otherwiseNoData(),
};

constexpr Request supported(std::string_view code, std::uint8_t first, std::uint8_t count) {
  return {code, Kind::Supported, first, count};
}
constexpr Request cases(std::string_view code, std::span<const Case> list) {
  return {code, Kind::Cases, 0, 0, {}, false, {}, list};
}

constexpr Request kRequests[] = {
    supported("0100", 0x01, 4), supported("1100", 0x01, 4), supported("1200", 0x01, 4),
    supported("1300", 0x01, 4), supported("0120", 0x21, 4), supported("1120", 0x21, 4),
    supported("0140", 0x41, 4), supported("1140", 0x41, 4), supported("01A0", 0xA1, 2),
    supported("01B0", 0xB1, 2), supported("01C0", 0xC1, 4), supported("01E0", 0xE1, 2),
    {"0101", Kind::Monitors},
    {"0103", Kind::FuelSystem},
    {"0112", Kind::ValueText, 0, 0, kSecondaryAir, false},
    {"0113", Kind::SensorBits, 0, 0, {}, false, kTwoBankSensors},
    {"011C", Kind::ValueText, 0, 0, kStandards, true},
    {"011D", Kind::SensorBits, 0, 0, {}, false, kFourBankSensors},
    {"011E", Kind::AuxInput},
    {"01B2", Kind::VoltageAtIndex},
    cases("01B3", k01B3),
    cases("01B7", k01B7),
    cases("01B8", k01B7),
    cases("01BB", k01BB),
    {"01D3", Kind::Characters},
    cases("01D5", k01D5),
    cases("01E2", k01E2),
    cases("01E3", k01E3),
    cases("01E6", k01E6),
    cases("01E8", k01E8),
    cases("01E9", k01E9),
    cases("01EA", k01E9),
    cases("01EB", k01EB),
    cases("01EC", k01EC),
    cases("01ED", k01ED),
    cases("01F8", k01F8),
    cases("01F9", k01F9),
    cases("01FB", k01FB),
    cases("01EF", k01EF),
};

// The bit-test character of X at 1-based position p of its eight-bit text,
// most significant bit first: '1', '0', or 0 when p lies beyond the text.
// Positions below 1 read the first character.
char bitAt(int x, int p) {
  if (p > 8) return 0;
  if (p < 1) p = 1;
  return ((x >> (8 - p)) & 1) ? '1' : '0';
}

void appendFixed(std::string& out, double value, char mark) { out += fixedText(value, 8, 2, mark); }

void supportedList(const Request& r, const Inputs& in, std::string& out) {
  int pid = r.firstPid;
  for (int b = 0; b < r.byteCount; ++b)
    for (int bit = 7; bit >= 0; --bit, ++pid)
      if ((in.bytes[static_cast<std::size_t>(b)] >> bit) & 1) {
        const char text[3] = {kHexDigits[(pid >> 4) & 15], kHexDigits[pid & 15], ','};
        out.append(text, 3);
      }
}

void monitors(const Inputs& in, std::string& out) {
  const int a = in.bytes[0];
  if (a & 0x80) {
    out += "Лампа \"MIL\" горит, найдено "_w;
    out += intText(a - 128);
    out += " ошибок"_w;
  } else {
    out += "MIL не горит, ошибок нет"_w;
  }
  for (const Monitor& m : kMonitors) {
    const int x = in.bytes[m.byte];
    if (!((x >> m.supportedBit) & 1)) continue;
    out += m.text;
    out += ((x >> m.statusBit) & 1) ? "Ошибка;"_w : "Норма;"_w;
  }
}

void fuelSystem(const Inputs& in, std::string& out) {
  const bool first = in.positionCode == 0;
  const int value = first ? in.bytes[0] : in.bytes[1];
  for (const FuelText& t : kFuelTexts) {
    if (t.value != value) continue;
    out += t.before;
    out += first ? "#1" : "#2";
    out += t.after;
    return;
  }
  out += "Нет данных, HEX "_w;
  out += in.compact;
}

void voltageAtIndex(const Inputs& in, std::string& out) {
  if (in.slotValue < 0) throw DecodeError("01B2: no hex byte at the parameter's position");
  const double x = in.slotValue;
  const int i = in.byteIndex;
  if (i < 20) {
    appendFixed(out, x * 5 / 255, in.mark);
  } else if (i == 20) {
    appendFixed(out, x * 6 / 255, in.mark);
    out += '/';
    appendFixed(out, x * 5 / 255, in.mark);
  } else if (i <= 30) {
    out += kNoData;
  } else {
    appendFixed(out, x * 5 / 255, in.mark);
    out += '/';
    out += intText(in.slotValue);
  }
}

int lessHighestWeight(int a) {
  for (int weight : {128, 64, 32, 16, 8})
    if (a > weight) return a - weight;
  return a;
}

void applyCases(std::span<const Case> list, const Inputs& in, std::string& out) {
  const int k = in.positionCode;
  for (const Case& c : list) {
    const bool match = c.when == When::Any || (c.when == When::Eq && k == c.k) || (c.when == When::Lt && k < c.k);
    if (!match) continue;
    const int x = in.bytes[c.byte];
    const int position = c.fromK ? c.position - k : c.position;
    switch (c.action) {
      case Action::Flag:
        out += bitAt(x, position) == '1' ? kYes : kNo;
        break;
      case Action::OkFalse:
        out += bitAt(x, position) == '0' ? "OK" : "False";
        break;
      case Action::YesLowerNo:
        out += bitAt(x, position) == '1' ? kYes : "нет"_w;
        break;
      case Action::Scaled:
        appendFixed(out, x * c.mul / c.div, in.mark);
        break;
      case Action::Integer:
        out += intText(static_cast<std::int64_t>(x * c.mul));
        break;
      case Action::HighestWeight:
        out += intText(lessHighestWeight(x));
        break;
      case Action::Text:
        out += c.text;
        break;
      case Action::NoText:
        break;
    }
    return;
  }
}

}  // namespace

int find(std::string_view requestCode) {
  for (std::size_t r = 0; r < std::size(kRequests); ++r)
    if (kRequests[r].code == requestCode) return static_cast<int>(r);
  return -1;
}

void interpret(int request, const Inputs& in, std::string& out) {
  out.clear();
  if (request < 0 || request >= static_cast<int>(std::size(kRequests))) {
    out.assign(in.compact);
    return;
  }
  const Request& r = kRequests[request];
  const int a = in.bytes[0];
  switch (r.kind) {
    case Kind::Supported:
      supportedList(r, in, out);
      break;
    case Kind::Monitors:
      monitors(in, out);
      break;
    case Kind::FuelSystem:
      fuelSystem(in, out);
      break;
    case Kind::ValueText: {
      for (const ValueText& v : r.values)
        if (v.value == a) {
          out += v.text;
          return;
        }
      if (!r.noTextOtherwise) out += kNoData;
      break;
    }
    case Kind::SensorBits:
      for (int bit = 0; bit < 8; ++bit)
        if ((a >> bit) & 1) out += r.bitTexts[static_cast<std::size_t>(bit)];
      break;
    case Kind::AuxInput:
      out += (a & 1) ? "Активен"_w : "Не активен"_w;
      break;
    case Kind::VoltageAtIndex:
      voltageAtIndex(in, out);
      break;
    case Kind::Characters:
      for (int k = 0; k < 5; ++k) out += static_cast<char>(in.bytes[static_cast<std::size_t>(k)]);
      break;
    case Kind::Cases:
      applyCases(r.cases, in, out);
      break;
  }
}

}  // namespace tervolin::status
