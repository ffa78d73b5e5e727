#!/usr/bin/env bash
# A planner whose folder lacks Quillon.exe cannot start the unit: it says so
# once, naming the file, and goes on running; a later wake does not repeat the
# message. A Quillon.exe that is no program is reported the same way.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
t_wdrv find "$QTITLE" >/dev/null && fail "a unit is running before the test"
unit="$(winpath "$WORK/prog")\\Quillon.exe"
BOX='受信予約プログラム'  # the message box's caption; the main window's title only contains it

# expect_message: the box names the unit's program and says it could not be started; OK closes it.
expect_message() {
  t_wait_window 20 "$BOX" || fail "no message about the unit ($1) (log: $(cat "$LV_DEBUG_LOG"))"
  local message; message=$(t_wdrv controls "$BOX")
  grep -qF "\"$unit\"" <<<"$message" || fail "the message does not name $unit: $message"
  grep -q 'データ受信ユニット' <<<"$message" && grep -q '起動できませんでした' <<<"$message" ||
    fail "message: $message"
  t_wdrv post "$BOX" 1 >/dev/null
  t_wdrv wait "$BOX" 5000 gone >/dev/null || fail "the message stayed"
}

note "Quillon.exe renamed away"
mv "$WORK/prog/Quillon.exe" "$WORK/prog/Quillon.exe.away"
t_start
expect_message "missing file"
t_wdrv visible "$TWIN" >/dev/null || fail "the planner ended after the message"

note "the next wake does not ask again"
t_post 32818  # time calibration: tries to start the unit once more
for _ in $(seq 50); do [ "$(grep -c 'cannot start' "$LV_DEBUG_LOG")" -ge 2 ] && break; sleep 0.1; done
[ "$(grep -c 'cannot start' "$LV_DEBUG_LOG")" -ge 2 ] || fail "the second calibration did not try to start the unit"
t_post 32774  # anything queued behind it has run once this has
sleep 1
t_wdrv find "$BOX" >/dev/null && fail "the message came again"
t_exit

note "a Quillon.exe that is not a program"
printf 'not a program\r\n' > "$WORK/prog/Quillon.exe"
t_start
expect_message "not a program"
t_exit
echo PASS
