#!/usr/bin/env bash
# Two processes with OVD.DLL loaded at once: the shared process count, the
# tag id 8 only in the process that found the board, the tray icon handed to
# the second process when the first unloads, the driver closed by the last
# process to unload, and a process killed without unloading leaves no trace.
set -uo pipefail
. "$(dirname "$0")/lib/ovd.sh"
ovd_init
sim_start --id "$OVD_ID" --sid 100 --install

# wait_for PATTERN FILE: up to 20 s.
wait_for() {
  for _ in $(seq 200); do grep -q "$1" "$2" 2>/dev/null && return 0; sleep 0.1; done
  fail "no '$1' in $2: $(cat "$2" 2>/dev/null)"
}

note "first process: opens the driver and shows the icon"
wine "$OVDTOOL" get-tag init wait 8000 get-tag > "$WORK/a.out" 2>&1 </dev/null &
A=$!
wait_for 'tray icon shown by process' "$WORK/debug.log"
note "second process while the first runs"
wine "$OVDTOOL" get-tag ro-init wait 12000 get-tag > "$WORK/b.out" 2>&1 </dev/null &
B=$!
wait "$A" || fail "first ovdtool failed: $(cat "$WORK/a.out")"
wait "$B" || fail "second ovdtool failed: $(cat "$WORK/b.out")"
tr -d '\r' < "$WORK/a.out" > "$WORK/a.txt"
tr -d '\r' < "$WORK/b.out" > "$WORK/b.txt"
tr -d '\r' < "$WORK/debug.log" > "$WORK/debug.txt"
cat "$WORK/debug.txt"

grep -qx 'tag: 8' "$WORK/a.txt" || fail "first process tag: $(cat "$WORK/a.txt")"
[ "$(grep -c '^tag: 0$' "$WORK/b.txt")" = 2 ] || fail "second process tag: $(cat "$WORK/b.txt")"
grep -qx 'ROInit = 101' "$WORK/b.txt" || fail "the driver opened by the first is open for the second: $(cat "$WORK/b.txt")"

grep -q 'board found, 1 processes' "$WORK/debug.txt" || fail "first load count"
grep -q 'board found, 2 processes' "$WORK/debug.txt" || fail "second load count"
grep -q 'unloaded in process [0-9]*, 1 processes, driver open' "$WORK/debug.txt" ||
  fail "the first unload leaves one process and the driver open"
grep -q 'unloaded in process [0-9]*, 0 processes, driver closed' "$WORK/debug.txt" ||
  fail "the last unload closes the driver"

# The icon: shown by the first, removed when it unloads, then shown by the second.
owners=$(grep -o 'tray icon [a-z]* by process [0-9]*' "$WORK/debug.txt")
first=$(sed -n '1s/.* //p' <<<"$owners")
second=$(sed -n '3s/.* //p' <<<"$owners")
[ "$(sed -n 1p <<<"$owners")" = "tray icon shown by process $first" ] &&
  [ "$(sed -n 2p <<<"$owners")" = "tray icon removed by process $first" ] &&
  [ "$(sed -n 3p <<<"$owners")" = "tray icon shown by process $second" ] &&
  [ "$second" != "$first" ] || fail "the icon did not move: $owners"

# The card saw the last process close its handle.
[ "$(card_log | tail -2)" = "command 0xFF010222 0 0
close" ] || fail "last commands: $(card_log)"
[ "$(card_log | grep -c '^open$')" = "$(card_log | grep -c '^close$')" ] || fail "handles left open: $(card_log)"

note "a process killed without unloading"
: > "$WORK/debug.log"
wine "$OVDTOOL" wait 60000 > /dev/null 2>&1 </dev/null &
C=$!
wait_for 'board found, 1 processes' "$WORK/debug.log"
wine "$OVDTOOL" init wait 30000 > /dev/null 2>&1 </dev/null &
K=$!
wait_for 'board found, 2 processes' "$WORK/debug.log"
winpid=$(tr -d '\r' < "$WORK/debug.log" | sed -n 's/.*loaded in process \([0-9]*\), board found, 2 processes.*/\1/p')
[ -n "$winpid" ] || fail "no process id of the second process"
wine taskkill /PID "$winpid" /F >/dev/null 2>&1 </dev/null
wait "$K" 2>/dev/null
ovdtool get-tag ro-init ro-close
kill "$C" 2>/dev/null
wait "$C" 2>/dev/null
tr -d '\r' < "$WORK/debug.log" > "$WORK/debug.txt"
cat "$WORK/debug.txt"
[ "$(grep -c 'board found, 2 processes' "$WORK/debug.txt")" = 2 ] ||
  fail "the killed process still counts"
expect_line "ROInit = 0"
expect_line "tag: 0"
echo "ok"
