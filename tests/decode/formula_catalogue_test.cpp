// Every accepted spelling of every formula code, with values worked out from
// the scaling each code stands for, plus the codes' particular rules.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "common/text.h"
#include "decode/decode_dan.h"

namespace tervolin {
namespace {

constexpr std::string_view kNoValue = "";

std::string decode(std::string_view data, std::string_view position, std::string_view code, bool inversion = false) {
  return DecodeDan(data, "", position, code, DecodeOptions{inversion, '.'});
}

struct SingleByteCase {
  std::array<std::string_view, 4> spellings;
  std::string_view position;
  std::string_view expected;  // for the data byte C8 (200, signed -56)
};

// Data byte C8 at index 0.
constexpr SingleByteCase kSingleByte[] = {
    {{"F1", "f1"}, "0000", "78.43"},
    {{"FT", "fT", "ft", "Ft"}, "0000", "160"},
    {{"FK", "fK", "fk", "Fk"}, "0000", "56.25"},
    {{"FP", "fP", "fp", "Fp"}, "0000", "600"},
    {{"FZ", "fZ", "fz", "Fz"}, "0000", "36.00"},
    {{"FD", "fD", "fd", "Fd"}, "0000", "1.000"},
    {{"FS", "fS", "fs", "Fs"}, "0000", "56.25"},
    {{"F6", "f6"}, "0000", "56.250"},
    {{"F0", "f0"}, "0000", "203.500"},
    {{"X8", "x8"}, "0000", "120"},
    {{"X1", "x1"}, "0000", "0.20"},
    {{"X5", "x5"}, "0000", "102.27"},
    {{"XA"}, "0000", "112.50"},
    {{"XB"}, "0000", "164.00"},
    {{"XO"}, "0000", "0.81"},
    {{"X3", "x3"}, "0000", "-56"},
    {{"XZ", "xZ", "xz", "Xz"}, "0000", "-28.0"},
    {{"X0", "x0"}, "0000", "13.89"},
    {{"XD", "xD", "xd", "Xd"}, "0000", "0.900"},
    {{"X7"}, "0000", "4.44"},
    {{"X9"}, "0000", "14.04"},
    {{"CV"}, "0000", "20.00"},
    {{"CP"}, "0000", "84.13"},
    {{"C0"}, "0000", "3906.00"},
    {{"CT"}, "0000", "110.00"},
    {{"CZ"}, "0000", "50.63"},
    {{"Cp"}, "0000", "4000"},
    {{"CO"}, "0000", "881.25"},
    {{"CA"}, "0000", "20.00"},
    {{"C2"}, "0000", "84.22"},
    {{"NT", "nT", "nt", "Nt"}, "0000", "150"},
    {{"N0", "n0"}, "0000", "400"},
    {{"NB", "nB", "nb", "Nb"}, "0000", "16.000"},
    {{"NI", "nI", "ni", "Ni"}, "0000", "-88"},
    {{"N1", "n1"}, "0000", "4.000"},
    {{"NO", "nO", "no", "No"}, "0000", "2.000"},
    {{"N5", "n5"}, "0000", "100.000"},
    {{"N4", "n4"}, "0000", "2500.000"},
    {{"N6", "n6"}, "0000", "8.000"},
    {{"N7", "n7"}, "0000", "70.0"},
    {{"NL", "nL", "nl", "Nl"}, "0000", "78.13"},
    {{"N8", "n8"}, "0000", "51200"},
    {{"N9", "n9"}, "0000", "36.0"},
    {{"NA", "nA", "na", "Na"}, "0000", "72"},
    {{"NC", "nC", "nc", "Nc"}, "0000", "2000"},
    {{"ND", "nD", "nd", "Nd"}, "0000", "42.00"},
    {{"NE", "nE", "ne", "Ne"}, "0000", "156.250"},
    {{"NF", "nF", "nf", "Nf"}, "0000", "25.098"},
    {{"NG", "nG", "ng", "Ng"}, "0000", "15.686"},
    {{"NH", "nH", "nh", "Nh"}, "0000", "2560.000"},
    {{"NN"}, "0000", "168.0"},
    {{"E4", "e4"}, "0000", "25.57"},
    {{"FI", "Fi"}, "0000", "200"},
    {{"FH", "Fh"}, "0000", "C8"},
    {{"B8", "b8"}, "000B", "Да"_w},
    {{"V0"}, "0000", "-0.219"},
    {{"V1"}, "0000", "8000"},
    {{"V2"}, "0000", "1.28"},
    {{"V3"}, "0000", "15.20"},
    {{"VA"}, "0000", "3.91"},
    {{"VB"}, "0000", "1.12"},
    {{"VC"}, "0000", "18.8"},
    {{"VD"}, "0000", "0.977"},
    {{"VG"}, "0000", "1.28"},
    {{"VH"}, "0000", "1.00"},
    {{"VJ"}, "0000", "-0.01"},
    {{"VK"}, "0000", "0.78"},
    {{"VQ"}, "0000", "18.84"},
    {{"VT"}, "0000", "5.00"},
    {{"bT"}, "0000", "102.0"},
    {{"b0"}, "0000", "14.75"},
    {{"b1"}, "0000", "250.0"},
    {{"b5"}, "0000", "150.00"},
    {{"b6"}, "0000", "3.13"},
    {{"bB"}, "0000", "0.842"},
    {{"bM"}, "0000", "78.13"},
    {{"bL"}, "0000", "3.516"},
    {{"b2"}, "0000", "-42.000"},
    {{"b3"}, "0000", "42.000"},
    {{"bG"}, "0000", "-0.560"},
    {{"MC"}, "0000", "-5.600"},
    {{"bZ"}, "0000", "2.00"},
    {{"ME"}, "0000", "78.43"},
    {{"v0"}, "0000", "3.906"},
    {{"v1"}, "0000", "10.00"},
    {{"v2"}, "0000", "18.9"},
    {{"v3"}, "0000", "-42.0"},
    {{"v5"}, "0000", "50.0"},
    {{"v6"}, "0000", "0.89"},
    {{"v9"}, "0000", "3.5"},
    {{"vA"}, "0000", "1.56"},
    {{"vB"}, "0000", "415.82"},
    {{"vC"}, "0000", "488.28"},
    {{"vF"}, "0000", "122.32"},
    {{"vH"}, "0000", "0.72"},
    {{"vI"}, "0000", "-2.00"},
    {{"vJ"}, "0000", "-19.07"},
    {{"vK"}, "0000", "-0.90"},
    {{"vL"}, "0000", "0.01"},
    {{"R1"}, "0000", "843.00"},
    {{"R2"}, "0000", "80.00"},
    {{"R3"}, "0000", "1.952"},
    {{"R4"}, "0000", "85.0"},
    {{"R5"}, "0000", "14.40"},
    {{"R6"}, "0000", "300"},
    {{"R7"}, "0000", "40.00"},
    {{"R9"}, "0000", "51.38"},
    {{"RA"}, "0000", "78.40"},
    {{"RB"}, "0000", "968.50"},
    {{"RC"}, "0000", "75.00"},
    {{"RD"}, "0000", "78.43"},
    {{"RI"}, "0000", "3200"},
    {{"RE"}, "0000", "-212.00"},
    {{"RF"}, "0000", "-21.96"},
};

TEST(FormulaCatalogue, EverySingleByteSpellingGivesItsValue) {
  int checked = 0;
  for (const SingleByteCase& c : kSingleByte)
    for (std::string_view code : c.spellings) {
      if (code.empty()) continue;
      EXPECT_EQ(decode("C8", c.position, code), c.expected) << code;
      ++checked;
    }
  EXPECT_EQ(checked, 194);
}

struct WordCase {
  std::array<std::string_view, 4> spellings;
  std::string_view expected;          // switch off, data kWordData
  std::string_view expectedInverted;  // switch on, data kWordDataSwapped
};

// W = F3A1 (62369, signed -3167); DW = F3A10304; slot 10 = 5C. The swapped
// data holds every pair low byte first, so the word and four-byte codes read
// the same values with the switch on; only "CI" reads single bytes at p and
// p + 1 and so sees F3 and 04.
constexpr std::string_view kWordData = "F3 A1 03 04 05 06 07 08 09 0A 5C 00";
constexpr std::string_view kWordDataSwapped = "A1 F3 04 03 06 05 08 07 0A 09 00 5C";

constexpr WordCase kWord[] = {
    {{"FR", "fR", "fr", "Fr"}, "15592", "15592"},
    {{"FF", "fF", "Ff"}, "623.69", "623.69"},
    {{"FO", "fO", "fo", "Fo"}, "62369", "62369"},
    {{"X2", "x2"}, "95.169", "95.169"},
    {{"F2", "f2"}, "4927.151", "4927.151"},
    {{"F3", "f3"}, "623690", "623690"},
    {{"FV", "fV", "fv", "Fv"}, "7.609", "7.609"},
    {{"FL", "fL", "fl", "Fl"}, "1.902", "1.902"},
    {{"F7", "f7"}, "15584.058", "15584.058"},
    {{"FA", "fA", "fa", "Fa"}, "115.629", "115.629"},
    {{"F4", "f4"}, "6196.900", "6196.900"},
    {{"F8", "f8"}, "62.369", "62.369"},
    {{"F9", "f9"}, "24458.431", "24458.431"},
    {{"XI", "xI", "xi", "Xi"}, "15.227", "15.227"},
    {{"X6", "x6"}, "7796.125", "7796.125"},
    {{"X4", "x4"}, "-3167", "-3167"},
    {{"XF"}, "6.091", "6.091"},
    {{"NR", "nR", "nr", "Nr"}, "7.7961E+005", "7.7961E+005"},
    {{"N2", "n2"}, "311.845", "311.845"},
    {{"N3", "n3"}, "623.69", "623.69"},
    {{"DA", "dA", "da", "Da"}, "609.07", "609.07"},
    {{"DV", "dV", "dv", "Dv"}, "380.67", "380.67"},
    {{"CI"}, "486.776", "517.250"},
    {{"V4"}, "498.952", "498.952"},
    {{"V5"}, "6236.9", "6236.9"},
    {{"V6"}, "10394.8", "10394.8"},
    {{"V7"}, "1247.38", "1247.38"},
    {{"V8"}, "487.26", "487.26"},
    {{"F5"}, "62369", "62369"},
    {{"C1"}, "4.0874156E+008", "4.0874156E+008"},
    {{"bA"}, "-9.66", "-9.66"},
    {{"bF"}, "-148.5", "-148.5"},
    {{"b4"}, "1461.77", "1461.77"},
    {{"bI"}, "831.59", "831.59"},
    {{"b9"}, "97.45", "97.45"},
    {{"bC"}, "1.903", "1.903"},
    {{"bD"}, "35895.9", "35895.9"},
    {{"BD"}, "-1822.74", "-1822.74"},
    {{"bE"}, "134.09", "134.09"},
    {{"bH"}, "5.646", "5.646"},
    {{"b7"}, "1097.694", "1097.694"},
    {{"bJ"}, "304.536", "304.536"},
    {{"bK"}, "4.758", "4.758"},
    {{"bN"}, "124738", "124738"},
    {{"VE"}, "395.42", "395.42"},
    {{"VF"}, "1522.68", "1522.68"},
    {{"VL"}, "134.093", "134.093"},
    {{"VN"}, "10394.8", "10394.8"},
    {{"VO"}, "1367.5795", "1367.5795"},
    {{"VP"}, "4.758", "4.758"},
    {{"VR"}, "76.13", "76.13"},
    {{"VS"}, "201.00", "201.00"},
    {{"VX"}, "46728.75", "46728.75"},
    {{"VI"}, "-1.27", "-1.27"},
    {{"VM"}, "-0.193", "-0.193"},
    {{"bO"}, "1521.195", "1521.195"},
    {{"bP"}, "399.162", "399.162"},
    {{"bQ"}, "1461.77", "1461.77"},
    {{"bR"}, "201.265", "201.265"},
    {{"bS"}, "4.758", "4.758"},
    {{"bX"}, "134.093", "134.093"},
    {{"bY"}, "-1237.11", "-1237.11"},
    {{"BQ"}, "-74.23", "-74.23"},
    {{"bd"}, "1218.14", "1218.14"},
    {{"M0"}, "60.91", "60.91"},
    {{"M1"}, "3898.06", "3898.06"},
    {{"M2"}, "243.63", "243.63"},
    {{"M3"}, "-0.39", "-0.39"},
    {{"M4"}, "-2375.25", "-2375.25"},
    {{"M5"}, "304.54", "304.54"},
    {{"M6"}, "249476", "249476"},
    {{"M7"}, "-25", "-25"},
    {{"M8"}, "974.52", "974.52"},
    {{"M9"}, "31184.50", "31184.50"},
    {{"MA"}, "-316.7", "-316.7"},
    {{"MB"}, "6.24", "6.24"},
    {{"MD"}, "-31.7", "-31.7"},
    {{"v4"}, "1496.856", "1496.856"},
    {{"v7"}, "-0.202", "-0.202"},
    {{"v8"}, "46776.8", "46776.8"},
    {{"vD"}, "115.63", "115.63"},
    {{"vE"}, "-3.17", "-3.17"},
    {{"vG"}, "3.90", "3.90"},
    {{"vM"}, "1.901", "1.901"},
    {{"R8"}, "249.48", "249.48"},
    {{"RG"}, "6090.33", "6090.33"},
};

TEST(FormulaCatalogue, EveryWordSpellingGivesItsValueInBothByteOrders) {
  int checked = 0;
  for (const WordCase& c : kWord)
    for (std::string_view code : c.spellings) {
      if (code.empty()) continue;
      EXPECT_EQ(decode(kWordData, "0000", code), c.expected) << code;
      EXPECT_EQ(decode(kWordDataSwapped, "0000", code, true), c.expectedInverted) << code << " inverted";
      ++checked;
    }
  EXPECT_EQ(checked, 126);
}

TEST(FormulaCatalogue, NearNeighboursOfCodesGiveNoValue) {
  // Other letter cases that are not listed, Cyrillic look-alikes, the letter
  // O for the digit 0, codes of the wrong length, a code only the formula
  // list names.
  for (std::string_view code : {"ff", "cp", "xa", "Xa", "cP", "fI", "fh", "fS1", "F", "ZZ", "W4", "Fo0",
                                "v", "MF", "bU", "Bd"})
    EXPECT_EQ(decode("C8 01 02 03", "0000", code), kNoValue) << code;
  EXPECT_EQ(decode("C8", "0000", "С2"_w), kNoValue);  // Cyrillic ES
  EXPECT_EQ(decode("C8", "0000", "СP"_w), kNoValue);
  // Letter O and digit 0 are different codes with different values.
  EXPECT_NE(decode("C8", "0000", "C0"), decode("C8", "0000", "CO"));
  EXPECT_NE(decode("C8", "0000", "X0"), decode("C8", "0000", "XO"));
  EXPECT_NE(decode("C8 10", "0000", "F0"), decode("C8 10", "0000", "FO"));
  EXPECT_NE(decode("C8", "0000", "N0"), decode("C8", "0000", "NO"));
  // Case variants that are separate codes.
  EXPECT_NE(decode("C8", "0000", "CP"), decode("C8", "0000", "Cp"));
  EXPECT_NE(decode("F3 A1", "0000", "BD"), decode("F3 A1", "0000", "bD"));
  EXPECT_NE(decode("F3 A1", "0000", "bd"), decode("F3 A1", "0000", "bD"));
}

struct Case {
  std::string_view data, position, code;
  bool inversion;
  std::string_view expected;
};

constexpr Case kEdges[] = {
    {"00", "0000", "FT", false, "-40"},
    {"FF", "0000", "FT", false, "215"},
    {"1A F8", "0000", "FR", false, "1726"},
    {"F8 1A", "0000", "FR", true, "1726"},
    {"1A", "0000", "FR", false, "7"},  // W is the one byte: 26 / 4 = 6.5
    {"80", "0000", "XZ", false, "-64.0"},
    {"7F", "0000", "XZ", false, "63.500"},
    {"FF", "0000", "X3", false, "-1"},
    {"FF FE", "0000", "X4", false, "-2"},
    {"FF", "0000", "FS", false, "Не используется"_w},
    {"80", "0000", "FS", false, "0.00"},
    {"10 20", "0000", "fF", false, "41.28"},
    {"10 20", "0000", "Ff", false, "41.28"},
    {"10 20", "0000", "ff", false, ""},
    {"00 00 00 01", "0308", "B8", false, "Да"_w},
    {"00 00 00 01", "030F", "B8", false, "Нет"_w},
    {"00 00 00 80", "0310", "B8", false, "Да"_w},  // selectors above 0F test bit 7
    {"00 00 00 FF", "0307", "B8", false, "Нет"_w},  // bits outside the byte
    {"00 00 00 FF", "03ZZ", "B8", false, ""},
    {"00 01 86 A0", "0000", "C1", false, "10000.00"},
    {"00 01 86", "0000", "C1", false, "0.00"},     // four-byte value 0 when incomplete
    {"00 01", "0000", "VO", false, "-2.8125"},
    {"00 01 8Z A0", "0000", "C1", false, ""},      // four characters, not all hex
    {"00 01 8Z A0", "0000", "FR", false, ""},      // ... fails every word code
    {"00 01 8Z", "0000", "FR", false, "0"},        // three characters: no check
    {"05 00", "0000", "CI", false, ""},            // division by zero
    {"05", "0000", "CI", false, ""},               // Bp absent
    {"05 7D", "0000", "CI", false, "11.000"},
    {"", "0000", "FT", false, ""},
    {"11 22", "0500", "FT", false, ""},
    {"11 22", "ZZ00", "FT", false, ""},
    {"11 22", "ZZ00", "FR", true, ""},            // no index: no word either
    {"1F 40", "0000", "NR", false, "1.0000E+005"},
    {"aB", "0000", "FH", false, "aB"},
    {"1", "0000", "FH", false, ""},                // a single digit makes no slot
    {"1A2", "0100", "FH", false, "2"},             // 3 characters: two slots (1.5 rounds to 2)
    {"1A2B3", "0200", "FH", false, ""},            // 5 characters: two slots (2.5 rounds to 2)
    {"1A2B3C4", "0300", "FH", false, "4"},         // 7 characters: last slot of one
    {"1A2B3C4", "0300", "FI", false, "4"},
    {"1A2B3C4", "0200", "FR", false, "241"},       // "3C" followed by "4": 3C4 hex = 964, / 4
    {"G1", "0000", "FI", false, ""},
    {"80 00", "0000", "X4", true, "128"},          // switch on: sign byte is slot 1 (00)
    {"00 80", "0000", "X4", true, "-32768"},
    {"80", "0000", "X4", false, "-65408"},         // sign from slot p alone, word is 80
    {"12 34 56 78 9A BC DE F0 11 22 AB CD EF", "0100", "vM", true, "0.679"},
};

TEST(FormulaCatalogue, ParticularRulesAndEdges) {
  for (const Case& c : kEdges)
    EXPECT_EQ(decode(c.data, c.position, c.code, c.inversion), c.expected)
        << c.code << " on '" << c.data << "' at " << c.position << (c.inversion ? " inverted" : "");
}

}  // namespace
}  // namespace tervolin
