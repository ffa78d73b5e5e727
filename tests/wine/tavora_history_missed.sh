#!/usr/bin/env bash
# A reservation whose broadcast ended while nothing ran: the unit (started by
# the planner) writes its "無受信" result and counts it in LossRequest; the next
# planner start shows "無受信番組のお知らせ" with the count, resets it, and lists
# the program as failed.
. "$(dirname "$0")/lib/tavora.sh"
t_init
NOTICE='無受信番組のお知らせ'

now=$(date +%s)
start=$((now - now % 60 - 7200))
for n in 1 2; do
  "$RSVTOOL" make --folder "$WORK/sched" --program $((4810 + n)) --sub 1 --sid 7 \
    --start "$(date -d "@$((start + n * 60))" '+%Y-%m-%d %H:%M')" --end "$(date -d "@$((start + 1800))" '+%Y-%m-%d %H:%M')" \
    --address 239.192.9.9 --port 23456 --name "見逃し番組$n" \
    --storage "$(winpath "$WORK/data/missed$n")" >/dev/null || fail "rsvtool make"
done

note "the unit alone finds the missed reservations"
t_reg Environment "Prepare Time" REG_DWORD 10
wine "$WORK/prog/Quillon.exe" >/dev/null 2>&1 </dev/null &
T_EXTRA_PIDS="$T_EXTRA_PIDS $!"
for _ in $(seq 100); do [ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] && break; sleep 0.2; done
[ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] || fail "no missed results"
for _ in $(seq 50); do [ "$(t_reg_query Environment LossRequest)" = 0x2 ] && break; sleep 0.2; done
[ "$(t_reg_query Environment LossRequest)" = 0x2 ] || fail "LossRequest is not 2"
t_end_unit

note "the next planner start: the notice"
t_launch
t_wait_window 30 "$NOTICE" || fail "dialog 144 did not appear"
text=$(t_wdrv text "$NOTICE" 1015)
echo "$text"
grep -q '前回の起動から2件の番組がパソコンの' <<<"$text" || fail "notice text"
[ "$(t_reg_query Environment LossRequest)" = 0x0 ] || fail "LossRequest not reset"
t_wdrv click "$NOTICE" 1016 >/dev/null
t_wait_window 10 '過去の受信記録' || fail "受信ログを開く did not open the past records"
t_wdrv post '過去の受信記録' 1 >/dev/null
t_wdrv click "$NOTICE" 1 >/dev/null
for _ in $(seq 50); do t_wdrv find "$NOTICE" >/dev/null || break; sleep 0.2; done
t_wdrv find "$NOTICE" >/dev/null && fail "閉じる did not close the notice"
for _ in $(seq 150); do t_wdrv visible "$TWIN" >/dev/null && break; sleep 0.2; done

note "the missed programs are listed as failed"
t_post 32810
t_wait_window 10 '受信済み番組の一覧' || fail "dialog 136 did not open"
sleep 0.5
rows=$(t_wdrv listview '受信済み番組の一覧' 1012)
echo "$rows"
[ "$(grep -c '受信失敗' <<<"$rows")" = 2 ] || fail "both missed programs should be listed as failed"
t_wdrv close '受信済み番組の一覧' >/dev/null
t_exit
echo PASS
