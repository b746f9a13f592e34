#pragma once
// What selecting a cell of the main grid does (sg1SelectCell without the
// window): in Table view the cell's text and its column heading for the two
// fields above the grid; in LOG view the explanation of the log line in
// words. Every selection records the cell, except one that a negative
// response or a failure ends.

#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin {

struct Explanation {
  std::vector<std::string> lines;  // the explanation box, one text per line
  // False when the handling ended early (a negative response, a text that
  // is not hex where a byte is read, a broken DTC.xml): the lines so far
  // stay and the cell is not recorded.
  bool complete = true;
};

// Explains one LOG-view line (trimmed first) with the layout, the profile
// and the definitions of the state. For some profiles a response re-derives
// the length offset, which is stored back into the state and holds until
// the next open. The trouble-code list reads "DTC.xml" from the program
// folder, once per explanation. Its box and the failures that end the
// handling go through `channel`.
Explanation explainLine(AppState& state, UserChannel& channel, std::string_view line);

struct CellSelection {
  bool explained = false;          // LOG view: the box is replaced by `explanation.lines`
  Explanation explanation;
  bool fieldsShown = false;        // Table view: hint and the two fields
  std::string hint;                // the grid's hint: the cell's text
  std::string heading;             // edt1: row 1 of the column
  std::string value;               // edt2: the cell's text
};

// A selection of (column, row) in the grid of the current view. Records the
// cell in state.selectedColumn/selectedRow unless the explanation ended
// early.
CellSelection selectCell(AppState& state, UserChannel& channel, const Grid& grid, int column, int row);

}  // namespace tervolin
