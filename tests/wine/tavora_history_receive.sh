#!/usr/bin/env bash
# The reception history end to end: the real unit (started by the planner)
# receives a carousel from headend into a storage folder; the result comes back
# by 32798 and "受信済み番組の一覧" lists it. A second reception into the same
# folder retires the first into RsvData.log, which "過去の受信記録" shows.
# Also dialog 141 with a file type from HKEY_CLASSES_ROOT, the stored column
# widths, deleting the content, and the picture of dialog 136 for the README.
. "$(dirname "$0")/lib/tavora.sh"
t_init
t_reg Environment "Prepare Time" REG_DWORD 10
t_reg Environment Timeout REG_DWORD 60

RCV='受信済み番組の一覧'
PAST='過去の受信記録'

# A file type of our own in HKEY_CLASSES_ROOT: the detail names it from there.
wine reg add 'HKCR\.lvhist' /ve /d lvhistfile /f >/dev/null 2>&1 </dev/null || fail "reg add .lvhist"
wine reg add 'HKCR\lvhistfile' /ve /d '履歴試験形式' /f >/dev/null 2>&1 </dev/null || fail "reg add lvhistfile"
h_cleanup() {
  wine reg delete 'HKCR\.lvhist' /f >/dev/null 2>&1 </dev/null
  wine reg delete 'HKCR\lvhistfile' /f >/dev/null 2>&1 </dev/null
  t_cleanup
}
trap h_cleanup EXIT

# A program's content with the list the broadcaster puts in every carousel.
make_content() {  # FOLDER TEXT
  rm -rf "$1"; mkdir -p "$1/sub"
  head -c 5000 /dev/urandom > "$1/data.bin"
  printf '%s\r\n' "$2" > "$1/sub/readme.txt"
  printf 'x' > "$1/sub/note.lvhist"
  printf '%d\r\ndata.bin\r\nsub\\readme.txt\r\nsub\\note.lvhist\r\n' \
    $(( $(stat -c %s "$1/data.bin") + $(stat -c %s "$1/sub/readme.txt") + 1 )) > "$1/FileList.mls"
}

# Names of the result records in the history folder, one a line.
records() { ls "$WORK/hist" | grep '^INFO' || true; }

# receive PROGRAM NAME: reserves a broadcast into data/prog that starts now and
# sends it until the unit has written a new result record (the planner may
# retire an older one at once, so the test looks for a new name, not a count).
receive() {
  local program=$1 name=$2 port group now start before sender
  port=$((20000 + RANDOM % 10000))
  group=239.192.9.$((RANDOM % 200 + 1))
  now=$(date +%s)
  start=$((now - now % 60))
  before=$(records)
  "$RSVTOOL" make --folder "$WORK/sched" --program "$program" --sub 1 --sid 7 \
    --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" \
    --address "$group" --port "$port" --name "$name" --channel "履歴局" --speed 1000 \
    --storage "$(winpath "$WORK/data/prog")" >/dev/null || fail "rsvtool make"
  # The unit rescans when the planner wakes it; the test wakes it the same way.
  t_wdrv post "$QTITLE" 1004 >/dev/null
  "$HEADEND" carousel -q -g "$group" -p "$port" -c 1 -r 2M -n 0 "$WORK/send" &
  sender=$!
  T_EXTRA_PIDS="$T_EXTRA_PIDS $sender"
  for _ in $(seq 450); do
    [ -n "$(comm -13 <(echo "$before") <(records))" ] && break
    sleep 0.2
  done
  kill "$sender" 2>/dev/null
  [ -n "$(comm -13 <(echo "$before") <(records))" ] || fail "no result record for $name"
}

# Rows of the received list (opens dialog 136 by command 32810 when needed).
received_rows() {
  t_wdrv find "$RCV" >/dev/null || t_post 32810
  t_wait_window 10 "$RCV" || fail "dialog 136 did not open"
  sleep 0.5  # its rows are built by the command it posts to itself
  t_wdrv listview "$RCV" 1012
}

note "planner and unit"
make_content "$WORK/send" first
t_start
t_wait_window 30 "$QTITLE" || fail "the planner did not start the unit"

note "first reception"
receive 4801 "履歴テスト一"
for _ in $(seq 50); do received_rows | grep -q '履歴テスト一' && break; t_wdrv close "$RCV" >/dev/null; sleep 0.4; done
rows=$(received_rows)
echo "$rows"
grep -q "履歴テスト一.*正常終了" <<<"$rows" || fail "the received list does not show the first reception"
[ -e "$WORK/data/prog/FileList.mls" ] || fail "content without its list"

note "picture of dialog 136"
shots_init tavora_history_receive
shots=$SHOTS_DIR
t_wdrv visible "$RCV" >/dev/null || fail "dialog 136 not visible"
import -window root "$shots/history_received_list.png" || fail "screenshot"
[ "$(identify -format '%wx%h' "$shots/history_received_list.png")" = 1024x768 ] || fail "not a screen picture"

note "detail of the reception"
t_wdrv mouse "$RCV" 1012 40 28 left >/dev/null
sleep 0.5
t_wdrv click "$RCV" 1010 >/dev/null
t_wait_window 10 '番組の受信詳細' || fail "dialog 141 did not open"
# The dialog fills its list after it is shown.
for _ in $(seq 50); do
  files=$(t_wdrv listview '番組の受信詳細' 1021)
  [ "$(grep -c . <<<"$files")" -ge 3 ] && break
  sleep 0.1
done
echo "$files"
awk -F'\t' '$1 == "data.bin" && $3 ~ /prog\\$/ && $4 == "5KB" { ok = 1 } END { exit !ok }' <<<"$files" ||
  fail "detail lacks data.bin"
awk -F'\t' '$1 == "readme.txt" && $3 ~ /prog\\sub\\$/ && $4 == "1KB" { ok = 1 } END { exit !ok }' <<<"$files" ||
  fail "detail lacks sub\\readme.txt"
awk -F'\t' '$1 == "note.lvhist" && $2 == "履歴試験形式" { ok = 1 } END { exit !ok }' <<<"$files" ||
  fail "the type name does not come from HKEY_CLASSES_ROOT"
t_wdrv text '番組の受信詳細' 1023 | grep -q '履歴テスト一' || fail "detail name"
t_wdrv text '番組の受信詳細' 1018 | grep -qx '5 (KB)' || fail "detail size: $(t_wdrv text '番組の受信詳細' 1018)"
t_wdrv post '番組の受信詳細' 1 >/dev/null
for _ in $(seq 25); do t_wdrv find '番組の受信詳細' >/dev/null || break; sleep 0.2; done
t_wdrv close "$RCV" >/dev/null
for _ in $(seq 25); do t_wdrv find "$RCV" >/dev/null || break; sleep 0.2; done
[ "$(t_reg_query ReportSize 番組名)" = 0x96 ] || fail "column widths not stored: $(t_reg_query ReportSize 番組名)"

note "second reception into the same folder"
make_content "$WORK/send" second
receive 4802 "履歴テスト二"
for _ in $(seq 50); do [ -e "$WORK/hist/RsvData.log" ] && break; sleep 0.2; done
[ -e "$WORK/hist/RsvData.log" ] || fail "the first reception was not retired"
log=$(iconv -f CP932 -t UTF-8 "$WORK/hist/RsvData.log")
echo "$log"
[ "$(grep -c $'\r$' "$WORK/hist/RsvData.log")" = 1 ] || fail "RsvData.log should hold one CR LF line"
grep -q $'\t履歴局\t履歴テスト一\t.*\t受信 .*\tIP 239\\.192\\.9\\.[0-9]*\t[0-9]*\t成功' <<<"$log" || fail "log line"
# The log line is written first and the retired record deleted after it.
for _ in $(seq 50); do [ "$(records | wc -l)" = 1 ] && break; sleep 0.2; done
[ "$(records | wc -l)" = 1 ] || fail "the first result record is still there: $(records)"
rows=$(received_rows)
echo "$rows"
grep -q '履歴テスト二' <<<"$rows" || fail "the second reception is not listed"
grep -q '履歴テスト一' <<<"$rows" && fail "the superseded reception is still listed"

note "past records"
t_wdrv click "$RCV" 1005 >/dev/null
t_wait_window 10 "$PAST" || fail "dialog 143 did not open"
past=$(t_wdrv listview "$PAST" 1013)
echo "$past"
grep -q '履歴テスト一.*成功' <<<"$past" || fail "past records lack the first reception"
t_wdrv post "$PAST" 1 >/dev/null
for _ in $(seq 25); do t_wdrv find "$PAST" >/dev/null || break; sleep 0.2; done

note "deleting the content"
t_wdrv mouse "$RCV" 1012 40 28 left >/dev/null
sleep 0.5
t_wdrv click "$RCV" 1004 >/dev/null
t_wait_window 10 '受信予約プログラム' || fail "no confirmation"
t_wdrv controls '受信予約プログラム' | grep -q '番組の削除を行います' || fail "confirmation text"
t_wdrv post '受信予約プログラム' 6 >/dev/null
for _ in $(seq 50); do [ -e "$WORK/data/prog" ] || break; sleep 0.2; done
[ -e "$WORK/data/prog" ] && fail "the storage folder is still there: $(ls -R "$WORK/data/prog")"
[ -d "$WORK/data" ] || fail "the data folder above the storage folder was removed"
# The folder goes first, the record and the log line after it.
for _ in $(seq 50); do [ -z "$(records)" ] && break; sleep 0.2; done
[ "$(grep -c $'\r$' "$WORK/hist/RsvData.log")" = 2 ] || fail "the deleted reception was not logged"
[ -z "$(records)" ] || fail "result records left: $(records)"
rows=$(t_wdrv listview "$RCV" 1012)
[ -z "$rows" ] || fail "rows left after the deletion: $rows"
t_wdrv close "$RCV" >/dev/null
t_exit
shots_keep
echo PASS
