#!/usr/bin/env bash
# The timetable at its size limits in the real Tavora.exe: sixty-three
# channels at the widest zoom would be wider than 32000 pixels, so the column
# unit shrinks to keep the grid within them, and the far right end scrolled to
# with the scroll bar is painted; in 24-hour mode the scroll bar's end moves
# the 24-hour window on.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
for k in $(seq 10 69); do
  tt_program $((2000 + k)) 1 $((DAY_START + 600)) $((DAY_START + 4200)) "遠方の番組 $k" "遠方局$k" '分類1'
done | tt_local_week
t_start
sleep 1

note "sixty-three columns at the widest zoom stay within 32000 pixels"
t_post_times 40 32795
sleep 0.5
read -r cw ch <<<"$(tt_geometry char)"
columns=$(tr '|' '\n' <<<"$(tt_headings)" | wc -l)
[ "$columns" = 63 ] || fail "$columns columns: $(tt_headings)"
[ "$(tt_geometry zoom | cut -d' ' -f2)" = 64 ] || fail "横拡大 stopped at $(tt_geometry zoom | cut -d' ' -f2)"
unit0=$(( (64 / 2 + 10) * cw + 4 ))
total0=$(( 2 * ch + 12 + columns * unit0 ))
[ "$total0" -gt 32000 ] || fail "the test needs a grid wider than 32000 pixels, not $total0"
want=$(( unit0 * 32000 / total0 ))
[ "$(tt_geometry unit)" = "$want" ] || fail "the column unit is $(tt_geometry unit), expected $want"

note "the scroll bar's right end shows the last columns, painted"
t_wdrv scroll "$TWIN" $GRID rightend >/dev/null
dump=$(tt_dump)
read -r _ _ sx _ _ width height _ <<<"$(grep '^cells scroll' <<<"$dump")"
[ "$sx" -gt 0 ] || fail "the grid did not scroll to the right: $(grep '^cells scroll' <<<"$dump")"
last=$(grep '^cell ' <<<"$dump" | sort -k11,11n | tail -1)
[ -n "$last" ] || fail "no cell in view at the right end: $dump"
read -r _ _ _ _ _ _ _ _ l t r b _ <<<"$last"
[ $((sx + r)) -le 32000 ] || fail "a cell ends at $((sx + r)) pixels"
[ $((sx + width)) -le 32000 ] || fail "the grid is $((sx + width)) pixels wide"
[ $((sx + width - (sx + r))) -le $((ch + 6 + want)) ] || fail "the last column at $((sx + r)) is not the grid's last"
# Half-way down the part of the cell in view, clear of its name and button.
ymid=$(( ( (t < 0 ? 0 : t) + (b > height ? height : b) ) / 2 ))
tt_unhover
tt_until C0C0C0 tt_pixel $((r - 5)) $ymid || fail "the last column is not painted: $(tt_pixel $((r - 5)) $ymid) at $((r - 5)) $ymid"

note "24-hour mode: the scroll bar's bottom end moves the window on"
t_post 32817
sleep 0.3
[ "$(tt_geometry mode24)" = 1 ] || fail "no 24-hour mode"
offset=$(tt_geometry offset)
t_wdrv scroll "$TWIN" $GRID bottom >/dev/null
[ "$(tt_geometry offset)" -gt "$offset" ] || fail "the bottom end kept the window at $offset hours"
read -r _ y <<<"$(tt_geometry scroll)"
[ "$y" -lt $(( $(tt_geometry slot) * 6 * 24 )) ] || fail "the scroll position $y is beyond the 24 hours"
t_exit
echo PASS
