#!/usr/bin/env bash
# The main frame's splitter in the real Tavora.exe: the bar left of the
# reservation column and the bar right of the time scale are dragged with the
# mouse (pane rectangles read back); the column's width survives command
# 32816's toggle and a restart ("Reserve Width" under Environment); dropped
# narrower than its minimum the column hides, and 32816 brings back its width.
. "$(dirname "$0")/lib/tavora.sh"
t_init
COL='class:TavoraReserveView'
TIME='class:TavoraTimeScale'
GRID='class:TavoraGrid'
ID_RESERVE_COLUMN=32816

width_of() { t_wdrv rect "$TWIN" "$1" | awk '{ print $3 - $1 }'; }
# left_of PANE: the pane's left edge in the frame's client coordinates.
left_of() {
  local origin; origin=$(t_wdrv screenpos "$TWIN" - 0 0 | awk '{ print $1 }')
  t_wdrv rect "$TWIN" "$1" | awk -v o="$origin" '{ print $1 - o }'
}
# drag X1 X2: the left button pressed at X1 of the frame's client, moved to X2, released.
drag() {
  local y=200
  t_wdrv mouse "$TWIN" - "$1" $y down >/dev/null
  t_wdrv mouse "$TWIN" - $(( ($1 + $2) / 2 )) $y drag >/dev/null
  t_wdrv mouse "$TWIN" - "$2" $y up >/dev/null
}
# wait_width PANE WIDTH: the pane reaches that width within a few seconds.
wait_width() {
  for _ in $(seq 25); do [ "$(width_of "$1")" = "$2" ] && return 0; sleep 0.2; done
  fail "$1 is $(width_of "$1") wide, not $2"
}

t_start
sleep 0.5
note "default widths; the bars lie between the panes"
[ "$(width_of "$COL")" = 50 ] || fail "the column starts $(width_of "$COL") wide"
col=$(left_of "$COL")
grid=$(left_of "$GRID")
read -r _ _ gr _ < <(t_wdrv rect "$TWIN" "$GRID")
[ $((col - (gr - $(t_wdrv screenpos "$TWIN" - 0 0 | awk '{ print $1 }')))) = 4 ] || fail "no 4-pixel bar left of the column"

note "the column's bar dragged 70 pixels left: 120 wide, stored"
drag $((col - 2)) $((col - 72))
wait_width "$COL" 120
[ "$(t_reg_query Environment 'Reserve Width')" = 0x78 ] || fail "Reserve Width: $(t_reg_query Environment 'Reserve Width')"
[ "$(left_of "$GRID")" = "$grid" ] || fail "the grid moved its left edge"

note "32816 hides the column and brings it back at its width"
t_post $ID_RESERVE_COLUMN
wait_width "$COL" 0
t_post $ID_RESERVE_COLUMN
wait_width "$COL" 120

note "the time scale's bar dragged 25 pixels right"
tw=$(width_of "$TIME")
drag $((tw + 1)) $((tw + 26))
wait_width "$TIME" $((tw + 25))
[ "$(left_of "$GRID")" = $((tw + 25 + 4)) ] || fail "the grid does not start right of the time scale's bar"

note "a restart keeps both widths"
t_exit
t_start
sleep 0.5
wait_width "$COL" 120
wait_width "$TIME" $((tw + 25))

note "dropped at the frame's edge the column hides; 32816 brings back 120"
col=$(left_of "$COL")
client=$(( col + 120 ))
drag $((col - 2)) $((client - 3))
wait_width "$COL" 0
[ "$(t_reg_query Environment 'Reserve Width')" = 0x78 ] || fail "hiding changed Reserve Width: $(t_reg_query Environment 'Reserve Width')"
t_post $ID_RESERVE_COLUMN
wait_width "$COL" 120

t_exit
echo PASS
