#!/usr/bin/env bash
# Failed starts end with their numbered message (caption "NEXA"), which stays
# until it is answered, and leave the routing driver's interface value alone:
#   a shell that refuses the tray icon (the window's creation fails) -> 003,
#   no board library and no interface with the 0xAA address -> 004,
#   the selector's key missing                              -> 005,
#   the routing driver's key missing                        -> 006 (and no key made).
. "$(dirname "$0")/lib/nexa.sh"
. "$(dirname "$0")/lib/shell.sh"
n_init
trap 'shell_end_all; n_cleanup' EXIT

expect_message() {  # NUMBER
  wine "$WDRV" wait dialog:NEXA 15000 >/dev/null 2>&1 </dev/null || fail "no message $1"
  local text
  text=$(wine "$WDRV" controls dialog:NEXA 2>/dev/null </dev/null | tr -d '\r')
  echo "$text" | grep -q "$1: " || fail "expected message $1, got: $text"
  # Nothing but the answer ends it (a WM_QUIT left in the queue would).
  sleep 2
  wine "$WDRV" find dialog:NEXA >/dev/null 2>&1 </dev/null || fail "message $1 went away unanswered"
  kill -0 "$NPID" 2>/dev/null || fail "nexa.exe ended before message $1 was answered"
  wine "$WDRV" click dialog:NEXA 2 >/dev/null 2>&1 </dev/null || wine "$WDRV" click dialog:NEXA 1 >/dev/null 2>&1 </dev/null
  for _ in $(seq 50); do kill -0 "$NPID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$NPID" 2>/dev/null && fail "nexa.exe did not end after message $1"
  wait "$NPID"; rc=$?; NPID=
  [ "$rc" != 0 ] || fail "nexa.exe ended with 0 after message $1"
  [ -z "$(reg_value "$RKEY" "multicast interface")" ] || fail "multicast interface written before message $1"
}

note "the shell refuses the icon: 003"
shell_start refuse
n_start && fail "nexa.exe finished its start without its tray icon"
expect_message 003
grep -q '^add .* 1 refused' "$SHELL_LOG" || fail "the icon was not offered: $(cat "$SHELL_LOG")"
shell_end

note "no OVD.DLL, no board interface: 004"
[ -e "$WORK/bin/OVD.DLL" ] && fail "OVD.DLL beside the copy"
n_start && fail "nexa.exe finished its start without a board interface"
grep -q 'OVD.DLL not found' "$NLOG" || fail "the library was not reported missing"
wine "$WDRV" wait dialog:NEXA 15000 >/dev/null 2>&1 </dev/null || fail "no message 004"
# A failed start leaves no window and no icon behind it: "NEXAの終了" from the
# icon's menu, or anything else that ends the window, would end the message.
wine "$WDRV" post wndclass:NEXA 105 >/dev/null 2>&1 </dev/null
expect_message 004

note "the selector's key missing: 005"
n_board_interface aa:aa:aa:aa:aa:aa
wine reg delete "$NKEY" /f >/dev/null 2>&1 </dev/null
n_start && fail "nexa.exe finished its start without its key"
expect_message 005

note "the routing driver's key missing: 006, and nexa makes none"
wine reg add "$NKEY" /v Mode /t REG_BINARY /d 00000000 /f >/dev/null 2>&1 </dev/null || fail "reg add Mode"
wine reg delete "$RKEY" /f >/dev/null 2>&1 </dev/null
n_start && fail "nexa.exe finished its start without the routing driver's key"
expect_message 006
wine reg query "$RKEY" >/dev/null 2>&1 </dev/null && fail "nexa.exe made the routing driver's key"
echo PASS
