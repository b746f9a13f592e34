#include "common/record_list.h"

#include "common/memory_budget.h"

namespace tervolin {
namespace {

std::string cut(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, limit));
}

}  // namespace

RecordList::RecordList() : arena_(std::make_shared<TextArena>()), memoryLimit_(recordMemoryBudget()) {}

void RecordList::grow() {
  if (memoryBytes() + kBlock * sizeof(LogRecord) > memoryLimit_) throw MemoryBudgetExceeded();
  blocks_.push_back(std::make_unique<LogRecord[]>(kBlock));
}

std::uint32_t RecordList::addSource(const RecordSource& source) {
  sources_.push_back({cut(source.requestCode, 8), cut(source.positionField, 4), cut(source.unit, 10),
                      source.name});
  return static_cast<std::uint32_t>(sources_.size() - 1);
}

TextRef RecordList::append(std::int32_t ordinal, std::uint32_t source, std::string_view value) {
  const TextRef ref = arena_->add(value);
  appendRef(ordinal, source, ref);
  return ref;
}

void RecordList::clear() {
  sources_.clear();
  blocks_.clear();
  size_ = 0;
  arena_ = std::make_shared<TextArena>();
}

std::size_t RecordList::memoryBytes() const {
  return blocks_.size() * kBlock * sizeof(LogRecord) + arena_->capacityBytes();
}

}  // namespace tervolin
