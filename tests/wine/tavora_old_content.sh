#!/usr/bin/env bash
# Old content deletion at start (ExecKind 1, ErrorProg 1): the content of a
# reception that failed is deleted from the data folder and retired into
# RsvData.log; an equally failed reception whose folder lies outside the data
# folder is left alone; with the deletion off nothing is touched.
. "$(dirname "$0")/lib/tavora.sh"
t_init

# content FOLDER: a received content with the list the broadcaster sends.
content() {
  mkdir -p "$1"
  head -c 3000 /dev/urandom > "$1/a.bin"
  printf '3000\r\na.bin\r\n' > "$1/FileList.mls"
}
content "$WORK/data/missed"
content "$WORK/outside/kept"

# Two reservations that ended an hour ago: the unit records both as not received.
now=$(date +%s)
start=$((now - now % 60 - 7200))
for entry in "8101:$WORK/data/missed" "8102:$WORK/outside/kept"; do
  "$RSVTOOL" make --folder "$WORK/sched" --program "${entry%%:*}" --sub 1 --sid 7 --address 239.192.8.1 --port 21801 \
    --start "$(minute_text $start)" --end "$(minute_text $((start + 3600)))" --name "過ぎた番組" \
    --storage "$(winpath "${entry#*:}")" >/dev/null || fail "rsvtool make"
done
wine "$WIN_BIN/unit/win/Quillon.exe" >/dev/null 2>&1 </dev/null &
T_EXTRA_PIDS="$!"
for _ in $(seq 100); do [ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] && break; sleep 0.2; done
[ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] || fail "the unit did not record the two missed programs"
t_end_unit

note "deletion off: a start deletes nothing"
t_start
sleep 3
t_exit
[ -e "$WORK/data/missed/a.bin" ] || fail "content deleted while the deletion is off"

note "deletion at start, failed receptions"
t_reg 'Environment\DelExec' ExecKind REG_DWORD 1
t_reg 'Environment\DelExec' ErrorProg REG_DWORD 1
t_start
for _ in $(seq 50); do [ -e "$WORK/data/missed/a.bin" ] || break; sleep 0.2; done
[ -e "$WORK/data/missed/a.bin" ] && fail "the failed reception's content was not deleted"
[ -e "$WORK/outside/kept/a.bin" ] || fail "content outside the data folder was deleted"
[ -e "$WORK/outside/kept/FileList.mls" ] || fail "the list outside the data folder was deleted"
[ -s "$WORK/hist/RsvData.log" ] || fail "the deleted content was not retired into RsvData.log"
iconv -f CP932 -t UTF-8 "$WORK/hist/RsvData.log" | grep -q "過ぎた番組" || fail "RsvData.log has no line for the program"
t_exit
echo PASS
