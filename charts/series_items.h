#pragma once
// The items of the parameter graphs' lists and which records belong to an
// item. With W the request-code width of the profile, an item is the request
// code from its 3rd character, W-2 characters long, "/", the position field,
// " " and the name ("01/0C01 N" for 2101, 0C01, N with W = 4). A record
// belongs to an item when its request code from the 3rd character and its
// position field read the same there, so the service byte plays no part.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/record_list.h"

namespace tervolin {

// The text of a list item ("Нет" comes first in every list).
std::string seriesItem(std::string_view requestCode, std::string_view positionField, std::string_view name,
                       int width);

// The first W-2 characters of the item equal the W-2 characters of the
// request code from its 3rd character, and the 4 characters of the item
// from its W-th equal the position field; a position field of fewer than 4
// characters never matches.
bool belongsToItem(std::string_view item, std::string_view requestCode, std::string_view positionField,
                   int width);

// For each record source, bit k set when the source belongs to items[k]
// (items that are empty or "Нет" take no part and match nothing). The
// matching is decided once per source here, never per record.
std::vector<std::uint8_t> sourceMasks(std::span<const RecordSource> sources, std::span<const std::string> items,
                                      int width);

// A list text that takes part in a build: not empty and not "Нет".
bool takesPart(std::string_view listText);

}  // namespace tervolin
