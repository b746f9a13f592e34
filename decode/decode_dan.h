#pragma once
// Response decoding: the data bytes of one ECU response and one parameter
// definition in, the value text of that parameter out (Windows-1251).

#include <stdexcept>
#include <string>
#include <string_view>

namespace tervolin {

struct DecodeOptions {
  bool inversion = false;  // byte-order inversion of two- and four-byte values
  char decimalMark = '.';
};

// Raised by the one status read that cannot be turned into a text ("01B2"
// with an empty or non-hex byte at the definition's index).
class DecodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The value text of one parameter. Empty when the formula gives no value.
// Throws DecodeError as above; the formula road never throws.
std::string DecodeDan(std::string_view data, std::string_view requestCode, std::string_view positionField,
                      std::string_view formulaCode, const DecodeOptions& options);

}  // namespace tervolin
