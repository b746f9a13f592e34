#pragma once
// The range scans of the matrix window: selecting an X or Y parameter fills
// Min, Step and Max of its grid row from the smallest and largest value of
// its records; selecting the data parameter gives the Z range the 2D chart's
// value axis spans.

#include <string>
#include <string_view>

#include "common/record_list.h"
#include "common/user_channel.h"

namespace tervolin {

struct ValueRange {
  double smallest = 65535;
  double largest = -65535;
};

// The extremes of the converted values of the records that belong to
// `item`, from the start values 65535 and −65535. A value that does not
// convert shows "Ошибка преобразования" followed by its text and ends the
// scan: the extremes found so far are kept.
ValueRange scanRange(const RecordList& records, std::string_view item, char decimalMark, UserChannel& channel);

// Min and Max (fixed, 2 decimals) and Step = (Max − Min) / 16 (fixed, 1
// decimal), as written into a row of the quantisation grid.
struct AxisTexts {
  std::string min, step, max;
};
AxisTexts axisTexts(const ValueRange& range, char decimalMark);

}  // namespace tervolin
