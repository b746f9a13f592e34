#include "common/number_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "common/text.h"

namespace tervolin {
namespace {

using u128 = unsigned __int128;

constexpr int kMaxPrecision = 40;
constexpr int kMaxDigits = 40;

constexpr u128 pow10u(int n) {
  u128 r = 1;
  for (int k = 0; k < n; ++k) r *= 10;
  return r;
}

// Powers of ten that are exact doubles (10^0 .. 10^22).
constexpr double kPow10d[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Nearest doubles to 10^-1 .. 10^-30 (index k holds 10^-k).
constexpr double kNegPow10d[31] = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                                   1e-8,  1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15,
                                   1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22, 1e-23,
                                   1e-24, 1e-25, 1e-26, 1e-27, 1e-28, 1e-29, 1e-30};

// Decimal exponent of the leading digit of a > 0 (floor of log10), within
// [-31, 23]; values outside that range report the bound, which only sends
// them to the exact path. A value equal to the double nearest a negative
// power of ten may be counted one too high; the digits kept are the same.
int leadingExponent(double a) {
  if (a >= 1) {
    if (a >= 1e23) return 23;
    // floor(log10(2^b)) for the binary exponent b, then at most one step up.
    const int b = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7FF) - 1023;
    int e = (b * 78913) >> 18;
    if (e < 22 && a >= kPow10d[e + 1]) ++e;
    return e;
  }
  int k = 1;
  while (k <= 30 && a < kNegPow10d[k]) ++k;
  return -k;
}

// round(a * 10^d) with halves away from zero, computed exactly on the binary
// value of a. False when the result does not fit 64 bits.
bool scaledRound(double a, int d, std::uint64_t& result) {
  const auto bits = std::bit_cast<std::uint64_t>(a);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int ex;
  if (biased == 0) {
    ex = -1074;
  } else {
    m |= std::uint64_t{1} << 52;
    ex = biased - 1075;
  }
  const u128 t = static_cast<u128>(m) * pow10u(d);  // < 2^53 * 10^22 < 2^127
  u128 q;
  if (ex >= 0) {
    if (ex > 63 || (t >> (127 - ex)) != 0) return false;
    q = t << ex;
  } else {
    const int s = -ex;
    if (s >= 128) {
      q = 0;  // t / 2^s < 2^127 / 2^128 = 0.5
    } else {
      q = t >> s;
      const u128 r = t - (q << s);
      if (r >= (u128{1} << (s - 1))) ++q;
    }
  }
  if (q >> 64) return false;
  result = static_cast<std::uint64_t>(q);
  return true;
}

// The exact decimal digits of a > 0: a = 0.d1d2d3... * 10^(exp10 + 1),
// i.e. the first digit has weight 10^exp10. Trailing zeros are dropped.
void exactDigits(double a, std::string& digits, int& exp10) {
  // 767 significant digits represent every double exactly.
  char buf[800];
  const auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 770);
  const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t e = text.find('e');
  digits.clear();
  for (std::size_t k = 0; k < e; ++k)
    if (text[k] != '.') digits += text[k];
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  exp10 = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exp10);
}

// Rounds the digit string (first digit weight 10^exp10) so that no digit of
// weight below 10^lowest remains, halves away from zero. Returns the kept
// digits (possibly "1" followed by zeros after a carry) and updates exp10;
// an empty string means the value rounded to zero.
std::string roundDigits(const std::string& digits, int& exp10, int lowest) {
  const long keep = static_cast<long>(exp10) - lowest + 1;  // digits kept
  if (keep < 0) return {};
  if (keep >= static_cast<long>(digits.size())) return digits;
  std::string kept = digits.substr(0, static_cast<std::size_t>(keep));
  if (digits[static_cast<std::size_t>(keep)] >= '5') {
    int k = static_cast<int>(kept.size()) - 1;
    while (k >= 0 && kept[static_cast<std::size_t>(k)] == '9') kept[static_cast<std::size_t>(k--)] = '0';
    if (k >= 0) {
      ++kept[static_cast<std::size_t>(k)];
    } else {
      kept.insert(kept.begin(), '1');
      ++exp10;
    }
  } else if (kept.empty()) {
    return {};
  }
  return kept;
}

void appendExponent(std::string& out, int exp10) {
  out += 'E';
  out += exp10 < 0 ? '-' : '+';
  char buf[8];
  const auto res = std::to_chars(buf, buf + sizeof buf, exp10 < 0 ? -exp10 : exp10);
  const auto len = static_cast<std::size_t>(res.ptr - buf);
  if (len < 3) out.append(3 - len, '0');
  out.append(buf, len);
}

// round(a / 10^k) with halves away from zero, exactly, for k >= 1. False
// when the 128-bit arithmetic cannot hold it.
bool scaledRoundDown(double a, int k, std::uint64_t& result) {
  if (k > 38) return false;
  const auto bits = std::bit_cast<std::uint64_t>(a);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0) return false;
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int ex = biased - 1075;
  const u128 p = pow10u(k);
  u128 numerator = m, denominator = p;
  if (ex >= 0) {
    if (ex > 74) return false;
    numerator = static_cast<u128>(m) << ex;
  } else {
    if (-ex > 127 || (p >> (127 + ex)) != 0) return false;
    denominator = p << -ex;
  }
  u128 q = numerator / denominator;
  const u128 r = numerator - q * denominator;
  if (r >= denominator - r) ++q;
  if (q >> 64) return false;
  result = static_cast<std::uint64_t>(q);
  return true;
}

// Exponent form with `precision` significant digits: "1.0000E+005".
std::string exponentText(bool negative, double a, int precision, char mark) {
  std::string kept;
  int exp10 = leadingExponent(a);
  std::uint64_t n = 0;
  const int k = exp10 - precision + 1;  // the digit of weight 10^k is the last one kept
  if (precision <= 18 && exp10 >= 0 && exp10 < 23 &&
      (k >= 1 ? scaledRoundDown(a, k, n) : scaledRound(a, -k, n))) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    kept.assign(buf, res.ptr);
    if (static_cast<int>(kept.size()) > precision) ++exp10;  // carried to 10^precision
  } else {
    std::string digits;
    exactDigits(a, digits, exp10);
    kept = roundDigits(digits, exp10, exp10 - precision + 1);
  }
  kept.resize(static_cast<std::size_t>(precision), '0');
  std::string out;
  if (negative) out += '-';
  out += kept[0];
  if (precision > 1) {
    out += mark;
    out.append(kept, 1, std::string::npos);
  }
  appendExponent(out, exp10);
  return out;
}

// The exact road for every case the 64-bit road cannot take.
std::string fixedTextExact(bool negative, double a, int precision, int digitsAfter, char mark) {
  std::string digits;
  int exp10;
  exactDigits(a, digits, exp10);
  if (exp10 + 1 > precision) return exponentText(negative, a, precision, mark);
  const int decimals = std::min(digitsAfter, precision - 1 - exp10);
  int roundedExp = exp10;
  std::string kept = roundDigits(digits, roundedExp, -decimals);
  if (kept.empty()) roundedExp = -decimals - 1;
  if (roundedExp + 1 > precision) return exponentText(negative, a, precision, mark);
  // Place the kept digits on a grid from 10^max(roundedExp,0) down to 10^-digitsAfter.
  std::string out;
  if (negative && !kept.empty()) out += '-';
  auto digitAt = [&](int weight) -> char {
    const long idx = static_cast<long>(roundedExp) - weight;
    if (idx < 0 || idx >= static_cast<long>(kept.size())) return '0';
    return kept[static_cast<std::size_t>(idx)];
  };
  for (int w = std::max(roundedExp, 0); w >= 0; --w) out += digitAt(w);
  if (digitsAfter > 0) {
    out += mark;
    for (int w = -1; w >= -digitsAfter; --w) out += digitAt(w);
  }
  return out;
}

}  // namespace

std::string fixedText(double value, int precision, int digits, char decimalMark) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  precision = std::clamp(precision, 1, kMaxPrecision);
  digits = std::clamp(digits, 0, kMaxDigits);
  const bool negative = std::signbit(value);
  const double a = std::fabs(value);

  std::uint64_t n = 0;
  int decimals = 0;
  if (a != 0) {
    const int e = leadingExponent(a);
    if (e + 1 > precision) return exponentText(negative, a, precision, decimalMark);
    decimals = std::min(digits, precision - 1 - e);
    if (decimals > 22 || e < -30 || !scaledRound(a, decimals, n) || n >= 10'000'000'000'000'000'000u)
      return fixedTextExact(negative, a, precision, digits, decimalMark);
  }
  // n / 10^decimals is the rounded magnitude.
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, n);
  const int len = static_cast<int>(res.ptr - buf);
  const int intLen = std::max(len - decimals, 0);
  if (intLen > precision) return exponentText(negative, a, precision, decimalMark);

  // Build in a local buffer: sign, integer digits, mark, decimals.
  char text[128];
  char* w = text;
  if (negative && n != 0) *w++ = '-';
  if (intLen == 0) {
    *w++ = '0';
  } else {
    std::memcpy(w, buf, static_cast<std::size_t>(intLen));
    w += intLen;
  }
  if (digits > 0) {
    *w++ = decimalMark;
    // Fraction digits of n, left-padded with zeros to `decimals`, then zeros.
    const int fracLen = len - intLen;
    std::memset(w, '0', static_cast<std::size_t>(decimals - fracLen));
    w += decimals - fracLen;
    std::memcpy(w, buf + intLen, static_cast<std::size_t>(fracLen));
    w += fracLen;
    std::memset(w, '0', static_cast<std::size_t>(digits - decimals));
    w += digits - decimals;
  }
  return std::string(text, w);
}

std::string generalText(double value, char decimalMark) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  constexpr int kGeneralDigits = 15;
  std::string digits;
  int exp10 = 0;
  exactDigits(std::fabs(value), digits, exp10);
  std::string kept = roundDigits(digits, exp10, exp10 - kGeneralDigits + 1);
  while (kept.size() > 1 && kept.back() == '0') kept.pop_back();
  std::string out = value < 0 ? "-" : "";
  if (exp10 >= kGeneralDigits || exp10 < -5) {
    out += kept[0];
    if (kept.size() > 1) {
      out += decimalMark;
      out.append(kept, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exp10);
    return out;
  }
  if (exp10 < 0) {
    out += '0';
    out += decimalMark;
    out.append(static_cast<std::size_t>(-exp10 - 1), '0');
    out += kept;
    return out;
  }
  const auto intDigits = static_cast<std::size_t>(exp10) + 1;
  if (kept.size() <= intDigits) {
    out += kept;
    out.append(intDigits - kept.size(), '0');
  } else {
    out.append(kept, 0, intDigits);
    out += decimalMark;
    out.append(kept, intDigits, std::string::npos);
  }
  return out;
}

std::string intText(std::int64_t value) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

std::string groupedIntText(std::int64_t value) {
  const std::string digits = intText(value);
  const std::size_t sign = digits.front() == '-' ? 1 : 0;
  std::string out = digits.substr(0, sign);
  for (std::size_t i = sign; i < digits.size(); ++i) {
    if (i > sign && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return out;
}

std::optional<double> parseNumber(std::string_view text, char decimalMark) {
  std::size_t k = 0;
  const std::size_t n = text.size();
  const bool negative = k < n && text[k] == '-';
  if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
  // The digits as one integer while they fit, and how many follow the mark.
  std::uint64_t mantissa = 0;
  std::size_t digitCount = 0, decimals = 0;
  auto digit = [&](char c) {
    if (digitCount < 19) mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    ++digitCount;
  };
  while (k < n && text[k] >= '0' && text[k] <= '9') digit(text[k++]);
  std::size_t markAt = std::string_view::npos;
  if (k < n && text[k] == decimalMark) {
    markAt = k++;
    while (k < n && text[k] >= '0' && text[k] <= '9') digit(text[k++]), ++decimals;
  }
  if (digitCount == 0) return std::nullopt;
  bool exponent = false;
  if (k < n && (text[k] == 'e' || text[k] == 'E')) {
    exponent = true;
    ++k;
    if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
    const std::size_t expStart = k;
    while (k < n && text[k] >= '0' && text[k] <= '9') ++k;
    if (k == expStart) return std::nullopt;
  }
  if (k != n) return std::nullopt;

  // An integer below 2^53 and a power of ten up to 10^22 are exact doubles,
  // so their quotient is the correctly rounded value, as from_chars gives.
  if (!exponent && digitCount <= 19 && mantissa <= (std::uint64_t{1} << 53) && decimals <= 22) {
    const double value = static_cast<double>(mantissa) / kPow10d[decimals];
    return negative ? -value : value;
  }

  // from_chars takes no leading '+' and only '.' as the mark.
  std::string plain(text.substr(text[0] == '+' ? 1 : 0));
  if (markAt != std::string_view::npos) plain[markAt - (text[0] == '+' ? 1 : 0)] = '.';
  double value = 0;
  const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (res.ec != std::errc() || res.ptr != plain.data() + plain.size()) return std::nullopt;
  return value;
}

std::int64_t roundedQuotient(std::int64_t n, std::int64_t d) {
  std::int64_t q = n / d;
  std::int64_t r = n % d;
  if (r < 0) {  // floor division, so the remainder lies in [0, d)
    --q;
    r += d;
  }
  if (2 * r > d || (2 * r == d && (q & 1) != 0)) ++q;
  return q;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::size_t start = 0;
  if (text[0] == '+') {
    start = 1;
    if (text.size() > 1 && text[1] == '-') return std::nullopt;
  }
  std::int64_t value = 0;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  if (first == last) return std::nullopt;
  const auto res = std::from_chars(first, last, value);
  if (res.ec != std::errc() || res.ptr != last) return std::nullopt;
  return value;
}

std::optional<double> parseNumberEitherMark(std::string_view text, char decimalMark) {
  for (const char mark : {decimalMark, '.', ','})
    if (const auto value = parseNumber(text, mark)) return value;
  return std::nullopt;
}

std::optional<double> yn(std::string_view valueText, char decimalMark) {
  if (valueText == kYesText) return 1.0;
  if (valueText == kNoText) return 0.0;
  return parseNumber(valueText, decimalMark);
}

}  // namespace tervolin
