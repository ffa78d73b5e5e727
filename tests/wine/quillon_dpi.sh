#!/usr/bin/env bash
# The unit on a 96- and a 144-dpi screen (the prefix's LogPixels): declared
# DPI-aware, it gives the notification area an icon of the system's small size
# there, 16 and 24 pixels, and its main dialog grows with its font (dialog
# units). Pictures in $WIN_BIN/screenshots/quillon_dpi.
. "$(dirname "$0")/lib/quillon.sh"
. "$(dirname "$0")/lib/shell.sh"
q_init
trap 'shell_end_all; q_cleanup' EXIT
shots_init quillon_dpi
shots=$SHOTS_DIR

declare -A width
for dpi in 96 144; do
  note "at $dpi dpi"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1 </dev/null ||
    fail "LogPixels $dpi"
  shell_start
  q_start
  HW=$(wine "$WDRV" find "$QTITLE" 2>/dev/null </dev/null | tr -d '\r')
  [ -n "$HW" ] || fail "no unit window"
  shell_wait_icon 10 "$HW" 1 || fail "the icon is not in the shell: $(cat "$SHELL_LOG")"
  size=$((16 * dpi / 96))
  grep -qi "^add $HW 1 taken icon ${size}x${size}" "$SHELL_LOG" ||
    fail "not a ${size}-pixel icon at $dpi dpi: $(cat "$SHELL_LOG")"
  q_post 32771 2>/dev/null  # the window to the front, when it is hidden
  read -r l t r b <<<"$(wine "$WDRV" rect "$QTITLE" 2>/dev/null </dev/null | tr -d '\r')"
  width[$dpi]=$((r - l))
  [ "${width[$dpi]}" -gt 0 ] && import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage \
    "$shots/quillon_main_window_${dpi}dpi.png"
  q_exit
  shell_end
done
# The dialog is laid out in its font's units: half as wide again, within a few pixels of frame.
[ $((2 * width[144] - 3 * width[96])) -le 12 ] && [ $((3 * width[96] - 2 * width[144])) -le 12 ] ||
  fail "the main dialog is ${width[144]} wide at 144 dpi against ${width[96]} at 96"
shots_keep
echo PASS
