#pragma once
// The benchmark table shared by the benchmark programs: a program folder
// with 40 definitions of request 2101 and their formulas, and a state whose
// records fill 500,000 polling cycles of those 40 parameters.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/app_state.h"
#include "common/paths.h"
#include "profiles/definition_file.h"

namespace tervolin::bench {

inline constexpr int kTableColumns = 40;
inline constexpr int kTableCycles = 500'000;

inline std::string tablePosition(int i) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X00", i % 256);
  return text;
}

// A program folder with 40 definitions of request 2101 and their formulas.
struct TableFolder {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "tervolin-table-bench";
  TableFolder() {
    std::filesystem::create_directories(dir);
    std::vector<ParamDef> defs;
    std::string formulas;
    for (int i = 0; i < kTableColumns; ++i) {
      std::string name = std::to_string(i);
      name.insert(name.begin(), 'P');
      defs.push_back({"2101", name, "u", tablePosition(i), "", i});
      ((formulas += "2101") += tablePosition(i)) += "FT\r\n";
    }
    writeFileAtomically(dir / "pids.ini", definitionFileText(defs));
    writeFileAtomically(dir / "formules.ini", formulas);
  }
  ~TableFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

inline TableFolder& tableFolder() {
  static TableFolder f;
  return f;
}

// The state of the benchmark table: 20 million records with values such as
// "1234.5".
inline AppState& tableState() {
  static AppState* state = [] {
    auto* s = new AppState;
    s->programDir = tableFolder().dir;
    s->workingFolder = tableFolder().dir;
    s->definitionFileName = std::string(kPidsIni);
    std::vector<std::uint32_t> sources;
    for (int i = 0; i < kTableColumns; ++i)
      sources.push_back(s->records.addSource({"2101", tablePosition(i), "u", "P"}));
    std::string value;
    for (int cycle = 0; cycle < kTableCycles; ++cycle)
      for (int i = 0; i < kTableColumns; ++i) {
        value = std::to_string((cycle * 7 + i * 13) % 2000);
        value += ".5";
        s->records.append(cycle + 1, sources[static_cast<std::size_t>(i)], value);
      }
    return s;
  }();
  return *state;
}

}  // namespace tervolin::bench
