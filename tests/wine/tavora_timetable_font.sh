#!/usr/bin/env bash
# The timetable font in the real Tavora.exe: "変更..." on the colour design
# page opens the system font chooser; the face, style and size chosen there
# are stored and the grid's character size and slots follow (a week grown past
# the height limit switches to 24-hour mode); B and I toggle the stored weight
# and slant. The reservation column keeps its bars level
# with the grid after a drag of the grid, before and after the font change.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
tt_local_week </dev/null
# 1004 (局1, from 100 to 160 minutes into the day) is reserved.
reserved=$((DAY_START + 6000))
"$RSVTOOL" make --folder "$WORK/sched" --program 1004 --sub 1 --sid 5 --address 239.192.8.1 --port 20000 \
  --start "$(minute_text $reserved)" --end "$(minute_text $((reserved + 3600)))" --name '番組 1004' \
  >/dev/null || fail "rsvtool make"
t_start
sleep 1
t_post 32785  # to the front: nothing may lie over the reservation column
sleep 0.5

COL='class:TavoraReserveView'
BAR=FFB060
PAGE='番組表の配色デザインの設定'
SHEET='環境設定'
CHOOSER='フォントの指定'
ENV=Environment

# column_at Y: the reservation column's colour at (30, Y).
column_at() { t_wdrv pixel "$TWIN" "$COL" 30 "$1"; }
# bar_level WHAT: the bar of 1004 begins in the column where the grid puts its
# start, read from the grid's own scroll position and slot height.
# bar_top: where the grid puts the start of 1004, in the grid's client
# coordinates (in 24-hour mode the window starts "offset" hours later).
bar_top() {
  local geometry y slot offset
  geometry=$(tt_dump | grep '^cells scroll')
  read -r _ _ _ y _ _ _ _ slot _ <<<"$geometry"
  offset=$(awk '{ for (i = 1; i < NF; ++i) if ($i == "offset") print $(i + 1) }' <<<"$geometry")
  echo $(( ((reserved - DAY_START) / 600 - ${offset:-0} * 6) * slot - y ))
}
bar_level() {
  local geometry top
  geometry=$(tt_dump | grep '^cells scroll')
  top=$(bar_top)
  [ "$top" -gt 4 ] || fail "$1: the bar's top $top is out of view ($geometry)"
  tt_until $BAR column_at $((top + 2)) ||
    fail "$1: no bar just below y $top in the column ($(column_at $((top + 2)))); grid: $geometry"
  [ "$(column_at $((top - 2)))" != $BAR ] || fail "$1: the bar begins above y $top; grid: $geometry"
}
# drag DY: drags the grid by DY pixels in two moves, up when DY is positive
# (later hours come into view), down when negative.
drag() {
  local from=$(( $1 > 0 ? $1 + 20 : 20 )) to=$(( $1 > 0 ? 20 : 20 - $1 ))
  t_wdrv mouse "$TWIN" $GRID 3 $from down >/dev/null
  t_wdrv mouse "$TWIN" $GRID 3 $(( (from + to) / 2 )) drag >/dev/null
  t_wdrv mouse "$TWIN" $GRID 3 $to up >/dev/null
  sleep 0.5
}
scroll_y() { tt_geometry scroll | cut -d' ' -f2; }
# choose WINDOW COMBO TEXT: picks that item of a combo box.
choose() {
  local index
  index=$(t_wdrv items "$1" "$2" | awk -v n="$3" '$0 == n { print NR - 1; exit }')
  [ -n "$index" ] || fail "'$3' is not offered in $2 of $1: $(t_wdrv items "$1" "$2" | tr '\n' ' ')"
  t_wdrv select "$1" "$2" "$index" >/dev/null
}
close_with() {  # WINDOW BUTTON
  t_wdrv click "$1" "$2" >/dev/null
  t_wdrv wait "$1" 5000 gone >/dev/null || fail "button $2 did not close $1"
  sleep 0.5
}

note "the reservation column follows a drag of the grid"
tt_until $BAR column_at $(( (reserved - DAY_START) / 600 * $(tt_geometry slot) - $(scroll_y) + 2 )) ||
  fail "no reservation bar at the start"
before=$(scroll_y)
drag 120
[ "$(scroll_y)" -gt "$before" ] || fail "the drag did not scroll the grid"
bar_level "after a drag"
read -r _ char_h <<<"$(tt_geometry char)"
slot=$(tt_geometry slot)

note "変更... in the settings sheet: the font chooser's face, style and size are taken"
t_post 32787
t_wait_visible 10 "$SHEET" || fail "command 32787 did not open the settings sheet"
t_wdrv tab "$SHEET" 1052 1 >/dev/null
sleep 0.3
t_wdrv click "$SHEET" 1067 >/dev/null
t_wait_visible 10 "$CHOOSER" || fail "変更... opened no font chooser"
choose "$CHOOSER" 1136 'IPA Pゴシック'
choose "$CHOOSER" 1137 '太字'
choose "$CHOOSER" 1138 20
sleep 0.3
close_with "$CHOOSER" 1
[ "$(t_wdrv text "$SHEET" 1065)" = 'IPA Pゴシック' ] || fail "the face shown: '$(t_wdrv text "$SHEET" 1065)'"
[ "$(t_wdrv checked "$SHEET" 1077)" = 1 ] || fail "B is not checked after a bold choice"
[ "$(t_wdrv checked "$SHEET" 1078)" = 0 ] || fail "I is checked after a plain choice"
close_with "$SHEET" 1
# 20 points at the screen's 96 dots per inch.
[ "$(tt_reg_text $ENV '予定表FONT')" = 'IPA Pゴシック' ] || fail "予定表FONT: '$(tt_reg_text $ENV '予定表FONT')'"
[ "$(t_reg_query $ENV '予定表FONT Size')" = 0x1b ] || fail "予定表FONT Size: $(t_reg_query $ENV '予定表FONT Size')"
[ "$(t_reg_query $ENV '予定表FONT Bold')" = 0x1 ] || fail "予定表FONT Bold: $(t_reg_query $ENV '予定表FONT Bold')"
[ "$(t_reg_query $ENV '予定表FONT Italic')" = 0x0 ] || fail "予定表FONT Italic: $(t_reg_query $ENV '予定表FONT Italic')"
read -r _ new_h <<<"$(tt_geometry char)"
[ "$new_h" -ge 27 ] && [ "$new_h" -gt "$char_h" ] || fail "the grid's character height is $new_h (was $char_h) for a 27-pixel font"
[ "$(tt_geometry slot)" -gt "$slot" ] || fail "the slot stayed $(tt_geometry slot) with the larger font"
# A week of (27 + 4) x 6 pixels an hour is taller than 32000 pixels: the font
# change is checked against the height limit as the font commands are.
[ "$(tt_geometry mode24)" = 1 ] || fail "a week in the larger font stays in multi-day mode: $(tt_dump | grep '^cells scroll')"

note "the column follows a drag back with the new slot height"
before=$(scroll_y)
top=$(bar_top)
drag $(( top > 160 ? 100 : (top < -240 ? -400 : top - 160) ))
[ "$(scroll_y)" != "$before" ] || fail "the drag did not scroll the grid"
bar_level "after the font change and a drag"

note "B and I on the page toggle the stored weight and slant"
t_post 32900
t_wait_visible 10 "$PAGE" || fail "command 32900 did not open the colour page"
[ "$(t_wdrv text "$PAGE" 1065)" = 'IPA Pゴシック' ] || fail "the page shows face '$(t_wdrv text "$PAGE" 1065)'"
t_wdrv mouse "$PAGE" 1077 5 5 left >/dev/null
t_wdrv mouse "$PAGE" 1078 5 5 left >/dev/null
sleep 0.3
[ "$(t_wdrv checked "$PAGE" 1077)$(t_wdrv checked "$PAGE" 1078)" = 01 ] ||
  fail "B and I after a click each: $(t_wdrv checked "$PAGE" 1077)$(t_wdrv checked "$PAGE" 1078)"
close_with "$PAGE" 1
[ "$(t_reg_query $ENV '予定表FONT Bold')" = 0x0 ] || fail "B off stored as $(t_reg_query $ENV '予定表FONT Bold')"
[ "$(t_reg_query $ENV '予定表FONT Italic')" = 0x1 ] || fail "I on stored as $(t_reg_query $ENV '予定表FONT Italic')"
[ "$(t_reg_query $ENV '予定表FONT Size')" = 0x1b ] || fail "the size changed to $(t_reg_query $ENV '予定表FONT Size')"

note "キャンセル in the chooser keeps the font"
t_post 32900
t_wait_visible 10 "$PAGE" || fail "command 32900 did not open the colour page"
t_wdrv click "$PAGE" 1067 >/dev/null
t_wait_visible 10 "$CHOOSER" || fail "変更... opened no font chooser"
choose "$CHOOSER" 1138 8
close_with "$CHOOSER" 2
[ "$(t_wdrv checked "$PAGE" 1078)" = 1 ] || fail "キャンセル in the chooser dropped the slant"
close_with "$PAGE" 1
[ "$(t_reg_query $ENV '予定表FONT Size')" = 0x1b ] || fail "キャンセル in the chooser stored $(t_reg_query $ENV '予定表FONT Size')"

note "a restart builds the grid with the stored font"
t_exit
t_start
sleep 1
read -r _ again_h <<<"$(tt_geometry char)"
[ "$again_h" -ge 27 ] || fail "after the restart the character height is $again_h"
t_exit
echo PASS
