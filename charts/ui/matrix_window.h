#pragma once
// The three-dimensional matrix window (TForm11, "Трехмерные таблицы и
// графики"): three parameter lists, the aggregation mode and the
// quantisation grid above two tabs, "График" (a 3D set of lines, one per Y
// row, or the 2D line of one row) and "Матрица" (the matrix grid with its
// heat map). Not modal: it stays open beside the main window. Every decision
// is MatrixLogic's; the window forwards its controls there and shows what it
// gives. The build walks the records in slices between which the window
// repaints and answers, with pb1 showing how far it is.

#include <QWidget>
#include <memory>

#include "charts/matrix_logic.h"
#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"
#include "qt/file_chooser.h"

class QCheckBox;
class QComboBox;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace tervolin {

class MatrixChart3D;
class MatrixGridModel;
class MatrixHeatLegend;

class TForm11 : public QWidget {
  Q_OBJECT
 public:
  TForm11(AppState& state, Registry& registry, UserChannel& channel, FileChooser& chooser,
          QWidget* parent = nullptr);
  ~TForm11() override;

  MatrixLogic& logic() { return logic_; }
  // The 3D view, for checks and screenshots.
  MatrixChart3D* view3d() const { return view3d_; }
  QCustomPlot* plot2d() const { return plot2d_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void FormActivate();
  void cbb1Exit(const QString& text);
  void cbb2Exit(const QString& text);
  void cbb3Select(const QString& text);
  void cbb4Select(int index);
  void btn1Click();
  void btn2Click();
  void ts1Show();
  void ts2Show();
  void graph2();
  void trckbr1Change(int position);
  void chk1Click();
  void FormResize();
  void minHitsChange(int hits);
  void heatClick();
  void copyClick();
  void excelClick();

  void axisChosen(void (MatrixLogic::*select)(std::string_view), const QString& text);
  void buildSlice();
  void buildDone();
  void drawChart();
  void showMatrix();
  void pushQuant();
  void pullQuant();
  void updateProgress();
  bool matrixTabActive() const;

  AppState& state_;
  UserChannel& channel_;
  FileChooser& chooser_;
  MatrixLogic logic_;

  QComboBox *cbb1, *cbb2, *cbb3, *cbb4;
  QTableWidget* kvant;
  QPushButton *btn1, *btn2, *btnCopy, *btnExcel;
  QProgressBar* pb1;
  QTabWidget* pgc1;
  QWidget *ts1, *ts2;
  QTableView* grd_3d;
  QWidget* cht1;
  QStackedWidget* chartStack_;
  MatrixChart3D* view3d_;
  QCustomPlot* plot2d_;
  QSlider* trckbr1;
  QCheckBox *chk1, *chkHeat;
  QLineEdit* txt1;
  QLabel* lbl1;
  QSpinBox* spnHits;
  MatrixHeatLegend* legend_;
  QWidget* top_;
  MatrixGridModel* model_;
  bool activated_ = false;
};

}  // namespace tervolin
