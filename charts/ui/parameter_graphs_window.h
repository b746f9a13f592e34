#pragma once
// The parameter graphs window TForm10: up to six parameters of the opened
// log against time in one chart, with colours, line width, fit mode, a
// cursor readout, two markers and per-log settings. Its logic is
// ParameterGraphs; the window forwards its controls and draws.

#include <QDialog>
#include <array>
#include <memory>
#include <vector>

#include "charts/graph_settings.h"
#include "charts/parameter_graphs.h"
#include "common/app_state.h"
#include "common/registry.h"
#include "common/user_channel.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QWidget;

namespace tervolin {

class ColourBox;
class ZoomChart;

class TForm10 : public QDialog {
  Q_OBJECT
 public:
  TForm10(AppState& state, Registry& registry, UserChannel& channel, QWidget* parent = nullptr);
  ~TForm10() override;

  ParameterGraphs& logic() { return logic_; }
  // True when the program must end (a definition file went missing).
  bool programEnded() const { return programEnded_; }
  // What the controls hold now.
  GraphControls controls() const;

  // Handlers, named after control and event.
  void FormActivate();
  void btn1Click();
  void btn2Click();
  void clrbxChange(int k);  // clrbx1Change ... clrbx6Change
  void clrbx7Change();
  void cbb7Change();
  void ch1DblClick();
  void ch1MouseMove(QPoint pos);
  void ch1Click();
  void N1Click();  // "Убрать маркеры", also on resize and zoom
  void FormResize();
  void FormClose();

  // Controls, under the names the rest of the program uses for them.
  std::array<QComboBox*, kSeriesCount> cbb{};    // cbb1 ... cbb6
  std::array<ColourBox*, kSeriesCount> clrbx{};  // clrbx1 ... clrbx6
  std::array<QLabel*, kSeriesCount> l{};         // l1 ... l6
  QLineEdit* edt1 = nullptr;
  QComboBox* _time = nullptr;
  QCheckBox* chk1 = nullptr;
  ColourBox* clrbx7 = nullptr;
  QComboBox* cbb7 = nullptr;
  ColourBox* clrbx8 = nullptr;
  QPushButton* btn1 = nullptr;
  QPushButton* btn2 = nullptr;
  ZoomChart* ch1 = nullptr;
  QLabel* txt1 = nullptr;
  QLabel* txt2 = nullptr;
  QMenu* pm1 = nullptr;
  QAction* N1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void done(int result) override;

 private:
  void buildControls();
  void applyControls(const GraphControls& c);
  void applySeriesPens();
  void applyBackground();
  void showLabels(bool on);
  void colourLabels();
  void showChart();
  // Each series drawn from its full point list when zoomed in, from its
  // lighter copy when a pixel column would hold many points.
  void chooseDetail();

  ParameterGraphs logic_;
  bool programEnded_ = false;
  QWidget* panel_ = nullptr;       // lists, colours, labels, timing, fit mode
  QGroupBox* timingGroup_ = nullptr;
  QGroupBox* colourGroup_ = nullptr;
  struct Marker {
    int x;  // window column of the triangle's tip
    QColor colour;
  };
  std::vector<Marker> markers_;
  struct Detail;
  std::unique_ptr<Detail> detail_;
};

}  // namespace tervolin
