#pragma once
// Tfiltr, the filter dialog: parameter, operator and value of one condition.
// "OK" applies it to the main grid (ApplyFiltr) and closes; "Cancel" closes
// and changes nothing. The inputs keep the last condition between uses; the
// parameter list is refilled every time the dialog is shown.

#include <QDialog>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/grid.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tervolin {

class Tfiltr : public QDialog {
  Q_OBJECT

 public:
  Tfiltr(AppState& state, UserChannel& channel, Grid& grid, QWidget* parent = nullptr);

  QLabel* lbl1;
  QComboBox* cbb1;  // parameter: name, two blanks, request code
  QLabel* lbl2;
  QComboBox* cbb2;  // operator
  QLineEdit* edt2;  // value
  QPushButton* btnOK;
  QPushButton* btnCancel;

 public slots:
  void FormActivate();
  void btnOKClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AppState& state_;
  UserChannel& channel_;
  Grid& grid_;
};

}  // namespace tervolin
