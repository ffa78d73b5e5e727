#!/usr/bin/env bash
# Empty datagrams on the group before the carousel: the real Quillon.exe reads
# and drops them and still receives every file byte-exact with status 1.
. "$(dirname "$0")/lib/quillon.sh"
q_init

head -c 200000 /dev/urandom > "$WORK/send/after_empty.bin"
printf 'second\r\n' > "$WORK/send/second.txt"

new_broadcast 5
port=$PORT group=$GROUP start=$START
q_reg Environment Timeout REG_DWORD 60
q_reservation --program 4661 --sub 1 --id 778 --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" \
  --address "$group" --port "$port" --sid 7 --name "空データグラム" \
  --storage "$(winpath "$WORK/data/prog")" --total-kbyte 196 >/dev/null

note "unit starts and opens the reception window"
q_start
q_wait_reception_window

note "headend sends three empty datagrams, then the carousel"
"$HEADEND" carousel -q -g "$group" -p "$port" -c 1 -r 2M -n 4 --empty-first 3 "$WORK/send" &
SENDER_PID=$!
result=$(wait_for_file 60 "$WORK/hist/INFO*.RSV") || fail "no result record: the empty datagrams stopped the reception"
for _ in $(seq 50); do diff -r "$WORK/send" "$WORK/data/prog" >/dev/null 2>&1 && break; sleep 0.1; done
diff -r "$WORK/send" "$WORK/data/prog" || fail "received files differ"
[ "$(dump_field "$result" status | cut -d' ' -f1)" = 1 ] || fail "status is not 1"
q_exit
echo PASS
