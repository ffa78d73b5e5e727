#!/usr/bin/env bash
# Exit while a reservation is pending asks first: No keeps the unit running,
# Yes ends it; the reservation file stays for the next start and "Info count"
# is stored.
. "$(dirname "$0")/lib/quillon.sh"
q_init
q_reg Environment "Info count" REG_DWORD 41
now=$(date +%s)
q_reservation --program 4680 --sub 1 --start "$(minute_text $((now + 7200)))" --end "$(minute_text $((now + 9000)))" \
  --address 239.192.7.1 --port 23001 --sid 7 --name "明日の番組" --storage "$(winpath "$WORK/data/x")" >/dev/null
q_start
q_exit_answer 7 && fail "the unit ended although the answer was No"
kill -0 "$QPID" 2>/dev/null || fail "the unit ended although the answer was No"
q_exit_answer 6 || fail "the unit did not end after Yes"
[ -n "$(ls "$WORK/sched"/RSV*.SDL 2>/dev/null)" ] || fail "the pending reservation file was removed"
[ "$(q_reg_query Environment 'Info count')" = 0x29 ] || fail "Info count not kept"
echo PASS
