#pragma once
// The settings store of the parameter graphs: per log (named by the log
// key) the chosen items, the timing, the fit mode and the time unit; for all
// logs alike the colours and the line width. Both are compact strings of
// tags and fields under Software\Tervolin:
//
//   crc_databases\<log key>  "1:0032:0123:0004:0005:0006:000p2p3:050m:0t:001cb:015ll:000cl:000
//                             1c:0092c:0023c:0014c:0125c:0136c:007"
//   graph_colors\colors      "cb:015ll:0cl:0001c:0092c:0023c:0014c:0125c:0136c:007"
//
// A field is the decimal text of an integer with "0" put before it until it
// is 3 characters long ("007", "042", "0-1", "1234").

#include <array>
#include <string>
#include <string_view>

#include "charts/graph_colours.h"
#include "charts/series_build.h"
#include "common/registry.h"
#include "common/user_channel.h"

namespace tervolin {

// What the controls of the parameter graphs window hold (indexes are
// positions in their lists, -1 when a list has no selected item).
struct GraphControls {
  std::array<int, kSeriesCount> list{};          // cbb1 ... cbb6
  std::array<std::string, kSeriesCount> listText; // what they show (Windows-1251)
  std::string timing;                            // edt1
  int unit = kDefaultTimeUnit;                   // _time
  bool fit = false;                              // chk1
  std::array<int, kSeriesCount> colour = kDesignSeriesColours;  // clrbx1 ... clrbx6
  int background = kWhiteColour;                 // clrbx7
  int lineWidth = 0;                             // cbb7: width - 1
  int cursorLine = kBlackColour;                 // clrbx8
};

// How many entries the lists have: a restored index beyond them leaves the
// list without a selected item.
struct ControlSizes {
  int items = 1;  // parameter lists, "Нет" included
  int colours = static_cast<int>(kPickerColours.size());
  int widths = 7;
  int units = static_cast<int>(kTimeUnits.size());
};

std::string threeDigitField(long long value);

// The timing field as stored: a whole number as a field, "000" when empty.
// A number with decimals is stored rounded to the nearest whole number, and
// a text that is no number at all as "000", so closing never fails.
std::string timingField(std::string_view timing, char decimalMark);

std::string perLogSettings(const GraphControls& controls, char decimalMark);
std::string colourSettings(const GraphControls& controls);

// RegRead: restores the per-log settings of `logKey` and the colours into
// `controls`, in the order lists, unit, timing, fit mode, then series
// colours, background, width, cursor line. A field that is not a whole
// number ends the restore with a message (what was restored before stays);
// false then. Missing keys and values restore nothing and say nothing.
bool restoreGraphSettings(const Registry& registry, std::string_view logKey, const ControlSizes& sizes,
                          GraphControls& controls, UserChannel& channel);

// RegWrite: stores both strings, creating the keys when missing. No log key
// (no log open) stores only the colours. False when a write failed.
bool storeGraphSettings(Registry& registry, std::string_view logKey, const GraphControls& controls,
                        char decimalMark);

}  // namespace tervolin
