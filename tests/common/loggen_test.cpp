// The log generator: its frames, its definition files, and its demo logs read
// back through the real readers into plausible values.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "bench/loggen/loggen.h"
#include "common/hex.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "common/text.h"
#include "logs/log_lines.h"
#include "support/test_support.h"
#include "table/grid.h"
#include "table/open_log.h"

namespace tervolin::loggen {
namespace {

std::string hexText(const Bytes& bytes) {
  std::string out;
  appendHex(out, bytes);
  return out;
}

TEST(LoggenFrames, AddressesLengthAndChecksum) {
  struct Case {
    std::uint8_t target, source;
    Bytes payload;
    bool lengthByte;
    std::string expected;
  };
  const Case cases[] = {
      {0x10, 0xF1, {0x21, 0x01}, false, "82 10 F1 21 01 A5"},
      {0xF1, 0x10, {0x61, 0x01, 0x7B, 0x2C}, false, "84 F1 10 61 01 7B 2C 8E"},
      {0xF1, 0x10, {0x61, 0x01, 0x7B}, true, "80 F1 10 03 61 01 7B 61"},
      {0xF1, 0x10, {0x7F, 0x21, 0x12}, false, "83 F1 10 7F 21 12 36"},
      {0x10, 0xF1, {}, false, "80 10 F1 81"},
  };
  for (const Case& c : cases) EXPECT_EQ(hexText(kwpFrame(c.target, c.source, c.payload, c.lengthByte)), c.expected);

  // Payloads too long for the format byte take the length byte.
  const Bytes longPayload(70, 0x01);
  const Bytes frame = kwpFrame(0xF1, 0x10, longPayload, false);
  ASSERT_EQ(frame.size(), 75u);
  EXPECT_EQ(frame[0], 0x80);
  EXPECT_EQ(frame[3], 70);
}

TEST(LoggenEncoding, ValuesBecomeTheBytesTheFormulaReadsBack) {
  struct Case {
    std::string_view formula;
    double value;
    Bytes expected;
  };
  const Case cases[] = {
      {"FT", 90, {0x82}},      {"FT", -60, {0x00}},      {"FR", 1726, {0x1A, 0xF8}}, {"X4", -2, {0xFF, 0xFE}},
      {"FK", 0, {0x80}},       {"NI", 12, {0x64}},       {"NR", 800, {0x00, 0x40}},  {"F1", 100, {0xFF}},
      {"FD", 0.8, {0xA0}},     {"FI", 300, {0xFF}},      {"CT", 90, {0xAD}},         {"X4", 40000, {0x7F, 0xFF}},
  };
  Bytes out;
  for (const Case& c : cases) {
    ASSERT_TRUE(encodeValue(c.formula, c.value, out)) << c.formula;
    EXPECT_EQ(out, c.expected) << c.formula << " " << c.value;
  }
  EXPECT_FALSE(encodeValue("ZZ", 1, out));
}

// The formula code of a definition found the way the loader finds it: the
// last formula line containing code + position, two characters four after
// the first occurrence of the code in that line.
std::string formulaFor(const std::string& formules, const std::string& code, const std::string& position) {
  std::string found;
  LogLines lines(formules);
  std::string_view line;
  while (lines.next(line)) {
    if (line.find(code + position) == std::string_view::npos) continue;
    const std::size_t at = line.find(code) + code.size() + 4;
    found = at <= line.size() ? std::string(line.substr(at, 2)) : std::string();
  }
  return found;
}

void checkDefinitionFiles(const Profile& p) {
  const std::string pids = pidsIni(p), formules = formulesIni(p);
  std::size_t lineCount = 0;
  for (std::size_t at = 0; (at = pids.find("\r\n", at)) != std::string::npos; at += 2) ++lineCount;
  EXPECT_EQ(lineCount, 4 * p.definitions.size()) << p.code;
  EXPECT_EQ(pids.find("\r\n\r\n"), std::string::npos) << p.code << ": an empty line shifts every entry";
  EXPECT_EQ(std::count(pids.begin(), pids.end(), '\n'), std::count(pids.begin(), pids.end(), '\r'));
  std::set<std::string> keys;
  for (const Definition& d : p.definitions) {
    const std::string code = compactCode(d.request);
    EXPECT_TRUE(keys.insert(code + d.position).second) << p.code << " " << code << d.position << " twice";
    EXPECT_EQ(d.position.size(), 4u);
    EXPECT_FALSE(d.unit.empty());
    EXPECT_EQ(formulaFor(formules, code, d.position), d.formula) << p.code << " " << code << d.position;
  }
}

TEST(LoggenProfiles, DefinitionAndFormulaFilesAgree) {
  for (const char* code : {"OBDII", "Toyota", "GreatWall", "Nissan", "B797", "B1797V"}) {
    const Profile p = demoProfile(code);
    EXPECT_GE(p.definitions.size(), 15u) << code;
    checkDefinitionFiles(p);
  }
  const Profile bench = benchProfile();
  ASSERT_EQ(bench.definitions.size(), 300u);
  EXPECT_EQ(std::count_if(bench.definitions.begin(), bench.definitions.end(),
                          [](const Definition& d) { return d.request == "21 01"; }),
            40);
  checkDefinitionFiles(bench);
  EXPECT_EQ(Responder(bench).dataLength("2101"), 32u);
}

TEST(LoggenOutput, IsDeterministicAndWellFormed) {
  const std::vector<GeneratedFile> a = sampleFolder(), b = sampleFolder();
  ASSERT_EQ(a.size(), b.size());
  std::size_t total = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].path, b[i].path);
    EXPECT_TRUE(a[i].bytes == b[i].bytes) << a[i].path;
    total += a[i].bytes.size();
    if (a[i].path.ends_with(".log") || a[i].path.ends_with(".ini")) {
      // CRLF only: no bare LF, no bare CR.
      const std::string& s = a[i].bytes;
      for (std::size_t k = 0; k < s.size(); ++k) {
        if (s[k] == '\n') {
          ASSERT_TRUE(k > 0 && s[k - 1] == '\r') << a[i].path << " at " << k;
        }
        if (s[k] == '\r') {
          ASSERT_TRUE(k + 1 < s.size() && s[k + 1] == '\n') << a[i].path << " at " << k;
        }
      }
    }
  }
  EXPECT_LT(total, 1'000'000u);

  const std::string big = bigLog(1000);
  EXPECT_EQ(big, bigLog(1000));
  LogLines lines(big);
  std::string_view line;
  std::size_t requests = 0, responses = 0;
  while (lines.next(line)) {
    if (line.find("TxD 82 10 F1 21 01 A5") != std::string_view::npos) ++requests;
    if (line.find("RxD A2 F1 10 61 01 ") != std::string_view::npos) {
      ++responses;
      EXPECT_EQ(line.size(), std::string_view("[12:00:00.000] RxD ").size() + 3 * 38 - 1);  // A2 F1 10 61 01, 32 data bytes, checksum
    }
  }
  EXPECT_EQ(requests, 500u);
  EXPECT_EQ(responses, 500u);
}

// The bundled folder is the generator's output: a generator change without
// regenerating (loggen samples samples) shows here.
TEST(LoggenOutput, CommittedSampleFolderIsCurrent) {
  const std::filesystem::path folder = std::filesystem::path(TERVOLIN_SOURCE_DIR) / "samples";
  for (const GeneratedFile& f : sampleFolder()) {
    std::string stored;
    EXPECT_TRUE(readWholeFile(folder / f.path, stored)) << f.path;
    EXPECT_TRUE(stored == f.bytes) << f.path << " differs from the generator's output";
  }
}

// Expected behaviour of one decoded parameter across a whole demo log.
struct Expectation {
  std::string_view name;  // Windows-1251
  double low, high;       // every numeric value lies within
  double reachLow;        // some value is at or below (warm-up start, lean probe, idle)
  double reachHigh;       // some value is at or above
};

struct SampleCase {
  std::string file;
  std::string profile;
  char decimalMark;
  std::vector<Expectation> expect;
  std::vector<std::string_view> flags;  // parameters that must show both "Да" and "Нет"
};

class LoggenSamples : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    std::string error;
    ASSERT_TRUE(writeFiles(dir_->path(), sampleFolder(), error)) << error;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void open(const SampleCase& c) {
    state_ = AppState{};
    state_.programDir = dir_->path();
    state_.orvikPath = dir_->path();
    state_.profileCode = c.profile;
    state_.workingFolder = dir_->path() / c.profile;
    state_.decimalMark = c.decimalMark;
    state_.viewMode = ViewMode::Table;
    openLog(state_, channel_, dir_->path() / "logs" / c.file, grid_);
  }

  // Values of every record of the named parameter, in log order.
  std::vector<std::string> values(std::string_view name) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < state_.records.size(); ++i)
      if (state_.records.source(i).name == name) out.emplace_back(state_.records.value(i));
    return out;
  }

  void check(const SampleCase& c, std::string_view allowedMessage = {}) {
    SCOPED_TRACE(c.file);
    open(c);
    for (const auto& e : channel_.events)
      if (e.text != allowedMessage) ADD_FAILURE() << "message: " << cp1251ToUtf8(e.text);
    EXPECT_GT(state_.records.size(), 500u);
    EXPECT_GT(grid_.rowCount(), 40);
    for (const Expectation& e : c.expect) {
      SCOPED_TRACE(cp1251ToUtf8(e.name));
      const std::vector<std::string> v = values(e.name);
      ASSERT_GT(v.size(), 20u);
      double lowest = 1e300, highest = -1e300;
      for (const std::string& text : v) {
        const std::optional<double> x = parseNumber(text, c.decimalMark);
        ASSERT_TRUE(x.has_value()) << "'" << text << "'";
        EXPECT_GE(*x, e.low);
        EXPECT_LE(*x, e.high);
        lowest = std::min(lowest, *x);
        highest = std::max(highest, *x);
      }
      EXPECT_LE(lowest, e.reachLow);
      EXPECT_GE(highest, e.reachHigh);
    }
    for (const std::string_view flag : c.flags) {
      const std::vector<std::string> v = values(flag);
      EXPECT_NE(std::find(v.begin(), v.end(), std::string("Да"_w)), v.end()) << cp1251ToUtf8(flag);
      EXPECT_NE(std::find(v.begin(), v.end(), std::string("Нет"_w)), v.end()) << cp1251ToUtf8(flag);
    }
  }

  static test::TempDir* dir_;
  AppState state_;
  test::ScriptedChannel channel_;
  Grid grid_;
};
test::TempDir* LoggenSamples::dir_ = nullptr;

const Expectation kCoolant{"Температура ОЖ"_w, 15, 100, 25, 88};
const Expectation kRpm{"Обороты двигателя"_w, 500, 5000, 900, 2000};
const Expectation kSpeed{"Скорость автомобиля"_w, 0, 130, 0, 80};

TEST_F(LoggenSamples, OrdinaryLogsDecodeToTheDrive) {
  const std::vector<SampleCase> cases = {
      {"obd2_kwp.log", "OBDII", '.', {kCoolant, kRpm, kSpeed, {"Напряжение ДК 1"_w, 0, 1.3, 0.2, 0.7}}, {}},
      {"toyota_zapros_otvet.log", "Toyota", '.',
       {kCoolant, kRpm, kSpeed, {"Напряжение ДК"_w, 0, 1.3, 0.2, 0.7}, {"Коррекция оборотов ХХ"_w, -60, 60, -20, 20}},
       {"Холостой ход"_w, "Обратная связь по ДК"_w, "Вентилятор"_w, "Кондиционер"_w}},
      {"toyota_interval_comma.log", "Toyota", ',', {kCoolant, kRpm}, {"Холостой ход"_w}},
      {"greatwall_length_byte.log", "GreatWall", '.',
       {kCoolant, kRpm, kSpeed, {"Напряжение на лямбде"_w, 0, 1200, 200, 700}},
       {"Холостой ход"_w, "Вентилятор"_w, "Кондиционер"_w}},
      {"b797_trouble_codes.log", "B797", '.', {kCoolant, kRpm, kSpeed, {"Напряжение ДК"_w, 0, 1.3, 0.2, 0.7}},
       {"Холостой ход"_w, "Вентилятор"_w}},
      {"b1797v_trouble_codes.log", "B1797V", '.', {kCoolant, kRpm, kSpeed}, {"Обратная связь по ДК"_w}},
      {"nissan_6digit.log", "Nissan", '.',
       {kCoolant, kRpm, kSpeed, {"Напряжение ДК"_w, 0, 1.3, 0.2, 0.7}, {"Температура воздуха на впуске"_w, 0, 60, 30, 20}},
       {"Холостой ход"_w, "Вентилятор"_w}},
  };
  for (const SampleCase& c : cases) check(c);
}

TEST_F(LoggenSamples, ScanLogsAndCsvLogsReadToTheDrive) {
  const Expectation csvRpm{"Обороты двигателя (об/мин)"_w, 500, 5000, 900, 2000};
  const Expectation csvCoolant{"Температура ОЖ (°C)"_w, 15, 100, 25, 88};
  const std::vector<SampleCase> cases = {
      {"toyota_scan.xml", "Toyota", '.', {kCoolant, kRpm, kSpeed}, {"Холостой ход"_w, "Вентилятор"_w}},
      {"obd2_scan.xml", "OBDII", '.', {kCoolant, kRpm, kSpeed}, {}},
      // CSV values arrive with decimal commas whatever the file wrote.
      {"drive_semicolon.csv", "Toyota", ',', {csvRpm, csvCoolant}, {"Холостой ход ()"_w, "Вентилятор ()"_w}},
      {"drive_export_layout.csv", "Nissan", ',', {csvRpm, csvCoolant}, {}},
  };
  for (const SampleCase& c : cases) check(c);
}

TEST_F(LoggenSamples, AdapterLogDecodesAndShowsStatusTexts) {
  // The used-parameter selection looks for the response four characters
  // after the ECU pair, which in adapter logs is the three-letter "RxD"; it
  // may therefore find nothing and fall back to every definition.
  check({"obd2_elm_adapter.log", "OBDII", '.', {kCoolant, kRpm, kSpeed}, {}},
        "Похоже выбранный Вами профиль не соответствуеь логу. Выберите правильный профиль."_w);
  EXPECT_EQ(state_.layout.adapterOffset, -3);
  const std::vector<std::string> supported = values("Поддерживаемые PID 01-20"_w);
  ASSERT_FALSE(supported.empty());
  EXPECT_EQ(supported.front(), "01,03,04,05,06,07,0B,0C,0D,0E,0F,10,11,13,14,15,1C,1F,20,");
  const std::vector<std::string> fuel = values("Топливная система #1"_w);
  ASSERT_FALSE(fuel.empty());
  EXPECT_NE(std::find_if(fuel.begin(), fuel.end(),
                         [](const std::string& t) { return t.find("замкнута, исп"_w) != std::string::npos; }),
            fuel.end());
  EXPECT_EQ(values("Кислородные датчики"_w).front(), std::string("Bank1/Sensor1;Bank1/Sensor2;"));
  EXPECT_EQ(values("Коррекция по ДК 2"_w).front(), std::string("Не используется"_w));
}

TEST_F(LoggenSamples, GraphFileChannelsDecode) {
  check({"toyota_graph.rtd", "Toyota", '.', {kCoolant, kRpm, kSpeed}, {}});
  EXPECT_EQ(state_.requestInterval, 250);
  const std::string tmp = test::readFile(dir_->path() / "Toyota" / "_tmp.ini");
  EXPECT_EQ(std::count(tmp.begin(), tmp.end(), '\n'), 6 * 4);
}

}  // namespace
}  // namespace tervolin::loggen
