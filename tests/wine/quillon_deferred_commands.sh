#!/usr/bin/env bash
# Commands that arrive while a prompt of the main pass is up (here the selector
# prompt of a starting reception) wait for that pass: time calibration (1012)
# opens no second prompt; exit asks its question once the prompt has closed and
# then ends the unit; the end of the session
# stores "Info count" before its message returns, and the unit stays sound
# until the pass is over, with the reservation file kept.
. "$(dirname "$0")/lib/quillon.sh"
q_init
NEXA_KEY='HKLM\Software\nexa\config'
wine reg add "$NEXA_KEY" /v Path /t REG_SZ /d 'C:\nexa\nexa.exe' /f >/dev/null 2>&1 </dev/null
trap 'wine reg delete "$NEXA_KEY" /f >/dev/null 2>&1 </dev/null; q_cleanup' EXIT
selector_prompt() { wine "$WDRV" find メッセージ >/dev/null 2>&1 </dev/null; }
exit_prompt() { wine "$WDRV" find データ受信ユニット >/dev/null 2>&1 </dev/null; }
reserve_now() {
  local now
  now=$(date +%s)
  rm -f "$WORK/sched"/RSV*.SDL
  q_reservation --program "$1" --sub 1 --start "$(minute_text "$now")" --end "$(minute_text $((now + 3600)))" \
    --address 239.192.7.3 --port 23003 --sid 7 --name "今の番組" --storage "$(winpath "$WORK/data/x")" >/dev/null
}
wait_until() {  # SECONDS COMMAND...: 0 once the command succeeds
  local limit=$1
  shift
  for _ in $(seq $((limit * 5))); do "$@" && return 0; sleep 0.2; done
  return 1
}
selector_gone() { ! selector_prompt; }
unit_gone() { ! kill -0 "$QPID" 2>/dev/null; }
ends_cleanly() {  # MESSAGE: the unit ends within 5 s with code 0
  wait_until 5 unit_gone || fail "$1"
  wait "$QPID"
  local rc=$?
  QPID=
  [ $rc = 0 ] || fail "the unit ended with code $rc"
}

note "exit while the selector prompt is up"
reserve_now 4701
q_start
wait_until 10 selector_prompt || fail "no selector prompt when the reception started"
q_post 1012
sleep 1.5
prompts=$(wine "$WDRV" count メッセージ 2>/dev/null </dev/null | tr -d '\r')
[ "$prompts" = 1 ] || fail "1012 during the selector prompt left $prompts prompts"
q_post 1
sleep 1.5
exit_prompt && fail "the exit question came while the selector prompt was still up"
wine "$WDRV" hold nexa 6 >/dev/null 2>&1 </dev/null &
holder=$!
wait_until 5 selector_gone || fail "the selector prompt stayed although the selector's window appeared"
wait_until 5 exit_prompt || fail "no exit question after the selector prompt closed"
wine "$WDRV" post データ受信ユニット 6 >/dev/null 2>&1 </dev/null || fail "cannot answer the exit question"
ends_cleanly "the unit did not end after Yes"
wait $holder

note "end of the session while the selector prompt is up"
reserve_now 4702
q_reg Environment "Info count" REG_DWORD 41
q_start
wait_until 10 selector_prompt || fail "no selector prompt when the reception started"
wine reg delete "$QKEY\\Environment" /v "Info count" /f >/dev/null 2>&1 </dev/null
wine "$WDRV" endsession "$QTITLE" >/dev/null 2>&1 </dev/null || fail "WM_ENDSESSION was not answered"
[ "$(q_reg_query Environment 'Info count')" = 0x29 ] || fail "Info count not stored when the session ended"
kill -0 "$QPID" 2>/dev/null || fail "the unit died on WM_ENDSESSION"
wine "$WDRV" hold nexa 6 >/dev/null 2>&1 </dev/null &
holder=$!
wait_until 5 selector_gone || fail "the selector prompt stayed although the selector's window appeared"
sleep 1
kill -0 "$QPID" 2>/dev/null || fail "the unit died when its pass went on after the session ended"
[ -n "$(ls "$WORK/sched"/RSV*.SDL 2>/dev/null)" ] || fail "the pending reservation file was removed"
# Nothing is pending any more: command 1 ends the unit without a question.
q_post 1
ends_cleanly "the unit did not end on command 1 after the session ended"
wait $holder
echo PASS
