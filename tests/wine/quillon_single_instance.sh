#!/usr/bin/env bash
# A second start while the unit runs hidden brings the first copy's window up
# (command 32771) and ends; one unit keeps running.
. "$(dirname "$0")/lib/quillon.sh"
q_init
q_start
# The window is shown once its start-up has run; hiding it before then races
# with that show on a loaded machine.
for _ in $(seq 50); do wine "$WDRV" visible "$QTITLE" >/dev/null 2>&1 </dev/null && break; sleep 0.2; done
q_post 2
for _ in $(seq 25); do wine "$WDRV" visible "$QTITLE" >/dev/null 2>&1 </dev/null || break; sleep 0.2; done
wine "$WDRV" visible "$QTITLE" >/dev/null 2>&1 </dev/null && fail "command 2 did not hide the window"

timeout 30 wine "$QUILLON" >/dev/null 2>&1 </dev/null
rc=$?
[ $rc = 0 ] || fail "second copy ended with $rc"
for _ in $(seq 25); do wine "$WDRV" visible "$QTITLE" >/dev/null 2>&1 </dev/null && break; sleep 0.2; done
wine "$WDRV" visible "$QTITLE" >/dev/null 2>&1 </dev/null || fail "the first copy's window was not shown"
[ "$(wine "$WDRV" count "$QTITLE" 2>/dev/null </dev/null | tr -d '\r')" = 1 ] || fail "more than one unit window"
kill -0 "$QPID" 2>/dev/null || fail "the first copy ended"
q_exit
echo PASS
