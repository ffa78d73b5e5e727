#!/usr/bin/env bash
# The frame timer's minute: a reservation file written while the planner runs
# (by another planner sharing the folder, or rsvtool) appears in the column
# within a minute, without any command.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
t_day_start_now >/dev/null
now=$(date +%s)
start=$((now - now % 60 + 20 * 60))
end=$((start + 30 * 60))
t_program 611 1 $start $end '一分後の番組' | t_guide_file "$WORK/hist/$DAY_FILE"
t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"
t_post 32785
y=$(( $(column_y $start) + 10 ))
col='class:TavoraReserveView'
[ "$(t_wdrv pixel "$TWIN" "$col" 30 $y)" = FFB060 ] && fail "a bar before the reservation exists"
"$RSVTOOL" make --folder "$WORK/sched" --program 611 --sub 1 --start "$(minute_text $start)" --end "$(minute_text $end)" \
  --address 239.192.6.11 --port 26011 --sid 6 --name '一分後の番組' --storage "$(winpath "$WORK/data/m")" >/dev/null ||
  fail "rsvtool make"
written=$(date +%s)
for _ in $(seq 80); do
  t_post 32785
  [ "$(t_wdrv pixel "$TWIN" "$col" 30 $y)" = FFB060 ] && break
  sleep 1
done
[ "$(t_wdrv pixel "$TWIN" "$col" 30 $y)" = FFB060 ] || fail "the reservation did not appear within a minute"
echo "appeared after $(( $(date +%s) - written )) s"
t_exit
echo PASS
