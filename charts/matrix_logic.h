#pragma once
// The logic of the three-dimensional matrix window: the three parameter
// lists and the quantisation grid, the range scans on selecting, the build
// (in slices, so that the window stays responsive), the matrix grid of every
// aggregation mode, the chart points and the settings kept per profile. The
// window only forwards its controls here. Its state lives as long as the
// program runs; closing and reopening the window keeps the samples of the
// last build.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "charts/matrix_bins.h"
#include "charts/matrix_build.h"
#include "charts/matrix_cells.h"
#include "charts/matrix_chart.h"
#include "charts/matrix_heat.h"
#include "charts/matrix_items.h"
#include "charts/matrix_ranges.h"
#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin {

class MatrixLogic {
 public:
  MatrixLogic(const AppState& state, Registry& registry, UserChannel& channel);
  ~MatrixLogic();

  // Showing the window: the lists get one item per current definition (the
  // texts they show stay), then the texts and the grid cells stored for the
  // profile replace them when the profile's key exists; the Z range is
  // recomputed when a data parameter is chosen.
  void activate();

  const std::vector<std::string>& items() const { return items_; }
  const MatrixLists& lists() const { return lists_; }
  QuantTexts& quantTexts() { return quant_; }
  const QuantTexts& quantTexts() const { return quant_; }

  // Choosing a list item (or typing a text): the X and Y lists write Min,
  // Step and Max of their grid row from their range; the data list computes
  // the Z range. Each enables the start button.
  void selectX(std::string_view text);
  void selectY(std::string_view text);
  void selectData(std::string_view text);
  bool startEnabled() const { return startEnabled_; }
  // The three list texts as they are, without a scan (a restored or typed
  // choice); the start button is not touched.
  void setLists(const MatrixLists& lists) { lists_ = lists; }

  // "&ПУСК!": false when the build does not start (a list shows "<null>",
  // or a grid cell is not a number, a step is 0 …: the user was told). When
  // it starts, the matrix grid is laid out and the walk waits for
  // continueBuild.
  bool startBuild();
  bool building() const { return build_ != nullptr; }
  // Walks up to `maxRecords` further records. True when the build is over:
  // finished (built() tells) or given up because the record list changed.
  bool continueBuild(std::size_t maxRecords);
  // The whole build at once (the command-line tool, the tests).
  bool buildNow();

  // The progress bar over both phases.
  std::uint64_t progressMaximum() const { return progressMaximum_; }
  std::uint64_t progress() const { return progress_; }

  // The last finished build: its sample number s, axes and cell aggregates.
  bool built() const { return built_; }
  // Counts the builds that finished (a given-up build does not count).
  std::uint64_t finishedBuilds() const { return finishedBuilds_; }
  std::size_t lastSample() const { return s_; }
  const MatrixAxes& axes() const { return axes_; }
  const MatrixCells& cells() const { return cells_; }
  const std::vector<Sample>& samples() const { return samples_; }

  // "Что показать" and the minimum hits a cell needs to be shown.
  int mode() const { return mode_; }
  void setMode(int mode);
  std::uint32_t minHits() const { return minHits_; }
  void setMinHits(std::uint32_t hits) { minHits_ = hits == 0 ? 1 : hits; }

  // Writes the matrix of the current mode into the grid (progress: one step
  // per cell).
  void fillMatrix();
  const Grid& grid() const { return grid_; }
  // Whether the grid shows cell values, in which mode and from how many
  // hits, and the heat map's scale over them (nothing when no cell shows).
  bool shown() const { return shown_; }
  int shownMode() const { return shownMode_; }
  std::uint32_t shownMinHits() const { return shownMinHits_; }
  const std::optional<HeatScale>& heatScale() const { return heatScale_; }

  // The chart's points for the current mode.
  std::vector<ChartSeries> chartSeries() const;
  std::vector<ChartPoint> rowPoints(int yBin) const;
  const ValueRange& zRange() const { return zRange_; }
  // Y value of a track bar position (fixed, 2 decimals).
  std::string rowTitle(int yBin) const;

  // Closing the window: the list texts and grid cells under the profile's
  // matrix key (created when missing). False when a write failed.
  bool storeSettings();

 private:
  std::string settingsKey() const;
  // Choosing an X or Y parameter: its list text, its range and its grid row.
  void selectAxis(std::string_view text, std::string& list, ValueRange& range, std::string& min, std::string& step,
                  std::string& max);
  void finishBuild();

  const AppState& state_;
  Registry& registry_;
  UserChannel& channel_;
  std::vector<std::string> items_;
  MatrixLists lists_{std::string(kNullItem), std::string(kNullItem), std::string(kNullItem)};
  QuantTexts quant_;
  bool startEnabled_ = false;
  ValueRange xRange_, yRange_, zRange_;

  std::unique_ptr<MatrixBuild> build_;
  MatrixAxes buildAxes_;  // of the build under way
  std::uint64_t progress_ = 0, progressMaximum_ = 0;

  bool built_ = false;
  std::uint64_t finishedBuilds_ = 0;
  std::size_t s_ = 0;
  MatrixAxes axes_;
  MatrixCells cells_;
  std::vector<Sample> samples_;

  int mode_ = 0;
  std::uint32_t minHits_ = 1;
  Grid grid_;
  bool shown_ = false;
  int shownMode_ = 0;
  std::uint32_t shownMinHits_ = 1;
  std::optional<HeatScale> heatScale_;
};

}  // namespace tervolin
