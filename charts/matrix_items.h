#pragma once
// The matrix window's parameter lists: one item per definition, and the key
// that ties a record to an item. A record belongs to a list when its key
// equals the list's text exactly.

#include <string>
#include <string_view>
#include <vector>

#include "common/param_def.h"
#include "common/record_list.h"

namespace tervolin {

// The text a list shows before anything is chosen.
inline constexpr std::string_view kNullItem = "<null>";

// The first `requestCodeWidth` characters of the request code, "/", the
// position field, " ", the name ("2101/0200 Обороты двигателя").
std::string matrixItem(const ParamDef& definition, int requestCodeWidth);

// One item per definition, in table order.
std::vector<std::string> matrixItems(const DefinitionTable& definitions, int requestCodeWidth);

// The record's request code, "/", position field, " ", name.
std::string matrixRecordKey(const RecordSource& source);

// For every source of `records`: whether its records belong to `item`.
std::vector<bool> sourcesOfItem(const RecordList& records, std::string_view item);

}  // namespace tervolin
