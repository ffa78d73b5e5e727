#!/usr/bin/env bash
# The real pointer over the timetable: a reserve button raised under it goes
# back to its plain look when the pointer leaves the planner's window for the
# desktop; the detail bubble of a program belongs to the planner and goes
# behind another program's window that comes to the front, as the planner does.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
now=$(date +%s)
start=$((now - now % 60))
tt_program 602 1 $((start + 1200)) $((start + 4800)) '天気予報と今日のニュース' '局B' 'スポーツ' | tt_local_week
t_start
sleep 1
t_post 32785  # to the front
sleep 0.5
cell=$(tt_cell 602 1)
[ -n "$cell" ] || fail "the program is not in view: $(tt_cells)"
corner=$(tt_cell_corner "$cell")
colour_until() {  # COLOUR: waits up to 3 s for the cell's colour; 1 when it never came
  for _ in $(seq 15); do [ "$(tt_pixel $corner)" = "$1" ] && return 0; sleep 0.2; done
  return 1
}

note "over the reserve button the cell is raised; off the window it is plain again"
read -r _ _ right bottom <<<"$(t_wdrv rect "$TWIN")"
# The pointer starts on the desktop, while a posted move reaches the grid.
xdotool mousemove $((right + 10)) $((bottom + 10)) 2>/dev/null
tt_unhover
colour_until C0C0C0 || fail "not plain to begin with: $(tt_pixel $corner)"
xdotool mousemove $(t_wdrv screenpos "$TWIN" $GRID $(tt_button_centre "$cell")) 2>/dev/null
raised=
for _ in $(seq 15); do raised=$(tt_pixel $corner); [ "$raised" != C0C0C0 ] && break; sleep 0.2; done
[ "$raised" != C0C0C0 ] || fail "the cell was not raised under the pointer"
# Back to the desktop beyond the window's bottom-right corner.
xdotool mousemove $((right + 10)) $((bottom + 10)) 2>/dev/null
colour_until C0C0C0 || fail "the cell stayed raised after the pointer left the window: $(tt_pixel $corner)"

note "the detail bubble stays with the planner"
tt_click $corner right
BUBBLE='~天気予報と今日のニュース'
t_wait_window 5 "$BUBBLE" || fail "no detail bubble on the right button"
place=$(t_wdrv place "$BUBBLE")
[ "$place" = "topmost 0 owner Default $TMARK" ] || fail "the bubble is not the planner's own: $place"
read -r left top bright bbottom <<<"$(t_wdrv rect "$BUBBLE")"
width=$((bright - left)) height=$((bbottom - top))
inside_x=$((width / 2)) inside_y=$((height / 2))
bubble_colour=$(t_wdrv pixel "$BUBBLE" - $inside_x $inside_y)
[ "$bubble_colour" = FFFFE1 ] || fail "the bubble is not on the screen: $bubble_colour"
# Another program's window comes up over the place where the bubble is.
t_wdrv hold 'other program' 8 $((left - 40)) $((top - 60)) $((width + 80)) $((height + 100)) &
T_EXTRA_PIDS="$T_EXTRA_PIDS $!"
t_wait_window 5 'other program' || fail "the other program's window did not come"
covered=
for _ in $(seq 15); do
  covered=$(t_wdrv pixel "$BUBBLE" - $inside_x $inside_y)
  [ "$covered" != FFFFE1 ] && break
  sleep 0.2
done
[ "$covered" != FFFFE1 ] || fail "the bubble shows over the other program's window"
t_wdrv find "$BUBBLE" >/dev/null || fail "the bubble went away instead of behind"
t_exit
echo PASS
