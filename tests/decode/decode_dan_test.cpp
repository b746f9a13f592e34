// Locating the parameter in the response: blanks, byte slots, position
// field, and the choice between the formula and the status road.

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "decode/decode_dan.h"
#include "decode/decode_fast.h"
#include "decode/position_field.h"

namespace tervolin {
namespace {

std::string decode(std::string_view data, std::string_view position, std::string_view formula,
                   std::string_view request = "") {
  return DecodeDan(data, request, position, formula, DecodeOptions{});
}

TEST(DecodeDan, BlanksAreRemovedButOtherWhiteSpaceStays) {
  for (std::string_view pos : {"0000", "0100", "0200", "0300"})
    EXPECT_EQ(decode("41 0C 1A F8", pos, "FH"), decode("410C1AF8", pos, "FH")) << pos;
  EXPECT_EQ(decode("41 0C 1A F8", "0300", "FH"), "F8");
  EXPECT_EQ(decode("  4 1", "0000", "FI"), "65");
  EXPECT_EQ(decode("41\t0C", "0100", "FI"), "");  // slot 1 is "\t0"
  EXPECT_EQ(decode("41\t0C", "0000", "FI"), "65");
}

TEST(DecodeDan, SlotCountRoundsHalvesToEven) {
  EXPECT_EQ(slotCountFor(0), 0u);
  EXPECT_EQ(slotCountFor(1), 0u);
  EXPECT_EQ(slotCountFor(3), 2u);
  EXPECT_EQ(slotCountFor(5), 2u);
  EXPECT_EQ(slotCountFor(7), 4u);
  EXPECT_EQ(slotCountFor(8), 4u);
  EXPECT_EQ(slotCountFor(4098), 2049u);
  EXPECT_EQ(slotCountFor(1'000'000), 2049u);
  EXPECT_EQ(decode("7", "0000", "FT"), "");  // one digit: no slot
}

TEST(DecodeDan, PositionField) {
  EXPECT_EQ(decode("7B", "000", "FT"), "Ошибка в Pids.ini"_w);
  EXPECT_EQ(decode("7B", "", "ZZ"), "Ошибка в Pids.ini"_w);
  EXPECT_EQ(decode("7B", "00", "", "0105"), "Ошибка в Pids.ini"_w);
  EXPECT_EQ(decode("7B", "0000", "FT"), "83");
  EXPECT_EQ(decode("7B", "00000", "FT"), "83");  // characters after the fourth are not read
  EXPECT_EQ(decode("00 11 22", "0200", "FI"), "34");
  EXPECT_EQ(decode("00 11 22", "0500", "FT"), "");

  struct Field {
    std::string_view text;
    int index, bit, code;
  };
  const Field fields[] = {
      {"0A0B", 10, 11, 104}, {"0000", 0, 0, 0},   {"0300", 3, 0, 30},  {"0008", 0, 8, 1},
      {"000F", 0, 15, 8},    {"0108", 1, 8, 11},  {"01ZZ", 1, -1, 0},  {"ZZ0B", -1, 11, 0},
      {"0101", 1, 1, 4},     {"FF00", 255, 0, 2550},
  };
  for (const Field& f : fields) {
    const PositionField p = readPositionField(f.text);
    EXPECT_FALSE(p.tooShort);
    EXPECT_EQ(p.byteIndex, f.index) << f.text;
    EXPECT_EQ(p.bitSelector, f.bit) << f.text;
    EXPECT_EQ(p.positionCode, f.code) << f.text;
  }
}

TEST(DecodeDan, EmptyFormulaTakesTheStatusRoad) {
  EXPECT_EQ(decode("7B", "0000", "", "0105"), "7B");
  EXPECT_EQ(decode("7B 1C", "0000", "", ""), "7B1C");
  EXPECT_EQ(decode("7B", "0000", "XX", "0105"), "");  // unknown formula
  EXPECT_EQ(decode("80 00", "0000", "", "01A0"), "A1,");
}

TEST(DecodeDan, OversizedDataIsReadUpToTheSlotCapacity) {
  std::string data;
  for (int k = 0; k < 3000; ++k) data += k == 2048 ? "7B " : k == 2049 ? "2C " : "00 ";
  EXPECT_EQ(decode(data, "0000", "FT"), "-40");
  EXPECT_EQ(decode(data, "FF00", "FI"), "0");
  // The raw data road shows the whole text.
  EXPECT_EQ(decode(data, "0000", "", "0105").size(), 6000u);
  ResponseBytes bytes(data);
  EXPECT_EQ(bytes.slotCount, kSlotCapacity);
  EXPECT_EQ(bytes.slotValue.size(), kSlotCapacity);
  EXPECT_EQ(bytes.slotValue[2048], 0x7B);
}

TEST(DecodeDan, GarbageDataNeverFails) {
  const std::string junk[] = {std::string("\0\0\xFF\x80", 4), "ZZZZZZZZ", "\r\n", std::string(50000, 'G'),
                              "   ", "0", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF1"};
  for (const std::string& d : junk)
    for (std::string_view code : {"FT", "FR", "C1", "VO", "v7", "vM", "CI", "FH", "B8", ""})
      for (std::string_view req : {"0101", "0103", "01D3", "0100", "01B3"})
        EXPECT_NO_THROW(decode(d, "000B", code, req));
}

}  // namespace
}  // namespace tervolin
