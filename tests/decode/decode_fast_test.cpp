// The prepared road of the readers must give exactly the texts of DecodeDan.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "decode/decode_dan.h"
#include "decode/decode_fast.h"
#include "decode/formula_catalogue.h"

namespace tervolin {
namespace {

struct Outcome {
  std::string text;
  bool raised = false;
  bool operator==(const Outcome&) const = default;
};

Outcome viaDecodeDan(std::string_view data, std::string_view req, std::string_view pos, std::string_view code,
                     const DecodeOptions& o) {
  try {
    return {DecodeDan(data, req, pos, code, o)};
  } catch (const DecodeError&) {
    return {{}, true};
  }
}

Outcome viaPrepared(const ResponseBytes& bytes, const PreparedDefinition& def, const DecodeOptions& o,
                    std::string& out) {
  try {
    decodeInto(bytes, def, o, out);
    return {out};
  } catch (const DecodeError&) {
    return {{}, true};
  }
}

// Data texts with the shapes responses take: spaced and unspaced hex of
// either case, odd lengths, stray non-hex characters, tabs, empty.
std::string randomData(std::mt19937& rng) {
  static constexpr char kHex[] = "0123456789ABCDEFabcdef";
  static constexpr char kOdd[] = "GZ\t-x ";
  const int bytes = std::uniform_int_distribution<int>(0, 40)(rng);
  const bool spaced = rng() % 2;
  std::string s;
  for (int b = 0; b < bytes; ++b) {
    for (int c = 0; c < 2; ++c)
      s += rng() % 50 == 0 ? kOdd[rng() % (sizeof kOdd - 1)] : kHex[rng() % (sizeof kHex - 1)];
    if (spaced) s += ' ';
  }
  if (rng() % 4 == 0) s += kHex[rng() % 16];  // odd length
  return s;
}

std::string randomPosition(std::mt19937& rng) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s;
  const int len = rng() % 20 == 0 ? static_cast<int>(rng() % 6) : 4;
  for (int c = 0; c < len; ++c) {
    if (c == 0) s += rng() % 2 ? '0' : '1';
    else if (c == 1 || c == 3) s += rng() % 30 == 0 ? 'Q' : kHex[rng() % 16];
    else s += "00000001"[rng() % 8];
  }
  return s;
}

TEST(PreparedDecoding, GivesTheTextsOfDecodeDan) {
  std::vector<std::string> codes{"", "", "", "ZZ", "fT", "С2"};
  for (const auto& row : formula::rows())
    for (std::string_view s : row.spellings)
      if (!s.empty()) codes.emplace_back(s);
  const std::vector<std::string> requests{"0100", "01A0", "0101", "0103", "0112", "0113", "011C", "011D",
                                          "011E", "01B2", "01B3", "01B7", "01BB", "01D3", "01D5", "01E2",
                                          "01E8", "01E9", "01EB", "01EC", "01F8", "01F9", "01EF", "0105",
                                          ""};
  std::mt19937 rng(20240611);
  std::string out = "left over";
  int compared = 0, raised = 0, nonEmpty = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string data = randomData(rng);
    const ResponseBytes bytes(data);
    for (int d = 0; d < 20; ++d) {
      const std::string& code = codes[rng() % codes.size()];
      const std::string& req = requests[rng() % requests.size()];
      const std::string pos = randomPosition(rng);
      const DecodeOptions o{rng() % 2 == 0, rng() % 2 ? '.' : ','};
      const PreparedDefinition def(req, pos, code);
      const Outcome a = viaDecodeDan(data, req, pos, code, o);
      const Outcome b = viaPrepared(bytes, def, o, out);
      ASSERT_EQ(a, b) << "data '" << data << "' request " << req << " position " << pos << " formula " << code
                      << (o.inversion ? " inverted" : "");
      ++compared;
      raised += a.raised;
      nonEmpty += !a.text.empty();
    }
  }
  EXPECT_EQ(compared, 60000);
  EXPECT_GT(raised, 0);           // the 01B2 failure was exercised
  EXPECT_GT(nonEmpty, 30000);     // and most definitions gave a value
}

TEST(PreparedDecoding, ReusedResponseForgetsThePreviousOne) {
  ResponseBytes bytes("11 22 33 44 55 66 77 88");
  bytes.assign("7B");
  const PreparedDefinition def("0105", "0100", "FI");
  std::string out = "x";
  decodeInto(bytes, def, DecodeOptions{}, out);
  EXPECT_EQ(out, "");
  const PreparedDefinition status("0101", "0000", "");
  decodeInto(bytes, status, DecodeOptions{}, out);
  EXPECT_EQ(out, DecodeDan("7B", "0101", "0000", "", DecodeOptions{}));
  EXPECT_EQ(bytes.fixed[1], 0);
}

}  // namespace
}  // namespace tervolin
