#!/usr/bin/env bash
# The timetable in the real Tavora.exe over a generated 7-day guide: it opens
# at the current time; the reserve button of a program that has just started
# shows message 5015; the reserve button of a coming program opens dialog 149,
# and "予約" writes the reservation file and turns the cell to the reserved
# colour (read as pixels of the grid).
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_open_week

note "a program that has just started: message 5015"
tt_click $(tt_button_centre "$started")
t_wait_window 10 'メッセージ' || fail "no message for a started program"
t_wdrv controls 'メッセージ' | grep -q 'この番組の送出時間はすでに終了しています。' ||
  fail "message: $(t_wdrv controls 'メッセージ')"
t_wdrv post 'メッセージ' 1 >/dev/null
t_wdrv wait 'メッセージ' 5000 gone >/dev/null || fail "the message stayed"
[ -z "$(ls "$WORK/sched" | grep SDL)" ] || fail "a reservation was written for a started program"

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

t_exit
echo PASS
