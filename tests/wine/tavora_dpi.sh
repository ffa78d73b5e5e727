#!/usr/bin/env bash
# The planner on a 96- and a 144-dpi screen (the prefix's LogPixels): declared
# DPI-aware, it measures its fonts at the screen's density and scales every
# fixed pixel with them, so at 144 the grid's ten minutes, a cell and the
# heading row are half as much again as at 96, the heading row still holds its
# font, the reservation column's heading shows "予約状況" whole, and the labels
# of dialog 149 still hold their texts. Pictures of the
# main window, the timetable by category, the 24-hour mode and dialog 149 at
# both densities are kept in $WIN_BIN/screenshots/tavora_dpi (with SHOTS=DIR
# also there: docs/screenshots holds the ones the README shows).
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
tt_local_week </dev/null
t_reg Environment 'Display days' REG_DWORD 3
t_reg Environment TestReserveProgram REG_SZ '1004-1'
t_detail_file "$WORK/hist/1004-1.spn" 239.192.7.3 24003 3 'software'
reserved=$((DAY_START + 1200))
"$RSVTOOL" make --folder "$WORK/sched" --program 1002 --sub 1 --sid 2 --address 239.192.7.2 --port 24000 \
  --start "$(minute_text $reserved)" --end "$(minute_text $((reserved + 3600)))" --name '番組 1002' \
  --storage "$(winpath "$WORK/data/p1002")" >/dev/null || fail "rsvtool make"
shots_init tavora_dpi
shots=$SHOTS_DIR
RSV='番組の予約'
IDC_RSV_FOLDER_LABEL=1027
IDC_RSV_TIME=1041

set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null ||
    fail "LogPixels $1"
  # The driver measures as a program started at this density does.
  t_wdrv_start
}
# shot NAME WINDOW: a picture of that window alone.
shot() {
  local l t r b
  read -r l t r b <<<"$(t_wdrv rect "$2")"
  [ -n "$b" ] || fail "no window $2 for the picture $1"
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$shots/$1.png" || fail "screenshot $1"
}
# fits WINDOW CONTROL DPI WHAT: the control's one-line text, in the dialog's
# declared font (9 points of MS UI Gothic) at DPI, is not clipped.
fits() {
  local w h cw ch
  read -r w h cw ch <<<"$(t_wdrv textfit "$1" "$2" 'MS UI Gothic' 9 "$3")"
  [ -n "$ch" ] || fail "$4: no measure of control $2"
  [ "$w" -le "$cw" ] && [ "$h" -le "$ch" ] || fail "$4 at $3 dpi: a text of $w x $h in a control of $cw x $ch"
  echo "$4: text $w x $h in $cw x $ch"
}

# heading_whole DPI: the reservation column's heading (the right one of the
# two corner headings; the left one is empty and gives the background) shows
# its text whole: no ink in the two pixel columns inside either edge, where a
# text wider than the heading is cut, and ink in its left and right quarters.
heading_whole() {
  local dpi=$1 heading=class:TavoraTopTitle:1 corner=class:TavoraTopTitle:0 l0 t0 r0 b0 l1 t1 r1 b1 w h back left right
  read -r l0 t0 r0 b0 <<<"$(t_wdrv rect "$TWIN" $corner)"
  read -r l1 t1 r1 b1 <<<"$(t_wdrv rect "$TWIN" $heading)"
  [ -n "$b0" ] && [ -n "$b1" ] || fail "no two corner headings at $dpi dpi"
  if [ "$l0" -gt "$l1" ]; then
    heading=class:TavoraTopTitle:0 corner=class:TavoraTopTitle:1
    read -r l0 t0 r0 b0 l1 t1 r1 b1 <<<"$l1 $t1 $r1 $b1 $l0 $t0 $r0 $b0"
  fi
  w=$((r1 - l1)) h=$((b1 - t1))
  back=$(t_wdrv pixel "$TWIN" $corner $(((r0 - l0) / 2)) $(((b0 - t0) / 2)))
  left=$(t_wdrv differ "$TWIN" "$heading" 1 1 2 $((h - 2)) "$back")
  right=$(t_wdrv differ "$TWIN" "$heading" $((w - 3)) 1 2 $((h - 2)) "$back")
  [ "$left" = 0 ] && [ "$right" = 0 ] ||
    fail "the reservation heading ($w x $h at $dpi dpi) cuts its text: $left and $right pixels of it at the edges"
  [ "$(t_wdrv differ "$TWIN" "$heading" 3 1 $((w / 4 - 3)) $((h - 2)) "$back")" -gt 0 ] &&
    [ "$(t_wdrv differ "$TWIN" "$heading" $((w * 3 / 4)) 1 $((w / 4 - 3)) $((h - 2)) "$back")" -gt 0 ] ||
    fail "the reservation heading at $dpi dpi does not show its text across its width"
  echo "reservation heading: $w x $h, text clear of both edges"
}

# One run at DPI: the geometry read from the grid's dump, the heading row and
# a cell of a known hour, and dialog 149's labels; PICTURE_SUFFIX names the shots.
declare -A char slot cell row label
run_at() {
  local dpi=$1 geometry c l t r b
  note "at $dpi dpi"
  set_dpi "$dpi"
  t_reg Environment 'Window Width' REG_DWORD $((640 * dpi / 96))
  t_reg Environment 'Window Height' REG_DWORD $((440 * dpi / 96))
  t_start
  sleep 1
  t_post 32785
  geometry=$(tt_dump | grep '^cells scroll')
  char[$dpi]=$(awk '{ for (i = 1; i < NF; ++i) if ($i == "char") print $(i + 2) }' <<<"$geometry")
  slot[$dpi]=$(awk '{ for (i = 1; i < NF; ++i) if ($i == "slot") print $(i + 1) }' <<<"$geometry")
  [ "$(t_wdrv text "$TWIN" class:TavoraTimeScale)" = "${slot[$dpi]}" ] ||
    fail "the time scale says $(t_wdrv text "$TWIN" class:TavoraTimeScale), the grid $geometry"
  c=$(tt_cell 1001 1)
  [ -n "$c" ] || fail "program 1001 is not in view at $dpi dpi: $(tt_cells)"
  cell[$dpi]=$(awk '{ print $12 - $10 }' <<<"$c")
  # An hour is six slots.
  [ "${cell[$dpi]}" = $((6 * slot[$dpi])) ] || fail "the hour of 1001 is ${cell[$dpi]} high, slot ${slot[$dpi]}"
  read -r _ t _ b <<<"$(t_wdrv rect "$TWIN" class:TavoraTitles)"
  row[$dpi]=$((b - t))
  [ "${row[$dpi]}" -ge "${char[$dpi]}" ] || fail "the heading row of ${row[$dpi]} cuts its ${char[$dpi]}-pixel font"
  echo "char ${char[$dpi]} slot ${slot[$dpi]} hour ${cell[$dpi]} heading row ${row[$dpi]}"
  heading_whole "$dpi"
  shot planner_main_window_${dpi}dpi "$TWIN"

  t_post 32773
  sleep 0.5
  shot timetable_by_category_${dpi}dpi "$TWIN"
  t_post 32775
  t_post 32817
  sleep 0.5
  shot timetable_24_hour_mode_${dpi}dpi "$TWIN"
  t_post 32817

  t_post $ID_TEST_RESERVE
  t_wait_visible 20 "$RSV" || fail "dialog 149 did not open at $dpi dpi"
  sleep 0.5
  read -r l _ r _ <<<"$(t_wdrv rect "$RSV" $IDC_RSV_FOLDER_LABEL)"
  label[$dpi]=$((r - l))
  fits "$RSV" $IDC_RSV_FOLDER_LABEL "$dpi" "the folder label"
  fits "$RSV" $IDC_RSV_TIME "$dpi" "the broadcast time"
  shot planner_reserve_dialog_${dpi}dpi "$RSV"
  t_wdrv click "$RSV" 2 >/dev/null
  t_wdrv wait "$RSV" 5000 gone >/dev/null || fail "dialog 149 did not close"
  t_exit
}

run_at 96
run_at 144

# Half as much again, within the rounding of a pixel per measure.
near_one_and_a_half() {  # WHAT AT96 AT144 SLACK
  local want2=$((3 * $2)) got2=$((2 * $3))
  [ $((got2 - want2)) -le $((2 * $4)) ] && [ $((want2 - got2)) -le $((2 * $4)) ] ||
    fail "$1 is $3 at 144 dpi against $2 at 96 (1.5 times is $((3 * $2 / 2)))"
}
near_one_and_a_half "the character height" "${char[96]}" "${char[144]}" 1
near_one_and_a_half "ten minutes" "${slot[96]}" "${slot[144]}" 1
near_one_and_a_half "an hour's cell" "${cell[96]}" "${cell[144]}" 6
near_one_and_a_half "the heading row" "${row[96]}" "${row[144]}" 1
near_one_and_a_half "dialog 149's folder label" "${label[96]}" "${label[144]}" 2
shots_keep
echo PASS
