#include "charts/graph_settings.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "profiles/settings_store.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Event = ScriptedChannel::Event;

const std::string kPerLogKey = "Software\\Tervolin\\crc_databases";
const std::string kColourKey = "Software\\Tervolin\\graph_colors";

GraphControls example() {
  GraphControls c;
  c.list = {3, 12, 0, 0, 0, 0};
  c.timing = "50";
  c.unit = 1;
  c.fit = false;
  c.background = 15;
  c.lineWidth = 6;
  c.cursorLine = 0;
  c.colour = {9, 2, 1, 12, 13, 7};
  return c;
}

ControlSizes sizes(int items) {
  ControlSizes s;
  s.items = items;
  s.colours = 40;
  return s;
}

TEST(GraphSettings, ThreeDigitFields) {
  struct Case {
    long long value;
    std::string_view field;
  } cases[] = {{7, "007"}, {42, "042"}, {0, "000"}, {-1, "0-1"}, {-12, "-12"}, {123, "123"}, {1234, "1234"}};
  for (const Case& c : cases) EXPECT_EQ(threeDigitField(c.value), c.field) << c.value;
}

TEST(GraphSettings, TimingFieldAsStored) {
  struct Case {
    std::string_view timing;
    char mark;
    std::string_view field;
  } cases[] = {
      {"", '.', "000"},   {"7", '.', "007"},     {"50", '.', "050"}, {"1234", '.', "1234"},
      {"007", '.', "007"}, {"-5", '.', "0-5"},   {"12,5", ',', "013"}, {"12.4", '.', "012"},
      {"abc", '.', "000"}, {"12,5", '.', "000"},
  };
  for (const Case& c : cases) EXPECT_EQ(timingField(c.timing, c.mark), c.field) << c.timing;
}

TEST(GraphSettings, StringsInTheirTagOrder) {
  const GraphControls c = example();
  EXPECT_EQ(perLogSettings(c, '.'),
            "1:0032:0123:0004:0005:0006:000p2p3:050m:0t:001cb:015ll:006cl:0001c:0092c:0023c:0014c:0125c:0136c:007");
  EXPECT_EQ(colourSettings(c), "cb:015ll:6cl:0001c:0092c:0023c:0014c:0125c:0136c:007");
  GraphControls other = c;
  other.timing.clear();
  other.fit = true;
  other.list[5] = -1;
  other.unit = 3;
  EXPECT_EQ(perLogSettings(other, '.').substr(0, 46), "1:0032:0123:0004:0005:0006:0-1p2p3:000m:1t:003");
}

TEST(GraphSettings, StoreThenRestoreGivesTheControlsBack) {
  MemoryRegistry registry;
  GraphControls stored = example();
  stored.fit = true;
  stored.unit = 2;
  stored.list = {1000, 5, 0, 2, 0, 1};  // four digits read back whole
  stored.timing = "1234";
  ASSERT_TRUE(storeGraphSettings(registry, "891568578", stored, '.'));
  EXPECT_TRUE(registry.keyExists(kPerLogKey));

  GraphControls restored;
  restored.list.fill(0);
  restored.colour.fill(0);
  ScriptedChannel channel;
  ASSERT_TRUE(restoreGraphSettings(registry, "891568578", sizes(1025), restored, channel));
  EXPECT_TRUE(channel.events.empty());
  EXPECT_EQ(restored.list, stored.list);
  EXPECT_EQ(restored.timing, "1234");
  EXPECT_EQ(restored.unit, 2);
  EXPECT_TRUE(restored.fit);
  EXPECT_EQ(restored.colour, stored.colour);
  EXPECT_EQ(restored.background, 15);
  EXPECT_EQ(restored.lineWidth, 6);
  EXPECT_EQ(restored.cursorLine, 0);
}

TEST(GraphSettings, RestoredTimingTexts) {
  struct Case {
    std::string timing, restored;
  } cases[] = {{"7", "007"}, {"", ""}, {"50", "050"}, {"0", ""}, {"1234", "1234"}};
  for (const Case& c : cases) {
    MemoryRegistry registry;
    GraphControls stored = example();
    stored.timing = c.timing;
    storeGraphSettings(registry, "1", stored, '.');
    GraphControls restored;
    restored.timing = "before";
    ScriptedChannel channel;
    restoreGraphSettings(registry, "1", sizes(20), restored, channel);
    EXPECT_EQ(restored.timing, c.restored) << c.timing;
  }
}

TEST(GraphSettings, ColoursComeFromTheColourStringOnly) {
  MemoryRegistry registry;
  registry.writeString(kPerLogKey, "5", "1:0012:0003:0004:0005:0006:000p2p3:000m:0t:000cb:001ll:003cl:0041c:0012c:0013c:0014c:0015c:0016c:001");
  registry.writeString(kColourKey, "colors", "cb:008ll:2cl:0101c:0112c:0123c:0134c:0145c:0156c:016");
  GraphControls c;
  ScriptedChannel channel;
  ASSERT_TRUE(restoreGraphSettings(registry, "5", sizes(5), c, channel));
  EXPECT_EQ(c.list, (std::array<int, 6>{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(c.unit, 0);
  EXPECT_EQ(c.background, 8);
  EXPECT_EQ(c.lineWidth, 2);
  EXPECT_EQ(c.cursorLine, 10);
  EXPECT_EQ(c.colour, (std::array<int, 6>{11, 12, 13, 14, 15, 16}));
}

TEST(GraphSettings, IndexesBeyondTheListsSelectNothing) {
  MemoryRegistry registry;
  registry.writeString(kPerLogKey, "5", "1:0092:0033:0004:0005:0006:000p2p3:000m:0t:004");
  registry.writeString(kColourKey, "colors", "cb:099ll:7cl:0001c:0002c:0003c:0004c:0005c:0006c:000");
  GraphControls c;
  ScriptedChannel channel;
  ASSERT_TRUE(restoreGraphSettings(registry, "5", sizes(4), c, channel));
  EXPECT_EQ(c.list[0], -1);
  EXPECT_EQ(c.list[1], 3);
  EXPECT_EQ(c.unit, -1);
  EXPECT_EQ(c.background, -1);
  EXPECT_EQ(c.lineWidth, -1);
}

TEST(GraphSettings, AFieldThatIsNotAWholeNumberEndsTheRestore) {
  MemoryRegistry registry;
  registry.writeString(kPerLogKey, "5", "1:0022:0-13:0014:0015:0016:001p2p3:050m:1t:000");
  registry.writeString(kColourKey, "colors", "cb:008ll:2cl:0101c:0112c:0123c:0134c:0145c:0156c:016");
  GraphControls c;
  c.timing = "";
  ScriptedChannel channel;
  EXPECT_FALSE(restoreGraphSettings(registry, "5", sizes(5), c, channel));
  EXPECT_EQ(channel.texts(Event::Message), std::vector<std::string>{"'0-1' не является целым числом"_w.data()});
  EXPECT_EQ(c.list[0], 2);  // restored before the failure
  EXPECT_EQ(c.list[2], 0);  // not reached
  EXPECT_EQ(c.timing, "");
  EXPECT_FALSE(c.fit);
  EXPECT_EQ(c.background, kWhiteColour);
}

TEST(GraphSettings, MissingKeysAndValuesRestoreNothingSilently) {
  ScriptedChannel channel;
  GraphControls c = example();
  MemoryRegistry empty;
  EXPECT_TRUE(restoreGraphSettings(empty, "5", sizes(20), c, channel));
  MemoryRegistry other;
  other.writeString(kPerLogKey, "6", "1:005");
  other.createKey(kColourKey);
  EXPECT_TRUE(restoreGraphSettings(other, "5", sizes(20), c, channel));
  EXPECT_EQ(c.list, example().list);
  EXPECT_TRUE(channel.events.empty());
}

TEST(GraphSettings, NoLogKeyStoresTheColoursOnly) {
  MemoryRegistry registry;
  EXPECT_TRUE(storeGraphSettings(registry, "", example(), '.'));
  EXPECT_FALSE(registry.keyExists(kPerLogKey));
  EXPECT_EQ(registry.readString(kColourKey, "colors"), colourSettings(example()));
  registry.setReadOnly(true);
  EXPECT_FALSE(storeGraphSettings(registry, "1", example(), '.'));
}

}  // namespace
}  // namespace tervolin
