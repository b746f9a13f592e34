#pragma once
// The dependency graphs: two charts drawn from the texts of the main
// table's cells. For each chart a Y parameter and, optionally, an X
// parameter are picked from the table's columns: with both, Y is plotted
// against X (one point per row with both cells filled, in ascending x
// order); with Y alone, against the number of the point.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin {

// The items of the four lists: "Нет", then for every column the text of
// row 0, " ", and the text of row 1.
std::vector<std::string> dependencyItems(const Grid& grid);

// The number of a cell: an empty cell is 0; a text starting with a digit,
// or with "-" and a digit 1-9, is read whole as a decimal number (no value
// when it does not convert); otherwise 1 when it starts with "Y", "y", "Д"
// or "д", and 0 (so "Да" is 1, "Нет" and "-0,5" are 0).
std::optional<double> cellNumber(std::string_view cell, char decimalMark);

struct DependencyChart {
  std::string title;      // Windows-1251
  std::vector<double> x;  // ascending; points of equal x in row order
  std::vector<double> y;
};

// The texts of the lists: X and Y of chart 1, X and Y of chart 2.
struct DependencyChoice {
  std::array<std::string, 4> list;  // par1, par2, par3, par4
};

// PaintGraf: both charts from the grid. Lists showing "Нет" are emptied in
// `choice`. A cell that starts like a number but does not convert is told
// once through `channel` and gives no point. With all four lists empty the
// user is told "Нужно указать параметр".
std::array<DependencyChart, 2> PaintGraf(const Grid& grid, DependencyChoice& choice, char decimalMark,
                                         UserChannel& channel);

}  // namespace tervolin
