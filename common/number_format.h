#pragma once
// Numbers as the program writes and reads them. The decimal mark is part of
// the application state (the user's locale at start-up) and is passed in.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/text.h"

namespace tervolin {

// Fixed text P/D: rounded to at most `precision` significant digits and at
// most `digits` decimals (whichever keeps fewer), halves away from zero on
// the exact value; exactly `digits` decimals written; no "-0"; exponent form
// when more than `precision` integer digits are needed.
std::string fixedText(double value, int precision, int digits, char decimalMark);

// General text, the default conversion of a number to text: rounded to at
// most 15 significant digits (halves away from zero), trailing zeros dropped;
// fixed notation while the rounded value is at least 0.00001 and has at most
// 15 integer digits, otherwise the exponent form with the least exponent
// digits ("1E20", "1.5E-7"). 0 is "0".
std::string generalText(double value, char decimalMark);

// Integer text: decimal digits with "-" before negative numbers.
std::string intText(std::int64_t value);

// The same with the digits grouped in threes by a blank, as counts are shown
// to the user ("1 234 567").
std::string groupedIntText(std::int64_t value);

// Strict parse: the whole text must be a decimal number in the notation of
// `decimalMark` (optional sign, digits, optional mark and digits, optional
// exponent). No value otherwise.
std::optional<double> parseNumber(std::string_view text, char decimalMark);

// The same for numbers written by other programs on machines of any locale:
// the text may use `decimalMark`, '.' or ',' as its mark (never two of them:
// the parse stays strict).
std::optional<double> parseNumberEitherMark(std::string_view text, char decimalMark);

// The flag texts of decoded values.
inline constexpr std::string_view kYesText = "Да"_w;
inline constexpr std::string_view kNoText = "Нет"_w;

// A value text read as a number the way charts and exports read table cells
// (`yn`): "Да" is 1, "Нет" is 0, any other text must be a number in the
// notation of `decimalMark` (strict, as parseNumber).
std::optional<double> yn(std::string_view valueText, char decimalMark);

// n / d (d > 0) rounded to the nearest whole number, halves to the even one.
std::int64_t roundedQuotient(std::int64_t n, std::int64_t d);

// Strict parse of a decimal integer (optional sign). No value otherwise or on
// overflow.
std::optional<std::int64_t> parseInteger(std::string_view text);

}  // namespace tervolin
