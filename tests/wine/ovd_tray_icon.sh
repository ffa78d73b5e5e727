#!/usr/bin/env bash
# The board library's tray icon (shown by the status window of the process that
# owns it) outlives the shell: a restarted shell ("TaskbarCreated") gets it
# again, and a new shell that is not ready at once gets it once it is.
set -uo pipefail
. "$(dirname "$0")/lib/ovd.sh"
ovd_init
WDRV="$WIN_BIN/tests/wine/driver/wdrv.exe"
[ -e "$WDRV" ] || fail "missing $WDRV"
. "$(dirname "$0")/lib/shell.sh"
trap 'shell_end_all; ovd_cleanup' EXIT
TITLE='ソラネクボード情報'

shell_start
sim_start --id "$OVD_ID" --sid 100 --install --active 1 --flags 0x000E0004
wine "$OVDTOOL" init wait 60000 close > "$WORK/tool.out" 2>&1 </dev/null &
wine "$WDRV" wait "$TITLE" 10000 >/dev/null 2>&1 </dev/null || fail "no status window"
HW=$(wine "$WDRV" find "$TITLE" 2>/dev/null </dev/null | tr -d '\r')
shell_wait_icon 10 "$HW" 1 || fail "the icon is not in the shell: $(cat "$SHELL_LOG")"

shell_icon_survives "$HW"
echo PASS
