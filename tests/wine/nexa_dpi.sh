#!/usr/bin/env bash
# The selector on a 96- and a 144-dpi screen (the prefix's LogPixels):
# declared DPI-aware, it gives the notification area an icon of the system's
# small size there, 16 and 24 pixels, when it starts and when the icon changes.
. "$(dirname "$0")/lib/nexa.sh"
. "$(dirname "$0")/lib/shell.sh"
n_init
trap 'shell_end_all; n_cleanup' EXIT
n_board_interface aa:aa:aa:aa:aa:aa

for dpi in 96 144; do
  note "at $dpi dpi"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1 </dev/null ||
    fail "LogPixels $dpi"
  shell_start
  n_start || fail "nexa.exe ended at start"
  HW=$(wine "$WDRV" find NEXA 2>/dev/null </dev/null | tr -d '\r')
  [ -n "$HW" ] || fail "no window NEXA"
  shell_wait_icon 5 "$HW" 1 || fail "the icon is not in the shell: $(cat "$SHELL_LOG")"
  size=$((16 * dpi / 96))
  grep -qi "^add $HW 1 taken icon ${size}x${size}" "$SHELL_LOG" ||
    fail "not a ${size}-pixel icon at $dpi dpi: $(cat "$SHELL_LOG")"
  if grep -qi "^modify $HW 1 .* icon" "$SHELL_LOG"; then
    grep -i "^modify $HW 1 .* icon" "$SHELL_LOG" | grep -qvi "icon ${size}x${size}" &&
      fail "a changed icon of another size at $dpi dpi: $(cat "$SHELL_LOG")"
  fi
  n_exit
  shell_end
done
echo PASS
