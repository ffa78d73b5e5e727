#!/usr/bin/env bash
# nexa.exe with the board library (simulated OVD.DLL) and the simulated card:
# the board interface is found from the card's address (00:50:9F + bytes 5-7)
# and handed to the routing driver; wanted sessions tune the card, seen as
# set-stream commands (0xFF010223, service id OR 0x4000) in boardsim's log:
# the matching channel with OvdSetSid alone while "TagID" is absent, with the
# tag through OvdSetSid2 when it is set, the default channel when nothing
# matches; "いいえ" to the question sends nothing; the driver is closed at exit.
. "$(dirname "$0")/lib/nexa.sh"
n_init
OVD_BIN=${OVD_BIN:-$WIN_BIN/ovd/sim}
BOARDSIM="$OVD_BIN/boardsim.exe"
for f in "$BOARDSIM" "$OVD_BIN/OVD.DLL"; do [ -e "$f" ] || fail "missing $f"; done
cp "$OVD_BIN/OVD.DLL" "$WORK/bin/"
CARD_ID=0102030405060708090A      # card address 00-50-9F-FF-FE-C3-7D-05
CARD_LOG="$WORK/card.log"
SIM_PID=
sim_stop() {
  [ -n "$SIM_PID" ] || return 0
  wine "$BOARDSIM" --stop >/dev/null 2>&1 </dev/null
  for _ in $(seq 50); do kill -0 "$SIM_PID" 2>/dev/null || break; sleep 0.1; done
  kill "$SIM_PID" 2>/dev/null
  SIM_PID=
  wine "$BOARDSIM" --uninstall >/dev/null 2>&1 </dev/null
}
trap 'sim_stop; n_cleanup' EXIT
wine "$BOARDSIM" --stop >/dev/null 2>&1 </dev/null
wine "$BOARDSIM" --id "$CARD_ID" --sid 1 --install --log "$(winpath "$CARD_LOG")" > "$WORK/sim.out" 2>&1 </dev/null &
SIM_PID=$!
for _ in $(seq 100); do grep -q 'boardsim: ready' "$WORK/sim.out" && break; sleep 0.1; done
grep -q 'boardsim: ready' "$WORK/sim.out" || fail "boardsim not ready: $(cat "$WORK/sim.out")"
n_board_interface 00:50:9f:c3:7d:05

set_stream() { tr -d '\r' < "$CARD_LOG" | grep -c "^command 0xff010223 $1 $2\$" -i; }
wait_card() {  # SECONDS SID WORD3-REGEX
  for _ in $(seq $(($1 * 5))); do [ "$(set_stream "$2" "$3")" -ge 1 ] && return 0; sleep 0.2; done
  return 1
}

n_channel_list <<'LIST'
default 100 既定の局
239.1.2.0/24:* 21 BS21
239.1.3.0/24:* 22 BS22
LIST

note "start: the card's interface goes to the routing driver"
n_reg Mode REG_BINARY 00000000
n_start || fail "nexa.exe ended at start"
grep -q 'OVD.DLL level 512, ready' "$NLOG" || fail "the library was not bound at level 512"
grep -q "interface $BOARD_ADDR" "$NLOG" || fail "board interface not found"
[ "$(reg_value "$RKEY" "multicast interface")" = 0x20012c6 ] || fail "multicast interface not written"

note "Mode 0, TagID absent: OvdSetSid alone tunes the matching channel"
: > "$CARD_LOG"
n_sessions 239.1.2.5:5000
wait_card 5 $((21 | 0x4000)) '[0-9]*' || fail "no set-stream for channel 21: $(cat "$CARD_LOG")"
grep -q 'OvdSetSid2\|OvdSetTagId' "$NLOG" && fail "a tag id was set although TagID is absent"

note "no matching session: the default channel"
n_sessions 239.9.9.9:1
wait_card 5 $((100 | 0x4000)) '[0-9]*' || fail "no set-stream for the default channel 100"
n_exit
tr -d '\r' < "$CARD_LOG" | grep -qi '^command 0xff010222' || fail "the driver was not closed at exit"
[ "$(reg_value "$RKEY" "multicast interface")" = 0x0 ] || fail "multicast interface not cleared"

note "TagID 5: the tag goes with the service id"
n_reg TagID REG_DWORD 5
wine reg delete "$RKEY" /v "multicast sessions" /f >/dev/null 2>&1 </dev/null
: > "$CARD_LOG"
n_start || fail "nexa.exe ended at start"
n_sessions 239.1.3.7:1
wait_card 5 $((22 | 0x4000)) 5 || fail "no set-stream for channel 22 with tag 5: $(cat "$CARD_LOG")"
grep -q 'OvdSetSid2(22, 5) = 0' "$NLOG" || fail "not set through OvdSetSid2"
n_exit

note "Mode 1: いいえ keeps the card where it is"
wine reg delete "$NKEY" /v TagID /f >/dev/null 2>&1 </dev/null
n_reg Mode REG_BINARY 01000000
n_sessions 239.1.2.5:5000
n_start || fail "nexa.exe ended at start"
wait_card 5 $((21 | 0x4000)) '[0-9]*' || fail "channel 21 not set at the first match"
: > "$CARD_LOG"
n_sessions 239.1.3.5:5000 239.1.2.5:5000
wine "$WDRV" wait 'dialog:NEXA - チャンネル切り替え' 10000 >/dev/null 2>&1 </dev/null || fail "no question"
wine "$WDRV" click 'dialog:NEXA - チャンネル切り替え' 7 >/dev/null 2>&1 </dev/null || fail "cannot answer いいえ"
n_wait_log 5 'answer no' || fail "the answer did not arrive"
sleep 2
[ "$(set_stream $((22 | 0x4000)) '[0-9]*')" = 0 ] || fail "the card was switched to 22 after いいえ"
n_exit
echo PASS
