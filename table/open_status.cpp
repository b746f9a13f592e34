#include "table/open_status.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "common/number_format.h"
#include "common/text.h"
#include "profiles/profile_catalogue.h"

namespace tervolin {
namespace {

struct KindText {
  LogKind kind;
  std::string_view text;
};
constexpr std::array<KindText, 4> kKinds = {{
    {LogKind::TextLog, "Текстовый лог"_w},
    {LogKind::GraphFile, "Файл графиков"_w},
    {LogKind::XmlLog, "XML-лог"_w},
    {LogKind::CsvLog, "CSV-лог"_w},
}};

// Rows above the log's lines in the LOG view: the heading and the empty row 1.
constexpr int kRowsAboveData = 2;

}  // namespace

std::string profileStatusText(const AppState& state) {
  const std::string& code = state.profileCode.empty() ? state.lastProfile : state.profileCode;
  if (code.empty()) return std::string("Профиль не выбран"_w);
  std::string text("Профиль: "_w);
  text += code;
  const std::string name = profileTreePath(code);
  if (!name.empty()) text.append(" (").append(name).append(")");
  return text;
}

std::string logKindText(LogKind kind) {
  for (const KindText& k : kKinds)
    if (k.kind == kind) return std::string(k.text);
  return {};
}

std::string countsStatusText(const AppState& state, const Grid& grid) {
  std::string text("Записей: "_w);
  text += groupedIntText(static_cast<std::int64_t>(state.records.size()));
  if (state.viewMode == ViewMode::Log) {
    text += " · строк лога: "_w;
    text += groupedIntText(std::max(0, grid.rowCount() - kRowsAboveData));
  }
  return text;
}

std::string openTimeText(std::chrono::steady_clock::duration elapsed, char decimalMark) {
  const double seconds = std::chrono::duration<double>(elapsed).count();
  std::string text("Открыт за "_w);
  if (seconds < 1) {
    // Whole milliseconds, at least one: an open is never free.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    text += intText(ms < 1 ? 1 : ms);
    text += " мс"_w;
    return text;
  }
  text += fixedText(seconds, 15, seconds < 10 ? 2 : 1, decimalMark);
  text += " с"_w;
  return text;
}

}  // namespace tervolin
