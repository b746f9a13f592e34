#!/usr/bin/env bash
# The layer check on made-up trees: each case is one file with one include,
# checked alone; the case passes when the check's verdict (a fault whose text
# holds the expected words, or no fault) is the one expected.
#   check_layers_test.sh PATH_TO_CHECK_LAYERS
set -uo pipefail
check=$1
rules=(common=common decode=decode,common table=table,decode,common
       charts=charts,table,decode,common research=research,table,decode,common)

# file | include | expected words in the fault ("" = no fault)
cases=(
  'common/text.h|<string>|'
  'decode/formula.cpp|"common/text.h"|'
  'table/grid.cpp|"decode/formula.h"|'
  'common/text.cpp|"decode/formula.h"|of a folder above it'
  'decode/formula.cpp|"table/grid.h"|of a folder above it'
  'charts/series.cpp|"research/search.h"|of a folder above it'
  'research/search.cpp|"charts/series.h"|of a folder above it'
  'table/grid.cpp|"cli/command.h"|outside the core'
  'table/grid.cpp|<QString>|Qt header'
  'common/text.h|<qcustomplot.h>|Qt header'
  'cli/main.cpp|<QtCore/QString>|Qt header'
  'tests/table/grid_test.cpp|<QTest>|Qt header'
  'bench/open_bench.cpp|<QObject>|Qt header'
  'bench/ui/charts_window_bench.cpp|<QApplication>|'
  'bench/ui/charts_window_bench.cpp|"charts/ui/zoom_chart.h"|'
  'bench/open_bench.cpp|"charts/ui/zoom_chart.h"|Qt layer header'
  'qt/qt_text.h|<QString>|'
  'table/ui/grid_model.h|<QAbstractTableModel>|'
  'app/main_window.cpp|<QMainWindow>|'
  'tests/ui/grid_model_test.cpp|<QtTest>|'
  'table/grid.cpp|"qt/qt_text.h"|Qt layer header'
  'cli/table_command.cpp|"table/ui/grid_model.h"|Qt layer header'
  'table/grid.cpp|"table/ui/grid_model.h"|Qt layer header'
  'table/ui/filter_dialog.cpp|"charts/ui/graphs.h"|another folder'"'"'s window'
  'table/ui/filter_dialog.cpp|"table/ui/grid_model.h"|'
  'table/ui/filter_dialog.cpp|"charts/series.h"|'
  'qt/qt_text.cpp|"table/ui/grid_model.h"|qt/ includes a window'
  'table/ui/grid_model.cpp|"app/main_window.h"|app/ header'
  'qt/qt_text.cpp|"app/main_window.h"|app/ header'
  'tests/ui/main_window_test.cpp|"app/main_window.h"|'
  'app/main.cpp|"charts/ui/graphs.h"|'
  'tests/table/grid_test.cpp|"table/grid.h"|'
  'common/text.h|<sys/wait.h>|'
)

failed=0
for c in "${cases[@]}"; do
  IFS='|' read -r file include expected <<<"$c"
  tree=$(mktemp -d)
  mkdir -p "$tree/$(dirname "$file")" "$tree/cli" "$tree/bench"
  printf '#pragma once\n  #  include %s\n' "$include" >"$tree/$file"
  out=$(bash "$check" "$tree" "${rules[@]}")
  code=$?
  rm -rf "$tree"
  if [ -z "$expected" ]; then
    if [ $code -ne 0 ]; then echo "FAIL: $file including $include was refused: $out"; failed=1; fi
  elif [ $code -ne 1 ] || [[ "$out" != *"$file:2: "*"$expected"* ]]; then
    echo "FAIL: $file including $include: expected \"$expected\", got ($code) $out"
    failed=1
  fi
done

# Build folders, samples and the history are not sources of the project.
tree=$(mktemp -d)
mkdir -p "$tree/build/release" "$tree/samples" "$tree/common"
echo '#include <QString>' >"$tree/build/release/moc_x.cpp"
echo '#include <QString>' >"$tree/samples/x.h"
echo '#include "common/text.h"' >"$tree/common/ok.h"
if ! out=$(bash "$check" "$tree" "${rules[@]}"); then echo "FAIL: build folders were checked: $out"; failed=1; fi
rm -rf "$tree"

[ $failed -eq 0 ] && echo "all ${#cases[@]} cases and the skipped folders as expected"
exit $failed
