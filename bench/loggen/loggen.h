#pragma once
// Generator of realistic diagnostic logs of our own: the bundled sample
// program folder (profiles, definition and formula files, demo logs of every
// kind) and the large benchmark log. Deterministic: the same call gives the
// same bytes. All text is Windows-1251 with CRLF line ends.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/loggen/profiles.h"

namespace tervolin::loggen {

// One generated file: path inside the program folder ('/'-separated) and bytes.
struct GeneratedFile {
  std::string path;
  std::string bytes;
};

// How request and response lines are written.
enum class LineStyle {
  TxdRxd,       // "[12:00:01.250] TxD 82 10 F1 21 01 A5" / "... RxD 84 F1 10 61 01 ..."
  ZaprosOtvet,  // "[12:00:01.250] Запрос: 82 10 F1 ..." / "... Ответ: 84 F1 10 ..."
  Adapter,      // through an ELM adapter: "TxD 01 0C" / "RxD 41 0C 1A F8"
};

// One demo log: which profile answers, how the lines look, how long it runs.
struct LogPlan {
  std::string profile;
  LineStyle style = LineStyle::TxdRxd;
  bool lengthByte = false;     // responses carry a length byte (format byte 0x80)
  int requests = 600;          // requests polled during the drive
  char decimalMark = '.';      // of the interval line
  std::uint32_t seed = 1;
  std::vector<std::string> poll;      // request codes polled every cycle ("2101")
  std::vector<std::string> slowPoll;  // polled every eighth cycle
  std::vector<std::string> rejected;  // identifiers the ECU refuses
  bool troubleCodes = false;          // now and then asks for the stored trouble codes (service 18)
  std::vector<std::string> lengthByteOnly;  // when set, only answers to these codes carry the length byte
};

// The trouble-code description file of the sample folder ("DTC.xml",
// Windows-1251): the groups "М 7.4", "M7.9.7" and "OBD-II".
std::string troubleCodeFile();

// The text of one demo log.
std::string textLog(const LogPlan& plan);

// A graph file (*.rtd) of the given profile: up to eight channels
// (request code, position field), `frames` response frames after a
// diagnostic-session confirmation, request interval `intervalMs`.
struct GraphChannel {
  std::string request;   // "2101", four or six hex digits
  std::string position;  // "0200"
};
std::string graphFile(const std::string& profile, const std::vector<GraphChannel>& channels, int frames,
                      std::uint16_t intervalMs, std::uint32_t seed);

// Every file of the sample program folder.
std::vector<GeneratedFile> sampleFolder();

// The benchmark program folder's profile files (code "Toyota").
std::vector<GeneratedFile> benchProfileFiles();
// The benchmark log: `lines` request and response lines (a pair per poll,
// every response "61 01" with 32 data bytes) after a two-line header.
std::string bigLog(std::size_t lines);

// Writes the files under `folder`, creating sub-folders; each file is
// written atomically. False with a message in `error` on the first failure.
bool writeFiles(const std::filesystem::path& folder, const std::vector<GeneratedFile>& files, std::string& error);

}  // namespace tervolin::loggen
