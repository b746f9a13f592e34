#pragma once
// The texts of the main window's status bar (Windows-1251): the profile in
// force with its readable name, the kind of the open file, how many records
// and rows it gave, and how long the open took.

#include <chrono>
#include <string>

#include "common/app_state.h"
#include "table/grid.h"
#include "table/open_log.h"

namespace tervolin {

// "Профиль: Toyota (Тойота)": the profile code in force (the last profile
// until a file is opened) with its name in the profile tree; "Профиль не
// выбран" when there is none.
std::string profileStatusText(const AppState& state);

// "Текстовый лог", "Файл графиков", "XML-лог", "CSV-лог".
std::string logKindText(LogKind kind);

// "Записей: 1 234", and in LOG view " · строк лога: N" (the log's lines,
// without the heading and the empty row 1); the Table view's rows have a
// status text of their own (rowCountText).
std::string countsStatusText(const AppState& state, const Grid& grid);

// "Открыт за 420 мс" below a second, "Открыт за 1,42 с" (the state's decimal
// mark) from there.
std::string openTimeText(std::chrono::steady_clock::duration elapsed, char decimalMark);

}  // namespace tervolin
