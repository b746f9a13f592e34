#pragma once
// TForm8, the profile dialog: a tree of car makers and ECU types. The choice
// itself is ProfileChoice; this window only forwards its controls.

#include <QDialog>

#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"
#include "profiles/profile_choice.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tervolin {

class TForm9;

class TForm8 : public QDialog {
  Q_OBJECT

 public:
  TForm8(AppState& state, Registry& registry, UserChannel& channel, TForm9& settings,
         QWidget* parent = nullptr);

  // True when the user ended the program from this dialog ("&Отмена", or No
  // to the missing-profile warning); the caller ends the program after exec().
  bool programEnded() const { return programEnded_; }

  QTreeWidget* tv1;
  QLabel* lbl1;
  QPushButton* btnok;
  QPushButton* btncanc;
  QPushButton* btnchoose;

 public slots:
  void FormActivate();
  void tv1DblClick();
  void btnokClick();
  void btncancClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fillTree();
  void endProgram();
  // The index in profileTree() of the node highlighted in tv1.
  std::optional<std::size_t> selectedNode() const;

  ProfileChoice choice_;
  TForm9& settings_;
  bool programEnded_ = false;
};

}  // namespace tervolin
