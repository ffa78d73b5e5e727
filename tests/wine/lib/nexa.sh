# Shared by the nexa_*.sh tests: a private folder holding a copy of nexa.exe
# (and OVD.DLL when a test wants the board library), the selector's and the
# routing driver's registry keys, a board interface (one end of a veth pair in
# the test namespace), and starting and ending the real program. Each test
# sources this file, calls n_init and leaves no nexa running.
set -uo pipefail

NKEY='HKLM\Software\nexa\config'
RKEY='HKLM\System\CurrentControlSet\Services\VxD\MRELAY'
# A fresh interface name for every test: Wine keeps what it learnt about an
# interface name for the life of the wineserver, so a name made again with
# another MAC would show the old one's address.
BOARD_IF=nx$$
BOARD_PEER=nxp$$
BOARD_ADDR=198.18.0.2

. "$(dirname "${BASH_SOURCE[0]}")/base.sh"
fail() { echo "FAIL: $*" >&2; [ -n "${NLOG:-}" ] && [ -e "$NLOG" ] && sed 's/^/  log: /' "$NLOG" >&2; exit 1; }

n_init() {
  : "${WIN_BIN:?}" "${NATIVE_BIN:?}" "${SRC:?}"
  WDRV="$WIN_BIN/tests/wine/driver/wdrv.exe"
  HEADEND="$NATIVE_BIN/tools/headend/headend"
  CHANLIST="$NATIVE_BIN/tools/chanlist/chanlist"
  for f in "$WIN_BIN/selector/win/nexa.exe" "$WDRV" "$HEADEND" "$CHANLIST"; do [ -e "$f" ] || fail "missing $f"; done
  WORK=$(mktemp -d /tmp/nexa_test.XXXXXX)
  mkdir -p "$WORK/bin"
  cp "$WIN_BIN/selector/win/nexa.exe" "$WORK/bin/"
  NEXA="$WORK/bin/nexa.exe"
  NLOG="$WORK/nexa.log"
  export LV_DEBUG_LOG
  LV_DEBUG_LOG=$(winpath "$NLOG")
  NPID=
  EXTRA_PIDS=
  trap n_cleanup EXIT
  wine reg delete "$NKEY" /f >/dev/null 2>&1 </dev/null
  wine reg delete "$RKEY" /f >/dev/null 2>&1 </dev/null
  wine reg add "$NKEY" /v Mode /t REG_BINARY /d 00000000 /f >/dev/null 2>&1 </dev/null || fail "reg add Mode"
  # The routing driver's setup makes its key; nexa only opens it.
  wine reg add "$RKEY" /f >/dev/null 2>&1 </dev/null || fail "reg add $RKEY"
}

n_cleanup() {
  for p in $EXTRA_PIDS; do kill "$p" 2>/dev/null; done
  if [ -n "$NPID" ] && kill -0 "$NPID" 2>/dev/null; then
    wine "$WDRV" post NEXA 105 >/dev/null 2>&1 </dev/null
    for _ in $(seq 50); do kill -0 "$NPID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$NPID" 2>/dev/null && wine taskkill /IM nexa.exe /F >/dev/null 2>&1 </dev/null
    kill "$NPID" 2>/dev/null
  fi
  wait 2>/dev/null
  ip link del "$BOARD_IF" 2>/dev/null
  wine reg delete "$NKEY" /f >/dev/null 2>&1 </dev/null
  wine reg delete "$RKEY" /f >/dev/null 2>&1 </dev/null
  rm -rf "$WORK"
}


# The board interface: MAC $1 (aa:bb:...), IPv4 $BOARD_ADDR. Wine lists a veth
# end with its MAC and address (a dummy interface it does not list at all).
n_board_interface() {
  ip link del "$BOARD_IF" 2>/dev/null
  ip link add "$BOARD_IF" type veth peer name "$BOARD_PEER" || fail "cannot make a veth pair"
  ip link set "$BOARD_IF" address "$1" || fail "MAC $1"
  ip addr add "$BOARD_ADDR/24" dev "$BOARD_IF"
  ip link set "$BOARD_IF" up
  ip link set "$BOARD_PEER" up
  ip link set "$BOARD_IF" multicast on
}

n_reg() {  # NAME TYPE DATA
  wine reg add "$NKEY" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1 </dev/null || fail "reg add $1"
}

# Value data as `reg query` prints it (0x... for numbers, hex digits for binary).
reg_value() {  # KEY NAME
  wine reg query "$1" /v "$2" 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 |
    awk -v name="$2" 'index($0, name) { print $NF }' | tr -d '\r'
}

# The routing driver's wanted sessions: ADDR:PORT... as 12-byte records.
n_sessions() {
  local hex="" s a p
  for s in "$@"; do
    a=${s%:*}; p=${s##*:}
    hex+=$(printf '%02x%02x%02x%02x' $(echo "$a" | tr . ' '))
    hex+=00000000
    hex+=$(printf '%02x%02x%02x%02x' $((p & 255)) $(((p >> 8) & 255)) 0 0)
  done
  wine reg add "$RKEY" /v "multicast sessions" /t REG_BINARY /d "$hex" /f >/dev/null 2>&1 </dev/null ||
    fail "reg add multicast sessions"
}

# A plain channel list (UTF-8 text on stdin) scrambled into $WORK/channels.dat, named by "Path".
n_channel_list() {
  cat > "$WORK/channels.txt"
  "$CHANLIST" scramble "$WORK/channels.txt" "$WORK/channels.dat" --utf8 --seed 77 >/dev/null || fail "chanlist"
  n_reg Path REG_SZ "$(winpath "$WORK/channels.dat")"
}

# Starts nexa.exe with arguments; waits until its start has ended: 0 when the
# listener runs, 1 when the start failed (its message is up, or it ended).
n_start() {
  : > "$NLOG"
  wine "$NEXA" "$@" >/dev/null 2>&1 </dev/null &
  NPID=$!
  for _ in $(seq 150); do
    grep -q 'nexa: listener on' "$NLOG" 2>/dev/null && return 0
    grep -q 'nexa: start ends with message' "$NLOG" 2>/dev/null && return 1
    kill -0 "$NPID" 2>/dev/null || return 1
    sleep 0.2
  done
  fail "nexa.exe did not finish its start"
}

# Waits up to $1 seconds for a log line matching the pattern $2.
n_wait_log() {
  for _ in $(seq $(($1 * 5))); do grep -q -- "$2" "$NLOG" 2>/dev/null && return 0; sleep 0.2; done
  return 1
}

n_exit() {
  wine "$WDRV" post NEXA 105 >/dev/null 2>&1 </dev/null || fail "no NEXA window to end"
  for _ in $(seq 100); do
    kill -0 "$NPID" 2>/dev/null || { wait "$NPID"; NPID=; return 0; }
    sleep 0.1
  done
  fail "nexa.exe did not end on command 105"
}
