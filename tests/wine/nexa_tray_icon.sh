#!/usr/bin/env bash
# The tray icon outlives the shell: when the notification area restarts (a new
# one announces itself with "TaskbarCreated") nexa adds its icon again, also
# when the new one takes icons only some time after it came up; at exit the
# icon is taken away.
. "$(dirname "$0")/lib/nexa.sh"
. "$(dirname "$0")/lib/shell.sh"
n_init
trap 'shell_end_all; n_cleanup' EXIT
n_board_interface aa:aa:aa:aa:aa:aa

shell_start
n_start || fail "nexa.exe ended at start"
HW=$(wine "$WDRV" find NEXA 2>/dev/null </dev/null | tr -d '\r')
[ -n "$HW" ] || fail "no window NEXA"
shell_wait_icon 5 "$HW" 1 || fail "the icon is not in the shell: $(cat "$SHELL_LOG")"

shell_icon_survives "$HW"

note "exit: the icon goes"
n_exit
grep -qi "^delete $HW 1 taken" "$SHELL_LOG" || fail "the icon was left in the shell: $(cat "$SHELL_LOG")"
echo PASS
