#pragma once
// The logic of the column choice window (TForm5): one row per definition
// with its heading key, its name and whether its column is shown; the
// window forwards its grid and buttons here.

#include <string>
#include <string_view>
#include <vector>

#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin {

class ColumnChoice {
 public:
  struct Row {
    std::string key;   // heading key
    std::string name;
    bool shown = true;
  };

  // "Да" / "Нет", as the third column shows a row.
  static std::string_view shownText(bool shown);

  // Activation: one row per definition, all shown, then the rows of the
  // stored hidden list (pieces of the profile's heading key length) hidden.
  // Forgets the selected row.
  void activate(AppState& state, Registry& registry);

  const std::vector<Row>& rows() const { return rows_; }

  // A cell of the window's grid was selected: `gridRow` 0 is the heading,
  // row i + 1 belongs to definition i.
  void selectRow(int gridRow) { selected_ = gridRow; }
  // Double click: toggles the row selected last; nothing on the heading or
  // before any selection.
  void toggleSelected();
  void invert();
  void selectAll();

  // "Применить": stores the keys of the hidden rows as the hidden list and
  // applies the layout to the main grid.
  void apply(AppState& state, Registry& registry, UserChannel& channel, Grid& mainGrid) const;

 private:
  std::vector<Row> rows_;
  int selected_ = -1;
};

}  // namespace tervolin
