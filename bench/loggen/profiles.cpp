#include "bench/loggen/profiles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

#include "common/hex.h"
#include "common/text.h"

namespace tervolin::loggen {
namespace {

struct Row {
  std::string_view request, name, unit, position, formula;
  Quantity quantity;
};

using Q = Quantity;

// OBD-II service 01. The status requests 0100, 0101, 0103, 0113, 0120 and
// 011C have no formula line, so they are shown as status texts.
constexpr Row kObd[] = {
    {"01 00", "Поддерживаемые PID 01-20"_w, "список"_w, "0000", "", Q::SupportedPids},
    {"01 01", "Лампа MIL и мониторы"_w, "-", "0000", "", Q::Monitors},
    {"01 01", "Лампа MIL"_w, "-", "000F", "B8", Q::FlagMil},
    {"01 03", "Топливная система #1"_w, "-", "0000", "", Q::FuelSystem},
    {"01 03", "Топливная система #2"_w, "-", "0100", "", Q::FuelSystem},
    {"01 04", "Расчётная нагрузка"_w, "%", "0000", "F1", Q::Load},
    {"01 05", "Температура ОЖ"_w, "°C"_w, "0000", "FT", Q::Coolant},
    {"01 06", "Краткосрочная коррекция топлива"_w, "%", "0000", "FK", Q::ShortTrim},
    {"01 07", "Долгосрочная коррекция топлива"_w, "%", "0000", "FK", Q::LongTrim},
    {"01 0B", "Давление во впускном коллекторе"_w, "кПа"_w, "0000", "FI", Q::Map},
    {"01 0C", "Обороты двигателя"_w, "об/мин"_w, "0000", "FR", Q::Rpm},
    {"01 0D", "Скорость автомобиля"_w, "км/ч"_w, "0000", "FI", Q::Speed},
    {"01 0E", "Угол опережения зажигания"_w, "°"_w, "0000", "FZ", Q::Advance},
    {"01 0F", "Температура воздуха на впуске"_w, "°C"_w, "0000", "FT", Q::Intake},
    {"01 10", "Массовый расход воздуха"_w, "г/с"_w, "0000", "FF", Q::Maf},
    {"01 11", "Положение дроссельной заслонки"_w, "%", "0000", "F1", Q::Throttle},
    {"01 13", "Кислородные датчики"_w, "-", "0000", "", Q::O2Present},
    {"01 14", "Напряжение ДК 1"_w, "В"_w, "0000", "FD", Q::O2},
    {"01 14", "Коррекция по ДК 1"_w, "%", "0100", "FS", Q::ShortTrim},
    {"01 15", "Напряжение ДК 2"_w, "В"_w, "0000", "FD", Q::O2Down},
    {"01 15", "Коррекция по ДК 2"_w, "%", "0100", "FS", Q::Unused},
    {"01 1C", "Стандарт OBD"_w, "-", "0000", "", Q::ObdStandard},
    {"01 1F", "Время работы двигателя"_w, "с"_w, "0000", "FO", Q::Runtime},
    {"01 20", "Поддерживаемые PID 21-40"_w, "список"_w, "0000", "", Q::SupportedPids},
    {"01 2F", "Уровень топлива"_w, "%", "0000", "F1", Q::FuelLevel},
    {"01 33", "Атмосферное давление"_w, "кПа"_w, "0000", "FI", Q::Baro},
};

// Service 21, one-byte identifiers, ordinary frames.
constexpr Row kToyota[] = {
    {"21 01", "Температура ОЖ"_w, "°C"_w, "0000", "FT", Q::Coolant},
    {"21 01", "Температура воздуха на впуске"_w, "°C"_w, "0100", "FT", Q::Intake},
    {"21 01", "Обороты двигателя"_w, "об/мин"_w, "0200", "FR", Q::Rpm},
    {"21 01", "Скорость автомобиля"_w, "км/ч"_w, "0400", "FI", Q::Speed},
    {"21 01", "Положение дроссельной заслонки"_w, "%", "0500", "F1", Q::Throttle},
    {"21 01", "Расчётная нагрузка"_w, "%", "0600", "F1", Q::Load},
    {"21 01", "Угол опережения зажигания"_w, "°"_w, "0700", "FZ", Q::Advance},
    {"21 01", "Время впрыска"_w, "мс"_w, "0800", "E4", Q::Injection},
    {"21 01", "Напряжение ДК"_w, "В"_w, "0900", "FD", Q::O2},
    {"21 01", "Краткосрочная коррекция"_w, "%", "0A00", "FK", Q::ShortTrim},
    {"21 01", "Долгосрочная коррекция"_w, "%", "0B00", "FK", Q::LongTrim},
    {"21 01", "Давление во впускном коллекторе"_w, "кПа"_w, "0C00", "FI", Q::Map},
    {"21 01", "Напряжение бортсети"_w, "В"_w, "0D00", "X0", Q::Battery},
    {"21 01", "Фаза распредвала"_w, "°"_w, "0E00", "DA", Q::Vvt},
    {"21 01", "Байт состояния"_w, "hex", "1000", "FH", Q::StatusByte},
    {"21 01", "Холостой ход"_w, "-", "1108", "B8", Q::FlagIdle},
    {"21 01", "Обратная связь по ДК"_w, "-", "1109", "B8", Q::FlagClosedLoop},
    {"21 01", "Вентилятор"_w, "-", "110A", "B8", Q::FlagFan},
    {"21 01", "Кондиционер"_w, "-", "110B", "B8", Q::FlagAirCon},
    {"21 01", "Отсечка топлива"_w, "-", "110C", "B8", Q::FlagFuelCut},
    {"21 01", "Лампа Check Engine"_w, "-", "110F", "B8", Q::FlagMil},
    {"21 02", "Коррекция оборотов ХХ"_w, "об/мин"_w, "0000", "X4", Q::IdleCorrection},
    {"21 02", "Положение клапана ХХ"_w, "%", "0200", "F1", Q::IdleValve},
    {"21 02", "Пропуски воспламенения"_w, "шт"_w, "0300", "FI", Q::Misfires},
    {"21 02", "Коррекция по второму ДК"_w, "%", "0400", "FS", Q::Unused},
    {"21 02", "Время работы двигателя"_w, "с"_w, "0500", "FO", Q::Runtime},
};

// Chinese ECU: responses carry a length byte after the addresses.
constexpr Row kGreatWall[] = {
    {"21 01", "Температура ОЖ"_w, "°C"_w, "0000", "CT", Q::Coolant},
    {"21 01", "Температура воздуха на впуске"_w, "°C"_w, "0100", "CT", Q::Intake},
    {"21 01", "Обороты двигателя"_w, "об/мин"_w, "0200", "FR", Q::Rpm},
    {"21 01", "Скорость автомобиля"_w, "км/ч"_w, "0400", "FI", Q::Speed},
    {"21 01", "Положение дроссельной заслонки"_w, "%", "0500", "F1", Q::Throttle},
    {"21 01", "Давление во впускном коллекторе"_w, "кПа"_w, "0600", "CP", Q::Map},
    {"21 01", "Напряжение бортсети"_w, "В"_w, "0700", "CV", Q::Battery},
    {"21 01", "Угол зажигания"_w, "°"_w, "0800", "CZ", Q::Advance},
    {"21 01", "Напряжение на лямбде"_w, "мВ"_w, "0900", "CO", Q::O2},
    {"21 01", "Коррекция топлива"_w, "%", "0A00", "FK", Q::ShortTrim},
    {"21 01", "Коррекция оборотов ХХ"_w, "об/мин"_w, "0B00", "X4", Q::IdleCorrection},
    {"21 01", "Байт состояния"_w, "hex", "0D00", "FH", Q::StatusByte},
    {"21 01", "Холостой ход"_w, "-", "0E08", "B8", Q::FlagIdle},
    {"21 01", "Обратная связь по ДК"_w, "-", "0E09", "B8", Q::FlagClosedLoop},
    {"21 01", "Вентилятор"_w, "-", "0E0A", "B8", Q::FlagFan},
    {"21 01", "Кондиционер"_w, "-", "0E0B", "B8", Q::FlagAirCon},
    {"21 01", "Давление в кондиционере"_w, "кПа"_w, "0F00", "Cp", Q::AcPressure},
    {"21 01", "Время впрыска"_w, "мкс"_w, "1000", "F5", Q::Injection},
};

// Service 21 with two-byte identifiers: six-digit request codes.
constexpr Row kNissan[] = {
    {"21 01 02", "Обороты двигателя"_w, "об/мин"_w, "0000", "NR", Q::Rpm},
    {"21 01 02", "Температура ОЖ"_w, "°C"_w, "0200", "NT", Q::Coolant},
    {"21 01 02", "Скорость автомобиля"_w, "км/ч"_w, "0300", "N0", Q::Speed},
    {"21 01 02", "Напряжение бортсети"_w, "В"_w, "0400", "NB", Q::Battery},
    {"21 01 02", "Угол опережения зажигания"_w, "°"_w, "0500", "NI", Q::Advance},
    {"21 01 02", "Напряжение ДПДЗ"_w, "В"_w, "0600", "N1", Q::Throttle},
    {"21 01 02", "Напряжение ДК"_w, "В"_w, "0700", "NO", Q::O2},
    {"21 01 02", "Время впрыска"_w, "мс"_w, "0800", "N3", Q::Injection},
    {"21 01 02", "Напряжение ДМРВ"_w, "В"_w, "0A00", "N2", Q::Maf},
    {"21 01 02", "Холостой ход"_w, "-", "0C08", "B8", Q::FlagIdle},
    {"21 01 02", "Вентилятор"_w, "-", "0C09", "B8", Q::FlagFan},
    {"21 01 02", "Кондиционер"_w, "-", "0C0A", "B8", Q::FlagAirCon},
    {"21 01 02", "Обратная связь по ДК"_w, "-", "0C0B", "B8", Q::FlagClosedLoop},
    {"21 01 02", "Байт состояния"_w, "hex", "0D00", "FH", Q::StatusByte},
    {"21 01 03", "Температура воздуха на впуске"_w, "°C"_w, "0000", "NT", Q::Intake},
    {"21 01 03", "Коррекция оборотов ХХ"_w, "об/мин"_w, "0100", "NA", Q::IdleCorrection},
    {"21 01 03", "Положение клапана ХХ"_w, "%", "0200", "NL", Q::IdleValve},
};

// Profiles B797 and B1797V: service 21 01 answered with a
// length byte, every other answer (trouble codes, session) without.
constexpr Row kB797[] = {
    {"21 01", "Температура ОЖ"_w, "°C"_w, "0000", "FT", Q::Coolant},
    {"21 01", "Температура воздуха на впуске"_w, "°C"_w, "0100", "FT", Q::Intake},
    {"21 01", "Обороты двигателя"_w, "об/мин"_w, "0200", "FR", Q::Rpm},
    {"21 01", "Скорость автомобиля"_w, "км/ч"_w, "0400", "FI", Q::Speed},
    {"21 01", "Положение дроссельной заслонки"_w, "%", "0500", "F1", Q::Throttle},
    {"21 01", "Угол опережения зажигания"_w, "°"_w, "0600", "FZ", Q::Advance},
    {"21 01", "Время впрыска"_w, "мс"_w, "0700", "E4", Q::Injection},
    {"21 01", "Напряжение ДК"_w, "В"_w, "0800", "FD", Q::O2},
    {"21 01", "Коррекция топлива"_w, "%", "0900", "FK", Q::ShortTrim},
    {"21 01", "Напряжение бортсети"_w, "В"_w, "0A00", "X0", Q::Battery},
    {"21 01", "Массовый расход воздуха"_w, "г/с"_w, "0B00", "FF", Q::Maf},
    {"21 01", "Положение регулятора ХХ"_w, "%", "0D00", "F1", Q::IdleValve},
    {"21 01", "Байт состояния"_w, "hex", "0E00", "FH", Q::StatusByte},
    {"21 01", "Холостой ход"_w, "-", "0F08", "B8", Q::FlagIdle},
    {"21 01", "Обратная связь по ДК"_w, "-", "0F09", "B8", Q::FlagClosedLoop},
    {"21 01", "Вентилятор"_w, "-", "0F0A", "B8", Q::FlagFan},
    {"21 01", "Отсечка топлива"_w, "-", "0F0C", "B8", Q::FlagFuelCut},
};

struct DemoTable {
  std::string_view code;
  std::span<const Row> rows;
};
constexpr DemoTable kDemoTables[] = {{"OBDII", kObd},      {"Toyota", kToyota}, {"GreatWall", kGreatWall},
                                     {"Nissan", kNissan},  {"B797", kB797},    {"B1797V", kB797}};

// How a formula turns raw bytes into a value: value = raw * scale + offset.
struct Scaling {
  std::string_view formula;
  int bytes;
  double scale;
  double offset;
  bool isSigned;
};
constexpr Scaling kScalings[] = {
    {"FT", 1, 1, -40, false},          {"F1", 1, 100.0 / 255, 0, false}, {"FK", 1, 100.0 / 128, -100, false},
    {"FS", 1, 100.0 / 128, -100, false}, {"FD", 1, 0.005, 0, false},    {"FI", 1, 1, 0, false},
    {"FH", 1, 1, 0, false},            {"FZ", 1, 0.5, -64, false},       {"FP", 1, 3, 0, false},
    {"FR", 2, 0.25, 0, false},         {"FF", 2, 0.01, 0, false},        {"FO", 2, 1, 0, false},
    {"F5", 2, 1, 0, false},            {"F8", 2, 0.001, 0, false},       {"X4", 2, 1, 0, true},
    {"X3", 1, 1, 0, true},             {"X0", 1, 1 / 14.4, 0, false},    {"X8", 1, 1, -80, false},
    {"E4", 1, 32.6 / 255, 0, false},   {"DA", 2, 0.009765625, 0, false}, {"NR", 2, 12.5, 0, false},
    {"NT", 1, 1, -50, false},          {"N0", 1, 2, 0, false},           {"NB", 1, 0.08, 0, false},
    {"NI", 1, -1, 112, false},         {"N1", 1, 0.02, 0, false},        {"NO", 1, 0.01, 0, false},
    {"N2", 2, 0.005, 0, false},        {"N3", 2, 0.01, 0, false},        {"NA", 1, 1, -128, false},
    {"NL", 1, 0.390625, 0, false},     {"CT", 1, 0.75, -40, false},      {"CV", 1, 0.1, 0, false},
    {"CP", 1, 94.0 / 255, 10.4, false}, {"CZ", 1, 180.0 / 256, -90, false}, {"CO", 1, 1128.0 / 256, 0, false},
    {"Cp", 1, 20, 0, false},
};

const Scaling* findScaling(std::string_view formula) {
  for (const Scaling& s : kScalings)
    if (s.formula == formula) return &s;
  return nullptr;
}

// Engine-state values behind the quantities. Some are rescaled to the unit
// the definitions show (the Nissan throttle and air-flow sensors report
// volts, the lambda probe of the Chinese ECU millivolts).
using Reader = double (*)(const EngineState&);
struct QuantityValue {
  Quantity quantity;
  Reader read;
};
constexpr QuantityValue kValues[] = {
    {Q::Coolant, [](const EngineState& s) { return s.coolant; }},
    {Q::Intake, [](const EngineState& s) { return s.intake; }},
    {Q::Rpm, [](const EngineState& s) { return s.rpm; }},
    {Q::Speed, [](const EngineState& s) { return s.speed; }},
    {Q::Throttle, [](const EngineState& s) { return s.throttle; }},
    {Q::Load, [](const EngineState& s) { return s.load; }},
    {Q::O2, [](const EngineState& s) { return s.o2; }},
    {Q::O2Down, [](const EngineState& s) { return s.o2Down; }},
    {Q::ShortTrim, [](const EngineState& s) { return s.shortTrim; }},
    {Q::LongTrim, [](const EngineState& s) { return s.longTrim; }},
    {Q::Battery, [](const EngineState& s) { return s.battery; }},
    {Q::Advance, [](const EngineState& s) { return s.advance; }},
    {Q::Map, [](const EngineState& s) { return s.map; }},
    {Q::Maf, [](const EngineState& s) { return s.maf; }},
    {Q::Injection, [](const EngineState& s) { return s.injection; }},
    {Q::IdleValve, [](const EngineState& s) { return s.idleValve; }},
    {Q::IdleCorrection, [](const EngineState& s) { return s.idleCorrection; }},
    {Q::Runtime, [](const EngineState& s) { return s.runtime; }},
    {Q::Misfires, [](const EngineState& s) { return static_cast<double>(s.misfires); }},
    {Q::AcPressure, [](const EngineState& s) { return s.airCon ? 1480.0 : 620.0; }},
    {Q::Baro, [](const EngineState&) { return 99.0; }},
    {Q::Ambient, [](const EngineState&) { return 17.0; }},
    {Q::FuelLevel, [](const EngineState& s) { return 64.0 - s.runtime / 200.0; }},
    {Q::Vvt, [](const EngineState& s) { return s.idle ? 2.0 : std::min(40.0, s.rpm / 120.0); }},
    {Q::StatusByte, [](const EngineState& s) {
       return static_cast<double>((s.idle ? 1 : 0) | (s.closedLoop ? 2 : 0) | (s.fan ? 4 : 0) | (s.airCon ? 8 : 0));
     }},
    {Q::FlagIdle, [](const EngineState& s) { return s.idle ? 1.0 : 0.0; }},
    {Q::FlagClosedLoop, [](const EngineState& s) { return s.closedLoop ? 1.0 : 0.0; }},
    {Q::FlagFan, [](const EngineState& s) { return s.fan ? 1.0 : 0.0; }},
    {Q::FlagAirCon, [](const EngineState& s) { return s.airCon ? 1.0 : 0.0; }},
    {Q::FlagFuelCut, [](const EngineState& s) { return s.fuelCut ? 1.0 : 0.0; }},
    {Q::FlagMil, [](const EngineState&) { return 0.0; }},
};

// Definitions whose unit differs from the engine-state value: the Nissan
// throttle and air-flow sensors report volts (0.45..4.4 V, 1..4 V), the
// Chinese lambda probe millivolts, its injection time microseconds.
struct UnitChange {
  std::string_view formula;
  double factor;
  double offset;
};
constexpr UnitChange kUnitChanges[] = {{"N1", 0.04, 0.45}, {"N2", 0.05, 1.0}, {"CO", 1000, 0}, {"F5", 1000, 0}};

double inDefinitionUnit(const Definition& d, double value) {
  for (const UnitChange& u : kUnitChanges)
    if (u.formula == d.formula) return value * u.factor + u.offset;
  return value;
}

double valueOf(Quantity q, const EngineState& s) {
  for (const QuantityValue& v : kValues)
    if (v.quantity == q) return v.read(s);
  return 0;
}

int hexPair(std::string_view text) {
  const auto v = parseHex(text);
  return v ? static_cast<int>(*v) : 0;
}

// Supported-PID bitmap for the 32 PIDs after `base` (0x00 or 0x20): one bit
// for every service 01 request the profile defines, plus the bit for the
// next range when the profile defines requests beyond it.
void supportedPids(const Profile& profile, int base, Bytes& data) {
  std::array<std::uint8_t, 4> bits{};
  for (const Definition& d : profile.definitions) {
    const std::string code = compactCode(d.request);
    if (code.size() != 4 || code.substr(0, 2) != "01") continue;
    const int pid = hexPair(std::string_view(code).substr(2));
    const int bit = (pid > base + 0x20 ? 0x20 : pid - base) - 1;
    if (bit < 0 || bit > 31) continue;
    bits[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
  }
  std::copy(bits.begin(), bits.end(), data.begin());
}

void statusPayload(const Profile& profile, const Definition& d, const EngineState& s, Bytes& data) {
  switch (d.quantity) {
    case Q::SupportedPids:
      supportedPids(profile, hexPair(std::string_view(compactCode(d.request)).substr(2)), data);
      break;
    case Q::Monitors:
      // No lamp; misfire, fuel and component monitors complete; catalyst,
      // evaporative system, probe and probe heater incomplete until the
      // engine has run long enough.
      data[0] = 0x00;
      data[1] = 0x07;
      data[2] = static_cast<std::uint8_t>(0x05 | (s.monitorsDone ? 0 : 0x50));
      data[3] = static_cast<std::uint8_t>(0x06 | (s.monitorsDone ? 0 : 0x60));
      break;
    case Q::FuelSystem:
      data[0] = s.fuelCut ? 4 : (s.closedLoop ? 2 : 1);
      data[1] = 0;
      break;
    case Q::O2Present: data[0] = 0x03; break;
    case Q::ObdStandard: data[0] = 6; break;
    default: break;
  }
}

std::size_t widthOf(const Definition& d) {
  if (d.formula.empty()) return d.quantity == Q::SupportedPids || d.quantity == Q::Monitors ? 4 : 2;
  const Scaling* s = findScaling(d.formula);
  return s ? static_cast<std::size_t>(s->bytes) : 1;
}

// Filler for data bytes no definition uses: fixed per position, so the
// unused bytes look like real ECU data and stay still.
std::uint8_t filler(std::string_view code, std::size_t index) {
  unsigned h = 2166136261u;
  for (const char c : code) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  h = (h ^ static_cast<unsigned>(index)) * 16777619u;
  return static_cast<std::uint8_t>(h >> 11);
}

}  // namespace

std::string compactCode(std::string_view request) { return delspace(request); }

Profile demoProfile(std::string_view code) {
  Profile p;
  p.code = std::string(code);
  for (const DemoTable& t : kDemoTables) {
    if (t.code != code) continue;
    for (const Row& r : t.rows)
      p.definitions.push_back({std::string(r.request), std::string(r.name), std::string(r.unit),
                               std::string(r.position), std::string(r.formula), r.quantity});
  }
  return p;
}

Profile benchProfile() {
  // Templates cycled through the whole-byte positions.
  static constexpr Row kBytes[] = {
      {"", "Температура ОЖ"_w, "°C"_w, "", "FT", Q::Coolant},
      {"", "Температура воздуха"_w, "°C"_w, "", "FT", Q::Intake},
      {"", "Скорость"_w, "км/ч"_w, "", "FI", Q::Speed},
      {"", "Дроссель"_w, "%", "", "F1", Q::Throttle},
      {"", "Нагрузка"_w, "%", "", "F1", Q::Load},
      {"", "Опережение"_w, "°"_w, "", "FZ", Q::Advance},
      {"", "Впрыск"_w, "мс"_w, "", "E4", Q::Injection},
      {"", "Напряжение ДК"_w, "В"_w, "", "FD", Q::O2},
      {"", "Коррекция"_w, "%", "", "FK", Q::ShortTrim},
      {"", "Коррекция ДК2"_w, "%", "", "FS", Q::Unused},
      {"", "Давление"_w, "кПа"_w, "", "FI", Q::Map},
      {"", "Бортсеть"_w, "В"_w, "", "X0", Q::Battery},
      {"", "Состояние"_w, "hex", "", "FH", Q::StatusByte},
      {"", "Клапан ХХ"_w, "%", "", "F1", Q::IdleValve},
  };
  static constexpr Row kWords[] = {
      {"", "Обороты"_w, "об/мин"_w, "", "FR", Q::Rpm},
      {"", "Коррекция ХХ"_w, "об/мин"_w, "", "X4", Q::IdleCorrection},
      {"", "Расход воздуха"_w, "г/с"_w, "", "FF", Q::Maf},
      {"", "Время работы"_w, "с"_w, "", "FO", Q::Runtime},
  };
  static constexpr Row kFlags[] = {
      {"", "Холостой ход"_w, "-", "", "B8", Q::FlagIdle},
      {"", "Обратная связь"_w, "-", "", "B8", Q::FlagClosedLoop},
      {"", "Вентилятор"_w, "-", "", "B8", Q::FlagFan},
      {"", "Кондиционер"_w, "-", "", "B8", Q::FlagAirCon},
      {"", "Отсечка"_w, "-", "", "B8", Q::FlagFuelCut},
      {"", "Лампа"_w, "-", "", "B8", Q::FlagMil},
  };
  Profile p;
  p.code = "Toyota";
  auto add = [&](int id, const Row& r, int index, int bit, int number) {
    std::string request = "21 " + hexByte(static_cast<std::uint8_t>(id));
    std::string position = hexByte(static_cast<std::uint8_t>(index)) + (bit < 0 ? "00" : hexByte(static_cast<std::uint8_t>(8 + bit)));
    std::string name = std::string(r.name) + " " + std::to_string(number);
    p.definitions.push_back({request, name, std::string(r.unit), position, std::string(r.formula), r.quantity});
  };
  // 2101: 24 single bytes (0..23), 3 words (24..29), 13 flags in bytes 30, 31.
  int n = 0;
  for (int i = 0; i < 24; ++i, ++n) add(0x01, kBytes[i % std::size(kBytes)], i, -1, n + 1);
  for (int w = 0; w < 3; ++w, ++n) add(0x01, kWords[w], 24 + 2 * w, -1, n + 1);
  for (int f = 0; f < 13; ++f, ++n) add(0x01, kFlags[f % std::size(kFlags)], 30 + f / 8, f % 8, n + 1);
  // 2102..2108: 260 definitions the benchmark log never answers.
  for (int k = 0; k < 260; ++k, ++n) {
    const int id = 0x02 + k / 38;
    const int index = k % 38;
    if (index % 5 == 4) add(id, kWords[(k / 5) % std::size(kWords)], index, -1, n + 1);
    else add(id, kBytes[k % std::size(kBytes)], index, -1, n + 1);
  }
  return p;
}

std::string pidsIni(const Profile& profile) {
  std::string out;
  for (const Definition& d : profile.definitions) {
    out.append(d.request).append("\r\n");
    out.append(d.name).append("\r\n");
    out.append(d.unit).append("\r\n");
    out.append(d.position).append("\r\n");
  }
  return out;
}

std::string formulesIni(const Profile& profile) {
  std::string out;
  out.append("; ").append("Формулы профиля "_w).append(profile.code).append("\r\n");
  out.append("; ").append("код запроса, позиция, формула ; параметр"_w).append("\r\n");
  for (const Definition& d : profile.definitions) {
    if (d.formula.empty()) continue;
    out.append(compactCode(d.request)).append(d.position).append(d.formula);
    out.append(" ; ").append(d.name).append("\r\n");
  }
  return out;
}

bool encodeValue(std::string_view formula, double value, Bytes& out) {
  const Scaling* s = findScaling(formula);
  if (s == nullptr) return false;
  double raw = std::round((value - s->offset) / s->scale);
  const double top = s->bytes == 1 ? 255 : 65535;
  if (s->isSigned) {
    const double half = (top + 1) / 2;
    raw = std::clamp(raw, -half, half - 1);
    if (raw < 0) raw += top + 1;
  } else {
    raw = std::clamp(raw, 0.0, top);
  }
  const auto v = static_cast<unsigned>(raw);
  out.clear();
  if (s->bytes == 2) out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  return true;
}

Responder::Responder(const Profile& profile) : profile_(profile) {
  for (std::size_t k = 0; k < profile.definitions.size(); ++k) {
    const Definition& d = profile.definitions[k];
    const std::string code = compactCode(d.request);
    auto it = std::find_if(codes_.begin(), codes_.end(), [&](const Code& c) { return c.code == code; });
    if (it == codes_.end()) it = codes_.insert(codes_.end(), Code{code, 0, {}});
    Placed p;
    p.definition = k;
    p.index = static_cast<std::size_t>(hexPair(std::string_view(d.position).substr(0, 2)));
    p.selector = hexPair(std::string_view(d.position).substr(2, 2));
    it->placed.push_back(p);
    it->length = std::max(it->length, p.index + widthOf(d));
  }
}

const Responder::Code* Responder::find(std::string_view code) const {
  for (const Code& c : codes_)
    if (c.code == code) return &c;
  return nullptr;
}

std::size_t Responder::dataLength(std::string_view code) const {
  const Code* c = find(code);
  return c ? c->length : 0;
}

Bytes Responder::data(std::string_view code, const EngineState& state) const {
  const Code* c = find(code);
  if (c == nullptr) return {};
  Bytes data(c->length);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = filler(code, i);
  Bytes raw;
  for (const Placed& p : c->placed) {
    const Definition& d = profile_.definitions[p.definition];
    if (d.formula.empty()) {
      statusPayload(profile_, d, state, data);
    } else if (d.formula == "B8") {
      const auto mask = static_cast<std::uint8_t>(1u << ((p.selector - 8) & 7));
      if (valueOf(d.quantity, state) != 0) data[p.index] |= mask;
      else data[p.index] &= static_cast<std::uint8_t>(~mask);
    } else if (d.quantity == Q::Unused) {
      data[p.index] = 0xFF;
    } else if (encodeValue(d.formula, inDefinitionUnit(d, valueOf(d.quantity, state)), raw)) {
      std::copy(raw.begin(), raw.end(), data.begin() + static_cast<std::ptrdiff_t>(p.index));
    }
  }
  return data;
}

}  // namespace tervolin::loggen
