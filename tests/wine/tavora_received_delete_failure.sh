#!/usr/bin/env bash
# "削除..." that cannot do all of it says so: a listed file that cannot be
# deleted (a folder has taken its name) and a history log that cannot be
# written (a folder has taken its name) are named in a message, and the
# reception whose log line was not written stays listed with its record.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
trap 'status=$?; [ $status = 0 ] || tail -20 "$LV_DEBUG_LOG" 2>/dev/null; t_cleanup' EXIT
RCV='受信済み番組の一覧'
MSGBOX='受信予約プログラム'

# A reception the unit records, then marked successful, with content whose
# listed file "sub" is a folder.
now=$(date +%s)
start=$((now - now % 60 - 7200))
"$RSVTOOL" make --folder "$WORK/sched" --program 8501 --sub 1 --sid 7 --address 239.192.8.51 --port 21851 \
  --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" --name "削除失敗試験" \
  --storage "$(winpath "$WORK/data/a")" >/dev/null || fail "rsvtool make"
wine "$WIN_BIN/unit/win/Quillon.exe" >/dev/null 2>&1 </dev/null &
T_EXTRA_PIDS="$!"
info=$(wait_for_file 20 "$WORK/hist/INFO*.RSV") || fail "the unit did not record the reception"
t_end_unit
printf '\001\000\000\000' | dd of="$info" bs=1 seek=4 conv=notrunc 2>/dev/null
"$RSVTOOL" dump "$info" | grep -q '成功' || fail "the record is not a success: $("$RSVTOOL" dump "$info")"
mkdir -p "$WORK/data/a/sub" "$WORK/hist/RsvData.log"
printf 'x' > "$WORK/data/a/sub/inner.bin"
printf '10\r\nsub\r\n' > "$WORK/data/a/FileList.mls"
t_reg Environment LossRequest REG_DWORD 0

t_start
t_post 32810
t_wait_visible 15 "$RCV" || fail "dialog 136 did not open"
for _ in $(seq 25); do [ "$(t_wdrv listview "$RCV" 1012 | wc -l)" = 1 ] && break; sleep 0.2; done
t_wdrv listview "$RCV" 1012 | grep -q '削除失敗試験' || fail "not listed: $(t_wdrv listview "$RCV" 1012)"
t_wdrv mouse "$RCV" 1012 40 28 left >/dev/null
sleep 0.5
t_wdrv click "$RCV" 1004 >/dev/null
t_wait_window 10 "$MSGBOX" || fail "no confirmation"
t_wdrv controls "$MSGBOX" | grep -q '番組の削除を行います' || fail "not the confirmation: $(t_wdrv controls "$MSGBOX")"
t_wdrv post "$MSGBOX" 6 >/dev/null

note "the failures are named"
text=
for _ in $(seq 50); do
  text=$(t_wdrv controls "$MSGBOX")
  grep -q 'できませんでした' <<<"$text" && break
  sleep 0.2
done
grep -qF "$(winpath "$WORK/hist")\\RsvData.log" <<<"$text" || fail "the log is not named: $text"
grep -q '削除失敗試験' <<<"$text" || fail "the reception kept is not named: $text"
grep -q '次のファイルを削除できませんでした' <<<"$text" || fail "the files left are not told: $text"
grep -qF "$(winpath "$WORK/data/a")\\sub" <<<"$text" || fail "the file left is not named: $text"
t_wdrv post "$MSGBOX" 1 >/dev/null
t_wdrv wait "$MSGBOX" 5000 gone >/dev/null || fail "the message stayed"
[ -e "$info" ] || fail "the record went without its log line"
[ -d "$WORK/data/a/sub" ] || fail "the folder that took the file's name was removed"
t_wdrv listview "$RCV" 1012 | grep -q '削除失敗試験' || fail "the reception left the list without its log line"
t_wdrv close "$RCV" >/dev/null
t_exit
echo PASS
