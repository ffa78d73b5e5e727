#!/usr/bin/env bash
# A stream program (sid 0): nothing is received, its autorun command is opened
# at the start whatever "AutoRun" says (ShellExecute, relative to the storage
# folder), and its result record reads status 1, port 0, address "ストリーム".
. "$(dirname "$0")/lib/quillon.sh"
q_init
q_reg Environment AutoRun REG_DWORD 0
mkdir -p "$WORK/data/stream"
printf '@echo started %%1> "%s"\r\n' "$(winpath "$WORK/data/stream/ran.txt")" > "$WORK/data/stream/play.bat"
now=$(date +%s)
start=$((now - now % 60))
q_reservation --program 4690 --sub 1 --sid 0 --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" \
  --name "ライブ中継" --storage "$(winpath "$WORK/data/stream")" --autorun "play.bat live" >/dev/null
q_start
result=$(wait_for_file 20 "$WORK/hist/INFO*.RSV") || fail "no result record"
"$RSVTOOL" dump "$result"
[ "$(dump_field "$result" status | cut -d' ' -f1)" = 1 ] || fail "status is not 1"
[ "$(dump_field "$result" port)" = 0 ] || fail "port is not 0"
dump_field "$result" address | grep -q ストリーム || fail "address is not the stream mark"
wait_for_file 20 "$WORK/data/stream/ran.txt" >/dev/null || fail "the autorun command did not run"
for _ in $(seq 25); do grep -q 'started' "$WORK/data/stream/ran.txt" && break; sleep 0.2; done
grep -q 'started live' "$WORK/data/stream/ran.txt" || fail "autorun parameters lost: $(cat "$WORK/data/stream/ran.txt")"
q_exit
echo PASS
