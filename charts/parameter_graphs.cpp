#include "charts/parameter_graphs.h"

#include "charts/series_items.h"
#include "charts/series_readout.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "common/text.h"
#include "logs/log_key.h"
#include "profiles/definition_file.h"
#include "table/open_log.h"

namespace tervolin {
namespace {

constexpr std::string_view kNoParameter = "Нет"_w;
constexpr std::string_view kCannotRead = "Ошибка ввода/вывода: не удаётся прочитать файл "_w;
constexpr std::string_view kWriteFailed = "Ошибка записи настроек в реестр"_w;
constexpr int kLineWidths = 7;

}  // namespace

ParameterGraphs::ParameterGraphs(AppState& state, Registry& registry, UserChannel& channel)
    : state_(state), registry_(registry), channel_(channel) {}

bool ParameterGraphs::activate(GraphControls& controls) {
  items_.assign(1, std::string(kNoParameter));
  controls.timing.clear();
  const int width = state_.requestCodeWidth;
  if (logKindOf(state_.openFileName) == LogKind::GraphFile) {
    // The graph file's channel table: the reader names every channel, empty
    // ones included, as the record sources.
    for (const RecordSource& s : state_.records.sources())
      items_.push_back(seriesItem(s.requestCode, s.positionField, s.name, width));
  } else {
    rIniF(state_, channel_, state_.definitionFileName);
    for (const ParamDef& d : state_.definitions) items_.push_back(seriesItem(d.requestCode, d.positionField, d.name, width));
  }
  sizes_.items = static_cast<int>(items_.size());

  if (!refreshLogKey(state_)) {
    channel_.message(std::string(kCannotRead) + pathText(state_.openFileName));
    return false;
  }

  controls.list.fill(0);
  controls.colour = colour_;
  controls.background = background_;
  controls.cursorLine = kBlackColour;
  controls.lineWidth = 0;
  const bool restored = restoreGraphSettings(registry_, state_.logKey, sizes_, controls, channel_);
  for (int k = 0; k < kSeriesCount; ++k) selectItem(controls, k, controls.list[k]);
  if (!restored) return false;

  if (controls.timing.empty() && state_.requestInterval > 0) {
    controls.timing = generalText(state_.requestInterval, state_.decimalMark);
    timingEnabled_ = false;
  }
  return true;
}

void ParameterGraphs::selectItem(GraphControls& controls, int k, int index) const {
  const bool inList = index >= 0 && index < static_cast<int>(items_.size());
  controls.list[k] = inList ? index : -1;
  controls.listText[k] = inList ? items_[static_cast<std::size_t>(index)] : std::string();
}

int ParameterGraphs::itemIndex(std::string_view text) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == text) return static_cast<int>(i);
  return -1;
}

void ParameterGraphs::setSeriesColour(int k, int index) {
  if (index >= 0) colour_[k] = index;
}

void ParameterGraphs::setBackground(int index) {
  if (index >= 0) background_ = index;
}

void ParameterGraphs::setLineWidth(int index) {
  if (index >= 0 && index < kLineWidths) lineWidth_ = index + 1;
}

void ParameterGraphs::build(const GraphControls& controls) {
  for (int k = 0; k < kSeriesCount; ++k) setSeriesColour(k, controls.colour[k]);
  setBackground(controls.background);
  setLineWidth(controls.lineWidth);
  leftAxisVisible_ = !controls.fit;

  SeriesRequest request;
  request.items = controls.listText;
  request.timing = controls.timing;
  request.unit = controls.unit;
  request.fit = controls.fit;
  const SeriesInput input{state_.records, state_.definitions.size(), state_.requestCodeWidth, state_.decimalMark};
  axis_ = buildSeries(input, request, state_.requestInterval, series_, channel_);
}

void ParameterGraphs::store(const GraphControls& controls) {
  if (!storeGraphSettings(registry_, state_.logKey, controls, state_.decimalMark)) channel_.message(kWriteFailed);
}

void ParameterGraphs::cursorAt(int pixel, double xv) {
  lastCursorPixel_ = pixel;
  for (int k = 0; k < kSeriesCount; ++k) labels_[k] = labelText(series_[k], xv, state_.decimalMark);
}

int ParameterGraphs::markerClick(double x, const GraphControls& controls) {
  if (!cursorMode_ || markerCount_ >= 2) return 0;
  cursorMode_ = false;
  ++markerCount_;
  if (markerCount_ == 1) {
    x1_ = x;
    txt1_ = firstMarkerText(labels_, x1_, controls.unit, state_.decimalMark);
  } else {
    x2_ = x;
    txt2_ = secondMarkerText(labels_, x1_, x2_, controls.unit, state_.decimalMark);
  }
  return markerCount_;
}

}  // namespace tervolin
