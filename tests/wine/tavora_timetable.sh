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

tt_reserve_coming

t_exit
echo PASS
