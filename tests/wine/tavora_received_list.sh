#!/usr/bin/env bash
# The received-programs dialog (136) with the mouse: hovering over a row shows
# the bubble of that row's reception (it moves on to the next row and goes away
# off the rows, on the right button and when the pointer leaves); "開く" and a
# double-click open the start file of the selected row (a batch file that
# leaves a marker); a row without a start file hides "開く" and opens the
# reception detail on a double-click; two selected rows leave "削除..." alone
# enabled; a header click sorts; resizing the dialog carries the list and the
# buttons along; the size and the column widths (a stored width beyond reason
# shows at its default, a dragged one is kept) are stored on close and given
# back on the next opening.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
trap 'status=$?; [ $status = 0 ] || tail -20 "$LV_DEBUG_LOG" 2>/dev/null; t_cleanup' EXIT
RCV='受信済み番組の一覧'
DETAIL='番組の受信詳細'
ID_RECEIVED_LIST=32810

# Two receptions the unit records as missed, each with its content in place:
# one whose content has a start file, one without.
mkdir -p "$WORK/data/launch" "$WORK/data/plain"
printf '@echo off\r\necho opened> "%s"\r\n' "$(winpath "$WORK/opened.txt")" > "$WORK/data/launch/start.bat"
printf '40\r\nstart.bat\r\n' > "$WORK/data/launch/FileList.mls"
head -c 2000 /dev/urandom > "$WORK/data/plain/a.bin"
printf '2000\r\na.bin\r\n' > "$WORK/data/plain/FileList.mls"
now=$(date +%s)
start=$((now - now % 60 - 7200))
"$RSVTOOL" make --folder "$WORK/sched" --program 8301 --sub 1 --sid 7 --address 239.192.8.31 --port 21831 \
  --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" --name "起動試験" --channel "試験局" \
  --speed 1500 --storage "$(winpath "$WORK/data/launch")" --autorun start.bat >/dev/null || fail "rsvtool make"
"$RSVTOOL" make --folder "$WORK/sched" --program 8302 --sub 1 --sid 7 --address 239.192.8.32 --port 21832 \
  --start "$(minute_text $((start + 60)))" --end "$(minute_text $((start + 1800)))" --name "平文試験" --channel "試験局" \
  --storage "$(winpath "$WORK/data/plain")" >/dev/null || fail "rsvtool make"
wine "$WIN_BIN/unit/win/Quillon.exe" >/dev/null 2>&1 </dev/null &
T_EXTRA_PIDS="$!"
for _ in $(seq 100); do [ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] && break; sleep 0.2; done
[ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] || fail "the unit did not record the two receptions"
t_end_unit
t_reg Environment LossRequest REG_DWORD 0  # no missed-programs notice in the way
# Stored column widths: one beyond reason (shown at its default), one narrowed.
t_reg ReportSize 番組名 REG_DWORD 5000
t_reg ReportSize 受信日 REG_DWORD 90

open_list() {
  t_post $ID_RECEIVED_LIST
  t_wait_visible 15 "$RCV" || fail "dialog 136 did not open"
  for _ in $(seq 25); do [ "$(t_wdrv listview "$RCV" 1012 | wc -l)" = 2 ] && return 0; sleep 0.2; done
  fail "the list does not show the two receptions: $(t_wdrv listview "$RCV" 1012)"
}
# The row (from 0) that shows NAME.
row_of() {
  local row
  for _ in $(seq 25); do
    row=$(t_wdrv listview "$RCV" 1012 | awk -F'\t' -v n="$1" '$1 == n { print NR - 1; exit }')
    [ -n "$row" ] && { echo "$row"; return 0; }
    sleep 0.2
  done
}
# Screen point of the middle of a row's first column.
row_point() {
  local left top right bottom
  read -r left top right bottom <<<"$(t_wdrv lvrect "$RCV" 1012 "$1")" || return 1
  t_wdrv screenpos "$RCV" 1012 $((left + 30)) $(((top + bottom) / 2))
}
point_at_row() { xdotool mousemove $(row_point "$1") 2>/dev/null; }
click_row() { xdotool mousemove $(row_point "$1") click ${2:-1} 2>/dev/null; }
double_click_row() { xdotool mousemove $(row_point "$1") click --repeat 2 --delay 60 1 2>/dev/null; }
# Whether a control of the dialog is visible ("v" in wdrv's flags).
shown() { t_wdrv controls "$RCV" | awk -F'\t' -v id="$1" '$1 == id { exit ($3 ~ /^v/) ? 0 : 1 } END { if (NR == 0) exit 1 }'; }
# Waits for the start file's marker (the file exists a moment before its line).
opened() {
  for _ in $(seq 100); do grep -qs opened "$WORK/opened.txt" && return 0; sleep 0.2; done
  return 1
}
size_of() { awk '{ print $3 - $1, $4 - $2 }' <<<"$1"; }

t_start
open_list
launch=$(row_of 起動試験)
plain=$(row_of 平文試験)
[ -n "$launch" ] && [ -n "$plain" ] || fail "rows: $(t_wdrv listview "$RCV" 1012)"

[ "$(t_wdrv lvwidths "$RCV" 1012)" = "$(printf '150\t90\t50\t50\t120')" ] ||
  fail "column widths: $(t_wdrv lvwidths "$RCV" 1012)"

note "hovering over a row shows its reception in a bubble"
shown 1009 && fail "開く shown with nothing selected"
point_at_row "$launch"
t_wait_window 5 '~番組名  起動試験' || fail "no bubble over the row"
bubble=$(t_wdrv text '~番組名  起動試験')
for line in 'CP: 試験局' 'アドレス  239.192.8.31:21831' '送出速度  1500kbps' '受信結果   無受信' \
  "送出時間  $(date -d "@$start" '+%y/%m/%d %H:%M') - $(date -d "@$((start + 1800))" '+%m/%d %H:%M')"; do
  grep -qF "$line" <<<"$bubble" || fail "the bubble lacks '$line': $bubble"
done
point_at_row "$plain"
t_wait_window 5 '~番組名  平文試験' || fail "no bubble over the second row"
t_wdrv find '~番組名  起動試験' >/dev/null && fail "the first row's bubble stayed"
read -r _ bottom _ <<<"$(t_wdrv lvrect "$RCV" 1012 1 | awk '{ print $2, $4 }')"
xdotool mousemove $(t_wdrv screenpos "$RCV" 1012 30 $((bottom + 40))) 2>/dev/null
t_wdrv wait '~番組名  平文試験' 3000 gone >/dev/null || fail "the bubble stayed off the rows"
point_at_row "$launch"
t_wait_window 5 '~番組名  起動試験' || fail "no bubble over the row again"
xdotool click 3 2>/dev/null
t_wdrv wait '~番組名  起動試験' 3000 gone >/dev/null || fail "the bubble stayed after the right button"
point_at_row "$plain"
t_wait_window 5 '~番組名  平文試験' || fail "no bubble over the second row again"
xdotool mousemove 5 5 2>/dev/null
t_wdrv wait '~番組名  平文試験' 3000 gone >/dev/null || fail "the bubble stayed when the pointer left the dialog"

note "a row with a start file: 開く and a double-click open it"
click_row "$launch"
for _ in $(seq 25); do shown 1009 && break; sleep 0.2; done
shown 1009 || fail "開く hidden for the row with a start file"
shown 1008 || fail "起動ファイルの設定があります hidden for the row with a start file"
t_wdrv click "$RCV" 1009 >/dev/null
opened || fail "開く did not open the start file"
rm -f "$WORK/opened.txt"
double_click_row "$launch"
opened || fail "a double-click did not open the start file"

note "a row without a start file: no 開く; a double-click shows the detail"
click_row "$plain"
for _ in $(seq 25); do shown 1009 || break; sleep 0.2; done
shown 1009 && fail "開く shown for a row without a start file"
shown 1008 && fail "起動ファイルの設定があります shown for a row without a start file"
double_click_row "$plain"
t_wait_visible 10 "$DETAIL" || fail "a double-click did not open the reception detail"
[ "$(t_wdrv text "$DETAIL" 1023)" = 平文試験 ] || fail "the detail shows '$(t_wdrv text "$DETAIL" 1023)'"
t_wdrv post "$DETAIL" 1 >/dev/null
t_wdrv wait "$DETAIL" 5000 gone >/dev/null || fail "the detail did not close"
[ -e "$WORK/data/plain/a.bin" ] || fail "content went while looking at it"

note "two rows selected: 削除... stays, 詳細... and 開く go"
enabled() { t_wdrv controls "$RCV" | awk -F'\t' -v id="$1" '$1 == id { exit ($3 ~ /e$/) ? 0 : 1 } END { if (NR == 0) exit 1 }'; }
click_row "$launch"
for _ in $(seq 25); do shown 1009 && break; sleep 0.2; done
enabled 1010 && enabled 1004 || fail "詳細... or 削除... disabled with one row selected"
xdotool keydown ctrl 2>/dev/null
click_row "$plain"
xdotool keyup ctrl 2>/dev/null
for _ in $(seq 25); do enabled 1010 || break; sleep 0.2; done
enabled 1010 && fail "詳細... enabled with two rows selected"
enabled 1004 || fail "削除... disabled with two rows selected"
shown 1009 && fail "開く shown with two rows selected"

note "a header click sorts by that column, a second one the other way"
names() { t_wdrv listview "$RCV" 1012 | cut -f1 | paste -sd,; }
xdotool mousemove $(t_wdrv screenpos "$RCV" 1012 40 8) click 1 2>/dev/null
for _ in $(seq 25); do [ "$(names)" = 起動試験,平文試験 ] && break; sleep 0.2; done
[ "$(names)" = 起動試験,平文試験 ] || fail "sorted by name: $(names)"
sleep 0.6  # not a double-click
xdotool click 1 2>/dev/null
for _ in $(seq 25); do [ "$(names)" = 平文試験,起動試験 ] && break; sleep 0.2; done
[ "$(names)" = 平文試験,起動試験 ] || fail "sorted by name the other way: $(names)"
launch=$(row_of 起動試験)
plain=$(row_of 平文試験)
xdotool mousemove 5 5 2>/dev/null

note "a column dragged wider keeps its width"
xdotool mousemove $(t_wdrv screenpos "$RCV" 1012 149 8) mousedown 1 sleep 0.2 mousemove_relative 20 0 sleep 0.2 \
  mousemove_relative 20 0 sleep 0.2 mouseup 1 2>/dev/null
xdotool mousemove 5 5 2>/dev/null
dragged=$(t_wdrv lvwidths "$RCV" 1012 | cut -f1)
[ "$dragged" -ge 180 ] || fail "dragging the divider left the first column at $dragged"

note "resizing: the list and the buttons follow; the size comes back on the next opening"
dialog=$(t_wdrv rect "$RCV")
list=$(t_wdrv rect "$RCV" 1012)
close=$(t_wdrv rect "$RCV" 1)
past=$(t_wdrv rect "$RCV" 1005)
read -r width height <<<"$(size_of "$dialog")"
read -r list_width list_height <<<"$(size_of "$list")"
t_wdrv resize "$RCV" $((width + 120)) $((height + 80)) || fail "resize"
sleep 0.5
[ "$(size_of "$(t_wdrv rect "$RCV")")" = "$((width + 120)) $((height + 80))" ] || fail "the dialog did not take the size"
[ "$(size_of "$(t_wdrv rect "$RCV" 1012)")" = "$((list_width + 120)) $((list_height + 80))" ] ||
  fail "the list is $(size_of "$(t_wdrv rect "$RCV" 1012)"), not grown with the dialog from $list_width $list_height"
read -r l t r b <<<"$close"
[ "$(t_wdrv rect "$RCV" 1)" = "$((l + 120)) $((t + 80)) $((r + 120)) $((b + 80))" ] ||
  fail "閉じる did not keep to the bottom right corner: $close -> $(t_wdrv rect "$RCV" 1)"
read -r l t r b <<<"$past"
[ "$(t_wdrv rect "$RCV" 1005)" = "$l $((t + 80)) $r $((b + 80))" ] ||
  fail "過去の受信記録 did not keep to the bottom edge: $past -> $(t_wdrv rect "$RCV" 1005)"
t_wdrv click "$RCV" 1 >/dev/null
t_wdrv wait "$RCV" 5000 gone >/dev/null || fail "閉じる did not close the dialog"
[ "$(( $(t_reg_query ReportSize WindowWidth) ))" = $((width + 120)) ] || fail "WindowWidth: $(t_reg_query ReportSize WindowWidth)"
[ "$(( $(t_reg_query ReportSize WindowHeight) ))" = $((height + 80)) ] || fail "WindowHeight: $(t_reg_query ReportSize WindowHeight)"
[ "$(( $(t_reg_query ReportSize 番組名) ))" = "$dragged" ] || fail "番組名 stored as $(t_reg_query ReportSize 番組名), shown $dragged"
[ "$(( $(t_reg_query ReportSize 受信日) ))" = 90 ] || fail "受信日 stored as $(t_reg_query ReportSize 受信日)"
open_list
[ "$(size_of "$(t_wdrv rect "$RCV")")" = "$((width + 120)) $((height + 80))" ] ||
  fail "reopened at $(size_of "$(t_wdrv rect "$RCV")"), not at the stored size"
[ "$(size_of "$(t_wdrv rect "$RCV" 1012)")" = "$((list_width + 120)) $((list_height + 80))" ] ||
  fail "reopened with the list at $(size_of "$(t_wdrv rect "$RCV" 1012)")"
[ "$(t_wdrv lvwidths "$RCV" 1012 | cut -f1-2)" = "$(printf '%s\t90' "$dragged")" ] ||
  fail "reopened with the columns at $(t_wdrv lvwidths "$RCV" 1012)"
t_wdrv click "$RCV" 1 >/dev/null
t_wdrv wait "$RCV" 5000 gone >/dev/null || fail "閉じる did not close the reopened dialog"
t_exit
echo PASS
