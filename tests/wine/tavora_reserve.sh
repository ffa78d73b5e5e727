#!/usr/bin/env bash
# Dialog 149 for a guide program (through the test-only command 33001): the
# detail file comes from `headend guide`, "予約" writes the reservation file,
# the unit receives the carousel from `headend carousel`, and its result comes
# back to the planner by command 32798 (the reservation leaves the column).
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
mkdir -p "$WORK/served" "$WORK/send"
head -c 200000 /dev/urandom > "$WORK/send/data.bin"
printf 'readme\r\n' > "$WORK/send/readme.txt"

t_day_start_now >/dev/null
day=$DAY_FILE
now=$(date +%s)
start=$((now - now % 60))
end=$((start + 30 * 60))
port=$((20000 + RANDOM % 10000))
group=239.192.5.$((RANDOM % 200 + 1))
{
  t_program 777 2 $start $end '予約試験番組' 197 1000
  t_program 778 1 $((start + 3600)) $((start + 5400)) '別の番組' 100 1000
} | t_guide_file "$WORK/served/$day"
t_filler_days "$WORK/served"
t_detail_file "$WORK/served/777-2.spn" "$group" "$port" 5 'yoyaku'
t_serve
t_reg Environment EpgURL REG_SZ 'http://127.0.0.1'
t_reg Environment TestReserveProgram REG_SZ '777-2'
t_reg Environment Timeout REG_DWORD 60

t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"
[ -e "$WORK/hist/$day" ] || fail "the guide day was not fetched and cached"

note "dialog 149"
RSV='番組の予約'
t_post $ID_TEST_RESERVE
t_wait_visible 20 "$RSV" || fail "dialog 149 did not open"
grep -q 'GET [^ ]*777-2.spn' "$WORK/server.log" || fail "the detail file was not fetched: $(cat "$WORK/server.log")"
[ -e "$WORK/hist/777-2.spn" ] || fail "the detail file was not cached"
[ "$(t_wdrv text "$RSV" 1001)" = '予約試験番組' ] || fail "title: $(t_wdrv text "$RSV" 1001)"
[ "$(t_wdrv text "$RSV" 1022)" = '197 KB' ] || fail "size: $(t_wdrv text "$RSV" 1022)"
[ "$(t_wdrv text "$RSV" 1194)" = "$(winpath "$WORK/data")\\yoyaku" ] || fail "folder: $(t_wdrv text "$RSV" 1194)"
t_wdrv text "$RSV" 1041 | grep -q "$(date -d "@$start" '+%Y年 %m月 %d日    %H:%M ～ ')$(date -d "@$end" +%H:%M)" ||
  fail "time: $(t_wdrv text "$RSV" 1041)"
t_wdrv text "$RSV" 1042 | grep -q '予約試験番組 の内容' || fail "digest: $(t_wdrv text "$RSV" 1042)"
[ -z "$(t_wdrv text "$RSV" 1043)" ] || fail "a warning without any other reservation: $(t_wdrv text "$RSV" 1043)"
[ -n "${SHOTS:-}" ] && import -window root "$SHOTS/planner_reserve_dialog.png"

note "予約 writes the reservation file; the unit receives"
t_wdrv click "$RSV" 1 >/dev/null
logged=$(stat -c %s "$LV_DEBUG_LOG" 2>/dev/null || echo 0)
sdl=$(wait_for_file 10 "$WORK/sched/RSV*.SDL") || fail "no reservation file"
dump=$("$RSVTOOL" dump "$sdl")
for want in "$group" "$port" '予約試験番組' 'yoyaku' 'テスト局'; do
  grep -q -- "$want" <<<"$dump" || fail "the reservation file lacks $want: $dump"
done
ls "$WORK/sched" | grep -v -e '^RSV.*\.SDL$' -e '^Tavora.log$' && fail "a temporary file was left"
t_broadcast "$group" "$port" "$WORK/send"
sleep 1
diff -r "$WORK/send" "$WORK/data/yoyaku" || fail "received files differ"

note "the result comes back by 32798"
since() { tail -c +$((logged + 1)) "$LV_DEBUG_LOG"; }
for _ in $(seq 50); do since | grep -q 'redisplay: 0 reservations' && break; sleep 0.2; done
since | grep -q 'redisplay: 0 reservations' || fail "no redisplay without the reservation: $(cat "$LV_DEBUG_LOG")"
t_exit
echo PASS
