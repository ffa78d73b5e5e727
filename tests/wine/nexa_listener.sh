#!/usr/bin/env bash
# The liveness listener on the board interface: waiting (0) at start,
# receiving (1) while the head-end announces on the group of "DTCP"/"PORT",
# and nothing received (2) once 30 s pass without a datagram. Announcements on
# another group do not count.
. "$(dirname "$0")/lib/nexa.sh"
n_init
n_board_interface aa:aa:aa:aa:aa:aa
n_reg DTCP REG_SZ 239.255.42.1
n_reg PORT REG_DWORD 46652
n_start || fail "nexa.exe ended at start"
grep -q 'listener on 239.255.42.1:46652 running' "$NLOG" || fail "listener not running on the configured group"
n_wait_log 5 'listener status 0' || fail "no waiting status at start"

note "another group: still waiting"
"$HEADEND" announce --group 239.255.42.2 --port 46652 --interface "$BOARD_ADDR" --rate 20 --count 40 -q ||
  fail "headend announce"
grep -q 'listener status 1' "$NLOG" && fail "receiving from another group"

note "announcements: receiving"
"$HEADEND" announce --group 239.255.42.1 --port 46652 --interface "$BOARD_ADDR" --rate 10 -q &
sender=$!
EXTRA_PIDS=$sender
n_wait_log 10 'listener status 1' || fail "status did not turn to receiving"
sleep 3
kill "$sender"; wait "$sender" 2>/dev/null
started=$(date +%s)

note "silence: nothing received after 30 s"
n_wait_log 40 'listener status 2' || fail "status did not turn to 2"
took=$(( $(date +%s) - started ))
[ "$took" -ge 27 ] || fail "status 2 after only $took s of silence"
n_exit
grep -q 'nexa: ended' "$NLOG" || fail "no orderly end"
echo PASS
