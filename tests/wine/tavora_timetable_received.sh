#!/usr/bin/env bash
# A program reserved from the grid is received: Quillon.exe receives the
# carousel from `headend` and, once the result is back in the planner, the
# program's cell shows the received colour (read as pixels of the grid).
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
mkdir -p "$WORK/served" "$WORK/send"
head -c 100000 /dev/urandom > "$WORK/send/data.bin"

tt_day_start_now
now=$(date +%s)
start=$((now - now % 60))
port=$((20000 + RANDOM % 10000))
group=239.192.6.$((RANDOM % 200 + 1))
{
  tt_program 501 1 $((start - 60)) $((start + 1800)) '始まった番組' '局A' 'ニュース'
  tt_program 502 1 $((start + 120)) $((start + 1500)) '予約する番組' '局B' 'ニュース'
  tt_busy_day $((DAY_START + 7200)) 1000
} | t_guide_file "$WORK/served/$DAY_FILE"
for i in 1 2 3 4 5 6; do
  day=$((DAY_START + i * 86400))
  tt_busy_day "$day" $((1000 + i * 100)) | t_guide_file "$WORK/served/$(date -d "@$day" +gd%y%m%d.dpn)"
done
t_detail_file "$WORK/served/502-1.spn" "$group" "$port" 5 'timetable'
"$HEADEND" guide --folder "$WORK/served" --port 80 > "$WORK/server.log" 2>&1 &
T_EXTRA_PIDS="$!"
for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null && break; sleep 0.05; done
t_reg Environment EpgURL REG_SZ 'http://127.0.0.1'
t_reg Environment 'Display days' REG_DWORD 7
t_reg Environment TitleKind REG_DWORD 2
t_reg Environment Timeout REG_DWORD 60
# The unit opens the reception window at once for a program two minutes ahead.
t_reg Environment 'Prepare Time' REG_DWORD 300
# Distinct colours for the states the test reads (COLORREF 0x00BBGGRR).
t_reg 'Environment\番組背景NML' Color0 REG_DWORD 0x00C0C0C0
t_reg 'Environment\番組背景RES' Color0 REG_DWORD 0x000000C0
t_reg 'Environment\番組背景ING' Color0 REG_DWORD 0x0000C000
t_reg 'Environment\番組背景DWN' Color0 REG_DWORD 0x0000C000

t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"

note "the timetable opens at the current time"
header=""
for _ in $(seq 30); do
  header=$(t_wdrv text "$TWIN" class:TavoraDayInfo)
  [ -n "$header" ] && break
  sleep 0.2
done
grep -q "$(date +%m/%d)" <<<"$header" || grep -q "$(date -d @$((now - 3600)) +%m/%d)" <<<"$header" ||
  fail "date header: '$header'"
titles=$(t_wdrv text "$TWIN" class:TavoraTitles)
grep -q '局A' <<<"$titles" && grep -q '局B' <<<"$titles" || fail "column headings: '$titles'"
started=$(tt_cell 501 1)
coming=$(tt_cell 502 1)
[ -n "$started" ] || fail "the program on the air is not in view: $(tt_cells)"
[ -n "$coming" ] || fail "the next program is not in view: $(tt_cells)"
tt_unhover
sleep 0.3
[ "$(tt_pixel $(tt_cell_corner "$coming"))" = C0C0C0 ] || fail "normal colour: $(tt_pixel $(tt_cell_corner "$coming"))"

note "the reserve button opens dialog 149; 予約 marks the cell"
RSV='番組の予約'
tt_click $(tt_button_centre "$coming")
t_wait_window 20 "$RSV" || fail "dialog 149 did not open"
[ "$(t_wdrv text "$RSV" 1001)" = '予約する番組' ] || fail "dialog 149 is for '$(t_wdrv text "$RSV" 1001)'"
t_wdrv click "$RSV" 1 >/dev/null
wait_for_file 10 "$WORK/sched/RSV*.SDL" >/dev/null || fail "no reservation file"
tt_unhover
colour=
for _ in $(seq 30); do
  colour=$(tt_pixel $(tt_cell_corner "$(tt_cell 502 1)"))
  [ "$colour" = C00000 ] && break
  sleep 0.2
done
[ "$colour" = C00000 ] || fail "the reserved cell is $colour, not the reserved colour"
[ "$(tt_state "$(tt_cell 502 1)")" = 1 ] || fail "state: $(tt_cell 502 1)"

note "the unit receives; the cell shows the received state"
for _ in $(seq 150); do
  [ "$(t_wdrv count 受信ユニット)" -ge 2 ] && break
  sleep 0.2
done
[ "$(t_wdrv count 受信ユニット)" -ge 2 ] || fail "no reception window"
"$HEADEND" carousel -q -g "$group" -p "$port" -c 1 -r 2M -n 5 --extra 4 "$WORK/send" &
T_EXTRA_PIDS="$T_EXTRA_PIDS $!"
wait_for_file 90 "$WORK/hist/INFO*.RSV" >/dev/null || fail "no result record"
# The planner collects results when the unit posts 32798 and once a minute.
colour=
for _ in $(seq 100); do
  tt_unhover
  colour=$(tt_pixel $(tt_cell_corner "$(tt_cell 502 1)"))
  [ "$colour" = 00C000 ] && break
  sleep 0.3
done
[ "$colour" = 00C000 ] || { grep -v "^cell" "$LV_DEBUG_LOG" | tail -20; fail "the received cell is $colour: $(tt_cell 502 1)"; }
t_exit
echo PASS
