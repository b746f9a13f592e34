#include "charts/series_build.h"

#include <gtest/gtest.h>

#include <random>

#include "charts/series_items.h"
#include "common/number_format.h"
#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Event = ScriptedChannel::Event;
using Points = std::vector<std::pair<double, double>>;

constexpr std::string_view kTw = "01/0000 Tw";
constexpr std::string_view kTa = "01/0100 Ta";

// A record list of two parameters of request 2101 and one of 2102.
struct Records {
  RecordList list;
  Records() {
    list.addSource({"2101", "0000", "C", "Tw"});
    list.addSource({"2101", "0100", "%", "Ta"});
    list.addSource({"2102", "0000", "V", "U"});
  }
  Records& add(int ordinal, std::uint32_t source, std::string_view value) {
    list.append(ordinal, source, value);
    return *this;
  }
};

SeriesRequest request(std::initializer_list<std::string_view> items, std::string timing = "", int unit = 1,
                      bool fit = false) {
  SeriesRequest r;
  std::size_t k = 0;
  for (std::string_view item : items) r.items[k++] = std::string(item);
  r.timing = std::move(timing);
  r.unit = unit;
  r.fit = fit;
  return r;
}

struct Build {
  std::array<SeriesData, kSeriesCount> series;
  double step = 0;
  AxisBounds axis;
  ScriptedChannel channel;

  void run(const RecordList& records, const SeriesRequest& r, char mark = '.', std::size_t definitions = 3) {
    axis = buildSeries({records, definitions, 4, mark}, r, step, series, channel);
  }
  Points points(int k) const {
    Points out;
    for (std::size_t i = 0; i < series[k].count(); ++i) out.emplace_back(series[k].x[i], series[k].y(i));
    return out;
  }
};

TEST(SeriesBuild, NothingChosenGivesTheStartBounds) {
  Records log;
  log.add(1, 0, "10");
  Build b;
  b.run(log.list, request({"Нет"_w, ""}));
  EXPECT_DOUBLE_EQ(b.axis.min, 66190.35);
  EXPECT_DOUBLE_EQ(b.axis.max, -66190.35);
  for (const SeriesData& s : b.series) EXPECT_FALSE(s.plotted);
}

TEST(SeriesBuild, TimeStepFromTimingAndUnit) {
  struct Case {
    std::string timing;
    int unit;
    char mark;
    double step;
    bool message;
  } cases[] = {
      {"50", 1, '.', 0.05, false},  {"", 1, '.', 1.0, false},     {"0", 1, '.', 1.0, false},
      {"-5", 1, '.', 1.0, false},   {"50", 0, '.', 50.0, false},  {"600", 2, '.', 0.01, false},
      {"360", 3, '.', 0.0001, false}, {"12,5", 0, ',', 12.5, false}, {"12.5", 0, ',', 7.0, true},
      {"abc", 1, '.', 7.0, true},   {"50", -1, '.', 0.05, false},  // no unit selected: seconds
  };
  for (const Case& c : cases) {
    Records log;
    log.add(3, 0, "1").add(4, 0, "2");
    Build b;
    b.step = 7.0;  // the time step kept from before
    b.run(log.list, request({kTw}, c.timing, c.unit), c.mark);
    EXPECT_DOUBLE_EQ(b.step, c.step) << c.timing;
    EXPECT_EQ(b.points(0), (Points{{3 * c.step, 1}, {4 * c.step, 2}})) << c.timing;
    const auto messages = b.channel.texts(Event::Message);
    EXPECT_EQ(messages, c.message ? std::vector<std::string>{std::string("Некорректное значение тайминга P2+P3"_w)}
                                  : std::vector<std::string>{})
        << c.timing;
  }
}

TEST(SeriesBuild, PointsAndBoundsOfOneSeries) {
  Records log;
  log.add(1, 0, "20").add(1, 1, "5").add(2, 0, "Да"_w).add(2, 1, "6").add(3, 0, "Нет"_w).add(4, 2, "99");
  Build b;
  b.run(log.list, request({kTw, "Нет"_w, kTa}));
  EXPECT_EQ(b.points(0), (Points{{1, 20}, {2, 1}, {3, 0}}));
  EXPECT_TRUE(b.points(1).empty());
  EXPECT_EQ(b.points(2), (Points{{1, 5}, {2, 6}}));
  EXPECT_EQ(b.series[0].unit, "C");
  EXPECT_EQ(b.series[2].unit, "%");
  // Lowest 0, highest 20: margins of 1 % of the highest value.
  EXPECT_DOUBLE_EQ(b.axis.min, -0.2);
  EXPECT_DOUBLE_EQ(b.axis.max, 20.2);
  EXPECT_TRUE(b.channel.events.empty());
}

TEST(SeriesBuild, MarginsAreOfTheHighestValueNotOfTheSpan) {
  Records log;
  log.add(1, 0, "-10").add(2, 0, "-5");
  Build b;
  b.run(log.list, request({kTw}));
  EXPECT_DOUBLE_EQ(b.axis.min, -10 + 0.05);
  EXPECT_DOUBLE_EQ(b.axis.max, -5 - 0.05);
}

TEST(SeriesBuild, DescendingValuesRaiseTheHighestToo) {
  Records log;
  log.add(1, 0, "100").add(2, 0, "50").add(3, 0, "0");
  Build b;
  b.run(log.list, request({kTw}));
  EXPECT_DOUBLE_EQ(b.axis.min, -1);
  EXPECT_DOUBLE_EQ(b.axis.max, 101);
}

TEST(SeriesBuild, FitModeMultipliers) {
  struct Case {
    std::vector<std::string> first, second;
    std::int32_t m1, m2;
  } cases[] = {
      {{"0", "10"}, {"5", "8"}, 1, 3},    // 10 / 3 = 3.33 is over 2: truncated
      {{"0", "10"}, {"2", "8"}, 1, 1},    // 10 / 6 is not over 2
      {{"0", "10"}, {"1", "3"}, 1, 5},
      {{"-4", "4"}, {"0", "0,5"}, 1, 16},
  };
  for (const Case& c : cases) {
    Records log;
    for (std::size_t i = 0; i < c.first.size(); ++i) log.add(int(i), 0, c.first[i]).add(int(i), 1, c.second[i]);
    Build b;
    b.run(log.list, request({kTw, kTa}, "", 1, true), ',');
    EXPECT_EQ(b.series[0].multiplier, c.m1);
    EXPECT_EQ(b.series[1].multiplier, c.m2);
    EXPECT_DOUBLE_EQ(b.series[1].offset, *parseNumber(c.second[0], ','));
    // Every plotted y is (v - offset) * multiplier.
    EXPECT_DOUBLE_EQ(b.points(1).back().second,
                     (*parseNumber(c.second[1], ',') - b.series[1].offset) * c.m2);
  }
}

TEST(SeriesBuild, FitModeConstantSeriesKeepsItsMultiplier) {
  Records log;
  log.add(1, 0, "0").add(1, 1, "7").add(2, 0, "10").add(2, 1, "7");
  Build b;
  b.run(log.list, request({kTw, kTa}, "", 1, true));
  EXPECT_EQ(b.series[1].multiplier, 0);  // as at program start
  EXPECT_DOUBLE_EQ(b.series[1].offset, 7);
  b.run(log.list, request({kTw, kTa}));  // fit off: 1 and 0
  b.run(log.list, request({kTw, kTa}, "", 1, true));
  EXPECT_EQ(b.series[1].multiplier, 1);
  EXPECT_EQ(b.points(1), (Points{{1, 0}, {2, 0}}));
}

TEST(SeriesBuild, FitMultiplierIsTruncatedAndBounded) {
  EXPECT_EQ(fitMultiplier(10, 3), 3);
  EXPECT_EQ(fitMultiplier(10, 5), 1);
  EXPECT_EQ(fitMultiplier(10, 4.9), 2);
  EXPECT_EQ(fitMultiplier(0, -131070), 1);
  EXPECT_EQ(fitMultiplier(1e12, 1e-3), 2147483647);
}

TEST(SeriesBuild, ConversionFailuresStopTheirSeriesAndAreToldInSeriesOrder) {
  Records log;
  log.add(1, 0, "1").add(1, 1, "x").add(2, 0, "2").add(3, 0, "").add(4, 0, "4").add(4, 1, "5");
  Build b;
  b.run(log.list, request({kTw, kTa}));
  EXPECT_EQ(b.points(0), (Points{{1, 1}, {2, 2}}));
  EXPECT_TRUE(b.points(1).empty());
  EXPECT_EQ(b.series[0].unit, "C");
  EXPECT_EQ(b.channel.texts(Event::Message),
            (std::vector<std::string>{std::string("Ошибка преобразования  Record 2"_w),
                                      std::string("Ошибка преобразования x Record 0"_w)}));
}

TEST(SeriesBuild, FitScanFailureKeepsTheExtremesFoundSoFar) {
  Records log;
  log.add(1, 0, "0").add(1, 1, "2").add(2, 0, "10").add(2, 1, "bad").add(3, 1, "100");
  Build b;
  b.run(log.list, request({kTw, kTa}, "", 1, true));
  const auto messages = b.channel.texts(Event::Message);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], std::string("Ошибка преобразованияbad"_w));  // the fit scan
  EXPECT_EQ(messages[1], std::string("Ошибка преобразования bad Record 1"_w));  // the plot
  // Series 2 scanned only "2": range 0, multiplier kept, offset 2.
  EXPECT_DOUBLE_EQ(b.series[1].offset, 2);
  EXPECT_EQ(b.series[1].multiplier, 0);
}

TEST(SeriesBuild, UnitFromTheLastRecordOfTheSeriesAmongTheFirstDefinitionCount) {
  RecordList list;
  list.addSource({"2101", "0000", "A", "Tw"});
  list.addSource({"1A01", "0000", "B", "Tw"});  // another service byte: same item
  list.append(1, 0, "1");
  list.append(1, 1, "2");
  list.append(2, 0, "3");
  for (auto [n, unit] : std::vector<std::pair<std::size_t, std::string>>{{0, ""}, {1, "A"}, {2, "B"}, {3, "A"}, {50, "A"}}) {
    Build b;
    b.run(list, request({kTw}), '.', n);
    EXPECT_EQ(b.series[0].unit, unit) << n;
    EXPECT_EQ(b.series[0].count(), 3u);
  }
}

TEST(SeriesBuild, SeriesNotTakingPartKeepTheirPointLists) {
  Records log;
  log.add(1, 0, "1").add(1, 1, "2");
  Build b;
  b.run(log.list, request({kTw, kTa}));
  b.run(log.list, request({kTw, "Нет"_w}));
  EXPECT_FALSE(b.series[1].plotted);
  EXPECT_EQ(b.series[1].count(), 1u);
  EXPECT_EQ(b.series[1].unit, "%");
}

// The walk as first described: for every series in turn, every record,
// matched by comparing its texts with the item.
struct Reference {
  std::array<std::vector<std::pair<double, double>>, kSeriesCount> points;  // x, raw
  std::array<std::int32_t, kSeriesCount> multiplier{};
  std::array<double, kSeriesCount> offset{};
  std::vector<std::string> messages;
  double lowest = 65535, highest = -65535;

  void run(const RecordList& records, const SeriesRequest& r, double step) {
    auto belongs = [&](std::size_t i, int k) {
      const RecordSource& s = records.source(i);
      return belongsToItem(r.items[k], s.requestCode, s.positionField, 4);
    };
    if (r.fit) {
      std::array<double, kSeriesCount> lo{}, hi{}, range{};
      for (int k = 0; k < kSeriesCount; ++k) {
        if (!takesPart(r.items[k])) continue;
        lo[k] = 65535, hi[k] = -65535;
        for (std::size_t i = 0; i < records.size(); ++i) {
          if (!belongs(i, k)) continue;
          const auto v = yn(records.value(i), '.');
          if (!v) {
            messages.push_back(std::string("Ошибка преобразования"_w) + std::string(records.value(i)));
            break;
          }
          lo[k] = std::min(lo[k], *v), hi[k] = std::max(hi[k], *v);
        }
      }
      double widest = -1e300;
      for (int k = 0; k < kSeriesCount; ++k) range[k] = hi[k] - lo[k], widest = std::max(widest, range[k]);
      for (int k = 0; k < kSeriesCount; ++k) {
        offset[k] = lo[k];
        if (range[k] != 0) multiplier[k] = widest / range[k] > 2 ? std::int32_t(widest / range[k]) : 1;
      }
    } else {
      multiplier.fill(1), offset.fill(0);
    }
    for (int k = 0; k < kSeriesCount; ++k) {
      if (!takesPart(r.items[k])) continue;
      for (std::size_t i = 0; i < records.size(); ++i) {
        if (!belongs(i, k)) continue;
        const auto v = yn(records.value(i), '.');
        if (!v) {
          messages.push_back(std::string("Ошибка преобразования "_w) + std::string(records.value(i)) + " Record " +
                             std::to_string(points[k].size()));
          break;
        }
        const double y = (*v - offset[k]) * multiplier[k];
        lowest = std::min(lowest, y), highest = std::max(highest, y);
        points[k].emplace_back(records.at(i).ordinal * step, *v);
      }
    }
  }
};

TEST(SeriesBuild, OnePassEqualsOneWalkPerSeriesOnGeneratedRecords) {
  std::mt19937 rng(20240607);
  const std::vector<RecordSource> sources = {
      {"2101", "0000", "C", "a"}, {"2101", "0100", "C", "b"}, {"1A01", "0000", "K", "c"},
      {"2102", "0008", "", "d"},  {"2101", "01", "", "e"},    {"2103", "0200", "", "f"}};
  const std::vector<std::string> pool = {"01/0000 a", "01/0100 b", "02/0008 d", "01/01 e", "03/0200 f", std::string("Нет"_w), ""};
  for (int round = 0; round < 60; ++round) {
    RecordList list;
    for (const RecordSource& s : sources) list.addSource(s);
    const int n = 200 + int(rng() % 400);
    for (int i = 0; i < n; ++i) {
      const auto source = std::uint32_t(rng() % sources.size());
      std::string value = std::to_string(int(rng() % 2000) - 1000);
      const unsigned roll = rng() % 1000;
      if (roll < 3) value = "oops";
      else if (roll < 6) value = "Да"_w;
      else if (roll < 9) value = "Нет"_w;
      list.append(i / 3, source, value);
    }
    SeriesRequest r;
    for (auto& item : r.items) item = pool[rng() % pool.size()];
    r.timing = std::to_string(rng() % 100);
    r.fit = rng() % 2 == 0;

    Build b;
    b.step = 1;
    for (int k = 0; k < kSeriesCount; ++k) b.series[k].multiplier = int(rng() % 3);  // earlier builds
    Reference ref;
    ref.multiplier = {b.series[0].multiplier, b.series[1].multiplier, b.series[2].multiplier,
                      b.series[3].multiplier, b.series[4].multiplier, b.series[5].multiplier};
    b.run(list, r, '.', sources.size());
    ref.run(list, r, b.step);

    EXPECT_EQ(b.channel.texts(Event::Message), ref.messages) << round;
    for (int k = 0; k < kSeriesCount; ++k) {
      if (!takesPart(r.items[k])) continue;
      Points got;
      for (std::size_t i = 0; i < b.series[k].count(); ++i) got.emplace_back(b.series[k].x[i], b.series[k].raw[i]);
      EXPECT_EQ(got, ref.points[k]) << round << " " << k;
      EXPECT_EQ(b.series[k].multiplier, ref.multiplier[k]) << round << " " << k;
      EXPECT_EQ(b.series[k].offset, ref.offset[k]) << round << " " << k;
    }
    EXPECT_EQ(b.axis.min, ref.lowest - ref.highest / 100) << round;
    EXPECT_EQ(b.axis.max, ref.highest + ref.highest / 100) << round;
  }
}

}  // namespace
}  // namespace tervolin
