#pragma once
// TForm9, the general settings dialog: the external program's folder, the
// display options and the clean-up of stored graph settings. Reading and
// writing the settings is settings_store; this window only forwards.

#include <QDialog>

#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tervolin {

class FileChooser;

class TForm9 : public QDialog {
  Q_OBJECT

 public:
  TForm9(AppState& state, Registry& registry, UserChannel& channel, FileChooser& chooser,
         QWidget* parent = nullptr);

  // At the first run "Отмена" is disabled: only "Сохранить" leaves the dialog.
  void setFirstRun(bool firstRun);

  QCheckBox* chk1;
  QCheckBox* chk2;
  QCheckBox* chk3;
  QCheckBox* chk4;
  QCheckBox* chk5;
  QLabel* lbl4;
  QLineEdit* edt4;
  QPushButton* btn3;
  QPushButton* btn1;
  QPushButton* btn2;
  QPushButton* btn4;

 public slots:
  void FormActivate();
  void btn1Click();
  void btn2Click();
  void btn3Click();
  void btn4Click();
  void chk3Click();
  void chk4Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void showPath();

  AppState& state_;
  Registry& registry_;
  UserChannel& channel_;
  FileChooser& chooser_;
};

}  // namespace tervolin
