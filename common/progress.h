#pragma once
// How long work tells how far it has come, and learns that the user wants it
// stopped. Core loops call report() and cancelled() as they go; both are
// cheap (the windows' implementation stores and loads atomics from any
// thread), so a loop may call them every few thousand items.
//
// Work that sees cancelled() stops by throwing Cancelled (throwIfCancelled)
// and must leave everything it was given as it was: it builds its result on
// the side and hands it over only at the end. The command-line tool and the
// tests pass noProgress().
//
// cancelled() may be asked from any thread; report(), lines() and stage()
// come from the thread that was given the Progress.

#include <cstdint>
#include <exception>
#include <string_view>

namespace tervolin {

class Progress {
 public:
  virtual ~Progress() = default;
  // `done` of `total` units of work are done; total 0 when it is not known.
  virtual void report(std::uint64_t done, std::uint64_t total) {
    (void)done;
    (void)total;
  }
  // Lines read so far by work that reads a log (shown as lines per second).
  virtual void lines(std::uint64_t count) { (void)count; }
  // What the work does now, in Windows-1251 ("Чтение лога…"); a new stage
  // starts its share and its lines from 0.
  virtual void stage(std::string_view text) { (void)text; }
  // True once the user asked to stop.
  virtual bool cancelled() const { return false; }
};

// The progress of work nobody watches: reports go nowhere, never cancelled.
inline Progress& noProgress() {
  static Progress none;
  return none;
}

// Thrown by work that stops because it was cancelled.
class Cancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "the work was cancelled"; }
};

inline void throwIfCancelled(const Progress& progress) {
  if (progress.cancelled()) throw Cancelled();
}

}  // namespace tervolin
