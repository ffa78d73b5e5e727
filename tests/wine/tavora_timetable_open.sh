#!/usr/bin/env bash
# A program received by the unit, with a launch file, in the real Tavora.exe:
# its cell shows the open button, and a click on it opens the launch file from
# the storage folder (a batch file that adds a line to a marker file), as does
# a double-click beside it; a double-click on a coming program opens its
# reservation dialog. The right button on a program shows the detail pop-up:
# name, times, "内容" with the digest, the category and, for the received one,
# where its data lies; a scroll or a click closes it.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
now=$(date +%s)
start=$((now - now % 60 + 120))
port=$((20000 + RANDOM % 10000))
group=239.192.7.$((RANDOM % 200 + 1))
STORE="$WORK/data/relay"
mkdir -p "$STORE" "$WORK/send"
head -c 50000 /dev/urandom > "$WORK/send/data.bin"
# Each run of the launch file adds one line to the marker file.
printf '@echo ran>> "%s"\r\n' "$(winpath "$STORE/ran.txt")" > "$STORE/mark.bat"
tt_program 801 1 "$start" $((start + 1800)) '中継番組' '局2' '分類1' | tt_local_week
"$RSVTOOL" make --folder "$WORK/sched" --program 801 --sub 1 --sid 5 --address "$group" --port "$port" \
  --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" --name '中継番組' \
  --storage "$(winpath "$STORE")" --autorun mark.bat >/dev/null || fail "rsvtool make"
# The reservation dialog asks the guide server for a program's details.
t_detail_file "$WORK/hist/1005-1.spn" 239.192.7.250 "$port" 6 'timetable'
tt_guide_server "$WORK/hist"
t_reg Environment Timeout REG_DWORD 60
# The unit opens the reception window at once for a program two minutes ahead.
t_reg Environment 'Prepare Time' REG_DWORD 300
t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"

note "the unit receives the program"
t_broadcast "$group" "$port" "$WORK/send"

note "the received program shows the open button"
line=
# The cell takes its button when it is painted in its new state.
for _ in $(seq 60); do
  line=$(tt_cell 801 1)
  [ "$(tt_state "$line")" = 2 ] && awk '{ exit !($16 > $14 && $17 > $15) }' <<<"$line" && break
  sleep 0.5
done
[ "$(tt_state "$line")" = 2 ] || fail "the received program did not turn state 2: $line"
read -r bl bt br bb <<<"$(awk '{ print $14, $15, $16, $17 }' <<<"$line")"
[ "$br" -gt "$bl" ] && [ "$bb" -gt "$bt" ] || fail "no open button in the received cell: $line"
sleep 1
launches() { cat "$STORE/ran.txt" 2>/dev/null | grep -c ran; }
runs=$(launches)

note "a click on the open button opens the launch file"
tt_click $(tt_button_centre "$line")
for _ in $(seq 50); do [ "$(launches)" -gt "$runs" ] && break; sleep 0.2; done
sleep 0.5
[ "$(launches)" = $((runs + 1)) ] || fail "the open button ran the launch file $(( $(launches) - runs )) times"

note "a double-click beside the button opens it too"
tt_click $(tt_cell_corner "$line") double
for _ in $(seq 50); do [ "$(launches)" -gt $((runs + 1)) ] && break; sleep 0.2; done
sleep 0.5
[ "$(launches)" = $((runs + 2)) ] || fail "the double-click ran the launch file $(( $(launches) - runs - 1 )) times"

note "a double-click on a coming program opens its reservation dialog"
RSV='番組の予約'
tt_click $(tt_cell_corner "$(tt_cell 1005 1)") double
t_wait_visible 10 "$RSV" || fail "a double-click on a coming program opened no dialog 149"
[ "$(t_wdrv text "$RSV" 1001)" = '番組 1005' ] || fail "dialog 149 is for '$(t_wdrv text "$RSV" 1001)'"
t_wdrv click "$RSV" 2 >/dev/null
t_wdrv wait "$RSV" 5000 gone >/dev/null || fail "dialog 149 stayed"
[ "$(tt_state "$(tt_cell 1005 1)")" = 0 ] || fail "a cancelled dialog reserved: $(tt_cell 1005 1)"

# bubble_text X Y: the pop-up the right button opens there ("|" for line breaks).
bubble_text() {
  t_wdrv mouse "$TWIN" $GRID "$1" "$2" right >/dev/null
  t_wdrv wait '~内容' 5000 visible >/dev/null || fail "no detail pop-up at $1 $2"
  t_wdrv text '~内容' | tr '\n' '|'
}
close_bubble() {
  tt_click 1 1
  t_wdrv wait '~内容' 5000 gone >/dev/null || fail "the pop-up stayed after a click"
}

note "the right button shows the detail pop-up of a guide program"
plain=$(tt_cell 1005 1)
[ -n "$plain" ] || fail "program 1005 is not in view: $(tt_cells)"
text=$(bubble_text $(tt_cell_corner "$plain"))
p_start=$((DAY_START + 6600))
for part in '番組 1005' "  $(date -d @$p_start '+%Y/%m/%d   %H:%M')～$(date -d @$((p_start + 3600)) +%H:%M)" \
  '|内容| 番組 1005 の内容' '|番組カテゴリー|  分類0' ; do
  grep -qF -- "$part" <<<"$text" || fail "the pop-up lacks '$part': $text"
done
grep -q 'データ格納場所' <<<"$text" && fail "a plain program's pop-up names a storage place: $text"
t_wdrv scroll "$TWIN" $GRID down >/dev/null
t_wdrv wait '~内容' 5000 gone >/dev/null || fail "the pop-up stayed while the grid scrolled"
t_wdrv scroll "$TWIN" $GRID up >/dev/null

note "the pop-up of the received program names its storage"
text=$(bubble_text $(tt_cell_corner "$(tt_cell 801 1)"))
grep -qF '中継番組' <<<"$text" && grep -qF "|データ格納場所|  $(winpath "$STORE")" <<<"$text" && grep -qF mark.bat <<<"$text" ||
  fail "the received program's pop-up: $text"
close_bubble
t_exit
echo PASS
