#include "table/column_choice.h"

#include "common/text.h"
#include "table/column_layout.h"

namespace tervolin {

std::string_view ColumnChoice::shownText(bool shown) { return shown ? "Да"_w : "Нет"_w; }

void ColumnChoice::activate(AppState& state, Registry& registry) {
  rows_.clear();
  rows_.reserve(state.definitions.size());
  for (const ParamDef& def : state.definitions) rows_.push_back({headingKey(def), def.name, true});
  selected_ = -1;
  for (const std::string& piece : hiddenListPieces(storedHiddenList(state, registry), headingKeyLength(state)))
    for (Row& row : rows_)
      if (row.key == piece) row.shown = false;
}

void ColumnChoice::toggleSelected() {
  if (selected_ < 1 || selected_ > static_cast<int>(rows_.size())) return;
  Row& row = rows_[static_cast<std::size_t>(selected_ - 1)];
  row.shown = !row.shown;
}

void ColumnChoice::invert() {
  for (Row& row : rows_) row.shown = !row.shown;
}

void ColumnChoice::selectAll() {
  for (Row& row : rows_) row.shown = true;
}

void ColumnChoice::apply(AppState& state, Registry& registry, UserChannel& channel, Grid& mainGrid) const {
  std::string hidden;
  for (const Row& row : rows_)
    if (!row.shown) hidden += row.key;
  storeHiddenList(state, registry, hidden);
  applyColumnLayout(state, registry, channel, mainGrid);
}

}  // namespace tervolin
