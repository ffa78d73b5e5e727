#!/usr/bin/env bash
# A program reserved from the grid is received: Quillon.exe receives the
# carousel from `headend` and, once the result is back in the planner, the
# program's cell shows the received colour (read as pixels of the grid).
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_open_week

tt_reserve_coming

note "the unit receives; the cell shows the received state"
t_broadcast "$group" "$port" "$WORK/send"
# The planner collects results when the unit posts 32798 and once a minute.
colour=
for _ in $(seq 100); do
  tt_unhover
  colour=$(tt_pixel $(tt_cell_corner "$(tt_cell 502 1)"))
  [ "$colour" = 00C000 ] && break
  sleep 0.3
done
[ "$colour" = 00C000 ] || { grep -v "^cell" "$LV_DEBUG_LOG" | tail -20; fail "the received cell is $colour: $(tt_cell 502 1)"; }
t_exit
echo PASS
