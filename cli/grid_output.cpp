#include "cli/grid_output.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <span>
#include <vector>

#include "cli/command.h"
#include "common/atomic_file.h"
#include "common/field_escapes.h"
#include "common/parallel.h"

namespace tervolin::cli {
namespace {

// Rows [from, to) appended to `out`. The cells are fetched a band of rows at
// a time, column by column (the order the grid keeps them in), and each is
// escaped and turned into UTF-8 in one table look-up a byte.
void appendRows(const Grid& grid, int from, int to, std::string& out) {
  constexpr int kBand = 256;
  const auto columns = static_cast<std::size_t>(grid.columnCount());
  std::vector<std::string_view> band(columns * kBand);
  for (int first = from; first < to; first += kBand) {
    const int rows = std::min(kBand, to - first);
    for (std::size_t c = 0; c < columns; ++c)
      grid.columnTexts(static_cast<int>(c), first, std::span(band).subspan(c * kBand, static_cast<std::size_t>(rows)));
    for (int r = 0; r < rows; ++r) {
      std::size_t room = columns + 1;
      for (std::size_t c = 0; c < columns; ++c) room += 3 * band[c * kBand + static_cast<std::size_t>(r)].size();
      const std::size_t start = out.size();
      if (out.capacity() < start + room) out.reserve(std::max(2 * out.capacity(), start + room));
      out.resize(start + room);
      char* p = out.data() + start;
      for (std::size_t c = 0; c < columns; ++c) {
        if (c > 0) *p++ = '\t';
        p = writeEscapedUtf8(p, band[c * kBand + static_cast<std::size_t>(r)]);
      }
      *p++ = '\n';
      out.resize(static_cast<std::size_t>(p - out.data()));
    }
  }
}

// The grid text handed to `write` in pieces of about a megabyte as it is
// made, the pieces made by every processor core at once. False once a write
// failed.
bool writePieces(const Grid& grid, const std::function<bool(std::string_view)>& write) {
  const int rows = grid.rowCount();
  const std::size_t parts = processorParts();
  const int batch = std::max(
      1, static_cast<int>((std::size_t{1} << 20) / (8 * static_cast<std::size_t>(grid.columnCount()) + 8)));
  std::vector<std::string> pieces(parts);
  for (long long first = 0; first < rows; first += static_cast<long long>(batch) * static_cast<long long>(parts)) {
    runParts(parts, [&](std::size_t k) {
      std::string& piece = pieces[k];
      piece.clear();
      const long long from = first + static_cast<long long>(batch) * static_cast<long long>(k);
      if (from < rows)
        appendRows(grid, static_cast<int>(from), static_cast<int>(std::min<long long>(from + batch, rows)), piece);
    });
    for (const std::string& piece : pieces)
      if (!piece.empty() && !write(piece)) return false;
  }
  return true;
}

}  // namespace

std::string gridText(const Grid& grid) {
  std::string out;
  writePieces(grid, [&](std::string_view piece) {
    out.append(piece);
    return true;
  });
  return out;
}

int writeGridText(std::string_view command, const Grid& grid, const std::optional<std::filesystem::path>& out) {
  if (out) {
    AtomicFile file(*out);
    if (!writePieces(grid, [&](std::string_view piece) { return file.write(piece); }) || !file.commit()) {
      std::cerr << "tervolin-cli " << command << ": cannot write " << out->string() << "\n";
      return kExitFailure;
    }
    return kExitOk;
  }
  writePieces(grid, [](std::string_view piece) {
    std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    return static_cast<bool>(std::cout);
  });
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailure;
}

}  // namespace tervolin::cli
