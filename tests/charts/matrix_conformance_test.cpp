// The fast build and the one-pass fill against the literal walk, on random
// logs: definitions with shared request codes and repeated code + position
// fields, records without a definition, values that do not convert, "Да" and
// "Нет", values outside every bin, passes that break off, lists that match
// nothing, X and Y on one parameter, and builds that reuse the samples of
// the build before.

#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <string>
#include <vector>

#include "charts/matrix_build.h"
#include "charts/matrix_cells.h"
#include "charts/matrix_grid.h"
#include "charts/matrix_items.h"
#include "common/number_format.h"
#include "common/text.h"
#include "matrix_reference.h"

namespace tervolin {
namespace {

using test::RefAxis;
using test::RefRecord;

struct RandomLog {
  DefinitionTable defs;
  std::vector<RecordSource> sources;
  std::vector<RefRecord> records;
  std::vector<std::uint32_t> recordSource;
  std::vector<bool> repeatsRef;  // the record names the value text of the record before it
};

std::string numberText(double v, int decimals, char mark) { return fixedText(v, 15, decimals, mark); }

// The shortest text that reads back as exactly `v`.
std::string exactText(double v, char mark) {
  char buf[64];
  const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
  std::string text(buf, end);
  for (char& c : text)
    if (c == '.') c = mark;
  return text;
}

// Values that lie exactly on a bin bound of the axis, as the bins compute them.
double onBound(std::mt19937& rng, const RefAxis& a) {
  const int b = static_cast<int>(rng() % static_cast<unsigned>(test::refBinCount(a) + 2)) - 1;
  return rng() % 2 ? a.min + b * a.step - a.step / 2 : a.min + b * a.step + a.step / 2;
}

RandomLog randomLog(std::mt19937& rng, char mark, const RefAxis& ax, const RefAxis& ay) {
  RandomLog log;
  std::uniform_int_distribution<int> defCount(3, 12);
  const int n = defCount(rng);
  const char* codes[] = {"2101", "2102", "210", "21", "2103"};
  const char* positions[] = {"0000", "0100", "0200", "10100", "0C08", "0300"};
  for (int d = 0; d < n; ++d) {
    ParamDef def;
    def.requestCode = codes[rng() % 3];
    def.positionField = positions[rng() % 6];
    def.name = "P" + std::to_string(rng() % 6);
    def.column = d;
    log.defs.push_back(def);
  }
  // Sources: one per definition (sometimes with another name), and a few
  // that no definition names or that name one only through the joined text
  // ("210" + "10100" = "2101" + "0100").
  for (const ParamDef& d : log.defs) {
    RecordSource s{d.requestCode, d.positionField, "", rng() % 5 == 0 ? "other" : d.name};
    log.sources.push_back(s);
  }
  log.sources.push_back({"2109", "0000", "", "P1"});
  log.sources.push_back({"210", "1010", "", "P2"});
  log.sources.push_back({"2101", "0C08", "", "P3"});
  for (RecordSource& s : log.sources) {
    s.requestCode = s.requestCode.substr(0, 8);
    s.positionField = s.positionField.substr(0, 4);
  }

  std::uniform_int_distribution<int> passes(0, 60);
  std::uniform_real_distribution<double> value(-50, 6600);
  const int passCount = passes(rng);
  const auto sourceCount = static_cast<std::uint32_t>(log.sources.size());
  for (int p = 0; p < passCount; ++p) {
    // A pass walks the sources in order, skipping some and breaking off at
    // random; now and then one goes back a step.
    for (std::uint32_t k = 0; k < sourceCount; ++k) {
      if (rng() % 7 == 0) continue;
      if (rng() % 23 == 0) break;
      std::uint32_t src = k;
      if (rng() % 19 == 0 && k > 0) src = k - 1;
      std::string text;
      switch (rng() % 14) {
        case 0: text = "Да"_w; break;
        case 1: text = "Нет"_w; break;
        case 2: text = "abc"; break;
        case 3: text = ""; break;
        case 4: text = "0"; break;
        case 5: text = numberText(value(rng), 2, mark == '.' ? ',' : '.'); break;  // the other mark
        case 6: text = exactText(onBound(rng, rng() % 2 ? ax : ay), mark); break;
        default: text = numberText(value(rng), static_cast<int>(rng() % 4), mark); break;
      }
      const bool repeat = !log.records.empty() && rng() % 4 == 0 && log.recordSource.back() == src;
      if (repeat) text = log.records.back().value;
      const RecordSource& s = log.sources[src];
      log.records.push_back({s.requestCode, s.positionField, s.name, text});
      log.recordSource.push_back(src);
      log.repeatsRef.push_back(repeat);
    }
  }
  return log;
}

RecordList recordList(const RandomLog& log) {
  RecordList list;
  for (const RecordSource& s : log.sources) list.addSource(s);
  TextRef last = kEmptyText;
  for (std::size_t i = 0; i < log.records.size(); ++i) {
    if (log.repeatsRef[i]) list.appendRef(static_cast<std::int32_t>(i), log.recordSource[i], last);
    else last = list.append(static_cast<std::int32_t>(i), log.recordSource[i], log.records[i].value);
  }
  return list;
}

std::string itemOf(const RecordSource& s) { return matrixRecordKey(s); }

TEST(MatrixConformance, FastBuildAndOnePassFillEqualTheLiteralWalk) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 400; ++round) {
    const char mark = round % 2 ? ',' : '.';
    std::uniform_real_distribution<double> lo(-100, 2000), span(100, 7000);
    const double steps[] = {250, 500, 37.5, 1000, 0.1 * 3, 333.3};
    RefAxis ax{std::round(lo(rng)), steps[rng() % 6], 0}, ay{std::round(lo(rng)), steps[rng() % 6], 0};
    ax.max = ax.min + std::round(span(rng) / 3);
    ay.max = ay.min + std::round(span(rng) / 3);
    if (test::refBinCount(ax) >= kMaxAxisBins || test::refBinCount(ay) >= kMaxAxisBins ||
        (test::refBinCount(ax) + 1) * (test::refBinCount(ay) + 1) > static_cast<int>(kMaxMatrixCells))
      continue;
    // The axes as the grid's texts give them back.
    for (RefAxis* a : {&ax, &ay})
      for (double* v : {&a->min, &a->step, &a->max}) *v = *parseNumber(fixedText(*v, 17, 4, mark), mark);
    const RandomLog log = randomLog(rng, mark, ax, ay);
    const RecordList list = recordList(log);
    const auto& srcs = log.sources;
    // Lists: mostly real keys, sometimes X = Y, sometimes a text nothing has.
    const std::string x = itemOf(srcs[rng() % srcs.size()]);
    const std::string y = rng() % 6 == 0 ? x : itemOf(srcs[rng() % srcs.size()]);
    const std::string data = rng() % 9 == 0 ? std::string("nothing") : itemOf(srcs[rng() % srcs.size()]);
    // Two builds in a row: the second starts from the samples the first left
    // and narrows the X range, so that bins left by the first come into play.
    std::vector<Sample> fast, reference;
    for (int build = 0; build < 2; ++build) {
      if (build == 1) ax.max = ax.min + (ax.max - ax.min) / 2;
      const QuantTexts quant{fixedText(ax.min, 17, 4, mark), fixedText(ax.step, 17, 4, mark),
                             fixedText(ax.max, 17, 4, mark), fixedText(ay.min, 17, 4, mark),
                             fixedText(ay.step, 17, 4, mark), fixedText(ay.max, 17, 4, mark)};
      ax = {*parseNumber(quant.minX, mark), *parseNumber(quant.stepX, mark), *parseNumber(quant.maxX, mark)};
      ay = {*parseNumber(quant.minY, mark), *parseNumber(quant.stepY, mark), *parseNumber(quant.maxY, mark)};
      auto read = readAxes(quant, mark);
      ASSERT_TRUE(std::holds_alternative<MatrixAxes>(read)) << std::get<std::string>(read);
      const MatrixAxes axes = std::get<MatrixAxes>(read);
      ASSERT_EQ(axes.x.last(), test::refBinCount(ax));
      ASSERT_EQ(axes.y.last(), test::refBinCount(ay));

      std::vector<Sample> refSamples = reference;
      const std::size_t refS = test::refBuild(log.records, log.defs, x, y, data, ax, ay, mark, refSamples);
      MatrixBuild b(list, log.defs, {x, y, data}, axes, mark, fast);
      // Every other round walks its slices in two halves at once.
      if (round % 2) b.splitSlicesFrom(2);
      // Slices of odd sizes walk exactly as one pass.
      while (!b.advance(1 + rng() % 37)) {
      }
      ASSERT_EQ(b.lastSample(), refS) << "round " << round;
      fast = b.takeSamples();
      reference = refSamples;
      for (std::size_t i = 0; i <= refS; ++i) {
        ASSERT_EQ(fast[i].x, reference[i].x) << "round " << round << " sample " << i;
        ASSERT_EQ(fast[i].y, reference[i].y) << "round " << round << " sample " << i;
        ASSERT_EQ(fast[i].z, reference[i].z) << "round " << round << " sample " << i;
        ASSERT_EQ(fast[i].xBin, reference[i].xBin) << "round " << round << " sample " << i;
        ASSERT_EQ(fast[i].yBin, reference[i].yBin) << "round " << round << " sample " << i;
      }
      const MatrixCells cells(std::span<const Sample>(fast.data(), refS + 1), axes.x.count(), axes.y.count());
      for (int mode = 0; mode < 7; ++mode) {
        const auto want = test::refFill(reference, refS, axes.x.last(), axes.y.last(), mode, mark);
        std::size_t k = 0;
        for (int yb = 0; yb < axes.y.count(); ++yb)
          for (int xb = 0; xb < axes.x.count(); ++xb, ++k)
            ASSERT_EQ(cellText(cells.at(xb, yb), mode, mark), want[k])
                << "round " << round << " mode " << mode << " cell " << xb << "," << yb;
      }
    }
  }
}

// Samples whose bins the cells do not have (left by a wider build before)
// count nowhere, as in the walk per cell.
TEST(MatrixConformance, OnePassFillOfRandomSamplesWithBinsOutsideTheMatrix) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    const int nX = static_cast<int>(rng() % 6), nY = static_cast<int>(rng() % 6);
    std::vector<Sample> samples(1 + rng() % 300);
    const double zs[] = {0, 1.5, -70000, 70000, 0.125, -2, 3};
    for (Sample& s : samples) {
      s.xBin = static_cast<std::int32_t>(rng() % 9) - 1;
      s.yBin = static_cast<std::int32_t>(rng() % 9) - 1;
      s.z = rng() % 3 ? zs[rng() % 7] : static_cast<double>(rng() % 1000) / 7;
    }
    const std::size_t s = samples.size() - 1 - rng() % samples.size() / 2;
    const MatrixCells cells(std::span<const Sample>(samples.data(), s + 1), nX + 1, nY + 1);
    for (int mode = 0; mode < 7; ++mode) {
      const auto want = test::refFill(samples, s, nX, nY, mode, ',');
      std::size_t k = 0;
      for (int yb = 0; yb <= nY; ++yb)
        for (int xb = 0; xb <= nX; ++xb, ++k) ASSERT_EQ(cellText(cells.at(xb, yb), mode, ','), want[k]);
    }
  }
}

}  // namespace
}  // namespace tervolin
