#include "logs/layout_detection.h"

#include <filesystem>
#include <string>

#include "common/paths.h"
#include "logs/line_text.h"
#include "logs/log_lines.h"

namespace tervolin {
namespace {

using namespace logtext;

constexpr int kOrdinaryOffset = 6;
constexpr int kAdapterOffset = -3;

// The pair found at p + 3: the two characters there, one blank, the two at p + 6.
std::string pairAt(std::string_view line, long long p) {
  std::string pair(copyAt(line, p + 3, 2));
  pair += ' ';
  pair += copyAt(line, p + 6, 2);
  return pair;
}

// Tester and ECU pairs mirror each other (10 F1 against F1 10).
bool mirrored(std::string_view tester, std::string_view ecu) {
  return copyAt(tester, 1, 2) == copyAt(ecu, 4, 2) && copyAt(tester, 4, 2) == copyAt(ecu, 1, 2);
}

}  // namespace

LogLayout detectLayout(std::string_view logText) {
  LogLayout layout;
  layout.adapterOffset = kOrdinaryOffset;
  bool testerFound = false;
  bool ecuFound = false;
  LogLines lines(logText);
  std::string_view line;
  while (!(testerFound && ecuFound) && lines.next(line)) {
    if (contains(line, kElm) && !contains(line, kFoundWord)) layout.adapterOffset = kAdapterOffset;
    const long long p = firstHexPair(line);
    if (p == 0) continue;
    const bool adapter = layout.adapterOffset == kAdapterOffset;
    if (isResponseMarked(line)) {
      layout.ecuPair = adapter ? std::string(kRxD) : pairAt(line, p);
      layout.ecuPosition = static_cast<int>(p + 3);
      ecuFound = true;
    } else if (isRequestLine(line)) {
      layout.testerPair = adapter ? std::string(kTxD) : pairAt(line, p);
      layout.testerPosition = static_cast<int>(p + 3);
      testerFound = true;
    }
    // Pairs that do not mirror (a stray line, or the literal markers of an
    // adapter log) are kept but the search goes on.
    if (testerFound && ecuFound && !mirrored(layout.testerPair, layout.ecuPair)) {
      testerFound = false;
      ecuFound = false;
    }
  }
  return layout;
}

void FindAddr(AppState& state, const std::filesystem::path& logFile) {
  std::string text;
  if (!readWholeFile(logFile, text)) text.clear();
  state.layout = detectLayout(text);
}

}  // namespace tervolin
