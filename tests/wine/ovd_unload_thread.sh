#!/usr/bin/env bash
# OVD.DLL freed by a thread other than the one that loaded it, while the
# status window ticks and shows the icon: with the loading thread handling
# messages the window is destroyed on it; with that thread blocked until the
# unload ends the window is cut loose from the library. Either way the host
# goes on handling messages and exits normally.
set -uo pipefail
. "$(dirname "$0")/lib/ovd.sh"
ovd_init
PROG="$WIN_BIN/tests/boardlib/win/ovd_unload_thread.exe"
[ -e "$PROG" ] || fail "missing $PROG"
DLL=$(winpath "$OVD_DIR/OVD.DLL")

sim_start --id "$OVD_ID" --sid 100 --install --active 1 --flags 0x000E0004

for mode in pump block; do
  note "unload from a second thread, loading thread: $mode"
  : > "$WORK/debug.log"
  out=$(wine "$PROG" "$DLL" "$mode" 2>&1 </dev/null | tr -d '\r')
  rc=${PIPESTATUS[0]}
  echo "$out"
  [ "$rc" = 0 ] || fail "$mode: exit $rc"
  tr -d '\r' < "$WORK/debug.log" > "$WORK/debug.txt"
  grep -q 'tray icon shown by process' "$WORK/debug.txt" || fail "$mode: the window never took the icon: $(cat "$WORK/debug.txt")"
  grep -q 'tray icon removed by process' "$WORK/debug.txt" || fail "$mode: the icon was not removed: $(cat "$WORK/debug.txt")"
  grep -q 'unloaded in process [0-9]*, 0 processes' "$WORK/debug.txt" || fail "$mode: no unload: $(cat "$WORK/debug.txt")"
done
grep -q 'left without its library' "$WORK/debug.txt" || fail "block: the window was not cut loose: $(cat "$WORK/debug.txt")"
echo "ok"
