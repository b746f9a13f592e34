#pragma once
// What the parameter graphs read out under the cursor: the label of each
// series at the cursor's x value, the fit-mode texts beside the cursor line,
// the texts of the two markers, and whether a series passes under the
// pointer. Point lists are searched, never walked: a series of ten million
// points answers in a few steps.

#include <array>
#include <string>

#include "charts/series_build.h"

namespace tervolin {

// The label value at x value `xv`: the first point whose x is not below xv
// gives its own value when its x equals xv, and the mean of its value and
// the one before when it lies beyond xv (the first point's own value when
// there is none before). 0 when every point lies left of xv.
double labelValue(const SeriesData& series, double xv);

// Label text: the label value, fixed with 3 decimals, " ", the unit text.
std::string labelText(const SeriesData& series, double xv, char decimalMark);

// Fit mode: the pointer's y in chart units turned back into the series'
// value (y / multiplier + offset; the offset when the multiplier is 0),
// fixed with 3 decimals, " ", the unit text.
std::string fitReadoutText(const SeriesData& series, double pointerY, char decimalMark);

// Fit mode with a timing: the pointer's x, fixed with 1 decimal, " ", the
// text of the unit list.
std::string timeReadoutText(double x, int unit, char decimalMark);

// An axis value under the pointer: `name` (such as "x"), ":=", the value
// fixed with 3 decimals ("x:=12.500").
std::string axisReadoutText(std::string_view name, double value, char decimalMark);

// The marker texts: the six labels joined by ";" after the heading, then
// "x1=" (marker 1) or "x2=" with "x2-x1=" (marker 2), 2 decimals each,
// followed by the text of the unit list.
std::string firstMarkerText(const std::array<std::string, kSeriesCount>& labels, double x1, int unit,
                            char decimalMark);
std::string secondMarkerText(const std::array<std::string, kSeriesCount>& labels, double x1, double x2,
                             int unit, char decimalMark);

// True when the plotted line of the series passes through the box
// [xLo, xHi] x [yLo, yHi] of chart units (the points inside and the line
// between them and their neighbours outside).
bool seriesUnder(const SeriesData& series, double xLo, double xHi, double yLo, double yHi);

}  // namespace tervolin
