#include "charts/series_build.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "charts/record_values.h"
#include "charts/series_items.h"
#include "common/number_format.h"

namespace tervolin {
namespace {

// Start values of the extremes, of the fit scan and of the plot bounds.
constexpr double kStartLowest = 65535;
constexpr double kStartHighest = -65535;

constexpr std::string_view kBadTiming = "Некорректное значение тайминга P2+P3"_w;
constexpr std::string_view kFitFailure = "Ошибка преобразования"_w;
constexpr std::string_view kPlotFailure = "Ошибка преобразования "_w;
constexpr std::string_view kPlotFailureRecord = " Record ";

using Mask = std::uint8_t;

template <class F>
void forEachBit(Mask bits, F&& f) {
  for (int k = 0; k < kSeriesCount; ++k)
    if (bits & (1u << k)) f(k);
}

// One pass over the records for every series at once: each record is looked
// at once, its source's mask says which series it belongs to, and its value
// is converted once for all of them. A value that does not convert stops
// the series it belongs to (`onFailure(k, text)`); the others go on. The
// result equals one walk per series, because each series sees its own
// records in log order either way.
template <class OnValue, class OnFailure>
void walkRecords(const RecordList& records, const std::vector<Mask>& masks, Mask running, char decimalMark,
                 OnValue&& onValue, OnFailure&& onFailure) {
  const std::size_t n = records.size();
  RecordValues values(records, decimalMark);
  for (std::size_t i = 0; i < n && running != 0; ++i) {
    const LogRecord& record = records.at(i);
    const Mask bits = record.source < masks.size() ? Mask(masks[record.source] & running) : Mask(0);
    if (bits == 0) continue;
    double value = 0;
    if (!values.read(record.value, value)) {
      const std::string_view text = records.value(i);
      forEachBit(bits, [&](int k) { onFailure(k, text); });
      running = static_cast<Mask>(running & ~bits);
      continue;
    }
    onValue(record, value, bits);
  }
}

double timeStepOf(const SeriesRequest& request, char decimalMark, double previous, UserChannel& channel) {
  if (request.timing.empty()) return 1.0;
  const std::optional<double> ms = parseNumber(request.timing, decimalMark);
  if (!ms) {
    channel.message(kBadTiming);
    return previous;
  }
  if (!(*ms > 0)) return 1.0;
  const int unit = timeUnitText(request.unit).empty() ? kDefaultTimeUnit : request.unit;
  return *ms / kTimeUnits[static_cast<std::size_t>(unit)].divisor;
}

}  // namespace

std::string_view timeUnitText(int index) {
  if (index < 0 || index >= static_cast<int>(kTimeUnits.size())) return {};
  return kTimeUnits[static_cast<std::size_t>(index)].text;
}

std::int32_t fitMultiplier(double widest, double range) {
  const double quotient = widest / range;
  if (!(quotient > 2)) return 1;
  constexpr double kLargest = std::numeric_limits<std::int32_t>::max();
  if (!(quotient < kLargest)) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::trunc(quotient));
}

AxisBounds buildSeries(const SeriesInput& input, const SeriesRequest& request, double& timeStep,
                       std::array<SeriesData, kSeriesCount>& series, UserChannel& channel) {
  const double step = timeStepOf(request, input.decimalMark, timeStep, channel);
  timeStep = step;

  Mask taking = 0;
  for (int k = 0; k < kSeriesCount; ++k)
    if (takesPart(request.items[static_cast<std::size_t>(k)])) taking |= static_cast<Mask>(1u << k);
  const std::vector<Mask> masks = sourceMasks(input.records.sources(), request.items, input.width);

  // One walk gives the point lists (x and unconverted value) of every
  // series taking part, up to the first value of each that does not convert;
  // the fit scan would stop at that same record.
  for (int k = 0; k < kSeriesCount; ++k) {
    SeriesData& s = series[k];
    s.plotted = (taking & (1u << k)) != 0;
    if (!s.plotted) continue;
    s.x.clear();
    s.raw.clear();
    s.x.reserve(1000);
    s.raw.reserve(1000);
  }
  std::array<std::optional<std::string>, kSeriesCount> failure;
  walkRecords(
      input.records, masks, taking, input.decimalMark,
      [&](const LogRecord& record, double v, Mask bits) {
        const double x = static_cast<double>(record.ordinal) * step;
        forEachBit(bits, [&](int k) {
          series[k].x.push_back(x);
          series[k].raw.push_back(v);
        });
      },
      [&](int k, std::string_view text) { failure[k] = std::string(text); });

  if (request.fit) {
    for (const auto& f : failure)
      if (f) channel.message(std::string(kFitFailure).append(*f));
    std::array<double, kSeriesCount> lowest{}, highest{}, range{};
    forEachBit(taking, [&](int k) {
      lowest[k] = kStartLowest;
      highest[k] = kStartHighest;
      for (const double v : series[k].raw) {
        if (v < lowest[k]) lowest[k] = v;
        if (v > highest[k]) highest[k] = v;
      }
    });
    for (int k = 0; k < kSeriesCount; ++k) range[k] = highest[k] - lowest[k];
    const double widest = *std::max_element(range.begin(), range.end());
    for (int k = 0; k < kSeriesCount; ++k) {
      series[k].offset = lowest[k];
      if (range[k] != 0) series[k].multiplier = fitMultiplier(widest, range[k]);
    }
  } else {
    for (SeriesData& s : series) {
      s.multiplier = 1;
      s.offset = 0;
    }
  }

  double lowest = kStartLowest, highest = kStartHighest;
  forEachBit(taking, [&](int k) {
    const SeriesData& s = series[k];
    for (std::size_t i = 0; i < s.count(); ++i) {
      const double y = s.y(i);
      if (y < lowest) lowest = y;
      if (y > highest) highest = y;
    }
  });
  for (int k = 0; k < kSeriesCount; ++k)
    if (failure[k])
      channel.message(std::string(kPlotFailure)
                          .append(*failure[k])
                          .append(kPlotFailureRecord)
                          .append(intText(static_cast<std::int64_t>(series[k].count()))));

  // The unit: of the last record of the series among the first records, as
  // many as there are definitions.
  const std::size_t head = std::min(input.definitionCount, input.records.size());
  forEachBit(taking, [&](int k) {
    series[k].unit.clear();
    for (std::size_t i = 0; i < head; ++i) {
      const std::uint32_t source = input.records.at(i).source;
      if (source < masks.size() && (masks[source] & (1u << k))) series[k].unit = input.records.source(i).unit;
    }
  });

  // Both margins are 1 % of the highest value, not of the span.
  return {lowest - highest / 100, highest + highest / 100};
}

}  // namespace tervolin
