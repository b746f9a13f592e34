#pragma once
// Generated logs of the side formats: XML scan logs (one entry per response
// of the simulated drive) and CSV logs (one line per moment). Deterministic:
// the same call gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/loggen/profiles.h"

namespace tervolin::loggen {

// An XML scan log: a declaration, a comment, then the root with one entry
// per polled request: its response element carries "sID", "Data" (the
// identifier byte, then the data bytes) and "TimeStamp". Now and then the
// ECU refuses a request (sID 7F) and the tool writes a mark entry without a
// child. `poll` holds request codes without blanks, polled in turn.
std::string xmlScanLog(const Profile& profile, const std::vector<std::string>& poll, std::size_t entries,
                       std::uint32_t seed);

enum class CsvStyle {
  Semicolon,     // ';' separated, decimal commas, "Да"/"Нет" flags, Russian headings
  ExportLayout,  // ',' separated, points, the LogID/LogEntryDate/... columns first
};

// A CSV log of `rows` moments of a drive, every field ended by the separator,
// CR LF line ends.
std::string csvLog(CsvStyle style, std::size_t rows, std::uint32_t seed);

}  // namespace tervolin::loggen
