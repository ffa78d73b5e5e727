#!/usr/bin/env bash
# The session ends (logoff, shutdown) while nexa runs: what its exit writes is
# written then, as the process may be ended without its exit running: the mode
# chosen in the settings dialog, and "multicast interface" 0.
. "$(dirname "$0")/lib/nexa.sh"
n_init
n_board_interface aa:aa:aa:aa:aa:aa
SETTINGS='dialog:NEXA - 設定'
n_reg Mode REG_BINARY 01000000
n_start || fail "nexa.exe ended at start"
[ "$(reg_value "$RKEY" "multicast interface")" = 0x20012c6 ] || fail "multicast interface is $(reg_value "$RKEY" "multicast interface")"

note "mode 2 chosen in the settings dialog"
wine "$WDRV" post NEXA 32772 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait "$SETTINGS" 10000 visible >/dev/null 2>&1 </dev/null || fail "no settings dialog"
wine "$WDRV" check "$SETTINGS" 1002 0 >/dev/null 2>&1 </dev/null
wine "$WDRV" check "$SETTINGS" 1001 1 >/dev/null 2>&1 </dev/null
wine "$WDRV" click "$SETTINGS" 1 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait "$SETTINGS" 5000 gone >/dev/null 2>&1 </dev/null || fail "OK did not close the dialog"
n_wait_log 5 'nexa: mode 2' || fail "mode 2 not taken"

note "the session ends"
wine "$WDRV" endsession NEXA >/dev/null 2>&1 </dev/null || fail "WM_ENDSESSION not delivered"
[ "$(reg_value "$NKEY" Mode)" = 02000000 ] || fail "Mode is $(reg_value "$NKEY" Mode) after the session's end, not 2"
[ "$(reg_value "$RKEY" "multicast interface")" = 0x0 ] || fail "multicast interface still $(reg_value "$RKEY" "multicast interface")"
n_exit
[ "$(reg_value "$NKEY" Mode)" = 02000000 ] || fail "Mode is $(reg_value "$NKEY" Mode) after exit"
echo PASS
