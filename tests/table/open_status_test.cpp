#include "table/open_status.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "common/text.h"

namespace tervolin {
namespace {

using namespace std::chrono_literals;

TEST(OpenStatus, ProfileInForce) {
  const struct {
    std::string_view code, last, want;
  } cases[] = {
      {"", "", "Профиль не выбран"},
      {"", "Toyota", "Профиль: Toyota (Тойота)"},  // before the first open
      {"GreatWall", "Toyota", "Профиль: GreatWall (China › MT20U2)"},
      {"NOSUCH", "", "Профиль: NOSUCH"},
  };
  for (const auto& c : cases) {
    AppState state;
    state.profileCode = c.code;
    state.lastProfile = c.last;
    EXPECT_EQ(cp1251ToUtf8(profileStatusText(state)), c.want) << c.code;
  }
}

TEST(OpenStatus, KindOfEveryReader) {
  const std::pair<LogKind, std::string_view> kinds[] = {{LogKind::TextLog, "Текстовый лог"},
                                                        {LogKind::GraphFile, "Файл графиков"},
                                                        {LogKind::XmlLog, "XML-лог"},
                                                        {LogKind::CsvLog, "CSV-лог"}};
  for (const auto& [kind, text] : kinds) EXPECT_EQ(cp1251ToUtf8(logKindText(kind)), text);
}

TEST(OpenStatus, RecordsAndLogLines) {
  AppState state;
  Grid grid;
  grid.setColumnCount(1);
  grid.setRowCount(3);
  state.viewMode = ViewMode::Table;
  EXPECT_EQ(cp1251ToUtf8(countsStatusText(state, grid)), "Записей: 0");
  state.records.addSource({"2101", "0000", "C", "T"});
  for (int i = 0; i < 1500; ++i) state.records.append(i, 0, "1");
  EXPECT_EQ(cp1251ToUtf8(countsStatusText(state, grid)), "Записей: 1 500");
  state.viewMode = ViewMode::Log;
  grid.setRowCount(2);  // an empty log: heading and the empty row 1
  EXPECT_EQ(cp1251ToUtf8(countsStatusText(state, grid)), "Записей: 1 500 · строк лога: 0");
  grid.setRowCount(1234);
  EXPECT_EQ(cp1251ToUtf8(countsStatusText(state, grid)), "Записей: 1 500 · строк лога: 1 232");
}

TEST(OpenStatus, TimeOfTheOpen) {
  const std::pair<std::chrono::steady_clock::duration, std::string_view> cases[] = {
      {420ms, "Открыт за 420 мс"}, {3ms, "Открыт за 3 мс"},   {200us, "Открыт за 1 мс"},
      {999ms, "Открыт за 999 мс"}, {1s, "Открыт за 1,00 с"}, {1420ms, "Открыт за 1,42 с"},
      {12340ms, "Открыт за 12,3 с"}};
  for (const auto& [elapsed, text] : cases) EXPECT_EQ(cp1251ToUtf8(openTimeText(elapsed, ',')), text);
  EXPECT_EQ(cp1251ToUtf8(openTimeText(1420ms, '.')), "Открыт за 1.42 с");
}

}  // namespace
}  // namespace tervolin
