# Shared by the tavora_*.sh tests: a private work folder with copies of
# Tavora.exe and Quillon.exe (the planner starts the unit from its own
# folder), a clean planner key, and starting and ending the real planner.
# Each test sources this file, calls t_init and leaves no planner or unit running.
set -uo pipefail

TMARK='- 受信予約プログラム'
TWIN="~$TMARK"                    # wdrv's "title contains" form
QTITLE='データ受信ユニット(QuillonUnit)'
TKEY='HKCU\Software\Lumivent\TavoraPlanner'
ID_APP_EXIT=57665
ID_TEST_RESERVE=33001

. "$(dirname "${BASH_SOURCE[0]}")/base.sh"

# The timetable tests lay programs out from the current hour on, and a day of
# the guide runs from its start hour to the next morning: in the small hours
# the layout differs (nothing left to scroll to, a day that began yesterday).
# The planner and the test share one local time, so the test takes the first
# of these zones in which it is daytime now; each is within five hours of the
# next, so one always is.
for zone in Asia/Tokyo Asia/Dubai Europe/London America/New_York Pacific/Honolulu; do
  hour=$(TZ=$zone date +%H)
  if [ $((10#$hour)) -ge 8 ] && [ $((10#$hour)) -le 17 ]; then export TZ=$zone; break; fi
done
unset zone hour


# t_init [--fresh]: work folders; without --fresh the three folders are set in
# the registry (schedule, history, data), with it the key stays empty.
t_init() {
  : "${WIN_BIN:?}" "${NATIVE_BIN:?}" "${SRC:?}"
  WDRV="$WIN_BIN/tests/wine/driver/wdrv.exe"
  RSVTOOL="$NATIVE_BIN/tools/rsvtool/rsvtool"
  HEADEND="$NATIVE_BIN/tools/headend/headend"
  for f in "$WIN_BIN/planner/shell/win/Tavora.exe" "$WIN_BIN/unit/win/Quillon.exe" "$WDRV" "$RSVTOOL" "$HEADEND"; do
    [ -e "$f" ] || fail "missing $f"
  done
  WORK=$(mktemp -d /tmp/tavora_test.XXXXXX)
  mkdir -p "$WORK/prog" "$WORK/sched" "$WORK/hist" "$WORK/data"
  cp "$WIN_BIN/planner/shell/win/Tavora.exe" "$WIN_BIN/unit/win/Quillon.exe" "$WORK/prog/"
  TAVORA="$WORK/prog/Tavora.exe"
  TPID=
  T_EXTRA_PIDS=
  GUIDE_SERVER_PID=
  T_WDRV_PID=
  trap t_cleanup EXIT
  wine reg delete "$TKEY" /f >/dev/null 2>&1 </dev/null
  t_wdrv_start
  if [ "${1:-}" != --fresh ]; then
    t_reg Schedule DataPath REG_SZ "$(winpath "$WORK/sched")"
    t_reg temp DataPath REG_SZ "$(winpath "$WORK/hist")"
    t_reg path DataPath REG_SZ "$(winpath "$WORK/data")"
    # Placement tests aside, a maximised window only slows the screenshots down.
    t_reg Environment "Window Zoom" REG_DWORD 0
  fi
}

t_reg() {  # SUBKEY NAME TYPE DATA
  wine reg add "$TKEY\\$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 </dev/null || fail "reg add $1 $2"
}
t_reg_query() {  # SUBKEY NAME -> the value's data (UTF-8), empty when missing
  wine reg query "$TKEY\\$1" /v "$2" 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 |
    awk -v name="$2" 'index($0, name) { print $NF }' | tr -d '\r'
}

# Windows process id of a program (for taskkill).
t_winpid() { wine tasklist 2>/dev/null </dev/null | awk -v p="$(echo "$1" | tr A-Z a-z)" 'tolower($1)==p{print $2; exit}'; }

# t_wdrv COMMAND ARGS...: a command of the test driver. The test has one
# driver (t_wdrv_start) that takes the commands through a pipe, so that a
# command costs no start of Wine; commands that run on (listen, hold, shell),
# and every command once that driver is gone, get a driver of their own.
t_wdrv() {
  local own=
  case $1 in listen | hold | shell) own=1 ;; esac
  [[ "$*" == *$'\n'* ]] && own=1
  if [ -n "$own" ] || [ -z "${T_WDRV_PID:-}" ] || ! kill -0 "$T_WDRV_PID" 2>/dev/null; then
    wine "$WDRV" "$@" 2>/dev/null </dev/null | tr -d '\r'
    return
  fi
  local IFS=$'\x1f' line out= rc=1 answered=
  {
    flock 9
    # In a subshell: a driver gone meanwhile breaks that pipe, not the test.
    if ( printf '%s\n' "$*" >&7 ) 2>/dev/null; then
      # No command takes two minutes: a driver stuck on a window that hangs
      # ends the test with its command named, not at ctest's time limit.
      while IFS= read -r -t 120 -u 8 line; do
        line=${line//$'\r'/}  # as tr -d '\r' for a driver of its own
        if [[ $line == $'\x1e'* ]]; then rc=${line#$'\x1e'} answered=1; break; fi
        out+=$line$'\n'
      done
      if [ -z "$answered" ]; then
        echo "FAIL: the test driver gave no answer in 120 s to: $*" >&2
        kill "$T_WDRV_PID" 2>/dev/null
        kill $$ 2>/dev/null
      fi
    fi
  } 9>>"$WORK/wdrv.lock"
  # The whole answer is read before any of it is written: a reader that stops
  # early (grep -q) leaves nothing of it for the next command.
  printf '%s' "$out"
  return "$rc"
}

# Starts the test's one driver (again after a change that a program takes
# only when it starts, such as the screen's density).
t_wdrv_start() {
  t_wdrv_stop
  rm -f "$WORK/wdrv.in" "$WORK/wdrv.out"
  mkfifo "$WORK/wdrv.in" "$WORK/wdrv.out" || fail "mkfifo"
  wine "$WDRV" serve <"$WORK/wdrv.in" >"$WORK/wdrv.out" 2>/dev/null &
  T_WDRV_PID=$!
  exec 7>"$WORK/wdrv.in" 8<"$WORK/wdrv.out"
}
# The empty line ends it: the programs started since hold the pipe open too.
t_wdrv_stop() {
  [ -n "${T_WDRV_PID:-}" ] || return 0
  ( printf '\n' >&7 ) 2>/dev/null
  exec 7>&- 8<&-
  wait "$T_WDRV_PID" 2>/dev/null
  T_WDRV_PID=
}

# t_broadcast GROUP PORT FOLDER: once the unit shows a reception window, the
# head-end sends FOLDER to GROUP:PORT as a carousel; T_RESULT is then the
# result record the unit wrote into the history folder.
t_broadcast() {
  local group=$1 port=$2 folder=$3
  wait_reception_window "$WDRV" 30 || fail "no reception window"
  "$HEADEND" carousel -q -g "$group" -p "$port" -c 1 -r 2M -n 5 --extra 4 "$folder" &
  T_EXTRA_PIDS="$T_EXTRA_PIDS $!"
  T_RESULT=$(wait_for_file 90 "$WORK/hist/INFO*.RSV") || fail "no result record"
}

# Ends the unit the planner may have started: its exit command, then by force.
t_end_unit() {
  t_wdrv find "$QTITLE" >/dev/null || return 0
  t_wdrv post "$QTITLE" 1 >/dev/null
  # With reservations pending the unit asks first: answer Yes.
  for _ in $(seq 20); do
    t_wdrv find "$QTITLE" >/dev/null || return 0
    t_wdrv find データ受信ユニット >/dev/null && t_wdrv post データ受信ユニット 6 >/dev/null
    sleep 0.2
  done
  local pid; pid=$(t_winpid quillon.exe)
  [ -n "$pid" ] && wine taskkill /PID "$pid" /F >/dev/null 2>&1 </dev/null
}

t_cleanup() {
  if [ -n "$TPID" ] && kill -0 "$TPID" 2>/dev/null; then
    t_wdrv post "$TWIN" $ID_APP_EXIT >/dev/null
    for _ in $(seq 50); do kill -0 "$TPID" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$TPID" 2>/dev/null; then
      local pid; pid=$(t_winpid tavora.exe)
      [ -n "$pid" ] && wine taskkill /PID "$pid" /F >/dev/null 2>&1 </dev/null
      kill "$TPID" 2>/dev/null
    fi
  fi
  t_end_unit
  t_wdrv_stop
  for p in $T_EXTRA_PIDS $GUIDE_SERVER_PID; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  wine reg delete "$TKEY" /f >/dev/null 2>&1 </dev/null
  rm -rf "$WORK"
}

# Starts the planner (arguments go to it) without waiting for anything.
t_launch() {
  wine "$TAVORA" "$@" >/dev/null 2>&1 </dev/null &
  TPID=$!
}

# t_wait_until SECONDS WINDOW [visible]: waits for the window to exist (to be
# visible), a second of `wdrv wait` at a time: the driver looks every 50 ms
# within one start of Wine, not one start a look.
t_wait_until() {
  local limit=$1 window=$2 mode=${3:-}
  for _ in $(seq "$limit"); do
    t_wdrv wait "$window" 1000 $mode >/dev/null && return 0
  done
  return 1
}
# Waits up to $1 seconds for a top-level window (wdrv WINDOW form).
t_wait_window() { t_wait_until "$1" "$2"; }
# Waits up to $1 seconds for a top-level window to be visible (a dialog exists,
# hidden, while its initialisation runs).
t_wait_visible() { t_wait_until "$1" "$2" visible; }

# t_wait_control SECONDS WINDOW CONTROL: waits for a control of the window (a
# property sheet's window comes before the controls of its pages).
t_wait_control() {
  local end=$((SECONDS + $1))
  while [ $SECONDS -lt $end ]; do
    t_wdrv text "$2" "$3" >/dev/null && return 0
    sleep 0.1
  done
  t_wdrv text "$2" "$3" >/dev/null
}

# Starts the planner and waits for its main window.
t_start() {
  t_launch "$@"
  for _ in $(seq 30); do
    t_wdrv wait "$TWIN" 1000 visible >/dev/null && return 0
    kill -0 "$TPID" 2>/dev/null || fail "Tavora.exe ended at start"
  done
  fail "the planner's main window did not appear"
}

# t_start_offline: starts the planner while no guide server answers, closes
# the server-failure message the start shows and waits for the main window.
t_start_offline() {
  t_launch "$@"
  t_wait_window 60 'メッセージ' || fail "no server-failure message"
  t_wdrv click 'メッセージ' 1 >/dev/null
  t_wait_visible 60 "$TWIN" || fail "the main window did not appear"
}

# t_serve [OPTION...]: `headend guide` over $WORK/served on port 80 of the
# loopback, with the options given (--mode, --stall-seconds), once it listens;
# the one t_serve started before is ended first. Its log: $WORK/server.log.
t_serve() {
  t_stop_server
  serve_guide "$WORK/served" "$WORK/server.log" "$@"
}
t_stop_server() {
  [ -n "$GUIDE_SERVER_PID" ] || return 0
  kill "$GUIDE_SERVER_PID" 2>/dev/null
  wait "$GUIDE_SERVER_PID" 2>/dev/null
  GUIDE_SERVER_PID=
}

# t_post ID [ID...]: the commands, posted in turn to the planner's main window.
t_post() { t_wdrv post "$TWIN" "$@" >/dev/null || fail "post $*: no planner window"; }
# t_post_times N ID [ID...]: the ids, in turn, N times over (one start of wdrv).
t_post_times() {
  local n=$1 ids=()
  shift
  for ((; n > 0; n--)); do ids+=("$@"); done
  t_post "${ids[@]}"
}

# Ends the planner with its exit command and waits for the process.
t_exit() {
  t_post $ID_APP_EXIT
  for _ in $(seq 100); do kill -0 "$TPID" 2>/dev/null || { wait "$TPID"; TPID=; return 0; }; sleep 0.1; done
  fail "Tavora.exe did not end on its exit command"
}


# --- guide data ------------------------------------------------------------
# Local "YYYY/MM/DD HH:MM:SS" of an epoch second, as the guide writes times.
# (bash's own printf: a guide of a week is hundreds of these, a process each with date)
guide_time() { printf '%(%Y/%m/%d %H:%M:%S)T' "$1"; }
# Local minute text for rsvtool ("YYYY-MM-DD HH:MM").
minute_text() { printf '%(%Y-%m-%d %H:%M)T' "$1"; }

# t_program NUMBER SUB START END NAME [KBYTE] [SPEED]: one guide program (UTF-8).
t_program() {
  printf '<program><program_number>%d</program_number><pro_name>%s</pro_name>' "$1" 'テスト局'
  printf '<cp_name>series</cp_name><category_for_sort>cat</category_for_sort>'
  printf '<category_for_search>cat</category_for_search><name>%s</name>' "$5"
  printf '<digest>%s の内容\r\n二行目</digest><total_kbyte>%d</total_kbyte>\r\n' "$5" "${6:-100}"
  printf '<schedule><program_sub_number>%d</program_sub_number><receiver_ver>1</receiver_ver>' "$2"
  printf '<speed>%d</speed><starttime>%s</starttime><endtime>%s</endtime></schedule>\r\n' \
    "${7:-1000}" "$(guide_time "$3")" "$(guide_time "$4")"
  printf '</program>\r\n'
}

# t_guide_file FILE: the programs on stdin as a guide day file in cp932.
t_guide_file() {
  { printf '<?xml version="1.0" encoding="Shift_JIS"?>\r\n<guide>\r\n'; cat; printf '</guide>\r\n'; } |
    iconv -f UTF-8 -t CP932 > "$1"
}

# The day files are named after the broadcast day that starts at the
# "DayStart" hour. t_day_start_now makes the current hour the day start, so
# that the reservation column begins at the top of this hour; it sets DAY_START
# and DAY_FILE (the day's cache file name) and also prints the file name, so
# that `day=$(t_day_start_now)` works where the variables are not needed.
t_day_start_now() {
  # Never straddle an hour between here and the planner's start.
  local minute; minute=$(date +%M)
  [ $((10#$minute)) -ge 57 ] && sleep $((3600 - $(date +%s) % 3600 + 2))
  local hour; hour=$(date +%H)
  t_reg Environment DayStart REG_DWORD $((10#$hour))
  DAY_START=$(date -d "$(date +%Y-%m-%d) $hour:00" +%s)
  DAY_FILE=$(date -d "@$DAY_START" +gd%y%m%d.dpn)
  echo "$DAY_FILE"
}

# The planner loads six days: a server that lacks one of them makes the start
# show the guide server's failure message. t_filler_days FOLDER writes days 2-6
# with one program each (numbers 9001...).
t_filler_days() {
  local i day
  for i in 1 2 3 4 5; do
    day=$((DAY_START + i * 86400))
    t_program $((9000 + i)) 1 $((day + 3600)) $((day + 5400)) "filler $i" | \
      t_guide_file "$1/$(date -d "@$day" +gd%y%m%d.dpn)"
  done
}

# y of a time in the reservation column (from DAY_START, the grid not
# scrolled). Ten minutes are as high as the timetable's time scale says in its
# window text (the measured font decides it; 20 pixels when it says nothing).
column_y() {
  local slot; slot=$(t_wdrv text "$TWIN" class:TavoraTimeScale)
  [[ "$slot" =~ ^[0-9]+$ ]] || slot=20
  echo $(( ($1 - DAY_START) / 60 * slot / 10 ))
}

# A detail file "N-S.spn" (UTF-8 in, cp932 out).
t_detail_file() {  # FILE ADDRESS PORT SID HOLDER
  printf '<schedule><ip_address>%s</ip_address><port>%d</port><sid>%d</sid><holder>%s</holder><autorun></autorun></schedule>\r\n' \
    "$2" "$3" "$4" "$5" | iconv -f UTF-8 -t CP932 > "$1"
}

t_computer_name() { wine cmd /c 'echo %COMPUTERNAME%' 2>/dev/null </dev/null | tr -d '\r' | tr a-z A-Z; }
