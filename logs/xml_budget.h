#pragma once
// An XML document in memory takes several times the bytes of its file (a
// node for every "<", an attribute for every "="): before a file is parsed,
// the room its document needs is checked against the read's memory budget.

#include <string_view>

namespace tervolin {

// Throws MemoryBudgetExceeded when the document of `bytes` could need more
// than recordMemoryBudget() (an estimate from above).
void requireXmlDocumentFits(std::string_view bytes);

}  // namespace tervolin
