#!/usr/bin/env bash
# A reservation file in the schedule folder appears as a bar in the
# reservation column; a double click on it, confirmed in dialog 151, writes the
# deletion request "<COMPUTERNAME>000000.SDD" and the unit drops the reservation.
# Command 32820, confirmed, withdraws the rest ("<COMPUTERNAME>000001.SDD").
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
t_day_start_now >/dev/null
day=$DAY_FILE
now=$(date +%s)
start=$((now - now % 60 + 20 * 60))
end=$((start + 30 * 60))
{
  t_program 501 1 $start $end 'キャンセル試験'
  t_program 502 1 $((start + 3600)) $((end + 3600)) '一括キャンセル試験'
} | t_guide_file "$WORK/hist/$day"
"$RSVTOOL" make --folder "$WORK/sched" --program 502 --sub 1 --id 4343 --start "$(minute_text $((start + 3600)))" \
  --end "$(minute_text $((end + 3600)))" --address 239.192.9.10 --port 23457 --sid 3 --name '一括キャンセル試験' \
  --storage "$(winpath "$WORK/data/y")" >/dev/null || fail "rsvtool make"
"$RSVTOOL" make --folder "$WORK/sched" --program 501 --sub 1 --id 4242 --start "$(minute_text $start)" \
  --end "$(minute_text $end)" --address 239.192.9.9 --port 23456 --sid 3 --name 'キャンセル試験' \
  --storage "$(winpath "$WORK/data/x")" >/dev/null || fail "rsvtool make"
sdl=$(ls "$WORK/sched"/RSV*000001f50001.SDL)

t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"
for _ in $(seq 50); do [ -n "$(t_wdrv listview "$QTITLE" 1001)" ] && break; sleep 0.2; done
t_wdrv listview "$QTITLE" 1001 | grep -q '^キャンセル試験' || fail "the unit does not list the reservation"
t_post 32785  # to the front: the unit's window may lie over the column
sleep 0.5

y=$(( $(column_y $start) + 10 ))
col='class:TavoraReserveView'
[ "$(t_wdrv pixel "$TWIN" "$col" 30 $y)" = FFB060 ] || fail "no bar in the reservation column at y=$y"
[ "$(t_wdrv pixel "$TWIN" "$col" 30 $((y + 80)))" != FFB060 ] || fail "the bar is longer than the reservation"

note "right button: the bubble with name, times and size; the next click closes it"
t_wdrv mouse "$TWIN" "$col" 30 $y right >/dev/null
t_wait_window 5 '~番組：キャンセル試験' || fail "no bubble on the right button"
bubble=$(t_wdrv text '~番組：キャンセル試験')
grep -q "$(date -d "@$start" '+%Y/%m/%d   %H:%M')～$(date -d "@$end" +%H:%M)" <<<"$bubble" || fail "bubble times: $bubble"
grep -q '予定ファイル容量' <<<"$bubble" || fail "bubble size: $bubble"
t_wdrv mouse "$TWIN" "$col" 30 $y left >/dev/null
for _ in $(seq 25); do t_wdrv find '~番組：キャンセル試験' >/dev/null || break; sleep 0.2; done
t_wdrv find '~番組：キャンセル試験' >/dev/null && fail "the bubble stayed after a click"

note "double click, dialog 151"
t_wdrv mouse "$TWIN" "$col" 30 $y double >/dev/null
t_wait_window 10 '予約のキャンセル' || fail "dialog 151 did not open"
t_wdrv text '予約のキャンセル' 1052 | grep -q 'キャンセル試験' || fail "dialog 151 does not name the program"
t_wdrv text '予約のキャンセル' 1053 | grep -q 'この番組の予約をキャンセルします。' || fail "dialog 151 lacks STR 5009"
t_wdrv click '予約のキャンセル' 1 >/dev/null

name="$(t_computer_name)000000.SDD"
for _ in $(seq 50); do grep -q "deletion request $name" "$LV_DEBUG_LOG" && break; sleep 0.2; done
grep -q "deletion request $name" "$LV_DEBUG_LOG" || fail "no deletion request $name (log: $(cat "$LV_DEBUG_LOG"))"
[ "$(t_reg_query Environment Counter)" = 0x1 ] || fail "Counter not raised to 1"
for _ in $(seq 50); do [ -e "$sdl" ] || break; sleep 0.2; done
[ -e "$sdl" ] && fail "the unit kept the reservation file"
ls "$WORK/sched"/*.SDD >/dev/null 2>&1 && fail "the deletion request was not consumed"
for _ in $(seq 25); do t_wdrv listview "$QTITLE" 1001 | grep -q '^キャンセル試験' || break; sleep 0.2; done
t_wdrv listview "$QTITLE" 1001 | grep -q '^キャンセル試験' && fail "the unit still lists the reservation"
[ "$(t_wdrv pixel "$TWIN" "$col" 30 $y)" = FFB060 ] && fail "the bar is still drawn"

note "a double click on an empty place opens nothing"
t_wdrv mouse "$TWIN" "$col" 30 $y double >/dev/null
sleep 1
t_wdrv find '予約のキャンセル' >/dev/null && fail "dialog 151 opened without a reservation"

note "32820 withdraws the rest after confirmation"
t_post 32820
t_wait_window 10 '受信予約プログラム' || fail "no confirmation for 32820"
t_wdrv controls '受信予約プログラム' | grep -q '受信中の番組もキャンセルされます' || fail "the confirmation is not STR 5032"
t_wdrv post '受信予約プログラム' 1 >/dev/null
name="$(t_computer_name)000001.SDD"
for _ in $(seq 50); do grep -q "deletion request $name" "$LV_DEBUG_LOG" && break; sleep 0.2; done
grep -q "deletion request $name" "$LV_DEBUG_LOG" || fail "no deletion request $name"
for _ in $(seq 50); do ls "$WORK/sched"/RSV*.SDL >/dev/null 2>&1 || break; sleep 0.2; done
ls "$WORK/sched"/RSV*.SDL >/dev/null 2>&1 && fail "the unit kept a reservation after 32820"
[ "$(t_reg_query Environment Counter)" = 0x2 ] || fail "Counter not 2"
t_exit
echo PASS
