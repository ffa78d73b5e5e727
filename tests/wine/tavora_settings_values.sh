#!/usr/bin/env bash
# The settings sheet's numbers: a click on a spin arrow of the reception page
# changes its number (Prepare Time up, Timeout down) and OK stores it; a disk
# limit out of range is refused with a message that names the value and the
# range, and the sheet stays open.
. "$(dirname "$0")/lib/tavora.sh"
t_init
SHEET='環境設定'
t_start
t_post 32787
t_wait_window 10 "$SHEET" || fail "the settings sheet did not open"
t_wait_control 10 "$SHEET" 1054 || fail "the folder page did not come"

# arrow SPIN up|down: a click on that arrow of the spin control.
arrow() {
  local l t r b
  read -r l t r b <<<"$(t_wdrv rect "$SHEET" "$1")" || fail "no spin control $1"
  local x=$(((r - l) / 2)) y=3
  [ "$2" = down ] && y=$((b - t - 3))
  t_wdrv mouse "$SHEET" "$1" $x $y left >/dev/null || fail "no click on $1"
}
until_text() {  # CONTROL TEXT
  for _ in $(seq 25); do [ "$(t_wdrv text "$SHEET" "$1")" = "$2" ] && return 0; sleep 0.2; done
  return 1
}

note "reception page: the spin arrows change the numbers"
t_wdrv tab "$SHEET" 1052 2
until_text 1093 60 || fail "Prepare Time shows $(t_wdrv text "$SHEET" 1093)"
until_text 1110 600 || fail "Timeout shows $(t_wdrv text "$SHEET" 1110)"
arrow 1094 up
until_text 1093 61 || fail "the up arrow of 1094 left $(t_wdrv text "$SHEET" 1093)"
arrow 1111 down
until_text 1110 599 || fail "the down arrow of 1111 left $(t_wdrv text "$SHEET" 1110)"
t_wdrv click "$SHEET" 1 >/dev/null
t_wdrv wait "$SHEET" 5000 gone >/dev/null || fail "OK did not close the sheet"
[ "$(t_reg_query Environment 'Prepare Time')" = 0x3d ] || fail "Prepare Time stored as $(t_reg_query Environment 'Prepare Time')"
[ "$(t_reg_query Environment Timeout)" = 0x257 ] || fail "Timeout stored as $(t_reg_query Environment Timeout)"

note "folder page: a disk limit of 5000 MB is refused by name"
t_post 32787
t_wait_window 10 "$SHEET" || fail "the settings sheet did not open again"
t_wait_control 10 "$SHEET" 1054 || fail "the folder page did not come"
[ "$(t_wdrv checked "$SHEET" 1015)" = 1 ] || fail "the disk limit is not on"
t_wdrv settext "$SHEET" 1187 5000 >/dev/null || fail "no edit 1187"
t_wdrv click "$SHEET" 1 >/dev/null
box=
# The message box bears the sheet's title: until it comes, the sheet answers.
for _ in $(seq 50); do
  box=$(t_wdrv controls "$SHEET")
  grep -q '"5000" は使えません' <<<"$box" && break
  sleep 0.2
done
grep -q '"5000" は使えません' <<<"$box" || fail "no message naming the value: $box"
grep -q '1～1000 の範囲' <<<"$box" || fail "the message does not give the range: $box"
t_wdrv post "$SHEET" 1 >/dev/null
for _ in $(seq 25); do [ "$(t_wdrv count "$SHEET")" = 1 ] && break; sleep 0.2; done
[ "$(t_wdrv count "$SHEET")" = 1 ] || fail "the sheet closed, or the message stayed"
[ "$(t_reg_query Environment 'Disk space limit')" != 0x1388 ] || fail "5000 was stored"
t_wdrv click "$SHEET" 2 >/dev/null
t_wdrv wait "$SHEET" 5000 gone >/dev/null || fail "ｷｬﾝｾﾙ did not close the sheet"
t_exit
echo PASS
