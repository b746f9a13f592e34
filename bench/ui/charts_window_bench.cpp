// The parameter graphs window on a series of 10,000,000 points (run
// offscreen): the build with the chart's data, a full replot, and the
// cursor readout of one mouse move (labels of six series, the cursor line
// and texts drawn over the chart, the repaint), without and with fit mode.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <cstdio>
#include <memory>

#include "charts/ui/parameter_graphs_window.h"
#include "charts/ui/zoom_chart.h"
#include "bench/bench_support.h"
#include "common/app_state.h"
#include "common/registry.h"

namespace tervolin {

constexpr std::size_t kPoints = 10'000'000;

struct BigSeries {
  AppState state;
  MemoryRegistry registry;
  bench::SilentChannel channel;
  std::unique_ptr<TForm10> form;

  BigSeries() {
    const std::uint32_t source = state.records.addSource({"2101", "0000", "C", "Tw"});
    char text[16];
    for (std::size_t i = 0; i < kPoints; ++i) {
      // A slow wave with noise, as a sensor over a long drive.
      const int v = static_cast<int>((i / 97) % 200) + static_cast<int>((i * 7919) % 13);
      std::snprintf(text, sizeof text, "%d", v);
      state.records.append(static_cast<std::int32_t>(i + 1), source, text);
    }
    state.requestCodeWidth = 4;
    form = std::make_unique<TForm10>(state, registry, channel);
    form->resize(1400, 860);
    form->show();  // shown, so that repaints paint; activation empties the lists
    QCoreApplication::processEvents();
    form->cbb[0]->addItem(QStringLiteral("01/0000 Tw"));
    form->cbb[0]->setCurrentIndex(form->cbb[0]->count() - 1);
    form->edt1->setText(QStringLiteral("50"));
  }
  // Made on first use; gone before the application object.
  static std::unique_ptr<BigSeries>& instance() {
    static std::unique_ptr<BigSeries> s;
    return s;
  }
  static BigSeries& get() {
    if (!instance()) instance() = std::make_unique<BigSeries>();
    return *instance();
  }
};

void BM_BuildAndShow10M(benchmark::State& bm) {
  BigSeries& s = BigSeries::get();
  for (auto _ : bm) s.form->btn1Click();
  bm.counters["points"] = static_cast<double>(s.form->logic().series(0).count());
}
BENCHMARK(BM_BuildAndShow10M)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_Replot10M(benchmark::State& bm) {
  BigSeries& s = BigSeries::get();
  s.form->btn1Click();
  for (auto _ : bm) s.form->ch1->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_Replot10M)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

void cursorMoves(benchmark::State& bm, bool fit) {
  BigSeries& s = BigSeries::get();
  s.form->chk1->setChecked(fit);
  s.form->btn1Click();
  if (!s.form->logic().cursorMode()) s.form->ch1DblClick();
  ZoomChart* chart = s.form->ch1;
  const QRect area = chart->axisRect()->rect();
  int step = 0;
  for (auto _ : bm) {
    const QPoint at(area.left() + (step * 37) % area.width(), area.top() + area.height() / 2);
    ++step;
    s.form->ch1MouseMove(at);
    chart->repaint();
  }
  s.form->ch1DblClick();
}

void BM_CursorMove10M(benchmark::State& bm) { cursorMoves(bm, false); }
BENCHMARK(BM_CursorMove10M)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

void BM_CursorMoveFitMode10M(benchmark::State& bm) { cursorMoves(bm, true); }
BENCHMARK(BM_CursorMoveFitMode10M)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

}  // namespace tervolin

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  tervolin::BigSeries::instance().reset();
  return 0;
}
