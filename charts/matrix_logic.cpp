#include "charts/matrix_logic.h"

#include <array>
#include <span>
#include <variant>

#include "charts/matrix_grid.h"
#include "charts/matrix_items.h"
#include "common/text.h"
#include "profiles/settings_store.h"

namespace tervolin {

namespace {

// The stored values, in the order they are written.
constexpr std::array<std::string_view, 3> kListValues = {"cbb1", "cbb2", "cbb3"};
constexpr std::array<std::string_view, 6> kQuantValues = {"minx", "maxx", "stepx", "miny", "maxy", "stepy"};

std::array<std::string*, 3> listFields(MatrixLists& l) { return {&l.x, &l.y, &l.data}; }
std::array<std::string*, 6> quantFields(QuantTexts& q) {
  return {&q.minX, &q.maxX, &q.stepX, &q.minY, &q.maxY, &q.stepY};
}

}  // namespace

MatrixLogic::MatrixLogic(const AppState& state, Registry& registry, UserChannel& channel)
    : state_(state), registry_(registry), channel_(channel) {}

MatrixLogic::~MatrixLogic() = default;

std::string MatrixLogic::settingsKey() const { return settings::settingsKey(state_.profileCode, settings::kMatrix); }

void MatrixLogic::activate() {
  items_ = matrixItems(state_.definitions, state_.requestCodeWidth);
  const std::string key = settingsKey();
  if (registry_.keyExists(key)) {
    for (std::size_t k = 0; k < kListValues.size(); ++k)
      *listFields(lists_)[k] = registry_.readString(key, kListValues[k]).value_or("");
    for (std::size_t k = 0; k < kQuantValues.size(); ++k)
      *quantFields(quant_)[k] = registry_.readString(key, kQuantValues[k]).value_or("");
  }
  if (lists_.data != kNullItem) zRange_ = scanRange(state_.records, lists_.data, state_.decimalMark, channel_);
}

void MatrixLogic::selectAxis(std::string_view text, std::string& list, ValueRange& range, std::string& min,
                             std::string& step, std::string& max) {
  list = text;
  startEnabled_ = true;
  range = scanRange(state_.records, text, state_.decimalMark, channel_);
  AxisTexts t = axisTexts(range, state_.decimalMark);
  min = std::move(t.min);
  step = std::move(t.step);
  max = std::move(t.max);
}

void MatrixLogic::selectX(std::string_view text) {
  selectAxis(text, lists_.x, xRange_, quant_.minX, quant_.stepX, quant_.maxX);
}

void MatrixLogic::selectY(std::string_view text) {
  selectAxis(text, lists_.y, yRange_, quant_.minY, quant_.stepY, quant_.maxY);
}

void MatrixLogic::selectData(std::string_view text) {
  lists_.data = text;
  startEnabled_ = true;
  zRange_ = scanRange(state_.records, text, state_.decimalMark, channel_);
}

bool MatrixLogic::startBuild() {
  if (build_) return false;
  if (lists_.x == kNullItem || lists_.y == kNullItem || lists_.data == kNullItem) {
    channel_.message("Вы должны выбрать из списка!"_w);
    return false;
  }
  startEnabled_ = false;
  auto axes = readAxes(quant_, state_.decimalMark);
  if (const auto* error = std::get_if<std::string>(&axes)) {
    channel_.message(*error);
    return false;
  }
  buildAxes_ = std::get<MatrixAxes>(std::move(axes));
  layOutMatrixGrid(buildAxes_, state_.decimalMark, grid_);
  shown_ = false;
  build_ = std::make_unique<MatrixBuild>(state_.records, state_.definitions, lists_, buildAxes_, state_.decimalMark,
                                         std::move(samples_));
  progressMaximum_ = build_->progressMaximum();
  progress_ = 0;
  return true;
}

bool MatrixLogic::continueBuild(std::size_t maxRecords) {
  if (!build_) return true;
  if (!build_->stillReads(state_.records)) {
    // Another log was opened meanwhile: the build is given up; the last
    // finished build stays what the window shows.
    samples_ = build_->takeSamples();
    build_.reset();
    progress_ = 0;
    if (built_) fillMatrix();
    else {
      grid_.reset();
      shown_ = false;
    }
    return true;
  }
  const bool done = build_->advance(maxRecords);
  progress_ = build_->progress();
  if (done) finishBuild();
  return done;
}

bool MatrixLogic::buildNow() {
  if (!startBuild()) return false;
  continueBuild(SIZE_MAX);
  return built_;
}

void MatrixLogic::finishBuild() {
  s_ = build_->lastSample();
  samples_ = build_->takeSamples();
  build_.reset();
  axes_ = std::move(buildAxes_);
  cells_ = MatrixCells(std::span<const Sample>(samples_.data(), s_ + 1), axes_.x.count(), axes_.y.count());
  built_ = true;
  ++finishedBuilds_;
}

void MatrixLogic::setMode(int mode) {
  if (mode >= 0 && mode < static_cast<int>(kAggregationModes.size())) mode_ = mode;
}

void MatrixLogic::fillMatrix() {
  if (!built_) return;
  progressMaximum_ = axes_.cellCount();
  layOutMatrixGrid(axes_, state_.decimalMark, grid_);
  fillMatrixGrid(cells_, mode_, minHits_, state_.decimalMark, grid_);
  progress_ = progressMaximum_;
  shown_ = true;
  shownMode_ = mode_;
  shownMinHits_ = minHits_;
  heatScale_ = tervolin::heatScale(cells_, mode_, minHits_);
}

std::vector<ChartSeries> MatrixLogic::chartSeries() const {
  if (!built_) return {};
  return tervolin::chartSeries(axes_, cells_, mode_, state_.decimalMark);
}

std::vector<ChartPoint> MatrixLogic::rowPoints(int yBin) const {
  if (!built_) return {};
  return tervolin::rowPoints(axes_, cells_, yBin, mode_);
}

std::string MatrixLogic::rowTitle(int yBin) const { return fixed2(axes_.y.centre(yBin), state_.decimalMark); }

bool MatrixLogic::storeSettings() {
  const std::string key = settingsKey();
  bool ok = registry_.createKey(key);
  for (std::size_t k = 0; k < kListValues.size(); ++k)
    ok = registry_.writeString(key, kListValues[k], *listFields(lists_)[k]) && ok;
  for (std::size_t k = 0; k < kQuantValues.size(); ++k)
    ok = registry_.writeString(key, kQuantValues[k], *quantFields(quant_)[k]) && ok;
  return ok;
}

}  // namespace tervolin
