#!/usr/bin/env bash
# The history folder moved on the settings sheet to a folder that has result
# records of its own under the same file names: the received list is the new
# folder's at once, and "削除..." retires the reception shown, deleting its
# record in the new folder and leaving the old folder's record of the same
# name alone.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
trap 'status=$?; [ $status = 0 ] || tail -20 "$LV_DEBUG_LOG" 2>/dev/null; t_cleanup' EXIT
RCV='受信済み番組の一覧'
SHEET='環境設定'
mkdir -p "$WORK/hist2"

# Two missed receptions recorded by the unit; the second one's record moves to
# the new history folder under the first one's name.
now=$(date +%s)
start=$((now - now % 60 - 7200))
"$RSVTOOL" make --folder "$WORK/sched" --program 8401 --sub 1 --sid 7 --address 239.192.8.41 --port 21841 \
  --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" --name "移動前の番組" \
  --storage "$(winpath "$WORK/data/a")" >/dev/null || fail "rsvtool make"
"$RSVTOOL" make --folder "$WORK/sched" --program 8402 --sub 1 --sid 7 --address 239.192.8.42 --port 21842 \
  --start "$(minute_text $((start + 60)))" --end "$(minute_text $((start + 1800)))" --name "移動後の番組" \
  --storage "$(winpath "$WORK/data/b")" >/dev/null || fail "rsvtool make"
wine "$WIN_BIN/unit/win/Quillon.exe" >/dev/null 2>&1 </dev/null &
T_EXTRA_PIDS="$!"
for _ in $(seq 100); do [ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] && break; sleep 0.2; done
[ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] || fail "the unit did not record the two receptions"
t_end_unit
first= second=
for f in "$WORK/hist"/INFO*.RSV; do
  if "$RSVTOOL" dump "$f" | grep -q '移動前の番組'; then first=$f; else second=$f; fi
done
[ -n "$first" ] && [ -n "$second" ] || fail "records: $(ls "$WORK/hist")"
name=$(basename "$first")
mv "$second" "$WORK/hist2/$name"
t_reg Environment LossRequest REG_DWORD 0

rows() {  # the received list's rows, once it shows $1 rows
  t_post 32810
  t_wait_visible 15 "$RCV" || fail "dialog 136 did not open"
  for _ in $(seq 25); do [ "$(t_wdrv listview "$RCV" 1012 | wc -l)" = "$1" ] && break; sleep 0.2; done
  t_wdrv listview "$RCV" 1012
}
t_start
list=$(rows 1)
grep -q '移動前の番組' <<<"$list" || fail "before the move the list shows: $list"
t_wdrv close "$RCV" >/dev/null
t_wdrv wait "$RCV" 5000 gone >/dev/null || fail "dialog 136 did not close"

note "the history folder moves; its own records stay"
t_post 32787
t_wait_window 10 "$SHEET" || fail "the settings sheet did not open"
t_wait_control 10 "$SHEET" 1054 || fail "the folder page did not come"
t_wdrv settext "$SHEET" 1055 "$(winpath "$WORK/hist2")" >/dev/null || fail "no edit 1055"
t_wdrv click "$SHEET" 1 >/dev/null
# STR 5019 comes in a message box titled like the sheet, above it.
box=
for _ in $(seq 50); do
  box=$(t_wdrv controls "$SHEET")
  grep -q '履歴情報があります' <<<"$box" && break
  sleep 0.2
done
grep -q '履歴情報があります' <<<"$box" || fail "STR 5019 was not asked: $box"
t_wdrv post '環境設定' 7 >/dev/null  # No: the new folder keeps its own records
t_wdrv wait "$SHEET" 10000 gone >/dev/null || fail "the sheet stayed open"
[ "$(t_reg_query temp DataPath)" = "$(winpath "$WORK/hist2")" ] || fail "history folder not stored"
cmp -s "$first" "$WORK/hist/$name" || fail "the old folder's record changed"

note "the list is the new folder's; 削除... retires the reception shown"
list=$(rows 1)
grep -q '移動後の番組' <<<"$list" || fail "after the move the list shows: $list"
t_wdrv mouse "$RCV" 1012 40 28 left >/dev/null
sleep 0.5
t_wdrv click "$RCV" 1004 >/dev/null
t_wait_window 10 '受信予約プログラム' || fail "no confirmation"
t_wdrv post '受信予約プログラム' 6 >/dev/null
for _ in $(seq 50); do [ -e "$WORK/hist2/$name" ] || break; sleep 0.2; done
[ -e "$WORK/hist2/$name" ] && fail "the new folder's record was not retired"
[ -e "$WORK/hist/$name" ] || fail "the old folder's record of the same name was deleted"
iconv -f CP932 -t UTF-8 "$WORK/hist2/RsvData.log" | grep -q '移動後の番組' || fail "the retired reception is not logged in the new folder"
! iconv -f CP932 -t UTF-8 "$WORK/hist/RsvData.log" 2>/dev/null | grep -q '移動' || fail "a line went to the old folder's log"
t_wdrv close "$RCV" >/dev/null
t_exit
echo PASS
