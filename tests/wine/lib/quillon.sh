# Shared by the quillon_*.sh tests: a private work folder, the planner's
# registry values, reservations, and starting and ending the real Quillon.exe.
# Each test sources this file, calls q_init and leaves no Quillon running.
set -uo pipefail

QTITLE='データ受信ユニット(QuillonUnit)'
QKEY='HKCU\Software\Lumivent\TavoraPlanner'

. "$(dirname "${BASH_SOURCE[0]}")/base.sh"

q_init() {
  : "${WIN_BIN:?}" "${NATIVE_BIN:?}" "${SRC:?}"
  QUILLON="$WIN_BIN/unit/win/Quillon.exe"
  WDRV="$WIN_BIN/tests/wine/driver/wdrv.exe"
  RSVTOOL="$NATIVE_BIN/tools/rsvtool/rsvtool"
  HEADEND="$NATIVE_BIN/tools/headend/headend"
  for f in "$QUILLON" "$WDRV" "$RSVTOOL" "$HEADEND"; do [ -e "$f" ] || fail "missing $f"; done
  WORK=$(mktemp -d /tmp/quillon_test.XXXXXX)
  mkdir -p "$WORK/sched" "$WORK/hist" "$WORK/data" "$WORK/send"
  QPID=
  SENDER_PID=
  trap q_cleanup EXIT
  # A clean planner key: every test states the values it relies on.
  wine reg delete "$QKEY" /f >/dev/null 2>&1 </dev/null
  q_reg Schedule DataPath REG_SZ "$(winpath "$WORK/sched")"
  q_reg temp DataPath REG_SZ "$(winpath "$WORK/hist")"
  q_reg Environment "Prepare Time" REG_DWORD 10
}

q_cleanup() {
  [ -n "$SENDER_PID" ] && kill "$SENDER_PID" 2>/dev/null
  if [ -n "$QPID" ] && kill -0 "$QPID" 2>/dev/null; then
    wine "$WDRV" post "$QTITLE" 1 >/dev/null 2>&1 </dev/null
    for _ in $(seq 50); do kill -0 "$QPID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$QPID" 2>/dev/null && wine taskkill /PID "$(q_winpid)" /F >/dev/null 2>&1 </dev/null
    kill "$QPID" 2>/dev/null
  fi
  wait 2>/dev/null
  # Leave no values behind for the next test (a measured TimeError would shift
  # every schedule that follows).
  wine reg delete "$QKEY" /f >/dev/null 2>&1 </dev/null
  rm -rf "$WORK"
}

# Windows process id of our Quillon (for taskkill), from the Unix one.
q_winpid() { wine tasklist 2>/dev/null </dev/null | awk 'tolower($1)=="quillon.exe"{print $2; exit}'; }


q_reg() {  # SUBKEY NAME TYPE DATA
  wine reg add "$QKEY\\$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 </dev/null || fail "reg add $1 $2"
}
q_reg_query() {  # SUBKEY NAME -> the value's data (UTF-8), empty when missing
  wine reg query "$QKEY\\$1" /v "$2" 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 |
    awk -v name="$2" 'index($0, name) { print $NF }' | tr -d '\r'
}

# Writes a reservation into the schedule folder. Arguments are rsvtool make's.
q_reservation() { "$RSVTOOL" make --folder "$WORK/sched" "$@" || fail "rsvtool make $*"; }

# Local minute texts for rsvtool ("YYYY-MM-DD HH:MM").
minute_text() { date -d "@$1" '+%Y-%m-%d %H:%M'; }

q_start() {
  wine "$QUILLON" >/dev/null 2>&1 </dev/null &
  QPID=$!
  for _ in $(seq 20); do
    wine "$WDRV" wait "$QTITLE" 1000 >/dev/null 2>&1 </dev/null && return 0
    kill -0 "$QPID" 2>/dev/null || fail "Quillon.exe ended at start"
  done
  fail "the unit's window did not appear"
}

# Waits for a reception window beside the unit's own (both titles hold 受信ユニット).
q_wait_reception_window() { wait_reception_window "$WDRV" 20 || fail "no reception window"; }

q_post() { wine "$WDRV" post "$QTITLE" "$1" >/dev/null 2>&1 </dev/null || fail "post $1: no window"; }

# Ends Quillon with its exit command (nothing pending: no prompt) and waits.
q_exit() {
  q_post 1
  for _ in $(seq 100); do kill -0 "$QPID" 2>/dev/null || { wait "$QPID"; QPID=; return 0; }; sleep 0.1; done
  fail "Quillon.exe did not end on command 1"
}

# Ends Quillon while reservations are pending: command 1, then the answer
# (6 Yes, 7 No) to its prompt "データ受信ユニット". Returns 0 when the unit ended.
q_exit_answer() {
  q_post 1
  wine "$WDRV" wait データ受信ユニット 10000 >/dev/null 2>&1 </dev/null
  wine "$WDRV" post データ受信ユニット "$1" >/dev/null 2>&1 </dev/null || fail "no exit prompt"
  for _ in $(seq 30); do kill -0 "$QPID" 2>/dev/null || { wait "$QPID"; QPID=; return 0; }; sleep 0.1; done
  return 1
}


# Field of an "rsvtool dump" listing.
dump_field() { "$RSVTOOL" dump "$1" | awk -v k="$2" '$1 == k || $1 == k":" { $1 = ""; sub(/^ +/, ""); print; exit }'; }

# The resume tests' reservation: q_resume_reservation SUBNET PROGRAM SUB ID NAME
# KBYTE reserves a broadcast of a new group (new_broadcast) that runs now into
# data/prog; sets group, port, start, rsv (its file) and state_dir (the folder
# of its reception state beside it).
q_resume_reservation() {
  new_broadcast "$1"
  port=$PORT group=$GROUP start=$START
  q_reg Environment Timeout REG_DWORD 120
  q_reservation --program "$2" --sub "$3" --id "$4" --start "$(minute_text $start)" \
    --end "$(minute_text $((start + 1800)))" --address "$group" --port "$port" --sid 7 --name "$5" \
    --storage "$(winpath "$WORK/data/prog")" --total-kbyte "$6" >/dev/null
  rsv=$(ls "$WORK/sched"/RSV*.SDL) || fail "no reservation file"
  state_dir=${rsv%.SDL}.RCV
}

# Sends the first half of the carousel's blocks three times: a datagram lost on
# a busy machine comes again.
q_send_first_half() {
  "$HEADEND" carousel -q -g "$group" -p "$port" -c 1 -r 2M -n 3 --part 1/2 "$WORK/send" || fail "headend (first half)"
}

# The unit started again: only the second half is sent, until the result comes
# (--extra 1: one datagram of a file already whole, on which the unit declares
# the reception complete). The files must be byte-exact with status 1, nothing
# temporary left and the state folder gone with its reservation.
q_second_half_completes() {
  "$HEADEND" carousel -q -g "$group" -p "$port" -c 1 -r 2M -n 0 --part 2/2 --extra 1 "$WORK/send" &
  SENDER_PID=$!
  result=$(wait_for_file 60 "$WORK/hist/INFO*.RSV") ||
    fail "no result record: the second half alone did not complete the reception"
  diff -r "$WORK/send" "$WORK/data/prog" || fail "received files differ"
  [ "$(dump_field "$result" status | cut -d' ' -f1)" = 1 ] || fail "status is not 1: $("$RSVTOOL" dump "$result")"
  [ -z "$(find "$WORK/data" -name '~*' 2>/dev/null)" ] || fail "temporary files left: $(find "$WORK/data" -name '~*')"
  for _ in $(seq 50); do [ -e "$state_dir" ] || break; sleep 0.1; done
  [ -e "$state_dir" ] && fail "the state folder outlived its reservation: $(ls -l "$state_dir")"
  return 0
}
