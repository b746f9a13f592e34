#pragma once
// Work split into parts that run at once, one thread each, the first part on
// the calling thread. Used by the long walks over a log, a record list or a
// grid, where every part writes only its own output.

#include <cstddef>
#include <functional>

namespace tervolin {

// The number of parts that keeps every processor core busy (at least 1).
std::size_t processorParts();

// Runs work(0) .. work(parts - 1) at once, work(0) on the calling thread,
// and returns when all have ended. When parts threw, the exception of the
// lowest such part is thrown again here (after every part has ended).
// `waiting`, when given, is called on the calling thread about every 50 ms
// once work(0) has ended while other parts still run (to report progress).
void runParts(std::size_t parts, const std::function<void(std::size_t part)>& work,
              const std::function<void()>& waiting = {});

}  // namespace tervolin
