#!/usr/bin/env bash
# A reservation file in the schedule folder: the real Quillon.exe receives the
# carousel that the native headend sends, places the files byte-exact in the
# storage folder and leaves a result record with status 1.
. "$(dirname "$0")/lib/quillon.sh"
q_init

note "carousel content"
head -c 300000 /dev/urandom > "$WORK/send/large.bin"
head -c 1000 /dev/urandom > "$WORK/send/small.dat"
mkdir -p "$WORK/send/sub"
printf 'readme\r\n' > "$WORK/send/sub/readme.txt"
printf 'japanese name\r\n' > "$WORK/send/番組案内.txt"

new_broadcast 4
port=$PORT group=$GROUP start=$START
q_reg Environment Timeout REG_DWORD 60
q_reservation --program 4660 --sub 2 --id 777 --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" \
  --address "$group" --port "$port" --sid 7 --name "受信テスト番組" --channel "テスト局" \
  --storage "$(winpath "$WORK/data/prog")" --total-kbyte 295 --speed 1000 >/dev/null
rsv=$(ls "$WORK/sched"/RSV*.SDL) || fail "no reservation file"

note "unit starts and opens the reception window"
q_start
q_wait_reception_window

note "headend sends"
"$HEADEND" carousel -q -g "$group" -p "$port" -c 1 -r 2M -n 5 "$WORK/send" &
SENDER_PID=$!
result=$(wait_for_file 90 "$WORK/hist/INFO*.RSV") || fail "no result record"
# The files are in place before the record is written: no wait here.

note "files byte-exact"
diff -r "$WORK/send" "$WORK/data/prog" || fail "received files differ"

note "result record"
"$RSVTOOL" dump "$result"
[ "$(dump_field "$result" status)" = 1 ] || [ "$(dump_field "$result" status | cut -d' ' -f1)" = 1 ] || fail "status is not 1"
dump=$("$RSVTOOL" dump "$result")
for want in 4660 "$group" "$port" "受信テスト番組" "テスト局"; do
  grep -q -- "$want" <<<"$dump" || fail "result record lacks $want"
done
[ -e "$rsv" ] && fail "reservation file still there"

q_exit
[ "$(q_reg_query Environment 'Info count')" = 0x1 ] || fail "Info count not stored as 1"
echo PASS
