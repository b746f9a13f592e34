#pragma once
// The column layout of the Table view and its store: which parameter columns
// are hidden (a column not in the grid counts as hidden) and how wide the
// columns are, kept per profile and per log content in the registry:
//
//   Software\Tervolin\<profile>\HideCols             value <log key>: the hidden list
//   Software\Tervolin\<profile>\Col_Width\<log key>  values Col[0], Col[1], ...: widths
//
// The hidden list is the heading keys of the hidden columns one after
// another, without separators.

#include <string>
#include <string_view>
#include <vector>

#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin {

// Request code + "/" + position field, blanks removed: row 0 of the
// definition's column in Table view.
std::string headingKey(const ParamDef& def);

// The length of the current profile's heading keys: 11 for six-digit request
// codes, 9 otherwise.
std::size_t headingKeyLength(const AppState& state);

// The pieces of a hidden list, each `length` characters; their number is the
// list's length divided by `length`, halves rounded to the even number.
std::vector<std::string> hiddenListPieces(std::string_view list, std::size_t length);

// The registry keys of the current profile and log key.
std::string hiddenColumnsKey(const AppState& state);
std::string columnWidthsKey(const AppState& state);
// "Col[i]".
std::string columnWidthName(int column);

// SaveParam: in Table view only, stores the widths of the grid's columns and
// the hidden list (every definition without a column in the grid) under the
// log key, recomputed first when the open file changed. Keys that cannot be
// written are skipped silently.
void SaveParam(AppState& state, Registry& registry, const Grid& grid);

// N27Click: deletes the columns of the stored hidden list by heading key,
// then sets the stored widths by position; a width missing for a column of
// the grid ends the applying there with a message.
void applyColumnLayout(AppState& state, Registry& registry, UserChannel& channel, Grid& grid);

// N16Click: every column gets the grid's default width.
void standardColumnWidths(Grid& grid);

// Stores a hidden list under the log key (as the column choice does).
void storeHiddenList(AppState& state, Registry& registry, std::string_view list);
// The stored hidden list of the open log (empty when none).
std::string storedHiddenList(AppState& state, Registry& registry);

}  // namespace tervolin
