#!/usr/bin/env bash
# Timetable benchmark: the layout natively (Release tree $BUILD_DIR/bench) and
# the repaint of every view under Wine (the Windows tree $BUILD_DIR/win) inside a
# private namespace with its own display. The machine's load is printed beside
# each figure: other builds on the machine move them.
#   bench/timetable/run.sh [paint_bench options...]   e.g. --day24, --runs 100
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/lib/env.sh"
"$root/bench/build.sh" timetable_layout_bench >/dev/null
cmake --build "$build/win" --target timetable_paint_bench >/dev/null
echo "load before layout: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/bench/timetable/timetable_layout_bench"
echo "load before repaint: $(cut -d' ' -f1-3 /proc/loadavg)"
"$root/scripts/lib/isolated.sh" wine "$build/win/bench/timetable/paint/timetable_paint_bench.exe" "$@"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
