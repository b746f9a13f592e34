// The explanation on the bundled sample logs: every line of every log is
// explained without a failure box except where a line is not hex where a
// byte is read, and the two Bosch logs list their trouble codes with the
// descriptions of their own group in the bundled DTC.xml.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/loggen/loggen.h"
#include "common/text.h"
#include "support/test_support.h"
#include "table/line_explanation.h"
#include "table/open_log.h"

namespace tervolin {
namespace {

std::string w(std::string_view utf8) { return utf8ToCp1251(utf8); }

class SampleExplanation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    std::string error;
    ASSERT_TRUE(loggen::writeFiles(dir_->path(), loggen::sampleFolder(), error)) << error;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  // Opens the log in LOG view and explains every row from row 1 on; all
  // lines of all explanations, in order.
  std::vector<std::string> explainAll(const std::string& profile, const std::string& file) {
    state = AppState{};
    state.programDir = dir_->path();
    state.orvikPath = dir_->path();
    state.profileCode = profile;
    state.workingFolder = dir_->path() / profile;
    state.viewMode = ViewMode::Log;
    openLog(state, channel, dir_->path() / "logs" / file, grid);
    channel.events.clear();
    std::vector<std::string> all;
    for (int r = 1; r < grid.rowCount(); ++r) {
      const CellSelection s = selectCell(state, channel, grid, 0, r);
      all.insert(all.end(), s.explanation.lines.begin(), s.explanation.lines.end());
    }
    return all;
  }

  static bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  static test::TempDir* dir_;
  AppState state;
  test::ScriptedChannel channel;
  Grid grid;
};
test::TempDir* SampleExplanation::dir_ = nullptr;

TEST_F(SampleExplanation, BoschLogsListTroubleCodesFromTheirGroups) {
  const struct {
    std::string profile, file, misfire;
  } cases[] = {
      {"B797", "b797_trouble_codes.log", w("Код ошибки: 0301 Пропуски воспламенения, цилиндр 1")},
      {"B1797V", "b1797v_trouble_codes.log", w("Код ошибки: 0301 Пропуски воспламенения в 1 цилиндре")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<std::string> lines = explainAll(c.profile, c.file);
    EXPECT_TRUE(has(lines, c.misfire));
    EXPECT_TRUE(has(lines, w("Кол-во ошибок: 3")));
    EXPECT_TRUE(has(lines, w("Кол-во ошибок: 0")));
    EXPECT_TRUE(has(lines, w("Нет описания PID 21 02 Значение: ")));
    EXPECT_TRUE(has(lines, w("Ответ EKU на запрос: Согласен начать сессию диагностики")));
    EXPECT_TRUE(has(lines, w("Передача запроса к ECU Обороты двигателя")));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
      return l.starts_with(w("Ответ ECU на запрос - Обороты двигателя: "));
    }));
    // Every trouble code found its description.
    for (const std::string& l : lines) {
      if (l.starts_with(w("Код ошибки: "))) {
        EXPECT_GT(l.size(), w("Код ошибки: 0301 ").size()) << cp1251ToUtf8(l);
      }
    }
    // The only boxes are the trouble-code responses themselves.
    for (const auto& e : channel.events) EXPECT_NE(e.text.find("|"), std::string::npos) << cp1251ToUtf8(e.text);
  }
}

TEST_F(SampleExplanation, EveryOtherSampleLogIsExplained) {
  const struct {
    std::string profile, file, expected;
  } cases[] = {
      {"OBDII", "obd2_kwp.log", w("Передача запроса к ECU Обороты двигателя")},
      {"OBDII", "obd2_elm_adapter.log", w("Передача запроса к ECU Обороты двигателя")},
      {"Toyota", "toyota_zapros_otvet.log", w("Передача запроса к ECU Обороты двигателя")},
      {"GreatWall", "greatwall_length_byte.log", w("Передача запроса к ECU Обороты двигателя")},
      {"Nissan", "nissan_6digit.log", w("Передача запроса к ECU Обороты двигателя")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<std::string> lines = explainAll(c.profile, c.file);
    EXPECT_TRUE(has(lines, c.expected));
    EXPECT_TRUE(has(lines, w("Эта строка не запрос и не ответ!")));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
      return l.starts_with(w("Ответ ECU на запрос - Обороты двигателя: "));
    }));
  }
}

}  // namespace
}  // namespace tervolin
