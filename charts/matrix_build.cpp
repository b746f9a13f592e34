#include "charts/matrix_build.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "charts/matrix_items.h"
#include "common/parallel.h"

namespace tervolin {

namespace {
// The sample list grows in steps of this many entries.
constexpr std::size_t kSampleBlock = 100;
// Below this many records one walk is quicker than starting a second thread.
constexpr std::size_t kSplitRecords = std::size_t{1} << 20;

// The sample fields a record set, kept by the second half of a split walk.
enum FieldBits : std::uint8_t { kX = 1, kXBin = 2, kY = 4, kYBin = 8, kZ = 16 };

void copyFields(const Sample& from, std::uint8_t fields, Sample& to) {
  if (fields & kX) to.x = from.x;
  if (fields & kXBin) to.xBin = from.xBin;
  if (fields & kY) to.y = from.y;
  if (fields & kYBin) to.yBin = from.yBin;
  if (fields & kZ) to.z = from.z;
}
}  // namespace

// Stores straight into the build's sample list, which grows by kSampleBlock
// when the sample number reaches its end.
class MatrixBuild::DirectStore {
 public:
  explicit DirectStore(std::vector<Sample>& samples)
      : samples_(samples), data_(samples.data()), capacity_(samples.size()) {}
  Sample& at(std::size_t s) { return data_[s]; }
  void mark(std::size_t, std::uint8_t) {}
  void reach(std::size_t s) {
    if (s == capacity_) [[unlikely]] {
      samples_.resize(s + kSampleBlock);
      data_ = samples_.data();
      capacity_ = samples_.size();
    }
  }

 private:
  std::vector<Sample>& samples_;
  Sample* data_;
  std::size_t capacity_;
};

// The second half of a split walk, which knows neither the sample number it
// starts at nor the column before it. It starts at sample 0 with a column
// before that every column is below, so its first record alone goes to
// sample 0 (the sample the first half ends in) and the records after it to
// samples 1, 2, … (placed after the first half's once both are done), each
// sample with the fields its records set.
class MatrixBuild::HalfStore {
 public:
  HalfStore() : samples(1), fields_(1) {}
  Sample& at(std::size_t s) { return samples[s]; }
  void mark(std::size_t s, std::uint8_t fields) { fields_[s] |= fields; }
  void reach(std::size_t s) {
    if (s == samples.size()) {
      samples.emplace_back();
      fields_.push_back(0);
    }
  }
  std::uint8_t fields(std::size_t k) const { return fields_[k]; }

  std::vector<Sample> samples;

 private:
  std::vector<std::uint8_t> fields_;
};

MatrixBuild::MatrixBuild(const RecordList& records, const DefinitionTable& definitions, const MatrixLists& lists,
                         const MatrixAxes& axes, char decimalMark, std::vector<Sample> samples)
    : records_(&records),
      arena_(records.arena()),
      size_(records.size()),
      axes_(axes),
      decimalMark_(decimalMark),
      values_(records, decimalMark),
      samples_(std::move(samples)),
      splitFrom_(kSplitRecords) {
  // The first definition of each request code + position field.
  std::unordered_map<std::string, std::int32_t> firstDefinition;
  for (std::size_t d = 0; d < definitions.size(); ++d)
    firstDefinition.emplace(definitions[d].requestCode + definitions[d].positionField, static_cast<std::int32_t>(d));
  plans_.reserve(records.sources().size());
  for (const RecordSource& source : records.sources()) {
    SourcePlan plan;
    const auto found = firstDefinition.find(source.requestCode + source.positionField);
    if (found != firstDefinition.end()) plan.column = found->second;
    const std::string key = matrixRecordKey(source);
    plan.role = key == lists.x ? Role::X : key == lists.y ? Role::Y : key == lists.data ? Role::Data : Role::None;
    plans_.push_back(plan);
  }
  if (samples_.size() < kSampleBlock) samples_.resize(kSampleBlock);
  progressMaximum_ = axes.cellCount() + records.size();
}

MatrixBuild::Position MatrixBuild::positionAfter(Position from, std::size_t records, std::size_t& walked) const {
  const std::size_t blocks = records_->blockCount();
  walked = 0;
  while (from.block < blocks && records > 0) {
    const std::size_t size = records_->block(from.block).size();
    const std::size_t take = std::min(size - from.in, records);
    records -= take;
    walked += take;
    from.in += take;
    if (from.in == size) {
      ++from.block;
      from.in = 0;
    }
  }
  return from;
}

template <class Store>
void MatrixBuild::walk(Position from, Position to, RecordValues& values, Store& store, WalkState& state) const {
  // Locals, so that the stores into the samples do not make the compiler
  // reload them for every record.
  std::size_t s = state.s;
  std::int32_t previous = state.previous;
  std::uint64_t progress = state.progress;
  const SourcePlan* const plans = plans_.data();
  for (Position at = from; at.block < to.block || (at.block == to.block && at.in < to.in); ++at.block, at.in = 0) {
    const RecordBlock block = records_->block(at.block);
    const std::size_t end = at.block == to.block ? to.in : block.size();
    for (std::size_t i = at.in; i < end; ++i) {
      const LogRecord& r = block[i];
      const SourcePlan plan = plans[r.source];
      if (plan.column < 0) continue;
      double v;
      if (!values.read(r.value, v)) continue;
      if (plan.role != Role::None) [[unlikely]] {
        Sample& sample = store.at(s);
        if (plan.role == Role::X) {
          sample.x = v;
          const int b = axes_.x.binOf(v);
          if (b >= 0) sample.xBin = b;
          store.mark(s, b >= 0 ? kX | kXBin : kX);
        } else if (plan.role == Role::Y) {
          sample.y = v;
          const int b = axes_.y.binOf(v);
          if (b >= 0) sample.yBin = b;
          store.mark(s, b >= 0 ? kY | kYBin : kY);
        } else {
          sample.z = v;
          store.mark(s, kZ);
        }
      }
      s += plan.column < previous ? 1 : 0;
      store.reach(s);
      previous = plan.column;
      ++progress;
    }
  }
  state = {s, previous, progress};
}

std::int32_t MatrixBuild::firstColumnFrom(Position at) {
  for (; at.block < records_->blockCount(); ++at.block, at.in = 0) {
    const RecordBlock block = records_->block(at.block);
    for (std::size_t i = at.in; i < block.size(); ++i) {
      const SourcePlan plan = plans_[block[i].source];
      double v;
      if (plan.column >= 0 && values_.read(block[i].value, v)) return plan.column;
    }
  }
  return 0;
}

void MatrixBuild::walkInTwo(Position from, Position middle, Position to) {
  DirectStore first(samples_);
  WalkState firstState{s_, previousColumn_, progress_};
  HalfStore second;
  WalkState secondState{0, std::numeric_limits<std::int32_t>::max(), 0};
  runParts(2, [&](std::size_t part) {
    if (part == 0) {
      walk(from, middle, values_, first, firstState);
    } else {
      RecordValues values(*records_, decimalMark_);
      walk(middle, to, values, second, secondState);
    }
  });
  s_ = firstState.s;
  previousColumn_ = firstState.previous;
  progress_ = firstState.progress + secondState.progress;
  if (secondState.s == 0) return;  // no record of the second half took part
  // The column of the second half's first record that took part decides
  // whether the sample number moved on after it.
  const std::int32_t firstColumn = firstColumnFrom(middle);
  const std::size_t headAt = s_;
  // Where the second half's sample 1 goes.
  const std::size_t next = headAt + (firstColumn < previousColumn_ ? 1 : 0);
  s_ = next + secondState.s - 1;
  // The list grows as one walk would have grown it.
  std::size_t capacity = samples_.size();
  while (s_ >= capacity) capacity += kSampleBlock;
  samples_.resize(capacity);
  copyFields(second.samples[0], second.fields(0), samples_[headAt]);
  for (std::size_t k = 1; k <= secondState.s; ++k)
    copyFields(second.samples[k], second.fields(k), samples_[next + k - 1]);
  previousColumn_ = secondState.previous;
}

bool MatrixBuild::advance(std::size_t maxRecords) {
  const Position from{block_, inBlock_};
  std::size_t walked = 0;
  const Position to = positionAfter(from, maxRecords, walked);
  if (walked >= splitFrom_ && walked >= 2 && processorParts() >= 2) {
    std::size_t firstHalf = 0;
    walkInTwo(from, positionAfter(from, walked / 2, firstHalf), to);
  } else {
    DirectStore store(samples_);
    WalkState state{s_, previousColumn_, progress_};
    walk(from, to, values_, store, state);
    s_ = state.s;
    previousColumn_ = state.previous;
    progress_ = state.progress;
  }
  block_ = to.block;
  inBlock_ = to.in;
  return done();
}

}  // namespace tervolin
