#pragma once
// TForm7, "Поищем значения?": a candidate formula and a plausible range in,
// the byte positions of the open log's responses whose values stayed in the
// range out. The range comes from rangeFromFormulaText, the search is
// searchFormula; this window only forwards its controls and shows results.
// Made anew for every use, shown modally and destroyed when closed.

#include <QDialog>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "research/formula_search.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tervolin {

class TForm7 : public QDialog {
  Q_OBJECT

 public:
  TForm7(AppState& state, UserChannel& channel, QWidget* parent = nullptr);

  QComboBox* Formula;     // "Возможная формула?"
  QLineEdit* edtmin;      // "Минимальное значение"
  QLineEdit* edtmax;      // "Максимальное значение"
  QCheckBox* chk1;        // "Инверсия"
  QPushButton* btn1;      // "Поиск"
  QPushButton* btnexit;   // "Выход"
  QPlainTextEdit* mmo1;   // one line per matching byte position
  QLineEdit* edtz;        // "Рез-т": shown, not used

 public slots:
  void FormulaExit();  // the formula list lost the focus
  void btn1Click();
  void btnexitClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  SearchRequest request() const;
  void showLines(const std::vector<std::string>& lines);

  AppState& state_;
  UserChannel& channel_;
};

}  // namespace tervolin
