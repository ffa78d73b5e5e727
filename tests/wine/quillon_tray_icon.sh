#!/usr/bin/env bash
# The unit's tray icon when it starts before the shell is ready (an early start
# at logon): the icon the shell refused is offered again until it is taken.
# When the shell restarts ("TaskbarCreated") the icon is added to the new one.
. "$(dirname "$0")/lib/quillon.sh"
. "$(dirname "$0")/lib/shell.sh"
q_init
trap 'shell_end_all; q_cleanup' EXIT

shell_start refuse
q_start
HW=$(wine "$WDRV" find "$QTITLE" 2>/dev/null </dev/null | tr -d '\r')
[ -n "$HW" ] || fail "no unit window"
for _ in $(seq 50); do grep -qi "^add $HW 1 refused" "$SHELL_LOG" && break; sleep 0.2; done
grep -qi "^add $HW 1 refused" "$SHELL_LOG" || fail "the icon was not offered: $(cat "$SHELL_LOG")"

note "the shell is ready: the icon comes"
shell_ready
shell_wait_icon 10 "$HW" 1 || fail "the icon was not offered again: $(cat "$SHELL_LOG")"

note "the shell restarts: the icon comes back"
shell_end
shell_start
shell_wait_icon 10 "$HW" 1 || fail "the icon was not added to the new shell: $(cat "$SHELL_LOG")"
q_exit
grep -qi "^delete $HW 1 taken" "$SHELL_LOG" || fail "the icon was left in the shell: $(cat "$SHELL_LOG")"
echo PASS
