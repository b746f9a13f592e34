#pragma once
// Small helpers shared by the benchmark programs.

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "bench/loggen/loggen.h"
#include "common/app_state.h"
#include "common/user_channel.h"

namespace tervolin::bench {

// Shows nothing and answers so that work goes on (OK, then No).
class SilentChannel : public UserChannel {
 public:
  void message(std::string_view) override {}
  bool okBox(std::string_view) override { return true; }
  bool yesNo(std::string_view) override { return false; }
  void closeMainWindow() override {}
};

// A memory figure of this process from /proc/self/status ("VmRSS",
// "VmHWM"), in MiB; 0 when it cannot be read.
inline double procStatusMiB(std::string_view field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::stod(line.substr(prefix.size())) / 1024.0;
  return 0;
}

// Peak resident memory of the process so far, in MiB.
inline double peakMiB() { return procStatusMiB("VmHWM"); }

// Resets the kernel's peak-memory mark to the present resident size, so the
// next peakMiB() covers only what follows.
inline void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Writes the benchmark program folder (profile Toyota) and its log
// `dir`/big.log of `lines` lines, and gives the state the open command
// leaves before reading it: profile, folders and "table only" set.
inline AppState writeBenchLog(const std::filesystem::path& dir, std::size_t lines) {
  std::string error;
  auto files = loggen::benchProfileFiles();
  files.push_back({"big.log", loggen::bigLog(lines)});
  if (!loggen::writeFiles(dir, files, error)) throw std::runtime_error(error);
  AppState state;
  state.programDir = dir;
  state.orvikPath = dir;
  state.profileCode = "Toyota";
  state.workingFolder = dir / "Toyota";
  state.tableOnly = 1;
  return state;
}

}  // namespace tervolin::bench
