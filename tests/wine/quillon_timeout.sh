#!/usr/bin/env bash
# A broadcast that never sends: the reception ends after "Timeout" seconds and
# the unit records it with status 0.
. "$(dirname "$0")/lib/quillon.sh"
q_init
q_reg Environment Timeout REG_DWORD 3
now=$(date +%s)
start=$((now - now % 60))
q_reservation --program 4661 --sub 1 --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" \
  --address 239.192.5.9 --port 21999 --sid 7 --name "無音番組" --storage "$(winpath "$WORK/data/silent")" >/dev/null
q_start
began=$(date +%s)
result=$(wait_for_file 40 "$WORK/hist/INFO*.RSV") || fail "no result record"
took=$(( $(date +%s) - began ))
"$RSVTOOL" dump "$result"
[ "$(dump_field "$result" status | cut -d' ' -f1)" = 0 ] || fail "status is not 0"
[ "$took" -ge 3 ] || fail "ended after $took s, before the timeout"
[ -z "$(ls "$WORK/sched")" ] || fail "reservation file left"
q_exit
echo PASS
