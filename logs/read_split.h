#pragma once
// How the walks over a long log split it: a log longer than `above` bytes
// is cut at line ends into `parts` pieces (0: one per processor core) that
// are walked at once, with results equal to one walk.

#include <cstddef>

namespace tervolin {

inline constexpr std::size_t kSplitLogsAbove = std::size_t{8} << 20;

struct ReadSplit {
  std::size_t above = kSplitLogsAbove;
  std::size_t parts = 0;
  // Where a piece of the record reading starts to learn the state it
  // begins in: this many bytes before its first line, more when that does
  // not settle it.
  std::size_t lookBack = 4096;
};

}  // namespace tervolin
