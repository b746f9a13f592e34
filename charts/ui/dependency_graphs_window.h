#pragma once
// The dependency graphs window TForm4: two charts drawn from the main
// table's cells, each Y against X or Y against the number of the point,
// with a crosshair and value readout, zoom, undo zoom and printing. The
// drawing is PaintGraf of the core; the window forwards and draws.

#include <QDialog>
#include <array>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/grid.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace tervolin {

class ZoomChart;

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  TForm4(const AppState& state, const Grid& grid, UserChannel& channel, QWidget* parent = nullptr);
  ~TForm4() override;

  // Handlers, named after control and event.
  void FormActivate();
  void btn1Click();
  void btn2Click();
  void par1Select();  // par1 and par3
  void par2Select();  // par2 and par4
  void line_text(int chart, QPoint pos);  // ch1MouseMove / ch2MouseMove
  void N1Click();         // chart 1: "Вернуть нормальный размер"
  void MenuItem1Click();  // chart 2: "Вернуть нормальный размер"
  void N3Click();         // chart 1: "Печатать график"
  void MenuItem2Click();  // chart 2: "Печатать график"
  void chk2Click();
  void chk3Click();
  void FormResize();

  // Controls, under the names the rest of the program uses for them.
  QComboBox* par1 = nullptr;  // chart 1: X
  QComboBox* par2 = nullptr;  // chart 1: Y
  QComboBox* par3 = nullptr;  // chart 2: X
  QComboBox* par4 = nullptr;  // chart 2: Y
  ZoomChart* ch1 = nullptr;
  ZoomChart* ch2 = nullptr;
  QPushButton* btn1 = nullptr;
  QPushButton* btn2 = nullptr;
  QCheckBox* chk2 = nullptr;
  QCheckBox* chk3 = nullptr;
  QMenu* pm1 = nullptr;
  QMenu* pm2 = nullptr;
  QAction* N1 = nullptr;
  QAction* N3 = nullptr;
  QAction* MenuItem1 = nullptr;
  QAction* MenuItem2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Panel {
    QLabel* heading;
    QLabel* xText;
    QLabel* yText;
  };
  Panel makePanel(const QString& heading, const QColor& colour, QComboBox*& x, QComboBox*& y, const char* xName,
                  const char* yName);
  ZoomChart* makeChart(const char* name, const char* seriesName, const QColor& colour);
  void placePanel(const Panel& panel, QComboBox* x, QComboBox* y, int top);

  const AppState& state_;
  const Grid& grid_;
  UserChannel& channel_;
  std::array<Panel, 2> panels_{};
  bool crosshair_ = false;  // follows chk2
  bool values_ = false;     // follows chk3
};

}  // namespace tervolin
