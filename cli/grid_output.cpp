#include "cli/grid_output.h"

#include <iostream>

#include "cli/command.h"
#include "common/field_escapes.h"
#include "common/paths.h"
#include "common/text.h"

namespace tervolin::cli {

std::string gridText(const Grid& grid) {
  std::string out;
  std::string line;
  for (int r = 0; r < grid.rowCount(); ++r) {
    line.clear();
    for (int c = 0; c < grid.columnCount(); ++c) {
      if (c > 0) line += '\t';
      appendEscaped(line, grid.cell(c, r));
    }
    out += cp1251ToUtf8(line);
    out += '\n';
  }
  return out;
}

int writeGridText(std::string_view command, const Grid& grid, const std::optional<std::filesystem::path>& out) {
  const std::string text = gridText(grid);
  if (out) {
    if (!writeFileAtomically(*out, text)) {
      std::cerr << "tervolin-cli " << command << ": cannot write " << out->string() << "\n";
      return kExitFailure;
    }
    return kExitOk;
  }
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailure;
}

}  // namespace tervolin::cli
