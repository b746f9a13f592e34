// loggen: writes the sample program folder or the large benchmark log.
//
//   loggen samples OUTDIR            the bundled sample program folder
//   loggen big OUTDIR [--lines N]    benchmark profile (Toyota) and OUTDIR/big.log

#include <charconv>
#include <iostream>
#include <string>
#include <string_view>

#include "bench/loggen/loggen.h"

namespace {

int usage() {
  std::cerr << "usage: loggen samples OUTDIR\n"
               "       loggen big OUTDIR [--lines N]   (N even, default 1000000)\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tervolin::loggen;
  if (argc < 3) return usage();
  const std::string_view mode = argv[1];
  const std::filesystem::path out = argv[2];
  std::vector<GeneratedFile> files;
  if (mode == "samples" && argc == 3) {
    files = sampleFolder();
  } else if (mode == "big" && (argc == 3 || argc == 5)) {
    std::size_t lines = 1'000'000;
    if (argc == 5) {
      const std::string_view flag = argv[3], value = argv[4];
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), lines);
      if (flag != "--lines" || ec != std::errc() || end != value.data() + value.size() || lines < 2 ||
          lines > 200'000'000)
        return usage();
    }
    files = benchProfileFiles();
    files.push_back({"big.log", bigLog(lines)});
  } else {
    return usage();
  }
  std::string error;
  if (!writeFiles(out, files, error)) {
    std::cerr << "loggen: " << error << "\n";
    return 2;
  }
  std::size_t bytes = 0;
  for (const GeneratedFile& f : files) bytes += f.bytes.size();
  std::cout << "loggen: wrote " << files.size() << " files, " << bytes << " bytes to " << out.string() << "\n";
  return 0;
}
