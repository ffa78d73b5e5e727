# Shared by the ovd_*.sh tests: the simulated card (boardsim.exe), the
# simulated-card OVD.DLL and ovdtool.exe, all in $WIN_BIN/ovd/sim (the real
# build, $WIN_BIN/ovd/OVD.DLL, finds no card here). Each test sources
# this file, calls ovd_init, and leaves no boardsim and no adapter key behind.
set -uo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/base.sh"

OVD_ADAPTER_KEY='HKLM\System\CurrentControlSet\Services\Class\Net'
OVD_ID=0102030405060708090A
OVD_MAC='00-50-9F-FF-FE-C3-7D-05'   # of OVD_ID, worked by hand


ovd_init() {
  : "${WIN_BIN:?}"
  OVD_DIR="$WIN_BIN/ovd/sim"
  BOARDSIM="$OVD_DIR/boardsim.exe"
  OVDTOOL="$OVD_DIR/ovdtool.exe"
  for f in "$BOARDSIM" "$OVDTOOL" "$OVD_DIR/OVD.DLL"; do [ -e "$f" ] || fail "missing $f"; done
  WORK=$(mktemp -d /tmp/ovd_test.XXXXXX)
  SIM_PID=
  trap ovd_cleanup EXIT
  # A card left by an earlier run would answer in our place.
  wine "$BOARDSIM" --stop >/dev/null 2>&1 </dev/null
  ovd_clear_registry
  export LV_DEBUG_LOG="$(winpath "$WORK/debug.log")"
}

ovd_clear_registry() {
  local i
  for i in 0000 0001 0002 0003 0004 0005 0006 0007 0008 0009; do
    wine reg delete "$OVD_ADAPTER_KEY\\$i" /f >/dev/null 2>&1 </dev/null
  done
}

ovd_cleanup() {
  # Programs a failed step left running would hold the card's section.
  local job
  for job in $(jobs -p); do [ "$job" != "${SIM_PID:-}" ] && kill "$job" 2>/dev/null; done
  sim_stop
  ovd_clear_registry
  rm -rf "$WORK"
}

# sim_start ARGS...: starts boardsim (log in $WORK/card.log) and waits until
# the card can be found.
sim_start() {
  : > "$WORK/sim.out"
  wine "$BOARDSIM" --log "$(winpath "$WORK/card.log")" "$@" > "$WORK/sim.out" 2>&1 </dev/null &
  SIM_PID=$!
  for _ in $(seq 100); do
    grep -q 'boardsim: ready' "$WORK/sim.out" && return 0
    kill -0 "$SIM_PID" 2>/dev/null || fail "boardsim ended at start: $(cat "$WORK/sim.out")"
    sleep 0.1
  done
  fail "boardsim did not become ready"
}

sim_stop() {
  [ -n "${SIM_PID:-}" ] || return 0
  wine "$BOARDSIM" --stop >/dev/null 2>&1 </dev/null
  for _ in $(seq 50); do kill -0 "$SIM_PID" 2>/dev/null || break; sleep 0.1; done
  kill "$SIM_PID" 2>/dev/null
  wait "$SIM_PID" 2>/dev/null
  SIM_PID=
}

# ovdtool COMMAND...: runs ovdtool.exe, output (without CR) in $OUT.
ovdtool() {
  OUT=$(wine "$OVDTOOL" "$@" 2>&1 </dev/null | tr -d '\r')
}

# expect_line LINE: $OUT has exactly this line.
expect_line() { grep -qxF -- "$1" <<<"$OUT" || fail "expected '$1' in:
$OUT"; }

# The card's log lines (open, close, command ...).
card_log() { tr -d '\r' < "$WORK/card.log"; }
card_commands() { card_log | grep '^command ' || true; }
# Empties the card's log between steps.
card_log_clear() { : > "$WORK/card.log"; }
