#!/usr/bin/env bash
# The start-up's time calibration starts a unit that is not running and sends
# it command 1012 once its window exists. While it waits for that window the
# planner's window keeps answering. Here the planner's "Quillon.exe" starts but
# never shows the unit's window; the test answers with a window of the unit's
# title only after the planner has answered it.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
t_wdrv find "$QTITLE" >/dev/null && fail "a unit is running before the test"
notepad="$WINEPREFIX/drive_c/windows/system32/notepad.exe"
[ -e "$notepad" ] || notepad="$WINEPREFIX/drive_c/windows/notepad.exe"
[ -e "$notepad" ] || fail "no notepad.exe in the prefix"
cp "$notepad" "$WORK/prog/Quillon.exe"
unit="$(winpath "$WORK/prog")\\Quillon.exe"
# The stand-in never shows the unit's window, so the unit's exit command does
# not reach it: its process, found by its path, is ended.
end_fake_unit() {
  local pid
  for pid in $(ps -eo pid=,args= | grep -F "$unit" | grep -v grep | awk '{ print $1 }'); do kill "$pid" 2>/dev/null; done
  t_cleanup
}
trap end_fake_unit EXIT

t_start
for _ in $(seq 100); do ps -eo args | grep -F "$unit" | grep -qv grep && break; sleep 0.1; done
ps -eo args | grep -F "$unit" | grep -qv grep || fail "the planner did not start its Quillon.exe"

note "the planner answers while it waits for the unit's window"
title=$(t_wdrv text "$TWIN")
[ "$title" = "Default $TMARK" ] || fail "the planner did not answer while waiting for the unit: '$title'"

note "the window that appears now gets the time calibration"
t_wdrv listen "$QTITLE" 10 > "$WORK/listen.out" &
T_EXTRA_PIDS="$T_EXTRA_PIDS $!"
for _ in $(seq 60); do grep -q '^command 1012$' "$WORK/listen.out" && break; sleep 0.2; done
grep -q '^command 1012$' "$WORK/listen.out" || fail "no 1012: $(cat "$WORK/listen.out") (log: $(cat "$LV_DEBUG_LOG"))"
[ "$(grep -c '^command' "$WORK/listen.out")" = 1 ] || fail "more than the calibration: $(cat "$WORK/listen.out")"
t_exit
echo PASS
