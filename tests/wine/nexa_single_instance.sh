#!/usr/bin/env bash
# One copy runs: a second start shows "NEXA は既に起動されています。" and ends;
# with "/s" (or "/S") anywhere in its command line it ends without a word.
. "$(dirname "$0")/lib/nexa.sh"
n_init
n_board_interface aa:aa:aa:aa:aa:aa
n_start || fail "first copy ended at start"
message_up() { wine "$WDRV" find dialog:NEXA >/dev/null 2>&1 </dev/null; }

note "second copy: the message, then it ends"
wine "$NEXA" >/dev/null 2>&1 </dev/null &
second=$!
EXTRA_PIDS=$second
wine "$WDRV" wait dialog:NEXA 15000 >/dev/null 2>&1 </dev/null || fail "no message from the second copy"
text=$(wine "$WDRV" controls dialog:NEXA 2>/dev/null </dev/null | tr -d '\r')
echo "$text" | grep -q 'NEXA は既に起動されています。' || fail "message text: $text"
wine "$WDRV" click dialog:NEXA 2 >/dev/null 2>&1 </dev/null || wine "$WDRV" click dialog:NEXA 1 >/dev/null 2>&1 </dev/null
for _ in $(seq 50); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
kill -0 "$second" 2>/dev/null && fail "the second copy did not end after its message"
wait "$second"; rc=$?
[ "$rc" = 0 ] || fail "second copy ended with $rc"

for switch in /s "-x /S"; do
  note "second copy with '$switch': ends silently"
  # shellcheck disable=SC2086
  timeout 30 wine "$NEXA" $switch >/dev/null 2>&1 </dev/null
  rc=$?
  [ "$rc" = 0 ] || fail "silent second copy ended with $rc"
  message_up && fail "a message although '$switch' was given"
done

[ "$(wine "$WDRV" count NEXA 2>/dev/null </dev/null | tr -d '\r')" = 1 ] || fail "more than one NEXA window"
kill -0 "$NPID" 2>/dev/null || fail "the first copy ended"
n_exit
echo PASS
