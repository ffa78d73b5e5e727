#!/usr/bin/env bash
# The board status window "ソラネクボード情報" of OVD.DLL (simulated card): hidden while
# the reception is good, popped up without focus when a problem follows a good
# state, its fields filled from the driver once a second, and "再接続" sending
# the service id and tag id again.
set -uo pipefail
. "$(dirname "$0")/lib/ovd.sh"
ovd_init
WDRV="$WIN_BIN/tests/wine/driver/wdrv.exe"
[ -e "$WDRV" ] || fail "missing $WDRV"
TITLE='ソラネクボード情報'
wdrv() { wine "$WDRV" "$@" 2>/dev/null </dev/null | tr -d '\r'; }

sim_start --id "$OVD_ID" --sid 100 --install --active 1 --flags 0x000E0004 --counter 5000 --rate 20480

wine "$OVDTOOL" init set-sid 291 wait 20000 close > "$WORK/tool.out" 2>&1 </dev/null &
T=$!
wine "$WDRV" wait "$TITLE" 10000 >/dev/null 2>&1 </dev/null || fail "no status window"
# The rate needs five seconds of readings.
for _ in $(seq 100); do [ "$(wdrv text "$TITLE" 1007)" != "0.0" ] && break; sleep 0.1; done
rate=$(wdrv text "$TITLE" 1007)
[[ "$rate" =~ ^(1[5-9]|2[0-5])\.[0-9]$ ]] || fail "transfer rate '$rate' (20 KBytes/Sec sent)"
wine "$WDRV" visible "$TITLE" >/dev/null 2>&1 </dev/null && fail "the window shows while the reception is good"
[ "$(wdrv text "$TITLE" 1004)" = "受信中" ] || fail "status text: $(wdrv text "$TITLE" 1004)"
amount=$(wdrv text "$TITLE" 1005)
[[ "$amount" =~ ^[0-9]+\.[0-9]$ ]] && [ "${amount%.*}" -ge 80 ] || fail "received amount '$amount'"
[ "$(wdrv text "$TITLE" 1002)" -ge 5 ] || fail "elapsed seconds '$(wdrv text "$TITLE" 1002)'"

note "a scrambled service after a good state pops the window up"
wine "$BOARDSIM" --update --flags 0x000E0001 >/dev/null 2>&1 </dev/null || fail "boardsim --update"
wine "$WDRV" wait "$TITLE" 5000 visible >/dev/null 2>&1 </dev/null || fail "the window did not pop up"
[ "$(wdrv text "$TITLE" 1004)" = "スクランブル" ] || fail "status text: $(wdrv text "$TITLE" 1004)"
card_log_clear
wine "$WDRV" click "$TITLE" 1006 >/dev/null 2>&1 </dev/null || fail "click 再接続"
sleep 1
[ "$(card_commands)" = "command 0xFF010223 16675 8" ] || fail "再接続 sent: $(card_log)"

note "a good state hides it again"
wine "$BOARDSIM" --update --flags 0x000E0004 >/dev/null 2>&1 </dev/null || fail "boardsim --update"
wine "$WDRV" wait "$TITLE" 5000 visible >/dev/null 2>&1 </dev/null || true
for _ in $(seq 50); do wine "$WDRV" visible "$TITLE" >/dev/null 2>&1 </dev/null || break; sleep 0.1; done
wine "$WDRV" visible "$TITLE" >/dev/null 2>&1 </dev/null && fail "the window stays after the reception recovered"
wait "$T" || fail "ovdtool: $(cat "$WORK/tool.out")"
echo "ok"
