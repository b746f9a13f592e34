#include "logs/xml_budget.h"

#include <algorithm>
#include <cstddef>


namespace tervolin {
namespace {

// Upper bounds of what the parser keeps per node and per attribute on a
// 64-bit machine, with its page overhead.
constexpr std::size_t kNodeBytes = 80;
constexpr std::size_t kAttributeBytes = 56;

}  // namespace

void requireXmlDocumentFits(std::string_view bytes, std::size_t budget) {
  const auto nodes = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '<'));
  const auto attributes = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '='));
  if (nodes * kNodeBytes + attributes * kAttributeBytes > budget) throw MemoryBudgetExceeded();
}

}  // namespace tervolin
