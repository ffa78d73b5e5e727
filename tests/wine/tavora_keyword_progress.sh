#!/usr/bin/env bash
# The keyword pass tells the user how far it has come while the server sends
# detail files slowly: "キーワード予約の確認中 (n/2)" in a small window of its
# own, gone with the pass. The main window keeps its title (other programs
# find the planner by it), and a detail the history folder holds shows nothing.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
PROGRESS='~キーワード予約の確認中'
mkdir -p "$WORK/served"
t_day_start_now >/dev/null
t_filler_days "$WORK/hist"
now=$(date +%s)
start=$((now - now % 60 + 3600))
{
  t_program 961 1 $start $((start + 1800)) '遅い配信の番組一'
  t_program 962 1 $((start + 1800)) $((start + 3600)) '遅い配信の番組二'
  t_program 963 1 $((start + 3600)) $((start + 5400)) '手元の番組'
} | t_guide_file "$WORK/hist/$DAY_FILE"
# Served in 512-byte pieces 50 ms apart: about five seconds a file.
for n in 961 962; do
  t_detail_file "$WORK/served/$n-1.spn" 239.192.9.61 25961 5 "slow$n"
  printf '%50000s\r\n' '' >> "$WORK/served/$n-1.spn"
done
t_detail_file "$WORK/hist/963-1.spn" 239.192.9.63 25963 5 'cached'
t_reg Environment EpgURL REG_SZ 'http://127.0.0.1'

# No server while the planner starts: the guide comes from the cache.
t_start_offline
title=$(t_wdrv text "$TWIN")

note "a cached detail needs no fetch and shows no progress"
t_reg Search SearchKey0 REG_SZ '手元の'
t_reg Search CheckUse0 REG_DWORD 1
t_reg Search CheckName0 REG_DWORD 1
t_post 32798
wait_for_file 20 "$WORK/sched/RSV*$(printf '%08x' 963).SDL" >/dev/null || fail "the cached program was not reserved"
t_wdrv find "$PROGRESS" >/dev/null && fail "progress shown for a cached detail"

note "two slow detail files: the progress shows while they come"
t_serve --mode slow
t_reg Search SearchKey1 REG_SZ '遅い配信'
t_reg Search CheckUse1 REG_DWORD 1
t_reg Search CheckName1 REG_DWORD 1
t_post 32798
seen=
for _ in $(seq 100); do
  text=$(t_wdrv text "$PROGRESS")
  [ -n "$text" ] && { seen=$text; break; }
  sleep 0.1
done
[[ "$seen" =~ ^キーワード予約の確認中\ \([12]/2\)$ ]] ||
  fail "no progress while the details came: '$seen' ($(cat "$WORK/server.log"))"
echo "progress: $seen"
for n in 961 962; do
  wait_for_file 40 "$WORK/sched/RSV*$(printf '%08x' $n).SDL" >/dev/null ||
    fail "program $n was not reserved: $(ls "$WORK/sched"; cat "$LV_DEBUG_LOG")"
done
for _ in $(seq 50); do t_wdrv find "$PROGRESS" >/dev/null || break; sleep 0.1; done
t_wdrv find "$PROGRESS" >/dev/null && fail "the progress stayed after the pass"
[ "$(t_wdrv text "$TWIN")" = "$title" ] || fail "the main window's title changed: '$(t_wdrv text "$TWIN")', was '$title'"
t_exit
echo PASS
