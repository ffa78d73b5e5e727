#!/usr/bin/env bash
# The reserve button of a program whose detail file cannot be had. With the
# guide server gone (its port closed) the no-detail message comes at once;
# with a server that takes the request and never answers, the planner keeps
# answering while the fetch waits and the message comes after the fetch's
# time limit. Neither time is dialog 149 shown or a reservation file written.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_open_week
NODETAIL='所定のＷＥＢサイトから番組の予約情報が取り出せません。'
MSGBOX='受信予約プログラム'  # the message box's title; the main window's only contains it

# no_detail_message SECONDS: the message box shows the no-detail text within
# SECONDS (the box exists a moment before its text is set).
no_detail_message() {
  t_wait_visible "$1" "$MSGBOX" || fail "no message: $(cat "$LV_DEBUG_LOG")"
  local end=$((SECONDS + 10))
  until t_wdrv controls "$MSGBOX" | grep -q "$NODETAIL"; do
    [ $SECONDS -lt $end ] || fail "message: $(t_wdrv controls "$MSGBOX")"
    sleep 0.1
  done
}
# nothing_reserved: no dialog 149 and no reservation file.
nothing_reserved() {
  ! t_wdrv find '番組の予約' >/dev/null || fail "dialog 149 opened"
  [ -z "$(ls "$WORK/sched" | grep -i '\.SDL$')" ] || fail "a reservation was written: $(ls "$WORK/sched")"
}
close_message() {
  t_wdrv post "$MSGBOX" 1 >/dev/null
  t_wdrv wait "$MSGBOX" 5000 gone >/dev/null || fail "the message stayed"
}

note "the guide server is down: the no-detail message, no dialog 149"
kill $T_EXTRA_PIDS 2>/dev/null
wait $T_EXTRA_PIDS 2>/dev/null
T_EXTRA_PIDS=
! (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null || fail "port 80 still open"
tt_click $(tt_button_centre "$coming")
no_detail_message 20
nothing_reserved
grep -a 'detail file not fetched after' "$LV_DEBUG_LOG" | tail -1
close_message

note "a server that never answers: the planner answers meanwhile, the message comes after the limit"
"$HEADEND" guide --folder "$WORK/served" --port 80 --mode silent --stall-seconds 120 > "$WORK/silent.log" 2>&1 &
T_EXTRA_PIDS="$!"
for _ in $(seq 100); do grep -q listening "$WORK/silent.log" && break; sleep 0.05; done
tt_click $(tt_button_centre "$coming")
for _ in $(seq 300); do grep -q -- '-> silent 502-1.spn' "$WORK/silent.log" && break; sleep 0.1; done
grep -q -- '-> silent 502-1.spn' "$WORK/silent.log" || fail "the detail file was not asked for: $(cat "$WORK/silent.log")"
# The title is read through the planner's own thread: a blocked thread gives nothing.
title=$(t_wdrv text "$TWIN")
grep -q -- "$TMARK" <<<"$title" || fail "the main window did not answer during the fetch: '$title'"
# The fetch was still waiting when the window answered.
! grep -q 'silent request ended' "$WORK/silent.log" || fail "the fetch ended before the window was asked"
! t_wdrv find "$MSGBOX" >/dev/null || fail "the message came before the fetch ended"
no_detail_message 40
grep -aq 'detail file took too long' "$LV_DEBUG_LOG" || fail "not given up for time: $(cat "$LV_DEBUG_LOG")"
grep -a 'detail file took too long' "$LV_DEBUG_LOG" | tail -1
nothing_reserved
close_message

t_exit
echo PASS
