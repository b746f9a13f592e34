#pragma once
// How much memory what a read makes may fill. A small file can multiply into
// many records (a definition file with many copies of one entry) and a table
// into many cells, so every read and every table has a budget, a share of
// the machine's memory: no input may take the machine down. Passing a
// budget is handled as running out of memory.

#include <cstddef>
#include <new>

namespace tervolin {

// The machine's physical memory in bytes.
std::size_t physicalMemoryBytes();

// Bytes the record list of one read may hold (records and their values): a
// quarter of the machine's memory.
std::size_t recordMemoryBudget();

// Bytes the cells of the main grid may hold: an eighth of the machine's
// memory, at most 2 GiB.
std::size_t gridMemoryBudget();

// Thrown where a read would pass its budget. A std::bad_alloc, so that it
// takes the road of running out of memory.
class MemoryBudgetExceeded : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "the memory budget of the read is used up"; }
};

}  // namespace tervolin
