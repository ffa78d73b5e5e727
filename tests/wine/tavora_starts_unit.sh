#!/usr/bin/env bash
# With the unit not running, the start-up's time calibration command starts
# Quillon.exe from the planner's own folder; with the unit running it only
# receives command 1012.
. "$(dirname "$0")/lib/tavora.sh"
t_init
t_wdrv find "$QTITLE" >/dev/null && fail "a unit is running before the test"
t_start
t_wait_window 30 "$QTITLE" || fail "the planner did not start the unit"
ps -eo args | grep -F "$(winpath "$WORK/prog")\\Quillon.exe" | grep -qv grep ||
  fail "the unit was not started from the planner's folder"
t_exit
[ "$(t_wdrv count "$QTITLE")" = 1 ] || fail "the unit should outlive the planner"

note "a running unit is not started twice"
t_start
sleep 2
[ "$(ps -eo args | grep -F 'Quillon.exe' | grep -c "$(basename "$WORK")")" = 1 ] || fail "a second unit was started"
t_exit
echo PASS
