#pragma once
// The series of the parameter graphs: the walk over the record list that
// turns the chosen items into plotted points, with the time step from the
// timing field and the unit list, the optional fit mode that stretches every
// series to the same height, and the bounds of the left axis.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/record_list.h"
#include "common/text.h"
#include "common/user_channel.h"

namespace tervolin {

inline constexpr int kSeriesCount = 6;

// The time unit list: its texts and what the timing field (milliseconds) is
// divided by to give the time step in that unit.
struct TimeUnit {
  std::string_view text;  // Windows-1251
  double divisor;
};
inline constexpr std::array<TimeUnit, 4> kTimeUnits = {{
    {"мс"_w, 1},
    {"с"_w, 1000},
    {"мин"_w, 60000},
    {"час"_w, 3600000},
}};
inline constexpr int kDefaultTimeUnit = 1;  // "с"

// The text of the unit list's item, empty when `index` names none.
std::string_view timeUnitText(int index);

// One series and its point list. The point list keeps, in plotted order, the
// x value and the unconverted value of every point; the plotted y is
// (value - offset) * multiplier.
struct SeriesData {
  std::int32_t multiplier = 0;
  double offset = 0;
  std::string unit;          // Windows-1251
  std::vector<double> x;
  std::vector<double> raw;
  bool plotted = false;      // took part in the last build: the chart shows it

  std::size_t count() const { return x.size(); }
  double y(std::size_t i) const { return (raw[i] - offset) * static_cast<double>(multiplier); }
};

// What a build reads from the window's controls.
struct SeriesRequest {
  std::array<std::string, kSeriesCount> items;  // texts of the six lists
  std::string timing;                           // the timing field
  int unit = kDefaultTimeUnit;                  // index in kTimeUnits, -1 when none is selected
  bool fit = false;
};

// The left axis as a build sets it (bounds in either order).
struct AxisBounds {
  double min = 0;
  double max = 0;
};

// Where the records come from and how their texts read.
struct SeriesInput {
  const RecordList& records;
  std::size_t definitionCount;  // the unit of a series comes from the first this many records
  int width;                    // request-code width of the profile
  char decimalMark;
};

// The build. `timeStep` is the time step kept between builds (the request
// interval of the state): it becomes the step of this build, or stays when
// the timing field is not a number. Series taking part get new point lists,
// units, multipliers and offsets; the others keep their point lists and
// units. Conversion failures are told through `channel`, each stopping the
// walk of its series.
AxisBounds buildSeries(const SeriesInput& input, const SeriesRequest& request, double& timeStep,
                       std::array<SeriesData, kSeriesCount>& series, UserChannel& channel);

// The multiplier of fit mode for a series of range `range` when the widest
// range is `widest` (range not 0): the quotient truncated toward zero when
// it is greater than 2, else 1; a quotient beyond the 32-bit range gives the
// largest 32-bit value.
std::int32_t fitMultiplier(double widest, double range);

}  // namespace tervolin
