#include "common/memory_budget.h"

#include <unistd.h>

#include <algorithm>

namespace tervolin {

std::size_t physicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  // Without an answer, assume a small machine.
  if (pages <= 0 || pageSize <= 0) return std::size_t{4} << 30;
  return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}

std::size_t recordMemoryBudget() { return physicalMemoryBytes() / 4; }

std::size_t gridMemoryBudget() { return std::min(physicalMemoryBytes() / 8, std::size_t{2} << 30); }

}  // namespace tervolin
