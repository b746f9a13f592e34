#pragma once
// The matrix build: one walk through the record list that groups the
// records into samples (a new sample starts when the column index of a
// record's definition runs back, i.e. a new pass through the parameters
// begins) and bins every sample by its X and Y values.
//
// For every record: the first definition whose request code followed by its
// position field equals the record's is looked up (none: the record is
// passed over); the value is read as a number (a value that does not convert
// is passed over silently); a record of the X list sets x and the X bin
// (unchanged when the value lies in no bin), else one of the Y list sets y
// and the Y bin, else one of the data list sets z; then, when the column c
// of the definition is below the previous one, the sample number s moves on
// (the record that starts a new pass is stored in the sample before).
//
// The walk can run in slices, so a window stays responsive while it builds;
// between slices the record list must not change (stillReads() tells). A
// long slice is walked in two halves at once, the second half's samples
// placed after the first's when both are done (same result as one walk).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "charts/matrix_bins.h"
#include "charts/matrix_samples.h"
#include "charts/record_values.h"
#include "common/param_def.h"
#include "common/record_list.h"

namespace tervolin {

// The texts of the three parameter lists.
struct MatrixLists {
  std::string x, y, data;
};

class MatrixBuild {
 public:
  // `samples` is the sample list of the build before: entries no record
  // sets keep what it held (zeros in a list that grows).
  MatrixBuild(const RecordList& records, const DefinitionTable& definitions, const MatrixLists& lists,
              const MatrixAxes& axes, char decimalMark, std::vector<Sample> samples);

  // Walks up to `maxRecords` further records; true when the walk is done.
  bool advance(std::size_t maxRecords);
  // Walks what is left.
  void run() { advance(SIZE_MAX); }

  bool done() const { return block_ >= records_->blockCount(); }
  // Slices of at least this many records are walked in two halves at once
  // (tests set it low to walk small logs so).
  void splitSlicesFrom(std::size_t records) { splitFrom_ = records; }
  // True while `records` is still the list this build walks, unchanged.
  bool stillReads(const RecordList& records) const {
    return &records == records_ && records.arena() == arena_ && records.size() == size_;
  }

  // The progress bar: maximum (cells + records), position one step per
  // record that took part.
  std::uint64_t progressMaximum() const { return progressMaximum_; }
  std::uint64_t progress() const { return progress_; }

  // The current sample number s: samples 0 … s make the matrix.
  std::size_t lastSample() const { return s_; }
  const std::vector<Sample>& samples() const { return samples_; }
  std::vector<Sample> takeSamples() { return std::move(samples_); }

 private:
  enum class Role : std::uint8_t { None, X, Y, Data };
  struct SourcePlan {
    std::int32_t column = -1;  // position of the record's definition; -1 when it has none
    Role role = Role::None;
  };

  // Where a walk stands: a block and the record within it.
  struct Position {
    std::size_t block = 0, in = 0;
  };
  class DirectStore;
  class HalfStore;
  Position positionAfter(Position from, std::size_t records, std::size_t& walked) const;
  struct WalkState {
    std::size_t s;
    std::int32_t previous;
    std::uint64_t progress;
  };
  template <class Store>
  void walk(Position from, Position to, RecordValues& values, Store& store, WalkState& state) const;
  void walkInTwo(Position from, Position middle, Position to);
  // The column of the first record from `at` on that takes part in the walk.
  std::int32_t firstColumnFrom(Position at);

  const RecordList* records_;
  std::shared_ptr<TextArena> arena_;
  std::size_t size_;
  MatrixAxes axes_;
  char decimalMark_;
  RecordValues values_;
  std::vector<SourcePlan> plans_;
  std::vector<Sample> samples_;
  std::size_t block_ = 0, inBlock_ = 0;  // where the walk goes on
  std::size_t s_ = 0;
  std::int32_t previousColumn_ = 0;
  std::uint64_t progress_ = 0, progressMaximum_ = 0;
  std::size_t splitFrom_;
};

}  // namespace tervolin
