#pragma once
// The per-response decoding path of the readers: a response's data is split
// into byte slots once, each definition is prepared once (formula looked up,
// position field read), and every pair then decodes without re-parsing.
// decodeInto gives exactly the text DecodeDan gives for the same inputs.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decode_dan.h"

namespace tervolin {

// Byte slots kept per response; data beyond them is ignored by the formulas.
inline constexpr std::size_t kSlotCapacity = 2049;

// Byte slots of a blank-free data text of `length` characters: half the
// length, halves rounded to the even number, at most kSlotCapacity.
constexpr std::size_t slotCountFor(std::size_t length) {
  std::size_t n = length / 2;
  if (length % 2 == 1 && n % 2 == 1) ++n;
  return n < kSlotCapacity ? n : kSlotCapacity;
}

// The byte slots of one response (blanks removed, split into two-character
// slots, at most 2049 of them).
class ResponseBytes {
 public:
  ResponseBytes() = default;
  explicit ResponseBytes(std::string_view data) { assign(data); }
  void assign(std::string_view data);

  // Implementation-defined layout; see decode_fast.cpp.
  std::string compact;                  // data without blanks (all of it)
  std::size_t slotCount = 0;            // slots 0..slotCount-1 hold text
  std::vector<std::int16_t> slotValue;  // value of each slot, -1 when not hex
  std::vector<std::uint32_t> slotKey;   // each slot's text: length (1 or 2) << 16, then its characters
  bool lastSlotShort = false;           // the last slot holds one character
  std::array<int, 6> fixed{};           // A..F (0 when absent or not hex)

 private:
  // The fast road of assign() for data in pairs; false (and a half-done
  // assignment) for any other form.
  bool assignPairs(std::string_view data);

 public:

  // Slot k's text as slotKey holds it; 0 when absent.
  std::uint32_t slotText(long k) const {
    return k < 0 || static_cast<std::size_t>(k) >= slotCount ? 0 : slotKey[static_cast<std::size_t>(k)];
  }
  // Length of slot k's text: 0 when absent.
  int slotLength(long k) const {
    if (k < 0 || static_cast<std::size_t>(k) >= slotCount) return 0;
    return lastSlotShort && static_cast<std::size_t>(k) + 1 == slotCount ? 1 : 2;
  }
};

class PreparedDefinition {
 public:
  PreparedDefinition(std::string_view requestCode, std::string_view positionField, std::string_view formulaCode);

  std::string requestCode;
  std::string positionField;
  std::string formulaCode;
  // Filled by the constructor (formula looked up once, position field read).
  int formula = -1;        // index of the formula in the catalogue, -1 when none
  int byteIndex = -1;      // -1 when the index is not hex
  int bitSelector = -1;       // -1 when the last two characters are not hex
  int positionCode = 0;
  bool shortPosition = false;  // position field under 4 characters
  int statusRequest = -1;      // index of the status request, -1 for raw data
};

// Replaces `out` with the value text; throws DecodeError exactly where
// DecodeDan does.
void decodeInto(const ResponseBytes& data, const PreparedDefinition& definition, const DecodeOptions& options,
                std::string& out);

}  // namespace tervolin
