#!/usr/bin/env bash
# A guide update (32783) and a redisplay (32798) that arrive while a dialog is
# open wait for it: with dialog 149 open the reservation is made from what the
# dialog showed, with dialog 151 open the cancel withdraws the reservation the
# dialog was opened for although another one was written meanwhile, and with
# the server-failure message open the update runs once the message is closed.
# Each time the planner keeps running and the waiting update then happens.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
trap 'status=$?; [ $status = 0 ] || { tail -30 "$LV_DEBUG_LOG"; tail -5 "$WORK/server.log"; } 2>/dev/null; t_cleanup' EXIT
mkdir -p "$WORK/served"
RSV='番組の予約'
CANCEL='予約のキャンセル'
MSG='メッセージ'

t_day_start_now >/dev/null
day=$DAY_FILE
now=$(date +%s)
start=$((now - now % 60 + 20 * 60))
# served_day EXTRA_PROGRAMS...: the served day with program 701 named $1.
served_day() {
  {
    t_program 701 1 $start $((start + 1200)) "$1"
    t_program 704 1 $((start + 1200)) $((start + 2100)) '途中の予約'
    t_program 702 1 $((start + 2400)) $((start + 3300)) '取消対象'
    t_program 703 1 $((start + 4800)) $((start + 5700)) '残る予約'
    shift
    for extra in "$@"; do t_program "$extra" 1 $((start + 7200)) $((start + 7800)) "追加$extra"; done
  } | t_guide_file "$WORK/served/$day"
}
served_day 'ダイアログ試験'
t_filler_days "$WORK/served"
t_detail_file "$WORK/served/701-1.spn" 239.192.7.1 27001 5 'dialog'
serve() {
  [ -n "$T_EXTRA_PIDS" ] && kill $T_EXTRA_PIDS 2>/dev/null && wait $T_EXTRA_PIDS 2>/dev/null
  T_EXTRA_PIDS=
  "$HEADEND" guide --folder "$WORK/served" --port 80 >> "$WORK/server.log" 2>&1 &
  T_EXTRA_PIDS="$!"
  for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null && return 0; sleep 0.05; done
  fail "the guide server does not listen"
}
serve
t_reg Environment EpgURL REG_SZ 'http://127.0.0.1'
t_reg Environment TestReserveProgram REG_SZ '701-1'
# Tall enough for the reservation column to show the next two hours.
t_reg Environment 'Window Height' REG_DWORD 740
reserve() {  # NUMBER ID START NAME
  "$RSVTOOL" make --folder "$WORK/sched" --program "$1" --sub 1 --id "$2" --start "$(minute_text $3)" \
    --end "$(minute_text $(($3 + 900)))" --address 239.192.7.$1 --port $((26000 + $1)) --sid 5 --name "$4" \
    --storage "$(winpath "$WORK/data/r$1")" >/dev/null || fail "rsvtool make $1"
}
reserve 702 7020 $((start + 2400)) '取消対象'
reserve 703 7030 $((start + 4800)) '残る予約'
sdl702=$(ls "$WORK/sched"/RSV*000002be0001.SDL)
sdl703=$(ls "$WORK/sched"/RSV*000002bf0001.SDL)

# Log lines written after a mark (a byte offset of the debug log).
mark() { stat -c %s "$LV_DEBUG_LOG" 2>/dev/null || echo 0; }
since() { tail -c +$(($1 + 1)) "$LV_DEBUG_LOG" | tr -d '\r'; }
wait_log() {  # MARK TEXT SECONDS
  for _ in $(seq $(($3 * 5))); do since "$1" | grep -q -- "$2" && return 0; sleep 0.2; done
  return 1
}
day_requests() { grep -c "request GET [^ ]*$day" "$WORK/server.log"; }
cached_has() { iconv -f CP932 -t UTF-8 "$WORK/hist/$day" 2>/dev/null | grep -q -- "$1"; }
alive() {
  kill -0 "$TPID" 2>/dev/null || fail "the planner ended $1"
  t_wdrv text "$TWIN" | grep -q -- "$TMARK" || fail "the planner does not answer $1"
}

t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"
cached_has 'ダイアログ試験' || fail "the guide was not fetched at start"

note "dialog 149: the update and the redisplay wait; 予約 uses what the dialog showed"
served_day 'ダイアログ試験改' 705
t_post $ID_TEST_RESERVE
t_wait_visible 20 "$RSV" || fail "dialog 149 did not open"
m=$(mark)
asked=$(day_requests)
t_post 32783
t_post 32798
wait_log "$m" '32783 waits for the open dialog to close' 10 || fail "the update did not wait for dialog 149"
wait_log "$m" '32798 waits for the open dialog to close' 10 || fail "the redisplay did not wait for dialog 149"
sleep 2
alive "with dialog 149 open"
[ "$(day_requests)" = "$asked" ] || fail "the guide was fetched while dialog 149 was open"
[ "$(t_wdrv text "$RSV" 1001)" = 'ダイアログ試験' ] || fail "dialog 149 changed: $(t_wdrv text "$RSV" 1001)"
t_wdrv click "$RSV" 1 >/dev/null
sdl=$(wait_for_file 10 "$WORK/sched/RSV*000002bd0001.SDL") || fail "no reservation file from dialog 149"
"$RSVTOOL" dump "$sdl" | grep -q 'ダイアログ試験' || fail "the reservation lacks the dialog's name: $("$RSVTOOL" dump "$sdl")"
wait_log "$m" '32783 runs now that the dialog has closed' 15 || fail "the update did not run after dialog 149"
for _ in $(seq 50); do cached_has 'ダイアログ試験改' && break; sleep 0.2; done
cached_has 'ダイアログ試験改' || fail "the waiting update did not load the new guide"
[ "$(day_requests)" -gt "$asked" ] || fail "no guide request after dialog 149 closed"
alive "after the update"

note "dialog 151: the cancel withdraws the reservation it was opened for"
t_post 32785
sleep 0.5
col='class:TavoraReserveView'
y=$(( $(column_y $((start + 2400))) + 10 ))
for _ in $(seq 25); do [ "$(t_wdrv pixel "$TWIN" "$col" 30 $y)" = FFB060 ] && break; sleep 0.2; done
[ "$(t_wdrv pixel "$TWIN" "$col" 30 $y)" = FFB060 ] || fail "no bar of 702 at y=$y"
t_wdrv mouse "$TWIN" "$col" 30 $y double >/dev/null
t_wait_window 10 "$CANCEL" || fail "dialog 151 did not open"
t_wdrv text "$CANCEL" 1052 | grep -q '取消対象' || fail "dialog 151 is not for 702: $(t_wdrv text "$CANCEL" 1052)"
# Meanwhile another planner writes a reservation that sorts before 702.
reserve 704 7040 $((start + 1200)) '途中の予約'
sdl704=$(ls "$WORK/sched"/RSV*000002c00001.SDL)
m=$(mark)
t_post 32798
t_post 32783
wait_log "$m" '32798 waits for the open dialog to close' 10 || fail "the redisplay did not wait for dialog 151"
wait_log "$m" '32783 waits for the open dialog to close' 10 || fail "the update did not wait for dialog 151"
sleep 1
alive "with dialog 151 open"
t_wdrv click "$CANCEL" 1 >/dev/null
name="$(t_computer_name)000000.SDD"
wait_log "$m" "deletion request $name" 10 || fail "no deletion request"
for _ in $(seq 50); do [ -e "$sdl702" ] || break; sleep 0.2; done
[ -e "$sdl702" ] && fail "the reservation of 702 was not withdrawn"
[ -e "$sdl703" ] || fail "the reservation of 703 was withdrawn instead"
[ -e "$sdl704" ] || fail "the reservation written meanwhile was withdrawn instead"
[ -e "$sdl" ] || fail "the reservation of 701 was withdrawn instead"
wait_log "$m" '32798 runs now that the dialog has closed' 15 || fail "the redisplay did not run after dialog 151"
wait_log "$m" '32783 runs now that the dialog has closed' 15 || fail "the update did not run after dialog 151"
alive "after dialog 151"

note "the server-failure message: an update asked meanwhile runs when it is closed"
kill $T_EXTRA_PIDS 2>/dev/null
wait $T_EXTRA_PIDS 2>/dev/null
T_EXTRA_PIDS=
m=$(mark)
t_post 32783
t_wait_window 60 "$MSG" || fail "no server-failure message"
served_day 'ダイアログ試験改' 705 706
serve
asked=$(day_requests)
t_post 32783
sleep 2
alive "with the server-failure message open"
t_wdrv find "$MSG" >/dev/null || fail "the message went by itself"
[ "$(day_requests)" = "$asked" ] || fail "the guide was fetched while the message was open"
t_wdrv click "$MSG" 1 >/dev/null
for _ in $(seq 100); do cached_has '追加706' && break; sleep 0.2; done
cached_has '追加706' || fail "the update asked during the message did not run after it"
[ "$(day_requests)" -gt "$asked" ] || fail "no guide request after the message closed"
alive "after the message"
t_exit
echo PASS
