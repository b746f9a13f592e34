#include "charts/matrix_build.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "charts/matrix_items.h"
#include "common/text.h"

namespace tervolin {
namespace {

// Three definitions: speed (column 0), load (1), injection (2).
struct Drive {
  DefinitionTable defs{{"2101", "Обороты"_w.data(), "", "0200", "", 0},
                       {"2101", "Нагрузка"_w.data(), "", "0600", "", 1},
                       {"2101", "Впрыск"_w.data(), "", "0800", "", 2}};
  RecordList records;
  std::uint32_t rpm, load, inj;
  Drive() {
    rpm = records.addSource({"2101", "0200", "", std::string("Обороты"_w)});
    load = records.addSource({"2101", "0600", "", std::string("Нагрузка"_w)});
    inj = records.addSource({"2101", "0800", "", std::string("Впрыск"_w)});
  }
  MatrixLists lists() const {
    return {matrixRecordKey(records.sources()[rpm]), matrixRecordKey(records.sources()[load]),
            matrixRecordKey(records.sources()[inj])};
  }
  void pass(std::string_view r, std::string_view l, std::string_view i) {
    const auto ord = static_cast<std::int32_t>(records.size());
    records.append(ord, rpm, r);
    records.append(ord, load, l);
    records.append(ord, inj, i);
  }
};

MatrixAxes axes(const QuantTexts& t) { return std::get<MatrixAxes>(readAxes(t, '.')); }
const QuantTexts kQuant{"500", "500", "6500", "0", "10", "100"};

TEST(MatrixBuild, EachPassIsASampleAndTheRecordStartingOneIsStoredInTheSampleBefore) {
  Drive d;
  d.pass("800", "20", "2.5");
  d.pass("1500", "35", "3");
  d.pass("2600", "51", "4.25");
  MatrixBuild b(d.records, d.defs, d.lists(), axes(kQuant), '.', {});
  b.run();
  // The speed record opens each pass and lands in the sample before.
  ASSERT_EQ(b.lastSample(), 2u);
  const auto& s = b.samples();
  EXPECT_EQ(s[0].x, 1500);
  EXPECT_EQ(s[0].y, 20);
  EXPECT_EQ(s[0].z, 2.5);
  EXPECT_EQ(s[1].x, 2600);
  EXPECT_EQ(s[1].xBin, 4);  // 2600 lies in [2250, 2750)
  EXPECT_EQ(s[1].y, 35);
  EXPECT_EQ(s[1].yBin, 4);  // 35 lies in [35, 45)
  EXPECT_EQ(s[2].x, 0);     // no speed record after it
  EXPECT_EQ(s[2].z, 4.25);
  EXPECT_EQ(b.progressMaximum(), 13u * 11u + 9u);
  EXPECT_EQ(b.progress(), 9u);
}

TEST(MatrixBuild, RecordsWithoutADefinitionOrAValueArePassedOver) {
  Drive d;
  const auto stray = d.records.addSource({"2102", "0000", "", "x"});
  d.pass("800", "20", "2.5");
  // A value that does not convert neither sets the sample nor counts as a
  // column: the speed record (column 0) does not start a pass, so the
  // injection record after it still belongs to sample 0.
  d.records.append(9, d.rpm, "Не используется"_w);
  d.records.append(9, stray, "1");
  d.records.append(9, d.inj, "Да"_w);
  MatrixBuild b(d.records, d.defs, d.lists(), axes(kQuant), '.', {});
  b.run();
  EXPECT_EQ(b.lastSample(), 0u);
  EXPECT_EQ(b.samples()[0].x, 800);
  EXPECT_EQ(b.samples()[0].z, 1);  // "Да" reads as 1
  EXPECT_EQ(b.progress(), 4u);     // the three of the pass and the injection
}

TEST(MatrixBuild, AValueInNoBinKeepsTheBinTheSampleHad) {
  Drive d;
  d.pass("800", "20", "1");
  d.pass("9000", "-40", "1");  // both outside every bin
  std::vector<Sample> before(3);
  before[1].xBin = 7;
  before[1].yBin = 3;
  MatrixBuild b(d.records, d.defs, d.lists(), axes(kQuant), '.', before);
  b.run();
  // Sample 0 got speed 800 (bin 1), then 9000 (outside): its X bin stays 1.
  // Sample 1 got load -40 (outside) and no speed: it keeps the bins the
  // build before left.
  EXPECT_EQ(b.samples()[0].x, 9000);
  EXPECT_EQ(b.samples()[0].xBin, 1);
  EXPECT_EQ(b.samples()[0].yBin, 2);
  EXPECT_EQ(b.samples()[1].yBin, 3);
  EXPECT_EQ(b.samples()[1].xBin, 7);
  EXPECT_EQ(b.samples()[1].x, 0);
}

TEST(MatrixBuild, TheFirstDefinitionOfACodeAndPositionGivesTheColumn) {
  Drive d;
  // A second definition of the speed's code + position at the end: the
  // first one (column 0) is the one found, so passes still start at speed.
  d.defs.push_back({"2101", "Обороты"_w.data(), "", "0200", "", 3});
  // "210" + "10200" joins to the same text as "2101" + "0200".
  d.defs.insert(d.defs.begin(), ParamDef{"210", "Другой"_w.data(), "", "10200", "", 0});
  d.pass("800", "20", "1");
  d.pass("1500", "30", "2");
  MatrixBuild b(d.records, d.defs, d.lists(), axes(kQuant), '.', {});
  b.run();
  // Speed now has column 0 (the joined text of the definition in front),
  // load 2, injection 3: two passes, two samples.
  EXPECT_EQ(b.lastSample(), 1u);
}

TEST(MatrixBuild, XAndYOnOneParameterSetOnlyX) {
  Drive d;
  d.pass("800", "20", "1");
  MatrixLists lists = d.lists();
  lists.y = lists.x;
  MatrixBuild b(d.records, d.defs, lists, axes(kQuant), '.', {});
  b.run();
  EXPECT_EQ(b.samples()[0].x, 800);
  EXPECT_EQ(b.samples()[0].y, 0);
}

TEST(MatrixBuild, TheSampleListGrowsInHundredsAndKeepsWhatTheBuildBeforeLeft) {
  Drive d;
  for (int k = 0; k < 250; ++k) d.pass("800", "20", "1");
  std::vector<Sample> before(400);
  before[300].z = 77;
  MatrixBuild b(d.records, d.defs, d.lists(), axes(kQuant), '.', before);
  b.run();
  EXPECT_EQ(b.lastSample(), 249u);
  EXPECT_EQ(b.samples().size(), 400u);
  EXPECT_EQ(b.samples()[300].z, 77);
  MatrixBuild fresh(d.records, d.defs, d.lists(), axes(kQuant), '.', {});
  fresh.run();
  EXPECT_EQ(fresh.samples().size(), 300u);
}

TEST(MatrixBuild, SlicesWalkAsOnePassAndNoticeAnotherLog) {
  Drive d;
  for (int k = 0; k < 100; ++k) d.pass(std::to_string(500 + 60 * k), std::to_string(k), std::to_string(k % 7));
  MatrixBuild whole(d.records, d.defs, d.lists(), axes(kQuant), '.', {});
  whole.run();
  MatrixBuild sliced(d.records, d.defs, d.lists(), axes(kQuant), '.', {});
  int slices = 0;
  while (!sliced.advance(7)) ++slices;
  EXPECT_EQ(slices, 300 / 7);
  EXPECT_EQ(sliced.lastSample(), whole.lastSample());
  EXPECT_EQ(sliced.progress(), whole.progress());
  for (std::size_t i = 0; i <= whole.lastSample(); ++i) {
    EXPECT_EQ(sliced.samples()[i].x, whole.samples()[i].x);
    EXPECT_EQ(sliced.samples()[i].xBin, whole.samples()[i].xBin);
  }
  EXPECT_TRUE(sliced.stillReads(d.records));
  d.records.append(0, d.rpm, "1");
  EXPECT_FALSE(sliced.stillReads(d.records));
  d.records.clear();
  EXPECT_FALSE(whole.stillReads(d.records));
}

// A slice walked in two halves at once gives what one walk gives, wherever
// the halves meet: in a pass or at its start, after records passed over, in
// a half without a usable record, across the growth of the sample list, on
// the samples of a build before.
TEST(MatrixBuild, SlicesWalkedInTwoHalvesEqualOneWalk) {
  Drive d;
  for (int k = 0; k < 130; ++k) {
    const std::string r = k % 11 == 0 ? "x" : std::to_string(300 + 55 * k);  // "x" does not convert
    const std::string l = k % 13 == 0 ? "999" : std::to_string(k % 90);        // 999 lies in no bin
    d.pass(r, l, std::to_string(k % 5));
    if (k % 17 == 0) d.records.append(0, d.inj, "y");                          // a run of records passed over
    if (k % 29 == 0) d.records.append(0, d.load, "7");                         // a pass that runs back twice
  }
  for (int k = 0; k < 40; ++k) d.records.append(0, d.rpm, "bad");              // a tail of no usable record
  std::vector<Sample> before(150);
  for (std::size_t i = 0; i < before.size(); ++i) before[i] = {double(i), -double(i), 0.5 * i, int(i % 9), int(i % 7)};
  for (const std::vector<Sample>& start : {std::vector<Sample>{}, before}) {
    MatrixBuild one(d.records, d.defs, d.lists(), axes(kQuant), '.', start);
    one.splitSlicesFrom(SIZE_MAX);
    one.run();
    for (const std::size_t slice : {std::size_t{2}, std::size_t{3}, std::size_t{50}, std::size_t{201}, SIZE_MAX}) {
      MatrixBuild two(d.records, d.defs, d.lists(), axes(kQuant), '.', start);
      two.splitSlicesFrom(2);
      while (!two.advance(slice)) {
      }
      ASSERT_EQ(two.lastSample(), one.lastSample()) << slice;
      EXPECT_EQ(two.progress(), one.progress()) << slice;
      ASSERT_EQ(two.samples().size(), one.samples().size()) << slice;
      for (std::size_t i = 0; i < one.samples().size(); ++i) {
        const Sample &a = two.samples()[i], &b = one.samples()[i];
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.xBin == b.xBin && a.yBin == b.yBin)
            << "slice " << slice << " sample " << i;
      }
    }
  }
}

TEST(MatrixBuild, AnEmptyLogGivesSampleZeroAsItWas) {
  Drive d;
  std::vector<Sample> before(1);
  before[0].z = 5;
  MatrixBuild b(d.records, d.defs, d.lists(), axes(kQuant), '.', before);
  EXPECT_TRUE(b.done());
  b.run();
  EXPECT_EQ(b.lastSample(), 0u);
  EXPECT_EQ(b.samples()[0].z, 5);
  EXPECT_EQ(b.progressMaximum(), 143u);
}

}  // namespace
}  // namespace tervolin
