#pragma once
// Direct edits of the main grid on the cell selected last: deleting its row
// or its column and the average of its column. They change the grid only;
// a rebuild of the table undoes them. Until a data cell has been selected
// (the recorded cell starts on the heading row) they do nothing.

#include <optional>
#include <string>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin {

struct GridCell {
  int column = 0;
  int row = 0;
};

// Whether the recorded cell lies below the grid's fixed rows.
bool dataCellRecorded(const AppState& state, const Grid& grid);

// E1Click: deletes the recorded row. The cell to select next: the same row
// index, or the new last row when the last row went; none when no data row
// is left or nothing was deleted.
std::optional<GridCell> deleteRecordedRow(const AppState& state, Grid& grid);

// N26Click: deletes the recorded column. The cell to select next: the
// column to its left (column 0 when it was the first); none when no column
// is left or nothing was deleted. A recorded column outside the grid gives
// the failure message and changes nothing.
std::optional<GridCell> deleteRecordedColumn(const AppState& state, UserChannel& channel, Grid& grid);

// N36Click: "Среднее значение по колонке: " and the average of the recorded
// column over the data rows (rows from 2) with two decimals; cells that are
// not numbers count as rows and add nothing. Empty before a data cell was
// selected.
std::string columnAverageText(const AppState& state, const Grid& grid);

// What a key pressed on the grid with Ctrl does (sg1KeyDown).
enum class GridKeyCommand { None, DeleteColumn, DeleteRow, Research };
GridKeyCommand gridKeyCommand(char letter, bool ctrl);

}  // namespace tervolin
