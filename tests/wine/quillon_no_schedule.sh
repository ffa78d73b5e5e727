#!/usr/bin/env bash
# With "Schedule"/"DataPath" empty the unit only hides itself: the reservation
# files lying in the would-be folder are never scanned, not even a missed one.
. "$(dirname "$0")/lib/quillon.sh"
q_init
now=$(date +%s)
q_reservation --program 4662 --sub 1 --start "$(minute_text $((now - 7200)))" --end "$(minute_text $((now - 3600)))" \
  --address 239.192.5.10 --port 22000 --sid 7 --name "過去番組" --storage "$(winpath "$WORK/data/x")" >/dev/null
wine reg delete "$QKEY\\Schedule" /v DataPath /f >/dev/null 2>&1 </dev/null
q_start
sleep 3
wine "$WDRV" visible "$QTITLE" >/dev/null 2>&1 </dev/null && fail "the window stays visible"
q_post 1004  # even a rescan request scans nothing
sleep 2
[ -n "$(ls "$WORK/sched"/RSV*.SDL 2>/dev/null)" ] || fail "the reservation file was touched"
[ -z "$(ls "$WORK/hist")" ] || fail "a result record was written"
[ -z "$(q_reg_query Environment LossRequest)" ] || fail "LossRequest was written"
q_exit
echo PASS
