#pragma once
// Readable texts of the OBD-II service 01 status requests, for definitions
// without a formula code: supported-PID lists, lamp and monitors, fuel
// system, secondary air, oxygen sensors present, OBD standard and the flags
// and values of the higher PIDs. Any other request shows the raw data.

#include <array>
#include <string>
#include <string_view>

namespace tervolin::status {

struct Inputs {
  std::array<int, 6> bytes{};  // A..F: slots 0..5, 0 when empty or not hex
  int positionCode = 0;        // K
  int byteIndex = -1;          // -1 when the position field's index is not hex
  int slotValue = -1;          // value of slot byteIndex; -1 when empty or not hex
  std::string_view compact;    // the data without blanks
  char mark = '.';
};

// Index of the status request `requestCode` names exactly, -1 for any other
// code (the raw data is shown then).
int find(std::string_view requestCode);

// Replaces `out` with the text of request `request` (-1: the raw data); an
// empty text when the value has none. Throws DecodeError when "01B2" finds
// no hex byte at the definition's index.
void interpret(int request, const Inputs& in, std::string& out);

}  // namespace tervolin::status
