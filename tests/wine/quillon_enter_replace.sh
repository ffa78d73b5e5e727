#!/usr/bin/env bash
# Enter in a reception window does not end the reception, whose focus rests on
# "閉じる"; files of the broadcast replace read-only and hidden files of their names.
. "$(dirname "$0")/lib/quillon.sh"
q_init

note "carousel content, and older read-only and hidden files of the same names"
head -c 200000 /dev/urandom > "$WORK/send/ro.bin"
head -c 3000 /dev/urandom > "$WORK/send/hid.bin"
mkdir -p "$WORK/data/prog"
printf 'old read-only\r\n' > "$WORK/data/prog/ro.bin"
printf 'old hidden\r\n' > "$WORK/data/prog/hid.bin"
wine cmd /c attrib +r "$(winpath "$WORK/data/prog/ro.bin")" >/dev/null 2>&1 </dev/null
wine cmd /c attrib +h "$(winpath "$WORK/data/prog/hid.bin")" >/dev/null 2>&1 </dev/null
attrs=$(wine cmd /c attrib "$(winpath "$WORK/data/prog/ro.bin")" 2>/dev/null </dev/null | tr -d '\r')
case "${attrs%%[A-Za-z]:*}" in *R*) ;; *) fail "ro.bin is not read-only: $attrs" ;; esac
attrs=$(wine cmd /c attrib "$(winpath "$WORK/data/prog/hid.bin")" 2>/dev/null </dev/null | tr -d '\r')
case "${attrs%%[A-Za-z]:*}" in *H*) ;; *) fail "hid.bin is not hidden: $attrs" ;; esac

new_broadcast 5
port=$PORT group=$GROUP start=$START
q_reg Environment Timeout REG_DWORD 120
q_reservation --program 4700 --sub 1 --id 779 --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" \
  --address "$group" --port "$port" --sid 7 --name "キー操作" \
  --storage "$(winpath "$WORK/data/prog")" --total-kbyte 200 >/dev/null

note "unit starts and opens the reception window"
q_start
wine "$WDRV" wait 受信ユニット 20000 visible >/dev/null 2>&1 </dev/null || fail "no reception window"

note "Enter in the active reception window"
read -r x y < <(wine "$WDRV" screenpos 受信ユニット - 5 5 2>/dev/null </dev/null | tr -d '\r')
[ -n "${y:-}" ] || fail "no reception window to click"
# A click on the window's empty corner activates it as a user would.
xdotool mousemove "$x" "$y" click 1 2>/dev/null
sleep 0.5
xdotool key Return 2>/dev/null
sleep 1
status=$(wine "$WDRV" text 受信ユニット 1005 2>/dev/null </dev/null | tr -d '\r')
[ "$status" = 受信待ち ] || fail "Enter changed the reception: status '$status'"
ls "$WORK/hist"/INFO*.RSV >/dev/null 2>&1 && fail "Enter ended the reception"
# The keys reach the window: space presses the focused button, "閉じる".
xdotool key space 2>/dev/null
hidden=
for _ in $(seq 25); do
  wine "$WDRV" visible 受信ユニット >/dev/null 2>&1 </dev/null || { hidden=1; break; }
  sleep 0.2
done
[ -n "$hidden" ] || fail "space on the focused button did not hide the reception window"
wine "$WDRV" find 受信ユニット >/dev/null 2>&1 </dev/null || fail "the reception window was closed"

note "headend sends"
"$HEADEND" carousel -q -g "$group" -p "$port" -c 1 -r 2M -n 5 "$WORK/send" &
SENDER_PID=$!
result=$(wait_for_file 90 "$WORK/hist/INFO*.RSV") || fail "no result record"
sleep 1

note "status 1 and both files replaced"
[ "$(dump_field "$result" status | cut -d' ' -f1)" = 1 ] || fail "status is not 1: $(dump_field "$result" status)"
cmp "$WORK/send/ro.bin" "$WORK/data/prog/ro.bin" || fail "the read-only file was not replaced"
cmp "$WORK/send/hid.bin" "$WORK/data/prog/hid.bin" || fail "the hidden file was not replaced"
ls "$WORK/data/prog" | grep -q '^~' && fail "a temporary file was left"

q_exit
echo PASS
