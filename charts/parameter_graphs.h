#pragma once
// The logic of the parameter graphs window: activation (lists, log key,
// defaults, restored settings, timing), the build, the colours and width
// applied at once, the cursor readout, the two markers and the store on
// close. The window forwards its controls and events here and draws what it
// is told; the command-line tool drives the same class.

#include <array>
#include <string>
#include <vector>

#include "charts/graph_settings.h"
#include "charts/series_build.h"
#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"

namespace tervolin {

class ParameterGraphs {
 public:
  ParameterGraphs(AppState& state, Registry& registry, UserChannel& channel);

  // Entries of the colour pickers: the 20 listed colours and the system
  // colours the window appends.
  void setColourCount(int count) { sizes_.colours = count; }

  // FormActivate: fills the lists ("Нет" first; one item per graph-file
  // channel or per definition of the current definition file), brings the
  // log key up to date, sets the defaults, restores the stored settings and
  // fills the timing field from the time step. True when it ran to its end
  // (the labels are then hidden); false when the log could not be read or a
  // stored field did not convert.
  bool activate(GraphControls& controls);
  const std::vector<std::string>& items() const { return items_; }
  // Selects item `index` (-1 or beyond the list: none) in list k.
  void selectItem(GraphControls& controls, int k, int index) const;
  // The first item with this text, -1 when none has it.
  int itemIndex(std::string_view text) const;
  // The timing field can be edited until activation fills it from the time
  // step; nothing enables it again.
  bool timingEnabled() const { return timingEnabled_; }

  // Applied at once by the pickers and the width list (-1 changes nothing).
  void setSeriesColour(int k, int index);
  void setBackground(int index);
  void setLineWidth(int index);
  int seriesColour(int k) const { return colour_[k]; }
  int background() const { return background_; }
  int lineWidth() const { return lineWidth_; }  // 1 ... 7

  // btn1Click.
  void build(const GraphControls& controls);
  const SeriesData& series(int k) const { return series_[k]; }
  const AxisBounds& axis() const { return axis_; }
  bool leftAxisVisible() const { return leftAxisVisible_; }
  double timeStep() const { return state_.requestInterval; }

  // FormClose: RegWrite.
  void store(const GraphControls& controls);

  // Cursor mode, toggled by a double click; off when the program starts.
  bool cursorMode() const { return cursorMode_; }
  void toggleCursorMode() { cursorMode_ = !cursorMode_; }
  // A mouse move in cursor mode at pixel column `pixel`, whose x value is
  // `xv`: remembers the column and computes the six labels.
  void cursorAt(int pixel, double xv);
  int lastCursorPixel() const { return lastCursorPixel_; }
  const std::array<std::string, kSeriesCount>& labels() const { return labels_; }

  // ch1Click in cursor mode, `x` the bottom-axis value of the last cursor
  // column: sets marker 1, then marker 2, then nothing. Switches cursor mode
  // off when it sets one. Returns the marker set (1 or 2), 0 for none.
  int markerClick(double x, const GraphControls& controls);
  int markerCount() const { return markerCount_; }
  const std::string& markerText(int marker) const { return marker == 1 ? txt1_ : txt2_; }
  // "Убрать маркеры", resize and zoom.
  void removeMarkers() { markerCount_ = 0; }

  char decimalMark() const { return state_.decimalMark; }

 private:
  AppState& state_;
  Registry& registry_;
  UserChannel& channel_;
  ControlSizes sizes_;
  std::vector<std::string> items_;
  bool timingEnabled_ = true;

  std::array<int, kSeriesCount> colour_ = kDesignSeriesColours;
  int background_ = kWhiteColour;
  int lineWidth_ = 1;
  bool leftAxisVisible_ = true;

  std::array<SeriesData, kSeriesCount> series_;
  AxisBounds axis_;

  bool cursorMode_ = false;
  int lastCursorPixel_ = 0;
  std::array<std::string, kSeriesCount> labels_;
  int markerCount_ = 0;
  double x1_ = 0, x2_ = 0;
  std::string txt1_, txt2_;
};

}  // namespace tervolin
