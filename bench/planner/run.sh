#!/usr/bin/env bash
# Planner benchmarks:
#   (1) natively, the one-minute refresh on 7 guide days of 2,000 programs, 200
#       reservations and 1,000 result records (planner_bench, Release tree);
#   (2) under Wine, Tavora.exe's start to its main window shown, on that data
#       set and on empty folders side by side (Tavora reports the time since its
#       process was created when it shows the window; median of 5 starts each).
#   bench/planner/run.sh [--native] [--wine]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/lib/env.sh"
if [ "${LV_BENCH_NETNS:-}" != 1 ]; then
  "$here/../build.sh" planner_bench >/dev/null || exit 1
  exec env LV_BENCH_NETNS=1 "$root/scripts/lib/isolated.sh" bash "$0" "$@"
fi
want_native=0 want_wine=0
for a in "$@"; do
  case $a in
    --native) want_native=1 ;;
    --wine) want_wine=1 ;;
    -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $a" >&2; exit 2 ;;
  esac
done
[ $want_native = 0 ] && [ $want_wine = 0 ] && want_native=1 want_wine=1
bench_bin="$build/bench/bench/planner/planner_bench"
tavora="$build/win/planner/shell/win/Tavora.exe"
wdrv="$build/win/tests/wine/driver/wdrv.exe"
key='HKCU\Software\Lumivent\TavoraPlanner'

if [ $want_native = 1 ]; then
  echo "== native ($bench_bin, Release tree of bench/build.sh)"
  "$bench_bin"
fi
[ $want_wine = 1 ] || exit 0
for f in "$tavora" "$wdrv"; do [ -e "$f" ] || { echo "run.sh: missing $f (build the Windows tree)" >&2; exit 1; }; done

work=$(mktemp -d /tmp/planner_bench.XXXXXX)
trap 'wine reg delete "$key" /f >/dev/null 2>&1 </dev/null; rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
reg() { wine reg add "$key\\$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 </dev/null; }
"$bench_bin" --write "$work/full"
mkdir -p "$work/empty/sched" "$work/empty/hist" "$work/empty/data"

# One start: prints the milliseconds Tavora reported.
start_once() {
  local set=$1 log="$work/debug.log" ms pid
  wine reg delete "$key" /f >/dev/null 2>&1 </dev/null
  reg Schedule DataPath REG_SZ "$(winpath "$work/$set/sched")"
  reg temp DataPath REG_SZ "$(winpath "$work/$set/hist")"
  reg path DataPath REG_SZ "$(winpath "$work/$set/data")"
  reg Environment "Display days" REG_DWORD 7
  reg Environment "Window Zoom" REG_DWORD 0
  rm -f "$log"
  LV_DEBUG_LOG="$log" wine "$tavora" >/dev/null 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 300); do grep -q 'main window shown' "$log" 2>/dev/null && break; sleep 0.1; done
  ms=$(sed -n 's/.*main window shown \([0-9]*\) ms.*/\1/p' "$log" | head -1)
  [ "$set" = full ] && grep -E 'document loaded|reservations read' "$log" | head -2 | sed 's/^/    /' >&2
  wine "$wdrv" post "~- 受信予約プログラム" 57665 >/dev/null 2>&1 </dev/null
  for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
  echo "${ms:-0}"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

echo "== Wine ($tavora, Release Windows tree)"
start_once empty >/dev/null  # warm Wine's caches once
empty=$(for _ in 1 2 3 4 5; do start_once empty; done | median)
full=$(for _ in 1 2 3 4 5; do start_once full; done | median)
echo "start to main window, empty folders:                     $empty ms"
echo "start to main window, 7x2000 programs, 200 rsv, 1000 res: $full ms (target 1500 ms)"
awk -v e="$empty" -v f="$full" 'BEGIN { if (e > 0) printf "ratio full / empty: %.2f\n", f / e }'
