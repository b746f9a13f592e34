#pragma once
// An XML document in memory takes several times the bytes of its file (a
// node for every "<", an attribute for every "="): before a file is parsed,
// the room its document needs is checked against the read's memory budget.

#include <cstddef>
#include <string_view>

#include "common/memory_budget.h"

namespace tervolin {

// Throws MemoryBudgetExceeded when the document of `bytes` could need more
// than `budget` bytes (an estimate from above).
void requireXmlDocumentFits(std::string_view bytes, std::size_t budget = recordMemoryBudget());

}  // namespace tervolin
