#!/usr/bin/env bash
# A "DayStart" outside 0..23 (another program may store one) is taken as the
# nearest hour, by the grid and by the reservation list alike: a reservation
# whose broadcast the guide has moved later in the evening is still found on
# its broadcast day and listed. Read as stored, 99 put that day four days later
# and 0xFFFFFFFF an hour before the record's date, and the reservation was lost
# from the list.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"

today=$(date +%Y-%m-%d)
reserved=$(date -d "$today 23:10" +%s)
moved=$(date -d "$today 23:40" +%s)
t_program 601 1 $moved $((moved + 15 * 60)) '移動した番組' | t_guide_file "$WORK/hist/$(date -d "$today" +gd%y%m%d.dpn)"
"$RSVTOOL" make --folder "$WORK/sched" --program 601 --sub 1 --id 6060 --start "$(minute_text $reserved)" \
  --end "$(minute_text $((reserved + 15 * 60)))" --address 239.192.9.11 --port 23458 --sid 3 --name '移動した番組' \
  --storage "$(winpath "$WORK/data/m")" >/dev/null || fail "rsvtool make"

# Starts the planner on a stored day start and waits for the marks it sets
# once the guide and the reservations are in.
start_with_day_start() {
  t_reg Environment DayStart REG_DWORD "$1"
  [ "$(t_reg_query Environment DayStart)" = "$(printf '0x%x' "$1")" ] ||
    fail "DayStart $1 stored as $(t_reg_query Environment DayStart)"
  rm -f "$LV_DEBUG_LOG"
  t_start
  for _ in $(seq 150); do grep -q 'marks from .* reservations' "$LV_DEBUG_LOG" 2>/dev/null && break; sleep 0.2; done
  grep -q 'marks from .* reservations' "$LV_DEBUG_LOG" 2>/dev/null || fail "DayStart $1: the document did not load"
}

note "DayStart 4: the reservation is listed"
start_with_day_start 4
grep -q 'marks from .* and 1 reservations' "$LV_DEBUG_LOG" ||
  fail "DayStart 4: the reservation is not listed: $(grep 'marks from' "$LV_DEBUG_LOG")"
t_exit
t_end_unit

for stored in 99 0xFFFFFFFF; do
  note "DayStart $stored"
  start_with_day_start $stored
  grep -q 'marks from .* and 1 reservations' "$LV_DEBUG_LOG" ||
    fail "DayStart $stored: the moved broadcast's reservation is not listed: $(grep 'marks from' "$LV_DEBUG_LOG")"
  t_exit
  t_end_unit
done
echo PASS
