#!/usr/bin/env bash
# A keyword condition stored in the registry reserves the matching program of
# the cached guide when the planner starts: the reservation file appears under
# the keyword name form, in the data folder + holder, and the unit lists it.
. "$(dirname "$0")/lib/tavora.sh"
t_init
t_day_start_now
day_file=$DAY_FILE
now=$(date +%s)
start=$(( (now / 60 + 6) * 60 ))
{
  t_program 7101 1 "$start" $((start + 1800)) "朝のニュース"
  t_program 7102 1 $((start + 600)) $((start + 2400)) "天気予報"
  t_program 7103 1 $((now - 7200)) $((now - 3600)) "昨日のにゅーす"
} | t_guide_file "$WORK/hist/$day_file"
t_detail_file "$WORK/hist/7101-1.spn" 239.192.7.1 21701 7 "kwnews"
t_detail_file "$WORK/hist/7102-1.spn" 239.192.7.2 21702 7 "weather"
t_detail_file "$WORK/hist/7103-1.spn" 239.192.7.3 21703 7 "old"

# Half-width katakana folds onto the full-width title.
t_reg Search SearchKey0 REG_SZ "ﾆｭｰｽ"
t_reg Search CheckUse0 REG_DWORD 1
t_reg Search CheckName0 REG_DWORD 1
# An apply-once condition on the description that matches nothing is consumed.
t_reg Search SearchKey1 REG_SZ "存在しない番組"
t_reg Search CheckUse1 REG_DWORD 1
t_reg Search CheckLife1 REG_DWORD 1
t_reg Search CheckRefer1 REG_DWORD 1

t_start
expected="$(date -d "@$start" +RSV%m%d%H%M%Y)$(printf '%08x' 7101).SDL"
sdl=$(wait_for_file 30 "$WORK/sched/RSV*.SDL") || fail "no reservation file was written"
[ "$(basename "$sdl")" = "$expected" ] || fail "reservation file $(basename "$sdl"), expected $expected"
[ "$(ls "$WORK/sched" | grep -c '\.SDL$')" = 1 ] || fail "more than the one matching program was reserved: $(ls "$WORK/sched")"
dump=$("$RSVTOOL" dump "$sdl") || fail "rsvtool dump"
echo "$dump"
echo "$dump" | grep -qx 'programNumber: 7101 (0x1bbd)' || fail "wrong program in the file"
echo "$dump" | grep -qxF "storageFolder: \"$(winpath "$WORK/data")\\kwnews\"" || fail "storage folder is not data folder + holder"
echo "$dump" | grep -qx 'clearFolder: 0' || fail "clear-folder must be off"

note "the unit picks the reservation up"
t_wait_window 30 "$QTITLE" || fail "the unit did not start"
for _ in $(seq 50); do
  t_wdrv listview "$QTITLE" | grep -q "朝のニュース" && break
  sleep 0.2
done
t_wdrv listview "$QTITLE" | grep -q "朝のニュース" || fail "the unit does not list the keyword reservation"

[ "$(t_reg_query Search CheckUse1)" = 0x0 ] || fail "the apply-once condition was not consumed"
[ "$(t_reg_query Search CheckUse0)" = 0x1 ] || fail "the always condition was disabled"

note "a new condition is applied by 番組表の再表示 (32798)"
t_reg Search SearchKey2 REG_SZ "天気"
t_reg Search CheckUse2 REG_DWORD 1
t_reg Search CheckName2 REG_DWORD 1
t_post 32798
second="$WORK/sched/$(date -d "@$((start + 600))" +RSV%m%d%H%M%Y)$(printf '%08x' 7102).SDL"
wait_for_file 20 "$second" >/dev/null || fail "32798 did not reserve the program of the new condition: $(ls "$WORK/sched")"
t_exit

note "a restart does not reserve the program a second time"
t_start
sleep 3
[ "$(ls "$WORK/sched" | grep -c '\.SDL$')" = 2 ] || fail "reserved again: $(ls "$WORK/sched")"
t_exit
echo PASS
