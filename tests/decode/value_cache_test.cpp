// Memoised value texts: a definition's key must capture every input its text
// depends on, so that a text stored under a key is the text every response
// with that key decodes to.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "decode/decode_fast.h"
#include "decode/formula_catalogue.h"
#include "decode/value_cache.h"

namespace tervolin {
namespace {

struct Outcome {
  std::string text;
  bool raised = false;
  bool operator==(const Outcome&) const = default;
};

Outcome decode(const ResponseBytes& bytes, const PreparedDefinition& def, const DecodeOptions& o) {
  std::string out = "left over";
  try {
    decodeInto(bytes, def, o, out);
    return {out};
  } catch (const DecodeError&) {
    return {{}, true};
  }
}

// Responses built from a small pool of slot texts, so that the same slots
// recur (as in a real log) while everything around them varies: both cases
// of the same digits, values at the edges of the formulas (00, 7F, 80, FF),
// non-hex characters, blanks between or inside slots, odd lengths and
// responses too short to hold the slots a formula reads.
std::string randomData(std::mt19937& rng) {
  static const char* const kSlots[] = {"00", "01", "02", "0A", "7F", "80", "81", "FE", "FF", "ff", "Ab", "aB",
                                       "AB", "G1", "1G", "--", "10", "C8", "64", "FF", "00", "00", "80", "01"};
  static constexpr char kSingle[] = "0123456789ABCDEFaf GZ";
  const int slots = std::uniform_int_distribution<int>(0, 24)(rng);
  const bool spaced = rng() % 2;
  std::string s;
  for (int k = 0; k < slots; ++k) {
    s += kSlots[rng() % std::size(kSlots)];
    if (spaced) s += ' ';
    if (rng() % 80 == 0) s += ' ';  // a stray blank shifts the slots
  }
  if (rng() % 4 == 0) s += kSingle[rng() % (sizeof kSingle - 1)];  // odd length
  return s;
}

std::vector<std::string> formulaCodes() {
  std::vector<std::string> codes{"", "ZZ", "f", "FTX"};
  for (const auto& row : formula::rows())
    for (std::string_view s : row.spellings)
      if (!s.empty()) codes.emplace_back(s);
  return codes;
}

// Position fields: byte indexes near the front so that the slots exist,
// whole bytes and every bit selector, non-hex halves and short fields.
std::vector<std::string> positions() {
  std::vector<std::string> list{"", "0", "050", "QQ00", "03QQ", "0G08"};
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (int index : {0, 1, 2, 3, 5, 8, 0x0B, 0x0E, 0x14, 0x1F})
    for (const char* bits : {"00", "08", "0B", "0F", "10", "03", "1F"})
      list.push_back(std::string{kHex[index >> 4], kHex[index & 15]} + bits);
  return list;
}

struct Tally {
  long hits = 0;        // responses whose key had been seen before
  long uncached = 0;    // responses of definitions without keys
};

// Decodes `responses` for one definition and checks that equal keys give
// equal outcomes, and that no keyed decode raises an error.
void checkDefinition(const PreparedDefinition& def, const DecodeOptions& options,
                     const std::vector<ResponseBytes>& responses, Tally& tally) {
  const ValueKeyPlan plan(def, options.inversion);
  std::map<std::uint64_t, std::pair<Outcome, std::size_t>> seen;
  for (std::size_t r = 0; r < responses.size(); ++r) {
    const Outcome now = decode(responses[r], def, options);
    const std::uint64_t key = plan.key(responses[r]);
    if (key == kNoValueKey) {
      ++tally.uncached;
      continue;
    }
    ASSERT_FALSE(now.raised) << "a keyed decode raised: " << def.requestCode << "/" << def.positionField << "/"
                             << def.formulaCode << " data " << responses[r].compact;
    const auto [it, fresh] = seen.try_emplace(key, now, r);
    if (fresh) continue;
    ++tally.hits;
    ASSERT_EQ(now, it->second.first) << "key " << std::hex << key << " of " << def.requestCode << "/"
                                     << def.positionField << "/" << def.formulaCode << " inversion "
                                     << options.inversion << " mark " << options.decimalMark << ": data "
                                     << responses[r].compact << " vs " << responses[it->second.second].compact;
  }
}

std::vector<ResponseBytes> randomResponses(std::mt19937& rng, int count) {
  std::vector<ResponseBytes> responses;
  for (int i = 0; i < count; ++i) responses.emplace_back(randomData(rng));
  return responses;
}

TEST(ValueKeys, EqualKeysGiveEqualTextsForEveryFormulaCode) {
  std::mt19937 rng(20261208);
  const auto responses = randomResponses(rng, 600);
  Tally tally;
  for (const bool inversion : {false, true})
    for (const char mark : {'.', ','})
      for (const std::string& code : formulaCodes())
        for (const std::string& position : positions()) {
          const PreparedDefinition def("2101", position, code);
          checkDefinition(def, DecodeOptions{inversion, mark}, responses, tally);
          if (HasFatalFailure()) return;
        }
  // Keys must recur for the check to mean anything; raw data has no key.
  EXPECT_GT(tally.hits, 100'000);
  EXPECT_GT(tally.uncached, 0);
}

TEST(ValueKeys, EqualKeysGiveEqualTextsForStatusRequests) {
  std::mt19937 rng(7);
  const auto responses = randomResponses(rng, 800);
  const std::vector<std::string> requests{"0100", "1100", "1200", "1300", "0120", "1120", "0140", "1140", "01A0",
                                          "01B0", "01C0", "01E0", "0101", "0103", "0112", "0113", "011C", "011D",
                                          "011E", "01B2", "01B3", "01B7", "01B8", "01BB", "01D3", "01D5", "01E2",
                                          "01E3", "01E6", "01E8", "01E9", "01EA", "01EB", "01EC", "01ED", "01F8",
                                          "01F9", "01FB", "01EF", "0105", "", "2101"};
  Tally tally;
  for (const bool inversion : {false, true})
    for (const char mark : {'.', ','})
      for (const std::string& request : requests)
        for (const std::string& position : positions()) {
          const PreparedDefinition def(request, position, "");
          checkDefinition(def, DecodeOptions{inversion, mark}, responses, tally);
          if (HasFatalFailure()) return;
        }
  EXPECT_GT(tally.hits, 100'000);
  EXPECT_GT(tally.uncached, 0);
}

// The keys tell apart what the texts tell apart: for formulas that read a
// slot's characters, two responses differing only in that slot's case must
// not share a key, and a value change in a slot read must change the key.
struct KeyCase {
  const char* what;
  const char* code;
  const char* position;
  const char* dataA;
  const char* dataB;
  bool inversion;
};

TEST(ValueKeys, KeysSeparateTheInputsTheTextsDependOn) {
  const KeyCase cases[] = {
      {"hex copy keeps the case", "FH", "0100", "00ab", "00AB", false},
      {"byte value", "FT", "0000", "10", "11", false},
      {"absent against present slot", "FT", "0200", "0000", "000000", false},
      {"one digit against two", "FT", "0000", "1", "01", false},
      {"word low byte", "FO", "0000", "0102", "0103", false},
      {"word with inversion reads the byte before", "FO", "0000", "0102", "0202", true},
      {"four-byte check: non-hex byte", "FR", "0000", "01020304", "0102GG04", false},
      {"four-byte check: non-hex second byte", "FR", "0000", "01020344", "010203G4", false},
      {"four-byte value", "C1", "0000", "01020304", "01020305", false},
      {"ratio divisor", "CI", "0000", "0102", "0103", false},
      {"ratio divisor with inversion", "CI", "0000", "010203", "010204", true},
      {"byte ten places on", "v7", "0000", "0102030405060708090A0B0C", "0102030405060708090AFF0C", false},
      {"status byte F", "01B3", "0500", "000000000001", "000000000002", false},
  };
  for (const KeyCase& c : cases) {
    const std::string request = std::string(c.code).size() == 4 ? c.code : "2101";
    const std::string code = std::string(c.code).size() == 4 ? "" : c.code;
    const PreparedDefinition def(request, c.position, code);
    const ValueKeyPlan plan(def, c.inversion);
    const ResponseBytes a(c.dataA), b(c.dataB);
    const DecodeOptions options{c.inversion, '.'};
    EXPECT_NE(decode(a, def, options), decode(b, def, options)) << c.what << ": the texts must differ";
    EXPECT_NE(plan.key(a), plan.key(b)) << c.what;
    EXPECT_NE(plan.key(a), kNoValueKey) << c.what;
  }
}

TEST(ValueCacheTable, StoresFindsAndReplaces) {
  ValueCache cache;
  std::uint64_t handle = 0;
  EXPECT_FALSE(cache.find(0, handle));
  EXPECT_FALSE(cache.find(12345, handle));
  for (std::uint64_t key = 0; key < 5000; ++key) {
    cache.store(key, key * 3 + 1);
    ASSERT_TRUE(cache.find(key, handle));
    EXPECT_EQ(handle, key * 3 + 1);
  }
  // A direct-mapped table holds at most one key per entry: later keys push
  // out earlier ones, and never answer for them.
  long found = 0;
  for (std::uint64_t key = 0; key < 5000; ++key)
    if (cache.find(key, handle)) {
      ++found;
      EXPECT_EQ(handle, key * 3 + 1);
    }
  EXPECT_LE(found, static_cast<long>(ValueCache::kEntries));
  EXPECT_GT(found, 0);
  EXPECT_FALSE(cache.find(kNoValueKey, handle));
}

}  // namespace
}  // namespace tervolin
