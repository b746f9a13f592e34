#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "common/number_format.h"
#include "common/text.h"

namespace tervolin {
namespace {

struct FixedCase {
  double value;
  int precision, digits;
  std::string_view expected;
};

constexpr FixedCase kFixed[] = {
    {16383.75, 8, 0, "16384"},
    {99.21875, 4, 2, "99.22"},
    {-100, 6, 2, "-100.00"},
    {0.5, 5, 3, "0.500"},
    {-0.004, 8, 2, "0.00"},
    {-0.0, 8, 2, "0.00"},
    {0, 8, 0, "0"},
    {6.5, 8, 0, "7"},
    {-6.5, 8, 0, "-7"},
    {7.5, 8, 0, "8"},              // not to even
    {0.125, 8, 2, "0.13"},         // an exact binary half
    {-0.125, 8, 2, "-0.13"},
    {2.675, 8, 2, "2.67"},         // the double lies below 2.675
    {1.005, 8, 2, "1.00"},         // likewise below 1.005
    {0.045, 8, 2, "0.04"},         // below 0.045
    {0.0450000001, 8, 2, "0.05"},
    {12345.678, 6, 2, "12345.70"},  // six significant digits keep one decimal
    {123456.7, 6, 2, "123457.00"},
    {999999.6, 6, 2, "1.00000E+006"},  // rounding carries past P digits
    {1234567.0, 6, 2, "1.23457E+006"},
    {100000, 5, 1, "1.0000E+005"},
    {-100000, 5, 1, "-1.0000E+005"},
    {408741561.6, 8, 2, "4.0874156E+008"},
    {1e300, 8, 2, "1.0000000E+300"},
    {5, 1, 0, "5"},
    {15, 1, 0, "2E+001"},
    {63.5, 5, 3, "63.500"},
    {-64, 5, 1, "-64.0"},
    {0.001234, 2, 8, "0.00120000"},
    {9.9996, 4, 3, "10.000"},
    {0.000001, 8, 3, "0.000"},
    {5e-324, 8, 3, "0.000"},
    {0.0005, 8, 3, "0.001"},       // the double is just above 0.0005
    {-2.8125, 10, 4, "-2.8125"},
    {1367.57945, 10, 4, "1367.5794"},  // the double lies below the half
};

TEST(FixedText, RoundsAndWritesAsTheTablesShowThem) {
  for (const FixedCase& c : kFixed)
    EXPECT_EQ(fixedText(c.value, c.precision, c.digits, '.'), c.expected)
        << c.value << " as " << c.precision << "/" << c.digits;
}

TEST(FixedText, UsesTheDecimalMark) {
  EXPECT_EQ(fixedText(99.21875, 4, 2, ','), "99,22");
  EXPECT_EQ(fixedText(-0.5, 5, 3, ','), "-0,500");
  EXPECT_EQ(fixedText(100000, 5, 1, ','), "1,0000E+005");
  EXPECT_EQ(fixedText(16383.75, 8, 0, ','), "16384");
}

TEST(FixedText, NonFiniteValuesAreNamed) {
  EXPECT_EQ(fixedText(std::numeric_limits<double>::quiet_NaN(), 8, 2, '.'), "NAN");
  EXPECT_EQ(fixedText(std::numeric_limits<double>::infinity(), 8, 2, '.'), "INF");
  EXPECT_EQ(fixedText(-std::numeric_limits<double>::infinity(), 8, 2, '.'), "-INF");
}

// Reference: the exact decimal expansion of the double, rounded by hand.
std::string reference(double v, int p, int d) {
  char buf[1200];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, 1080);
  std::string s(buf, r.ptr);
  const std::size_t dot = s.find('.');
  std::string digits = s.substr(0, dot) + s.substr(dot + 1);
  int intLen = static_cast<int>(dot);
  // Leading-digit weight: count integer digits, or leading zeros after the dot.
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return d > 0 ? "0." + std::string(d, '0') : "0";
  const int lead = intLen - 1 - static_cast<int>(first);
  if (lead + 1 > p) {
    // Exponent form: p significant digits.
    std::string m = digits.substr(first, p);
    m.resize(p, '0');
    int e = lead;
    if (first + p < digits.size() && digits[first + p] >= '5') {
      int k = p - 1;
      while (k >= 0 && m[k] == '9') m[k--] = '0';
      if (k < 0) m.insert(m.begin(), '1'), m.pop_back(), ++e;
      else ++m[k];
    }
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%03d", e < 0 ? '-' : '+', std::abs(e));
    return (v < 0 ? "-" : "") + m.substr(0, 1) + (p > 1 ? "." + m.substr(1) : "") + exp;
  }
  const int keep = std::min(d, p - 1 - lead);  // decimals kept
  std::string kept = digits.substr(0, intLen + keep);
  if (digits[intLen + keep] >= '5') {
    int k = static_cast<int>(kept.size()) - 1;
    while (k >= 0 && kept[k] == '9') kept[k--] = '0';
    if (k < 0) kept.insert(kept.begin(), '1'), ++intLen;
    else ++kept[k];
  }
  std::string ip = kept.substr(0, intLen);
  ip.erase(0, std::min(ip.find_first_not_of('0'), ip.size() - 1));
  if (static_cast<int>(ip.size()) > p) return "carry";
  std::string fp = kept.substr(intLen) + std::string(d - keep, '0');
  const bool zero = kept.find_first_not_of('0') == std::string::npos;
  return (v < 0 && !zero ? "-" : "") + ip + (d > 0 ? "." + fp : "");
}

TEST(FixedText, AgreesWithTheExactExpansionOnManyValues) {
  std::mt19937_64 rng(7);
  const int formats[][2] = {{8, 2}, {8, 3}, {6, 2}, {5, 3}, {5, 1}, {4, 2}, {4, 1}, {8, 0}, {10, 4}, {4, 0}};
  int checked = 0;
  for (int n = 0; n < 200000; ++n) {
    double v;
    switch (n % 5) {
      case 0: v = static_cast<double>(static_cast<std::int64_t>(rng() % 2000001) - 1000000) / 1024; break;  // binary ties
      case 1: v = static_cast<double>(rng() % 65536) * 0.005 - 100; break;
      case 2: v = std::ldexp(static_cast<double>(rng() % (1ull << 53)), -static_cast<int>(rng() % 80)); break;
      case 3: v = static_cast<double>(static_cast<std::int64_t>(rng() % 20000001) - 10000000) / 2000; break;
      default: v = std::ldexp(static_cast<double>(rng() % (1ull << 53)), static_cast<int>(rng() % 40) - 20); break;
    }
    const auto& f = formats[rng() % std::size(formats)];
    const std::string want = reference(v, f[0], f[1]);
    if (want == "carry") continue;  // rounding carried past P digits: covered by the table
    ASSERT_EQ(fixedText(v, f[0], f[1], '.'), want) << v << " as " << f[0] << "/" << f[1];
    ++checked;
  }
  EXPECT_GT(checked, 190000);
}

TEST(IntText, WritesSignAndDigits) {
  EXPECT_EQ(intText(0), "0");
  EXPECT_EQ(intText(-65408), "-65408");
  EXPECT_EQ(intText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

TEST(IntText, GroupsDigitsInThrees) {
  const std::pair<std::int64_t, std::string_view> cases[] = {
      {0, "0"},         {999, "999"},         {1000, "1 000"},       {-1000, "-1 000"},
      {20000000, "20 000 000"}, {-123456, "-123 456"},
      {std::numeric_limits<std::int64_t>::min(), "-9 223 372 036 854 775 808"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(groupedIntText(value), text) << value;
}

// Numbers written on another machine: either decimal mark, still strict.
TEST(ParseNumber, EitherMark) {
  const struct {
    std::string_view text;
    char mark;
    std::optional<double> expected;
  } cases[] = {
      {"0.25", ',', 0.25}, {"0,25", '.', 0.25}, {"0,25", ',', 0.25}, {"7", '.', 7}, {"1;5", ';', 1.5},
      {"1,5", ';', 1.5},   {"1.2,5", '.', std::nullopt}, {"1,,5", ',', std::nullopt}, {"", '.', std::nullopt},
      {"0.25 ", '.', std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parseNumberEitherMark(c.text, c.mark), c.expected) << c.text << " " << c.mark;
}

TEST(ParseNumber, IsStrict) {
  struct Case {
    std::string_view text;
    char mark;
    std::optional<double> expected;
  };
  const Case cases[] = {
      {"12.5", '.', 12.5}, {"12,5", ',', 12.5}, {"12,5", '.', std::nullopt}, {"12.5", ',', std::nullopt},
      {"-0.25", '.', -0.25}, {"+3", '.', 3.0},   {"1e3", '.', 1000.0},         {"1,5E-1", ',', 0.15},
      {"", '.', std::nullopt}, {" 1", '.', std::nullopt}, {"1 ", '.', std::nullopt}, {"-", '.', std::nullopt},
      {".", '.', std::nullopt}, {"1e", '.', std::nullopt}, {"1..2", '.', std::nullopt}, {"0x10", '.', std::nullopt},
      {"nan", '.', std::nullopt}, {"inf", '.', std::nullopt}, {"1e999", '.', std::nullopt}, {"+-1", '.', std::nullopt},
      {".5", '.', 0.5}, {"5.", '.', 5.0},
  };
  for (const Case& c : cases) EXPECT_EQ(parseNumber(c.text, c.mark), c.expected) << c.text;
}

TEST(RoundedQuotient, RoundsHalvesToTheEvenNumber) {
  struct Case {
    std::int64_t n, d, expected;
  };
  const Case cases[] = {
      {0, 6, 0},  {2, 6, 0},  {3, 6, 0},  {4, 6, 1},  {9, 6, 2},   {12, 6, 2},  {15, 6, 2},
      {21, 6, 4}, {27, 9, 3}, {13, 9, 1}, {14, 9, 2}, {22, 11, 2}, {33, 11, 3}, {-3, 6, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(roundedQuotient(c.n, c.d), c.expected) << c.n << "/" << c.d;
}

TEST(GeneralText, FifteenDigitsFixedOrExponent) {
  struct Case {
    double value;
    char mark;
    std::string_view text;
  } cases[] = {
      {50, '.', "50"},           {0.05, ',', "0,05"},      {12.5, ',', "12,5"},    {-3, '.', "-3"},
      {0, '.', "0"},             {1.0 / 3, '.', "0.333333333333333"}, {2.0 / 3, '.', "0.666666666666667"},
      {123456789012345, '.', "123456789012345"}, {1e15, '.', "1E15"}, {1.5e20, ',', "1,5E20"},
      {0.00001, '.', "0.00001"}, {0.000015, '.', "0.000015"}, {1.5e-7, '.', "1.5E-7"},
      {0.1 + 0.2, '.', "0.3"},   {999999999999999.9, '.', "1E15"},
  };
  for (const Case& c : cases) EXPECT_EQ(generalText(c.value, c.mark), c.text) << c.text;
}

TEST(ParseInteger, IsStrict) {
  EXPECT_EQ(parseInteger("42"), 42);
  EXPECT_EQ(parseInteger("-42"), -42);
  EXPECT_EQ(parseInteger("+42"), 42);
  EXPECT_EQ(parseInteger("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  for (std::string_view bad : {"", "+", "-", "+-1", "1.0", " 1", "1 ", "9223372036854775808", "0x1", "1e3"})
    EXPECT_FALSE(parseInteger(bad)) << bad;
}

TEST(Yn, ReadsFlagTextsAndNumbersInTheLocaleNotation) {
  struct Case {
    std::string_view text;
    char mark;
    std::optional<double> expected;
  };
  const Case cases[] = {
      {"Да"_w, ',', 1.0},      {"Нет"_w, '.', 0.0},      {"да"_w, ',', std::nullopt}, {"Да "_w, ',', std::nullopt},
      {"нет"_w, ',', std::nullopt}, {"12,5", ',', 12.5}, {"12.5", ',', std::nullopt}, {"-3", '.', -3.0},
      {"", '.', std::nullopt}, {"Не используется"_w, '.', std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(yn(c.text, c.mark), c.expected) << c.text;
}

}  // namespace
}  // namespace tervolin


namespace tervolin {
namespace {

// The short road for plain decimals gives exactly what from_chars gives.
TEST(ParseNumber, PlainDecimalsReadAsFromChars) {
  std::mt19937_64 rng(42);
  for (int round = 0; round < 200000; ++round) {
    std::string text;
    if (rng() % 3 == 0) text += '-';
    const int intDigits = static_cast<int>(rng() % 18), fracDigits = static_cast<int>(rng() % 24);
    for (int k = 0; k < intDigits; ++k) text += static_cast<char>('0' + rng() % 10);
    if (fracDigits > 0 || intDigits == 0) {
      text += ',';
      for (int k = 0; k < std::max(fracDigits, 1); ++k) text += static_cast<char>('0' + rng() % 10);
    }
    std::string plain = text;
    for (char& c : plain)
      if (c == ',') c = '.';
    double want = 0;
    std::from_chars(plain.data(), plain.data() + plain.size(), want);
    const auto got = parseNumber(text, ',');
    ASSERT_TRUE(got) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(*got), std::bit_cast<std::uint64_t>(want)) << text;
  }
}

}  // namespace
}  // namespace tervolin
