#pragma once
// The filter of the main table (ApplyFiltr): keeps the data rows whose cell
// in one parameter column satisfies a comparison with a typed value. It
// works on what the grid shows, so filters narrow one another; only a
// rebuild of the table brings rows back. No cell text is copied: the grid
// keeps the passing rows by reference.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin {

// The operator list of the filter dialog, in its order.
inline constexpr std::array<std::string_view, 4> kFilterOperators = {">", "<", "=", "<>"};

// The parameter list of the filter dialog: name, two blanks and request
// code of every definition, in file order.
std::vector<std::string> filterParameterItems(const DefinitionTable& definitions);

// What the dialog holds when "OK" is pressed (Windows-1251 texts).
struct FilterCondition {
  std::string parameter;  // cbb1
  std::string op;         // cbb2
  std::string value;      // edt2
};

// Applies the condition to the Table-view grid. The column is the one of the
// definition whose list text equals `parameter` (column 0 when none does):
// its index while the grid has every definition's column, otherwise the
// column with its heading key. Values are read with state.decimalMark.
// Messages through `channel`: an unknown operator, a number that does not
// convert (the rows that passed so far stay), a column no longer in the
// grid (nothing changes).
void ApplyFiltr(const AppState& state, UserChannel& channel, Grid& grid, const FilterCondition& condition);

// The row count shown after a filter: "Строк: 1 234 из 500 000" (data rows
// now, data rows of the full table).
std::string rowCountText(int rows, int total);

}  // namespace tervolin
