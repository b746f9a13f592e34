#include "table/derived_files.h"

#include <system_error>

#include "common/paths.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace fs = std::filesystem;

DerivedFiles DerivedFiles::take(const fs::path& workingFolder) {
  DerivedFiles taken;
  if (workingFolder.empty()) return taken;
  taken.folder_ = workingFolder;
  for (const std::string_view name : {kUsedPidsIni, kTmpIni}) {
    File file{std::string(name), resolveIgnoringCase(workingFolder, name), std::nullopt};
    std::error_code ec;
    std::string bytes;
    if (fs::is_regular_file(file.path, ec) && readWholeFile(file.path, bytes)) file.bytes = std::move(bytes);
    taken.files_.push_back(std::move(file));
  }
  return taken;
}

bool DerivedFiles::restore() const {
  bool all = true;
  for (const File& file : files_) {
    std::error_code ec;
    if (!file.bytes) {
      // Made since, in whatever letter case.
      const fs::path made = resolveIgnoringCase(folder_, file.name);
      if (fs::is_regular_file(made, ec) && !fs::remove(made, ec)) all = false;
      continue;
    }
    const bool there = fs::is_regular_file(file.path, ec);
    std::string now;
    if (there && readWholeFile(file.path, now) && now == *file.bytes) continue;
    if (!writeFileAtomically(file.path, *file.bytes)) all = false;
  }
  return all;
}

}  // namespace tervolin
