#!/usr/bin/env bash
# Start and end of nexa.exe without the board library: the board address is
# then eight 0xAA bytes, so a board interface with MAC aa:aa:aa:aa:aa:aa is
# found; "multicast interface" holds its address while nexa runs and 0 after,
# "Mode" is written back, and the unit's selector check finds the window.
. "$(dirname "$0")/lib/nexa.sh"
n_init
n_board_interface aa:aa:aa:aa:aa:aa
n_reg Mode REG_BINARY 02000000

note "start: the interface is found and handed to the routing driver"
n_start || fail "nexa.exe ended at start"
grep -q "interface $BOARD_ADDR" "$NLOG" || fail "interface not found"
[ "$(reg_value "$RKEY" "multicast interface")" = 0x20012c6 ] || fail "multicast interface is $(reg_value "$RKEY" "multicast interface")"
wine "$WDRV" find nexa >/dev/null 2>&1 </dev/null || fail "no window nexa"
wine "$WDRV" visible NEXA >/dev/null 2>&1 </dev/null && fail "the main window is visible"

note "exit: Mode written back, the interface cleared"
wine reg add "$NKEY" /v Mode /t REG_BINARY /d 01000000 /f >/dev/null 2>&1 </dev/null
n_exit
[ "$(reg_value "$RKEY" "multicast interface")" = 0x0 ] || fail "multicast interface not cleared"
[ "$(reg_value "$NKEY" Mode)" = 02000000 ] || fail "Mode is $(reg_value "$NKEY" Mode), not the 2 read at start"
wine "$WDRV" find nexa >/dev/null 2>&1 </dev/null && fail "window left behind"
echo PASS
