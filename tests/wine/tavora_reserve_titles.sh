#!/usr/bin/env bash
# Program names on the bars of the reservation column in the real Tavora.exe:
# at the top of the bar, inside its lane (text pixels read on the screen);
# after the grid has scrolled past the bar's start and paused, the name sits a
# few pixels below the column's top while the bar still reaches below.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
ID_RESERVE_TITLES=32805
COL='class:TavoraReserveView'
BAR=FFB060
t_day_start_now >/dev/null
now=$(date +%s)
start=$((now - now % 60 + 20 * 60))
end=$((start + 3 * 3600))
t_program 501 1 $start $end '長い番組名の予約' | t_guide_file "$WORK/hist/$DAY_FILE"
"$RSVTOOL" make --folder "$WORK/sched" --program 501 --sub 1 --id 4242 --start "$(minute_text $start)" \
  --end "$(minute_text $end)" --address 239.192.9.9 --port 23456 --sid 3 --name '長い番組名の予約' \
  --storage "$(winpath "$WORK/data/x")" >/dev/null || fail "rsvtool make"

# placed: waits for the column's next report of its names (after $1 bytes of
# the log) and prints "TOP" and the bar's line "l t r b x y font".
placed() {
  local from=$1 text=
  for _ in $(seq 50); do
    text=$(tail -c +$((from + 1)) "$LV_DEBUG_LOG" 2>/dev/null | tr -d '\r')
    grep -q '^reserve titles placed' <<<"$text" && break
    sleep 0.2
  done
  grep -q '^reserve titles placed' <<<"$text" || fail "the column did not place its names: $text"
  awk '/^reserve titles placed/ { print $NF; exit }' <<<"$text"
  awk '/^reserve title 501-1 / { print $5, $6, $7, $8, $10, $11, $13; exit }' <<<"$text"
}
log_size() { stat -c %s "$LV_DEBUG_LOG" 2>/dev/null || echo 0; }

t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"
t_post 32785  # to the front: the unit's window may lie over the column
sleep 0.5

note "the name at the top of its bar"
from=$(log_size)
t_post $ID_RESERVE_TITLES
{ read -r top; read -r l t r b x y font; } < <(placed "$from")
[ -n "${b:-}" ] || fail "no name placed for the reservation"
[ "$top" = 0 ] || fail "the column is scrolled at the start: $top"
[ "$t" -eq "$(column_y $start)" ] || fail "bar top $t, expected $(column_y $start)"
[ "$y" -eq $((t + 1)) ] && [ "$x" -eq $((l + 2)) ] || fail "name at $x $y for the bar $l $t $r $b"
ink=$(t_wdrv differ "$TWIN" "$COL" "$x" "$y" $((r - 1 - x)) 12 $BAR)
[ "$ink" -gt 5 ] || fail "no text at the top of the bar ($ink pixels)"
below=$(t_wdrv differ "$TWIN" "$COL" "$x" $((y + 60)) $((r - 1 - x)) 12 $BAR)
[ "$below" = 0 ] || fail "the bar has marks below its name ($below pixels)"
# Nothing of the name right of the lane (the column's edge).
width=$(t_wdrv rect "$TWIN" "$COL" | awk '{ print $3 - $1 }')
[ "$r" -eq "$width" ] || fail "one lane should reach the column's edge: $r vs $width"

note "scrolled past the start: the name below the visible top once scrolling pauses"
top=0
for _ in $(seq 20); do
  from=$(log_size)
  t_wdrv scroll "$TWIN" class:TavoraGrid down 2 >/dev/null
  { read -r top; read -r l t r b x y font; } < <(placed "$from")
  [ "$t" -lt -10 ] && break
done
[ "$t" -lt -10 ] || fail "the grid did not scroll past the bar's start (bar top $t, column top $top)"
[ "$b" -gt 60 ] || fail "scrolled too far: the bar ends at $b"
[ "$y" -eq 6 ] || fail "name at y=$y for a bar from $t to $b (expected 5 below the top)"
ink=$(t_wdrv differ "$TWIN" "$COL" "$x" 6 $((r - 1 - x)) 12 $BAR)
[ "$ink" -gt 5 ] || fail "no text below the top ($ink pixels)"

t_exit
echo PASS
