#include "charts/matrix_build.h"

#include <algorithm>
#include <unordered_map>

#include "charts/matrix_items.h"

namespace tervolin {

namespace {
// The sample list grows in steps of this many entries.
constexpr std::size_t kSampleBlock = 100;
}  // namespace

MatrixBuild::MatrixBuild(const RecordList& records, const DefinitionTable& definitions, const MatrixLists& lists,
                         const MatrixAxes& axes, char decimalMark, std::vector<Sample> samples)
    : records_(&records),
      arena_(records.arena()),
      size_(records.size()),
      axes_(axes),
      values_(records, decimalMark),
      samples_(std::move(samples)) {
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

bool MatrixBuild::advance(std::size_t maxRecords) {
  const std::size_t blocks = records_->blockCount();
  std::size_t left = maxRecords;
  // Locals, so that the stores into the plans and samples do not make the
  // compiler reload them for every record.
  std::size_t s = s_;
  std::int32_t previous = previousColumn_;
  std::uint64_t progress = progress_;
  SourcePlan* const plans = plans_.data();
  Sample* samples = samples_.data();
  std::size_t capacity = samples_.size();
  while (block_ < blocks && left > 0) {
    const RecordBlock block = records_->block(block_);
    const std::size_t end = block.size() - inBlock_ > left ? inBlock_ + left : block.size();
    left -= end - inBlock_;
    for (std::size_t i = inBlock_; i < end; ++i) {
      const LogRecord& r = block[i];
      const SourcePlan plan = plans[r.source];
      if (plan.column < 0) continue;
      double v;
      if (!values_.read(r.value, v)) continue;
      if (plan.role != Role::None) [[unlikely]] {
        Sample& sample = samples[s];
        if (plan.role == Role::X) {
          sample.x = v;
          if (const int b = axes_.x.binOf(v); b >= 0) sample.xBin = b;
        } else if (plan.role == Role::Y) {
          sample.y = v;
          if (const int b = axes_.y.binOf(v); b >= 0) sample.yBin = b;
        } else {
          sample.z = v;
        }
      }
      s += plan.column < previous ? 1 : 0;
      if (s == capacity) [[unlikely]] {
        samples_.resize(s + kSampleBlock);
        samples = samples_.data();
        capacity = samples_.size();
      }
      previous = plan.column;
      ++progress;
    }
    inBlock_ = end;
    if (inBlock_ == block.size()) {
      ++block_;
      inBlock_ = 0;
    }
  }
  s_ = s;
  previousColumn_ = previous;
  progress_ = progress;
  return done();
}

}  // namespace tervolin
