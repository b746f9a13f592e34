#pragma once
// The per-response decoding path of the readers: a response's data is split
// into byte slots once, each definition is prepared once (formula looked up,
// position field read), and every pair then decodes without re-parsing.
// decodeInto gives exactly the text DecodeDan gives for the same inputs.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decode_dan.h"

namespace tervolin {

// The byte slots of one response (blanks removed, split into two-character
// slots, at most 2049 of them).
class ResponseBytes {
 public:
  ResponseBytes() = default;
  explicit ResponseBytes(std::string_view data) { assign(data); }
  void assign(std::string_view data);

  // Implementation-defined layout; see decode_fast.cpp.
  std::string compact;                 // data without blanks
  std::size_t slotCount = 0;
  std::vector<std::int16_t> slotValue;  // 0..255, or -1 when absent or not hex
  std::int16_t fixed[6] = {0, 0, 0, 0, 0, 0};  // A..F (0 when absent or not hex)
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
  int bitSelector = 0;
  int positionCode = 0;
  bool shortPosition = false;  // position field under 4 characters
  int statusRequest = -1;      // index of the status request, -1 for raw data
};

// Replaces `out` with the value text; throws DecodeError exactly where
// DecodeDan does.
void decodeInto(const ResponseBytes& data, const PreparedDefinition& definition, const DecodeOptions& options,
                std::string& out);

}  // namespace tervolin
