#!/usr/bin/env bash
# Pictures of the unit for people to look at: the main window with a waiting
# reservation, and a reception window while a carousel arrives. They are kept
# in $WIN_BIN/screenshots/quillon_screenshots (see shots_keep). The test checks what the windows show (the pending
# list, the program being received) and that each picture is of the screen the
# windows are on: points of the windows read from the live screen have the
# same colours in the picture.
. "$(dirname "$0")/lib/quillon.sh"
q_init
shots_init quillon_screenshots
shots=$SHOTS_DIR
head -c 3000000 /dev/urandom > "$WORK/send/data.bin"
printf 'sample\r\n' > "$WORK/send/readme.txt"

new_broadcast 6
port=$PORT group=$GROUP start=$START
q_reservation --program 4670 --sub 1 --start "$(minute_text $((start + 7200)))" --end "$(minute_text $((start + 9000)))" \
  --address "$group" --port "$port" --sid 7 --name "夜の番組" --storage "$(winpath "$WORK/data/later")" >/dev/null
q_reservation --program 4671 --sub 1 --start "$(minute_text $start)" --end "$(minute_text $((start + 1800)))" \
  --address "$group" --port "$port" --sid 7 --name "画面確認番組" --storage "$(winpath "$WORK/data/now")" \
  --total-kbyte 2930 >/dev/null

drv() { wine "$WDRV" "$@" 2>/dev/null </dev/null | tr -d '\r'; }
# Colour of the picture $1 at screen point $2 $3, as wdrv prints colours.
shot_pixel() { convert "$1" -format '%[hex:u.p{'"$2,$3"'}]' info: | cut -c1-6 | tr a-f A-F; }
# The picture $1 shows window $2 at the client points that follow (x y ...):
# each point's colour on the live screen is the colour in the picture there.
shows_window() {
  local f=$1 window=$2 x y pos live
  shift 2
  while [ $# -ge 2 ]; do
    x=$1 y=$2
    shift 2
    pos=$(drv screenpos "$window" - "$x" "$y") || fail "$window: no screen position"
    live=$(drv pixel "$window" - "$x" "$y") || fail "$window: no pixel"
    # shellcheck disable=SC2086
    [ "$(shot_pixel "$f" $pos)" = "$live" ] || fail "$f: $window's point $x,$y ($pos) is $(shot_pixel "$f" $pos), live $live"
  done
}

q_start
# The window exists before it is shown: q_start finds it, this waits for the showing.
for _ in $(seq 50); do wine "$WDRV" visible "$QTITLE" >/dev/null 2>&1 </dev/null && break; sleep 0.2; done
wine "$WDRV" visible "$QTITLE" >/dev/null 2>&1 </dev/null || fail "main window not visible"
for _ in $(seq 50); do wine "$WDRV" visible 受信ユニット >/dev/null 2>&1 </dev/null && break; sleep 0.2; done
wine "$WDRV" visible 受信ユニット >/dev/null 2>&1 </dev/null || fail "reception window not visible"
rows=$(drv listview "$QTITLE" 1001)
grep -q 夜の番組 <<<"$rows" || fail "the pending list lacks the later program: $rows"
[ "$(drv text 受信ユニット 1003)" = 画面確認番組 ] || fail "the reception window names $(drv text 受信ユニット 1003)"
import -window root "$shots/quillon_main_window.png" || fail "screenshot"
shows_window "$shots/quillon_main_window.png" "$QTITLE" 4 4 20 -8 40 60

"$HEADEND" carousel -q -g "$group" -p "$port" -r 300k -n 0 "$WORK/send" &
SENDER_PID=$!
sleep 4
wine "$WDRV" visible 受信ユニット >/dev/null 2>&1 </dev/null || fail "reception window gone while receiving"
[ -z "$(ls "$WORK/hist")" ] || fail "reception already over: no picture in progress"
import -window root "$shots/quillon_reception_window.png" || fail "screenshot"
shows_window "$shots/quillon_reception_window.png" 受信ユニット 4 4 20 -8

for f in "$shots"/quillon_main_window.png "$shots"/quillon_reception_window.png; do
  [ "$(identify -format '%wx%h' "$f")" = 1024x768 ] || fail "$f is not a screen picture"
done
# The second picture shows more than the first: the progress of the reception.
cmp -s "$shots"/quillon_main_window.png "$shots"/quillon_reception_window.png && fail "pictures are identical"
shots_keep
kill "$SENDER_PID"; SENDER_PID=
q_exit_answer 6 || fail "the unit did not end after Yes"
echo PASS
