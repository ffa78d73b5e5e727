#!/usr/bin/env bash
# Scrolling the timetable in the real Tavora.exe: after a drag of the grid the
# date header names the hour at the top of the grid (the time scale followed)
# and the headings stand over their columns;
# in 24-hour mode dragging on moves the 24-hour window into the next days, and
# "次の日" / "前の日" move it by a day, never beyond the period.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
tt_local_week </dev/null
# Headings in their own colour, apart from the margin.
t_reg Environment 'チャンネル背景' REG_DWORD 0x00808000
t_start
sleep 1

header() { t_wdrv text "$TWIN" class:TavoraDayInfo; }
# The time at the top of the grid, from its scroll position and geometry.
top_time() {
  local y slot offset
  read -r _ _ _ y _ _ _ _ slot _ _ _ _ _ _ _ _ _ _ _ _ _ offset _ <<<"$(tt_dump | grep '^cells scroll')"
  echo $((DAY_START + y * 600 / slot + offset * 3600))
}
# check_header WHAT: the date header names the date and hour of the grid's top.
check_header() {
  local t shown want
  t=$(( $(top_time) + 1200 ))
  want="$(date -d "@$t" +%m/%d) .*  $(date -d "@$t" +%H)時～"
  for _ in $(seq 20); do
    shown=$(header)
    grep -q "$want" <<<"$shown" && return 0
    sleep 0.1
  done
  fail "$1: the header reads '$shown', the grid's top is $(date -d "@$t" '+%m/%d %H:%M')"
}
# drag DY: drags the grid up by DY pixels in two moves (the content scrolls down).
drag() {
  local from=$(( $1 + 20 ))
  t_wdrv mouse "$TWIN" $GRID 3 $from down >/dev/null
  t_wdrv mouse "$TWIN" $GRID 3 $((from - $1 / 2)) drag >/dev/null
  t_wdrv mouse "$TWIN" $GRID 3 20 up >/dev/null
  sleep 0.3
}
read -r _ gt _ gb <<<"$(t_wdrv rect "$TWIN" $GRID)"
page=$((gb - gt - 40))

note "a drag of the grid: the header follows"
check_header "at the start"
before=$(top_time)
drag $page
[ "$(top_time)" -gt "$before" ] || fail "the drag did not scroll the grid"
check_header "after a drag"
drag $page
check_header "after a second drag"

note "24-hour mode: dragging on moves into the next days"
period_hours=$(tt_geometry hours)
[ "$(tt_geometry zoom)" = '0 0' ] || fail "zoom at the start: $(tt_geometry zoom)"
t_post 32817
sleep 0.5
[ "$(tt_geometry mode24)" = 1 ] || fail "32817 did not turn the 24-hour mode on"
read -r v24 _ <<<"$(tt_geometry zoom)"
read -r _ ch <<<"$(tt_geometry char)"
[ $(( (ch + v24 + 4) * 6 * period_hours )) -gt 32000 ] && [ $(( (ch + v24 + 2) * 6 * period_hours )) -le 32000 ] ||
  fail "the 24-hour mode took vZoom $v24: not the first step over 32000 pixels for $period_hours hours"
check_header "24-hour mode"
second_day=$(date -d "@$((DAY_START + 2 * 86400))" +%m/%d)
for _ in $(seq 40); do
  drag $page
  grep -q "$second_day" <<<"$(header)" && break
done
grep -q "$second_day" <<<"$(header)" ||
  fail "dragging in 24-hour mode stays at $(header); offset $(tt_geometry offset) hours"
check_header "after dragging into the third day"

note "次の日 and 前の日 move the 24-hour window by a day within the period"
offset=$(tt_geometry offset)
t_post 32779
sleep 0.3
[ "$(tt_geometry offset)" = $((offset + 24)) ] || fail "次の日: offset $offset -> $(tt_geometry offset)"
t_post_times 8 32779
sleep 0.5
[ "$(tt_geometry offset)" = $((period_hours - 24)) ] ||
  fail "次の日 to the end: offset $(tt_geometry offset) of a $period_hours-hour period"
check_header "at the end of the period"
t_post_times 10 32777
sleep 0.5
[ "$(tt_geometry offset)" = 0 ] || fail "前の日 to the start: offset $(tt_geometry offset)"
check_header "at the start of the period"
t_post 32817
sleep 0.3
[ "$(tt_geometry mode24)" = 0 ] || fail "32817 did not turn the 24-hour mode off"
[ "$(tt_geometry zoom)" = '0 0' ] || fail "leaving the 24-hour mode did not restore the zoom: $(tt_geometry zoom)"

note "a sideways drag: the headings follow the grid"
t_post_times 10 32795
t_post 32774
sleep 0.5
x0=$(tt_geometry scroll | cut -d' ' -f1)
t_wdrv mouse "$TWIN" $GRID 600 3 down >/dev/null
t_wdrv mouse "$TWIN" $GRID 300 3 drag >/dev/null
t_wdrv mouse "$TWIN" $GRID 100 3 up >/dev/null
sleep 0.5
[ "$(tt_geometry scroll | cut -d' ' -f1)" -gt "$x0" ] || fail "the sideways drag did not scroll from $x0"
# The last column's right edge, in the grid and in the heading pane above it.
line=$(tt_cell 1003 1)
[ -n "$line" ] || fail "program 1003 is not in view: $(tt_cells)"
right=$(awk '{ print $11 }' <<<"$line")
tt_until 008080 t_wdrv pixel "$TWIN" class:TavoraTitles $((right - 4)) 3 ||
  fail "the heading left of x $right is $(t_wdrv pixel "$TWIN" class:TavoraTitles $((right - 4)) 3), not the title colour"
tt_until C0C0C0 t_wdrv pixel "$TWIN" class:TavoraTitles $((right + 4)) 3 ||
  fail "the heading right of x $right is $(t_wdrv pixel "$TWIN" class:TavoraTitles $((right + 4)) 3), not the margin"

note "a border dragged in the scrolled headings sets the width from where it is seen"
left=$(awk '{ print $9 }' <<<"$line")
unit=$(tt_geometry unit)
t_wdrv mouse "$TWIN" class:TavoraTitles "$right" 5 down >/dev/null
t_wdrv mouse "$TWIN" class:TavoraTitles $((right - 20)) 5 drag >/dev/null
t_wdrv mouse "$TWIN" class:TavoraTitles $((right - 40)) 5 up >/dev/null
sleep 0.3
percent=$(( (right - 40 - left) * 100 / unit ))
width=$(awk '{ print $11 - $9 }' <<<"$(tt_cell 1003 1)")
[ "$width" = $((percent * unit / 100)) ] ||
  fail "the column dragged to $percent % of $unit is $width wide, not $((percent * unit / 100))"
t_exit
echo PASS
