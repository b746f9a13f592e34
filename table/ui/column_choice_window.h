#pragma once
// TForm5, the column choice window: one row per parameter with its heading
// key, its name and whether its column is shown ("Да"/"Нет"). Double click
// toggles the row selected last; "Применить" stores the choice and applies
// the layout to the main grid. The logic is ColumnChoice; this window only
// forwards its controls.

#include <QDialog>

#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"
#include "table/column_choice.h"
#include "table/grid.h"

class QPushButton;
class QTableWidget;

namespace tervolin {

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  TForm5(AppState& state, Registry& registry, UserChannel& channel, Grid& mainGrid, QWidget* parent = nullptr);

  QTableWidget* s_pids;
  QPushButton* btnApply;
  QPushButton* btnCancel;
  QPushButton* btnInvert;
  QPushButton* btnAll;

 public slots:
  void FormActivate();
  void s_pidsSelectCell(int row, int column);
  void s_pidsDblClick();
  void btnApplyClick();
  void btnInvertClick();
  void btnAllClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fill();
  void showMarks();

  AppState& state_;
  Registry& registry_;
  UserChannel& channel_;
  Grid& mainGrid_;
  ColumnChoice choice_;
};

}  // namespace tervolin
