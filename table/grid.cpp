#include "table/grid.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "common/memory_budget.h"

namespace tervolin {
namespace {

// A cell is one 64-bit word: 0 is the empty cell; otherwise the top 4 bits
// name a slot (an arena or a shared buffer the grid keeps alive) and the low
// 60 bits name the text inside it: an arena TextRef, or for a buffer the
// offset (36 bits) and the length (24 bits) of the text.
using Cell = std::uint64_t;
constexpr int kSlotShift = 60;
constexpr Cell kPayloadMask = (Cell{1} << kSlotShift) - 1;
constexpr int kSlotCount = 16;  // slot 0 is never used: a zero cell is empty
constexpr int kOwnSlot = 1;     // the grid's own arena
constexpr int kLengthBits = 24;
constexpr Cell kMaxBufferLength = (Cell{1} << kLengthBits) - 1;
constexpr Cell kMaxBufferOffset = (Cell{1} << (kSlotShift - kLengthBits)) - 1;

// Cells are stored column by column in blocks of rows, allocated when a
// block first receives a text; growing the row count allocates nothing. A
// block whose texts all lie in one arena (a Table view's values) keeps only
// their 4-byte refs ("narrow"); it is widened to whole cells when another
// kind of text is written into it.
constexpr int kBlockRows = 4096;

struct Slot {
  std::shared_ptr<TextArena> arena;
  std::shared_ptr<const FileBytes> buffer;
  bool used() const { return arena || buffer; }
};

struct Freeing {
  void operator()(void* p) const { std::free(p); }
};

// Zeroed memory that the system clears as it is first touched, by the
// thread that touches it.
template <class T>
std::unique_ptr<T[], Freeing> zeroed() {
  void* p = std::calloc(kBlockRows, sizeof(T));
  if (!p) throw std::bad_alloc();
  return std::unique_ptr<T[], Freeing>(static_cast<T*>(p));
}

struct Block {
  std::unique_ptr<std::uint32_t[], Freeing> narrow;  // refs into the arena of `slot` (0: empty)
  std::unique_ptr<Cell[], Freeing> wide;
  int slot = 0;

  explicit operator bool() const { return narrow || wide; }
  Cell at(int i) const {
    if (narrow) {
      const std::uint32_t ref = narrow[i];
      return ref == 0 ? 0 : (Cell(slot) << kSlotShift) | ref;
    }
    return wide[i];
  }
  void widen() {
    auto cells = zeroed<Cell>();
    for (int i = 0; i < kBlockRows; ++i) cells[i] = at(i);
    wide = std::move(cells);
    narrow.reset();
  }
  Block copy() const {
    Block b;
    b.slot = slot;
    if (narrow) {
      b.narrow = zeroed<std::uint32_t>();
      std::memcpy(b.narrow.get(), narrow.get(), sizeof(std::uint32_t) * kBlockRows);
    } else if (wide) {
      b.wide = zeroed<Cell>();
      std::memcpy(b.wide.get(), wide.get(), sizeof(Cell) * kBlockRows);
    }
    return b;
  }
  void clearFrom(int i) {
    if (narrow) std::fill(narrow.get() + i, narrow.get() + kBlockRows, 0u);
    if (wide) std::fill(wide.get() + i, wide.get() + kBlockRows, Cell{0});
  }
  std::size_t bytes() const {
    return narrow ? sizeof(std::uint32_t) * kBlockRows : wide ? sizeof(Cell) * kBlockRows : 0;
  }
};

struct Column {
  std::vector<Block> blocks;
};

}  // namespace

struct Grid::Impl {
  std::array<Slot, kSlotCount> slots;
  std::vector<Column> columns;
  std::vector<int> widths;
  int lastSlot = kOwnSlot;
  // Rows are named through a map from the row as shown to the row where its
  // cells are stored, so that deleting or filtering rows moves 4-byte row
  // numbers instead of cells. Until the first such edit the map is the
  // identity and is not kept (`mapped` false); stored rows from
  // `storedRows` on are always empty.
  bool mapped = false;
  std::vector<std::uint32_t> rowMap;
  int storedRows = 0;
  // Bytes of the cell blocks, for the memory budget (counted by every
  // thread that allocates a band).
  std::atomic<std::size_t> cellBytes{0};

  Impl() { slots[kOwnSlot].arena = std::make_shared<TextArena>(1 << 16); }

  Impl(const Impl& other)
      : slots(other.slots),
        widths(other.widths),
        lastSlot(other.lastSlot),
        mapped(other.mapped),
        rowMap(other.rowMap),
        storedRows(other.storedRows),
        cellBytes(other.cellBytes.load()) {
    columns.resize(other.columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c)
      for (const Block& b : other.columns[c].blocks) columns[c].blocks.push_back(b.copy());
  }

  // The stored row of a shown row.
  int stored(int row) const { return mapped ? static_cast<int>(rowMap[static_cast<std::size_t>(row)]) : row; }

  // The shown row count changes from `from` to `to` rows.
  void resizeRows(int from, int to) {
    if (mapped && to < from) {
      rowMap.resize(static_cast<std::size_t>(to));
      return;
    }
    // New rows take fresh stored rows, which are empty. Rows left behind by
    // deletions are reclaimed once they would outnumber the rows shown.
    if (mapped && storedRows + (to - from) > 2 * to + kBlockRows) compact(from);
    if (mapped) {
      for (int r = from; r < to; ++r) rowMap.push_back(static_cast<std::uint32_t>(storedRows++));
      return;
    }
    if (to < from) clearFrom(to);
    storedRows = to;
  }

  // Starts naming rows through the map.
  void mapRows(int rows) {
    if (mapped) return;
    rowMap.resize(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) rowMap[static_cast<std::size_t>(r)] = static_cast<std::uint32_t>(r);
    mapped = true;
  }

  // Stores the `rows` shown rows in their order again and drops the map
  // (copies every cell once: only after many deletions and regrowth).
  void compact(int rows) {
    for (Column& col : columns) {
      Column packed;
      for (int r = 0; r < rows; ++r) putIn(packed, r, get(col, stored(r)));
      col.blocks = std::move(packed.blocks);
    }
    recountCells();
    mapped = false;
    rowMap.clear();
    rowMap.shrink_to_fit();
    storedRows = rows;
  }

  static Cell get(const Column& col, int row) {
    const auto b = static_cast<std::size_t>(row / kBlockRows);
    if (b >= col.blocks.size() || !col.blocks[b]) return 0;
    return col.blocks[b].at(row % kBlockRows);
  }

  // A cell a narrow block can hold: empty, or a ref into an arena.
  bool fitsNarrow(Cell cell) const {
    return cell == 0 || (slots[cell >> kSlotShift].arena && (cell & kPayloadMask) <= 0xFFFFFFFFu);
  }

  void putIn(Column& col, int row, Cell cell) {
    auto& blocks = col.blocks;
    const auto b = static_cast<std::size_t>(row / kBlockRows);
    if (b >= blocks.size()) {
      if (cell == 0) return;
      blocks.resize(b + 1);
    }
    Block& block = blocks[b];
    const int i = row % kBlockRows;
    if (!block) {
      if (cell == 0) return;
      if (fitsNarrow(cell)) {
        block.narrow = zeroed<std::uint32_t>();
        block.slot = static_cast<int>(cell >> kSlotShift);
      } else {
        block.wide = zeroed<Cell>();
      }
      cellBytes += block.bytes();
    }
    if (block.narrow) {
      if (cell == 0) {
        block.narrow[i] = 0;
        return;
      }
      if (static_cast<int>(cell >> kSlotShift) == block.slot && fitsNarrow(cell)) {
        block.narrow[i] = static_cast<std::uint32_t>(cell & kPayloadMask);
        return;
      }
      widen(block);
    }
    block.wide[i] = cell;
  }

  Cell get(int column, int row) const {
    return get(columns[static_cast<std::size_t>(column)], row);
  }

  void widen(Block& block) {
    const std::size_t was = block.bytes();
    block.widen();
    cellBytes += block.bytes() - was;
  }

  void recountCells() {
    std::size_t bytes = 0;
    for (const Column& col : columns)
      for (const Block& b : col.blocks) bytes += b.bytes();
    cellBytes = bytes;
  }

  void put(int column, int row, Cell cell) { putIn(columns[static_cast<std::size_t>(column)], row, cell); }

  std::string_view text(Cell cell) const {
    if (cell == 0) return {};
    const Slot& slot = slots[cell >> kSlotShift];
    const Cell payload = cell & kPayloadMask;
    if (slot.arena) return slot.arena->get(payload);
    if (slot.buffer) return slot.buffer->view().substr(payload >> kLengthBits, payload & kMaxBufferLength);
    return {};
  }

  Cell ownText(std::string_view text) {
    if (text.empty()) return 0;
    const TextRef ref = slots[kOwnSlot].arena->add(text);
    return (Cell{kOwnSlot} << kSlotShift) | ref;
  }

  // The slot holding `arena` or `buffer`, taking a free one when needed;
  // 0 when all are taken by texts still shown.
  template <class Match, class Fill>
  int slotFor(Match match, Fill fill) {
    if (match(slots[lastSlot])) return lastSlot;
    for (int round = 0; round < 2; ++round) {
      for (int s = kOwnSlot; s < kSlotCount; ++s)
        if (match(slots[s])) return lastSlot = s;
      for (int s = kOwnSlot + 1; s < kSlotCount; ++s) {
        if (!slots[s].used()) {
          fill(slots[s]);
          return lastSlot = s;
        }
      }
      releaseUnusedSlots();
    }
    return 0;
  }

  // Forgets the arenas and buffers no cell names any more.
  void releaseUnusedSlots() {
    std::array<bool, kSlotCount> named{};
    for (const Column& col : columns)
      for (const Block& b : col.blocks) {
        if (b.narrow) named[static_cast<std::size_t>(b.slot)] = true;
        if (b.wide)
          for (int i = 0; i < kBlockRows; ++i) named[b.wide[i] >> kSlotShift] = true;
      }
    for (int s = kOwnSlot + 1; s < kSlotCount; ++s)
      if (!named[s]) slots[s] = Slot{};
    lastSlot = kOwnSlot;
  }

  // Empties rows from `from` on in every column, freeing whole blocks.
  void clearFrom(int from) {
    const auto firstWhole = static_cast<std::size_t>((from + kBlockRows - 1) / kBlockRows);
    for (Column& col : columns) {
      if (col.blocks.size() > firstWhole) col.blocks.resize(firstWhole);
      const int partial = from / kBlockRows;
      if (from % kBlockRows != 0 && static_cast<std::size_t>(partial) < col.blocks.size())
        col.blocks[static_cast<std::size_t>(partial)].clearFrom(from % kBlockRows);
    }
    recountCells();
  }
};

Grid::Grid() : impl_(std::make_unique<Impl>()), maxCellBytes_(gridMemoryBudget()) {}
Grid::~Grid() = default;
Grid::Grid(const Grid& other)
    : impl_(std::make_unique<Impl>(*other.impl_)),
      maxRows_(other.maxRows_),
      maxCellBytes_(other.maxCellBytes_),
      rows_(other.rows_),
      columns_(other.columns_),
      fixedRows_(other.fixedRows_),
      defaultColumnWidth_(other.defaultColumnWidth_),
      defaultRowHeight_(other.defaultRowHeight_) {}
Grid& Grid::operator=(const Grid& other) {
  if (this != &other) {
    Grid copy(other);
    *this = std::move(copy);
  }
  return *this;
}
Grid::Grid(Grid&& other) : Grid() { *this = std::move(other); }
Grid& Grid::operator=(Grid&& other) {
  if (this == &other) return *this;
  std::swap(impl_, other.impl_);
  std::swap(maxRows_, other.maxRows_);
  std::swap(maxCellBytes_, other.maxCellBytes_);
  std::swap(rows_, other.rows_);
  std::swap(columns_, other.columns_);
  std::swap(fixedRows_, other.fixedRows_);
  std::swap(defaultColumnWidth_, other.defaultColumnWidth_);
  std::swap(defaultRowHeight_, other.defaultRowHeight_);
  other.reset();
  return *this;
}

void Grid::setRowCount(int rows) {
  rows = std::clamp(rows, 0, maxRows_);
  impl_->resizeRows(rows_, rows);
  rows_ = rows;
}

void Grid::setMaxRows(int rows) {
  maxRows_ = std::clamp(rows, 0, kMaxRows);
  if (rows_ > maxRows_) setRowCount(maxRows_);
}

void Grid::setColumnCount(int columns) {
  columns = std::max(columns, 0);
  const bool fewer = static_cast<std::size_t>(columns) < impl_->columns.size();
  impl_->columns.resize(static_cast<std::size_t>(columns));
  impl_->widths.resize(static_cast<std::size_t>(columns), defaultColumnWidth_);
  if (fewer) impl_->recountCells();
  columns_ = columns;
}

std::string_view Grid::cell(int column, int row) const {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return {};
  return impl_->text(impl_->get(column, impl_->stored(row)));
}

void Grid::columnTexts(int column, int firstRow, std::span<std::string_view> out) const {
  const Impl& impl = *impl_;
  for (std::size_t k = 0; k < out.size(); ++k) {
    const int row = firstRow + static_cast<int>(k);
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_) {
      out[k] = {};
      continue;
    }
    const int stored = impl.stored(row);
    const auto& blocks = impl.columns[static_cast<std::size_t>(column)].blocks;
    const auto b = static_cast<std::size_t>(stored / kBlockRows);
    if (b >= blocks.size() || !blocks[b]) {
      out[k] = {};
      continue;
    }
    const Block& block = blocks[b];
    if (block.narrow && !impl.mapped) {
      // A run of the block's refs into one arena.
      const TextArena* arena = impl.slots[static_cast<std::size_t>(block.slot)].arena.get();
      const int i = stored % kBlockRows;
      const std::size_t n = std::min<std::size_t>(out.size() - k, static_cast<std::size_t>(std::min(kBlockRows - i, rows_ - row)));
      const std::uint32_t* refs = block.narrow.get() + i;
      for (std::size_t j = 0; j < n; ++j) out[k + j] = arena->get(refs[j]);
      k += n - 1;
      continue;
    }
    out[k] = impl.text(block.at(stored % kBlockRows));
  }
}

void Grid::setCell(int column, int row, std::string_view text) {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return;
  impl_->put(column, impl_->stored(row), impl_->ownText(text));
}

void Grid::setCellRef(int column, int row, const std::shared_ptr<TextArena>& arena, TextRef ref) {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_ || !arena) return;
  Cell cell = 0;
  if (ref != kEmptyText) {
    const int slot = impl_->slotFor([&](const Slot& s) { return s.arena == arena; },
                                    [&](Slot& s) { s.arena = arena; });
    cell = slot != 0 ? (Cell(slot) << kSlotShift) | ref : impl_->ownText(arena->get(ref));
  }
  impl_->put(column, impl_->stored(row), cell);
}

void Grid::setCellInBuffer(int column, int row, const std::shared_ptr<const FileBytes>& buffer,
                           std::string_view text) {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return;
  Cell cell = 0;
  const std::string_view bytes = buffer ? buffer->view() : std::string_view();
  const char* begin = bytes.data();
  const bool inside = begin && text.data() >= begin && text.data() + text.size() <= begin + bytes.size();
  if (!text.empty()) {
    const auto offset = inside ? static_cast<Cell>(text.data() - begin) : 0;
    int slot = 0;
    if (inside && offset <= kMaxBufferOffset && text.size() <= kMaxBufferLength)
      slot = impl_->slotFor([&](const Slot& s) { return s.buffer == buffer; },
                            [&](Slot& s) { s.buffer = buffer; });
    // A text outside the buffer, too far into it or too long to be named
    // there is copied instead.
    cell = slot != 0 ? (Cell(slot) << kSlotShift) | (offset << kLengthBits) | text.size() : impl_->ownText(text);
  }
  impl_->put(column, impl_->stored(row), cell);
}

Grid::RefWriter::RefWriter(Grid& grid, const std::shared_ptr<TextArena>& arena) : grid_(grid), arena_(arena) {
  Impl& impl = *grid.impl_;
  if (impl.mapped) impl.compact(grid.rows_);
  slot_ = arena ? impl.slotFor([&](const Slot& s) { return s.arena == arena; }, [&](Slot& s) { s.arena = arena; }) : 0;
}

void Grid::RefWriter::put(int column, int row, TextRef ref) {
  if (column < 0 || column >= grid_.columns_ || row < 0 || row >= grid_.rows_) return;
  Impl& impl = *grid_.impl_;
  if (slot_ == 0) {
    // Every slot is taken by texts still shown: the text is copied.
    impl.put(column, row, ref == kEmptyText ? 0 : impl.ownText(arena_->get(ref)));
    return;
  }
  auto& blocks = impl.columns[static_cast<std::size_t>(column)].blocks;
  const auto b = static_cast<std::size_t>(row / kBlockRows);
  if (b < blocks.size() && blocks[b].narrow && blocks[b].slot == slot_) [[likely]] {
    blocks[b].narrow[row % kBlockRows] = ref;
    return;
  }
  impl.put(column, row, ref == kEmptyText ? 0 : (Cell(slot_) << kSlotShift) | ref);
}

std::uint32_t* Grid::RefWriter::band(int column, int row) {
  static_assert(kBandRows == kBlockRows);
  if (slot_ == 0 || column < 0 || column >= grid_.columns_ || row < 0 || row >= grid_.rows_) return nullptr;
  auto& blocks = grid_.impl_->columns[static_cast<std::size_t>(column)].blocks;
  const auto b = static_cast<std::size_t>(row / kBlockRows);
  if (b >= blocks.size()) blocks.resize(b + 1);
  Block& block = blocks[b];
  if (!block) {
    block.narrow = zeroed<std::uint32_t>();
    block.slot = slot_;
    grid_.impl_->cellBytes += block.bytes();
  }
  return block.narrow && block.slot == slot_ ? block.narrow.get() : nullptr;
}

void Grid::RefWriter::reserveRows(int rows) {
  const auto bands = static_cast<std::size_t>((std::max(rows, 0) + kBlockRows - 1) / kBlockRows);
  for (Column& col : grid_.impl_->columns)
    if (col.blocks.size() < bands) col.blocks.resize(bands);
}

void Grid::RefWriter::shareBand(int column, int row) {
  if (band(column, row) || column < 0 || column >= grid_.columns_ || row < 0 || row >= grid_.rows_) return;
  Block& block = grid_.impl_->columns[static_cast<std::size_t>(column)].blocks[static_cast<std::size_t>(row / kBlockRows)];
  if (block.narrow) grid_.impl_->widen(block);
}

int Grid::columnWidth(int column) const {
  if (column < 0 || column >= columns_) return defaultColumnWidth_;
  return impl_->widths[static_cast<std::size_t>(column)];
}

void Grid::setColumnWidth(int column, int width) {
  if (column < 0 || column >= columns_) return;
  impl_->widths[static_cast<std::size_t>(column)] = width;
}

void Grid::deleteRow(int row) {
  if (row < 0 || row >= rows_) return;
  if (row == rows_ - 1 && !impl_->mapped) {
    setRowCount(rows_ - 1);
    return;
  }
  impl_->mapRows(rows_);
  impl_->rowMap.erase(impl_->rowMap.begin() + row);
  --rows_;
}

void Grid::keepRows(std::span<const int> rows) {
  impl_->mapRows(rows_);
  std::vector<std::uint32_t> kept;
  kept.reserve(rows.size());
  int last = -1;
  for (const int r : rows) {
    if (r <= last || r >= rows_) continue;
    kept.push_back(impl_->rowMap[static_cast<std::size_t>(r)]);
    last = r;
  }
  impl_->rowMap = std::move(kept);
  rows_ = static_cast<int>(impl_->rowMap.size());
}

void Grid::deleteColumn(int column) {
  if (column < 0 || column >= columns_) return;
  for (const Block& b : impl_->columns[static_cast<std::size_t>(column)].blocks) impl_->cellBytes -= b.bytes();
  impl_->columns.erase(impl_->columns.begin() + column);
  impl_->widths.erase(impl_->widths.begin() + column);
  --columns_;
}

void Grid::clrSG() {
  Impl& impl = *impl_;
  // Row 0 goes back to stored row 0 and the row map is dropped.
  if (impl.mapped) {
    if (rows_ > 0) {
      const int row0 = impl.stored(0);
      for (int c = 0; c < columns_; ++c) impl.put(c, 0, impl.get(c, row0));
    }
    impl.mapped = false;
    impl.rowMap.clear();
    impl.rowMap.shrink_to_fit();
  }
  impl.clearFrom(1);
  impl.storedRows = rows_;
  // Row 0 is all that is left: move its own texts to a fresh arena so that
  // texts of earlier builds are freed, and forget arenas no cell names.
  auto fresh = std::make_shared<TextArena>(1 << 16);
  for (int c = 0; c < columns_; ++c) {
    const Cell cell = impl.get(c, 0);
    if (cell != 0 && (cell >> kSlotShift) == kOwnSlot)
      impl.put(c, 0, (Cell{kOwnSlot} << kSlotShift) | fresh->add(impl.text(cell)));
  }
  impl.slots[kOwnSlot].arena = std::move(fresh);
  impl.releaseUnusedSlots();
  defaultColumnWidth_ = kDefaultColumnWidth;
  defaultRowHeight_ = kDefaultRowHeight;
  std::fill(impl.widths.begin(), impl.widths.end(), kDefaultColumnWidth);
}

void Grid::reset() {
  impl_ = std::make_unique<Impl>();
  rows_ = 0;
  columns_ = 0;
  fixedRows_ = 0;
  defaultColumnWidth_ = kDefaultColumnWidth;
  defaultRowHeight_ = kDefaultRowHeight;
}

std::size_t Grid::cellBytes() const { return impl_->cellBytes.load(std::memory_order_relaxed); }

std::size_t Grid::memoryBytes() const {
  std::size_t bytes = impl_->slots[kOwnSlot].arena->capacityBytes();
  bytes += impl_->rowMap.capacity() * sizeof(std::uint32_t);
  for (const Column& col : impl_->columns) {
    bytes += col.blocks.capacity() * sizeof(Block);
    for (const Block& b : col.blocks) bytes += b.bytes();
  }
  return bytes;
}

}  // namespace tervolin
