#!/usr/bin/env bash
# The mouse (real X11 input) rests on a program's reserve button while a guide
# update replaces the guide: the planner keeps running, the new guide is shown,
# no program is left raised without the mouse over it, and the next move over
# the button raises the program of the new guide. A button pressed before an
# update and released after it does nothing: its program is gone; a click on
# the new guide's button reserves.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
trap 'status=$?; [ $status = 0 ] || tail -20 "$LV_DEBUG_LOG" 2>/dev/null; xdotool mousemove 5 5 2>/dev/null; t_cleanup' EXIT
mkdir -p "$WORK/served"
now=$(date +%s)
start=$((now - now % 60 + 20 * 60))
served_day() {  # the programs on stdin besides 801
  { tt_program 801 1 $start $((start + 3600)) 'ホバー試験' 局1 分類0; cat; } | t_guide_file "$WORK/served/$DAY_FILE"
}
tt_program 802 1 $start $((start + 3600)) '消える番組' 局2 分類1 | served_day
t_filler_days "$WORK/served"
t_detail_file "$WORK/served/801-1.spn" 239.192.8.1 28001 5 'hover'
tt_guide_server "$WORK/served"
t_start
cell=$(tt_cell 801 1)
[ -n "$cell" ] || fail "801 is not shown: $(tt_dump)"
[ -n "$(tt_cell 802 1)" ] || fail "802 is not shown"
read -r bx by <<<"$(tt_button_centre "$cell")"
point() { xdotool mousemove $(t_wdrv screenpos "$TWIN" $GRID "$1" "$2") 2>/dev/null; }
state_of() { tt_state "$(tt_cell 801 1)"; }

note "the mouse rests on 801's button"
point "$bx" "$by"
for _ in $(seq 25); do [ "$(state_of)" -ge 5 ] 2>/dev/null && break; sleep 0.2; done
[ "$(state_of)" -ge 5 ] || fail "801 is not raised under the mouse: $(tt_cell 801 1)"

note "an update replaces the guide under the resting mouse"
tt_program 803 1 $start $((start + 3600)) '新しい番組' 局3 分類2 | served_day
requests=$(grep -c "request GET [^ ]*$DAY_FILE" "$WORK/server.log")
t_post 32783
for _ in $(seq 100); do [ -n "$(tt_cell 803 1)" ] && break; sleep 0.2; done
[ -n "$(tt_cell 803 1)" ] || fail "the new guide is not shown: $(tt_dump)"
[ "$(grep -c "request GET [^ ]*$DAY_FILE" "$WORK/server.log")" -gt "$requests" ] || fail "the day was not fetched again"
kill -0 "$TPID" 2>/dev/null || fail "the planner ended during the update"
[ -z "$(tt_cell 802 1)" ] || fail "the program the update removed is still shown"
state=$(state_of)
# Either state is sound: the new program raises on the next move of the mouse.
[ "$state" = 0 ] || [ "$state" = 5 ] || fail "801 is in state $state after the update"
for n in 803; do
  s=$(tt_state "$(tt_cell $n 1)")
  [ "$s" = 0 ] || fail "$n is in state $s without the mouse over it"
done

note "the next move over the button raises the new 801; leaving it lowers it"
point $((bx + 2)) "$by"
for _ in $(seq 25); do [ "$(state_of)" = 5 ] && break; sleep 0.2; done
[ "$(state_of)" = 5 ] || fail "801 is not raised after a move: $(tt_cell 801 1)"
cell=$(tt_cell 803 1)
read -r cx cy <<<"$(tt_button_centre "$cell")"
point "$cx" "$cy"
for _ in $(seq 25); do [ "$(tt_state "$(tt_cell 803 1)")" = 5 ] && break; sleep 0.2; done
[ "$(tt_state "$(tt_cell 803 1)")" = 5 ] || fail "803 is not raised under the mouse: $(tt_cell 803 1)"
[ "$(state_of)" = 0 ] || fail "801 stayed raised after the mouse left: $(tt_cell 801 1)"

note "pressed before an update, released after it: nothing happens"
point "$bx" "$by"
sleep 0.5
xdotool mousedown 1 2>/dev/null
sleep 0.3
tt_program 804 1 $start $((start + 3600)) 'もう一つの番組' 局2 分類1 | served_day
t_post 32783
for _ in $(seq 100); do [ -n "$(tt_cell 804 1)" ] && break; sleep 0.2; done
[ -n "$(tt_cell 804 1)" ] || { xdotool mouseup 1 2>/dev/null; fail "the second update is not shown"; }
xdotool mouseup 1 2>/dev/null
sleep 2
grep -q 'GET [^ ]*801-1.spn' "$WORK/server.log" && fail "the press from before the update reserved"
t_wdrv find '番組の予約' >/dev/null && fail "dialog 149 opened for the press from before the update"
kill -0 "$TPID" 2>/dev/null || fail "the planner ended"

note "a click on the new guide's button reserves"
xdotool click 1 2>/dev/null
t_wait_visible 20 '番組の予約' || fail "a click on 801's button did not open dialog 149"
[ "$(t_wdrv text '番組の予約' 1001)" = 'ホバー試験' ] || fail "dialog 149 for $(t_wdrv text '番組の予約' 1001)"
t_wdrv click '番組の予約' 2 >/dev/null
t_wdrv wait '番組の予約' 5000 gone >/dev/null || fail "dialog 149 did not close"
xdotool mousemove 5 5 2>/dev/null
t_exit
echo PASS
