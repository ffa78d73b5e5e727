#!/usr/bin/env bash
# The reservation column under the pointer: the bar under it takes the hover
# colour and gives it back when the pointer moves to another bar or leaves the
# column; the left button held in the column's bottom margin scrolls the time
# axis down (grid and column together) for as long as it is held, and in the
# top margin back up.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
t_day_start_now >/dev/null
now=$(date +%s)
first=$((now - now % 60 + 20 * 60))
second=$((first + 60 * 60))
{
  t_program 601 1 $first $((first + 1800)) '上の予約'
  t_program 602 1 $second $((second + 1800)) '下の予約'
} | t_guide_file "$WORK/hist/$DAY_FILE"
for entry in "601:$first:上の予約" "602:$second:下の予約"; do
  IFS=: read -r number at name <<<"$entry"
  "$RSVTOOL" make --folder "$WORK/sched" --program "$number" --sub 1 --start "$(minute_text "$at")" \
    --end "$(minute_text $((at + 1800)))" --address 239.192.9.9 --port 23456 --sid 3 --name "$name" \
    --storage "$(winpath "$WORK/data/$number")" >/dev/null || fail "rsvtool make"
done
t_reg Environment 'Window Width' REG_DWORD 800
# Tall enough for both bars wherever in the hour the test starts.
t_reg Environment 'Window Height' REG_DWORD 700

t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"
sleep 1
t_post 32785  # to the front: the unit's window may lie over the column
sleep 0.5

COL='class:TavoraReserveView'
BAR=FFB060
HOVER=FF6040
# Two thirds down each bar, clear of the title the column writes at its top.
y1=$(column_y $((first + 1200)))
y2=$(column_y $((second + 1200)))
pixel() { t_wdrv pixel "$TWIN" "$COL" 30 "$1"; }
point() { xdotool mousemove $(t_wdrv screenpos "$TWIN" "$@") 2>/dev/null; }
# until_pixel Y COLOUR [SECONDS]: waits (3 s by default) for the column's colour at (30, Y).
until_pixel() {
  for _ in $(seq $((${3:-3} * 5))); do [ "$(pixel "$1")" = "$2" ] && return 0; sleep 0.2; done
  return 1
}
until_pixel $y1 $BAR 10 || fail "no bar at y=$y1: $(wine "$WDRV" pixel "$TWIN" "$COL" 30 $y1 2>&1)"
until_pixel $y2 $BAR || fail "no bar at y=$y2: $(pixel $y2)"

note "hover: the bar under the pointer is highlighted, and only that one"
point "$COL" 30 $y1
until_pixel $y1 $HOVER || fail "the bar under the pointer is $(pixel $y1)"
[ "$(pixel $y2)" = $BAR ] || fail "the other bar is highlighted too"
point "$COL" 30 $y2
until_pixel $y2 $HOVER || fail "the second bar under the pointer is $(pixel $y2)"
until_pixel $y1 $BAR || fail "the first bar kept the hover colour: $(pixel $y1)"
point "$GRID" 40 $y2
until_pixel $y2 $BAR || fail "the bar kept the hover colour after the pointer left the column: $(pixel $y2)"

scroll_y() { tt_geometry scroll | awk '{ print $2 }'; }
read -r _ top _ bottom <<<"$(t_wdrv rect "$TWIN" "$COL")"
height=$((bottom - top))

note "the left button held in the bottom margin scrolls down while it is held"
before=$(scroll_y)
[ -n "$before" ] || fail "no scroll position from the grid"
point "$COL" 30 $((height - 4))
xdotool mousedown 1 2>/dev/null
sleep 1
during=$(scroll_y)
xdotool mouseup 1 2>/dev/null
sleep 0.5
released=$(scroll_y)
sleep 1
later=$(scroll_y)
[ "$during" -gt "$before" ] || fail "holding the button in the bottom margin did not scroll: $before -> $during"
[ "$later" = "$released" ] || fail "the scrolling went on after the button was released: $released -> $later"
moved=$((y2 - (released - before)))
[ "$moved" -gt 0 ] || moved=$((y1 - (released - before)))
[ "$moved" -gt 0 ] || fail "scrolled by $((released - before)): both bars went out of sight"
until_pixel $moved $BAR 1 || fail "the column did not scroll with the grid (no bar at y=$moved)"

note "in the middle of the column the button does not scroll"
point "$COL" 30 $((height / 2))
xdotool mousedown 1 2>/dev/null
sleep 1
xdotool mouseup 1 2>/dev/null
sleep 0.3
[ "$(scroll_y)" = "$later" ] || fail "a press in the middle scrolled: $later -> $(scroll_y)"

note "in the top margin it scrolls back up"
point "$COL" 30 3
xdotool mousedown 1 2>/dev/null
sleep 1.5
xdotool mouseup 1 2>/dev/null
sleep 0.3
up=$(scroll_y)
[ "$up" -lt "$later" ] || fail "holding the button in the top margin did not scroll up: $later -> $up"
xdotool mousemove 5 5 2>/dev/null
t_exit
echo PASS
