#pragma once
// The formula search of the research window: every data byte (or byte pair)
// of every response of the open text log is decoded with a trial formula at
// a trial position, and the positions whose values fell inside a range are
// reported with how many responses matched.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_state.h"
#include "common/progress.h"
#include "common/text.h"
#include "common/user_channel.h"

namespace tervolin {

// What the window's controls hold when "Поиск" is pressed (Windows-1251).
struct SearchRequest {
  std::string formulaText;  // the formula list's text; its first two characters are the code
  std::string minimumText;
  std::string maximumText;
  bool inversion = false;  // "Инверсия"
};

enum class SearchEnd {
  Finished,     // the whole log was searched; "Все!" was shown
  Cancelled,    // stopped on request; the lines hold what was found so far
  NotANumber,   // the minimum or maximum is not a number; nothing was read
  NoLog,        // no log open, or the file cannot be read; nothing was read
};

struct SearchOutcome {
  SearchEnd end = SearchEnd::Finished;
  // The result box's lines; the box is cleared and filled with them unless
  // the search stopped before reading (NotANumber, NoLog).
  std::vector<std::string> lines;
  std::uint64_t responseCount = 0;
};

// Runs the search on state.openFileName with the layout found when it was
// opened, the length offset, the identifier width and the decimal mark of
// `state`. The byte-order inversion of `state` is set to the request's for
// the search and restored however it ends. Messages (a range bound that is
// not a number, a missing log, "Все!") go through `channel`; a byte whose
// value is not a number is reported in an OK box, and a box closed without OK
// stops the search as a cancel does. `progress` gets the bytes of the log
// read; once it is cancelled the search stops and gives what it found so far
// (it does not throw). `showLines` gets the result box's lines once the log
// was read or the search stopped, before "Все!" is shown. The search changes
// nothing else of the state.
SearchOutcome searchFormula(AppState& state, const SearchRequest& request, UserChannel& channel,
                            Progress& progress = noProgress(),
                            const std::function<void(const std::vector<std::string>&)>& showLines = {});

// One line of the result box.
std::string searchReportLine(const SearchRequest& request, std::string_view positionText,
                             std::string_view requestCode, std::uint64_t count, std::uint64_t responseCount,
                             char decimalMark);

inline constexpr std::string_view kSearchDone = "Все!"_w;

// What the minimum and maximum fields hold before a range is filled in.
inline constexpr std::string_view kMinimumFieldStart = "edtmin";
inline constexpr std::string_view kMaximumFieldStart = "edtmax";

}  // namespace tervolin
