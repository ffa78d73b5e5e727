#!/usr/bin/env bash
# Detail files from a hostile server: one declared far beyond the size bound
# (`headend guide --mode trickle`) is refused before it is read, one that stops
# halfway (`--mode stall`) is given up after the fetch's time limit. Both times
# the copy in the history folder is used instead and stays as it was.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
mkdir -p "$WORK/served"
t_day_start_now >/dev/null
t_filler_days "$WORK/hist"
now=$(date +%s)
start=$((now - now % 60 + 3600))
{
  t_program 955 1 $start $((start + 1800)) '細切れ試験'
  t_program 956 1 $start $((start + 1800)) '途切れ試験'
} | t_guide_file "$WORK/hist/$DAY_FILE"
for n in 955 956; do
  t_detail_file "$WORK/hist/$n-1.spn" 239.192.9.55 25955 5 'cached'
  # The served copy names another folder: it must not win.
  t_detail_file "$WORK/served/$n-1.spn" 239.192.9.56 25956 5 'served'
done
cp "$WORK/hist/955-1.spn" "$WORK/cached.spn"
t_reg Environment EpgURL REG_SZ 'http://127.0.0.1'

# No server while the planner starts: the guide comes from the cache.
t_start_offline

# reserve_once NUMBER MIN MAX: dialog 149 for NUMBER-1 opens within MIN..MAX
# seconds with the cached folder (a program's detail is fetched only once).
reserve_once() {
  local asked took
  t_reg Environment TestReserveProgram REG_SZ "$1-1"
  shift
  asked=$(date +%s)
  t_post $ID_TEST_RESERVE
  t_wait_visible 60 '番組の予約' || fail "dialog 149 did not open"
  took=$(( $(date +%s) - asked ))
  echo "dialog after $took s"
  [ $took -ge "$1" ] && [ $took -le "$2" ] ||
    fail "dialog after $took s, not within $1..$2 s: $(cat "$LV_DEBUG_LOG" "$WORK/server.log")"
  [ "$(t_wdrv text '番組の予約' 1194)" = "$(winpath "$WORK/data")\cached" ] || fail "folder: $(t_wdrv text '番組の予約' 1194)"
  cmp -s "$WORK/hist/955-1.spn" "$WORK/cached.spn" && cmp -s "$WORK/hist/956-1.spn" "$WORK/cached.spn" || fail "the cached copy was changed"
  t_wdrv click '番組の予約' 2 >/dev/null
  for _ in $(seq 25); do t_wdrv find '番組の予約' >/dev/null || break; sleep 0.2; done
}

note "a body that stops coming is given up after the time limit"
t_serve --mode stall --stall-seconds 40
reserve_once 956 8 16
grep -q 'detail file took too long' "$LV_DEBUG_LOG" || fail "not given up for time: $(cat "$LV_DEBUG_LOG")"
t_exit

note "a body declared far beyond the bound is refused unread"
# A fresh planner, started while no server answers (the stalled one is busy).
t_stop_server
t_start_offline
t_serve --mode trickle --stall-seconds 40
reserve_once 955 0 6
grep -q 'detail file declared' "$LV_DEBUG_LOG" || fail "not refused for its declared size: $(cat "$LV_DEBUG_LOG")"
t_exit
echo PASS
