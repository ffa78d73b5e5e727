#!/usr/bin/env bash
# The zoom commands of the View menu in the real Tavora.exe: after each the
# cells of known programs sit where the grid arithmetic puts them (ten minutes
# are charHeight + vZoom + 4 high, a 100 % column (hZoom / 2 + 10) x charWidth
# + 4 wide); the zoom and font size are stored and taken up again after a
# restart; raising the vertical zoom past the 32000-pixel height turns the
# 24-hour mode on, lowering it turns it off again; the commands stop at their
# limits.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
tt_local_week </dev/null
t_start
sleep 1

# Programs of 局2 on the first day: 1002 (+20 min, an hour) and 1005 (+110 min).
FIRST=$((DAY_START + 1200))
SECOND=$((DAY_START + 6600))

# check_cells WHAT: both programs' cells against the geometry the grid reports.
check_cells() {
  local dump line scroll_y slot unit ch v h cw hours want_slot want_unit
  dump=$(tt_dump)
  read -r _ _ _ scroll_y _ _ _ _ slot _ unit _ hours _ cw ch _ _ _ v h _ <<<"$(grep '^cells scroll' <<<"$dump")"
  want_slot=$((ch + v + 4))
  [ $((want_slot * 6 * hours)) -gt 32000 ] && want_slot=$((want_slot * 32000 / (want_slot * 6 * hours)))
  [ "$slot" = "$want_slot" ] || fail "$1: ten minutes are $slot pixels, expected $want_slot (char $ch, vZoom $v)"
  want_unit=$(( (h / 2 + 10) * cw + 4 ))
  [ "$unit" = "$want_unit" ] || fail "$1: a 100 % column is $unit pixels, expected $want_unit (char $cw, hZoom $h)"
  for t in $FIRST $SECOND; do
    line=$(awk -v n=$(( t == FIRST ? 1002 : 1005 )) '$1 == "cell" && $2 == n' <<<"$dump")
    [ -n "$line" ] || fail "$1: the program at $(date -d @$t +%H:%M) is not in view: $dump"
    read -r _ _ _ _ _ _ _ _ l top r bottom _ <<<"$line"
    [ $((top + scroll_y)) = $(( (t - DAY_START) / 60 * slot / 10 )) ] ||
      fail "$1: the cell at $(date -d @$t +%H:%M) starts at $((top + scroll_y)), not $(( (t - DAY_START) / 60 * slot / 10 ))"
    [ $((bottom - top)) -ge $((6 * slot - 1)) ] && [ $((bottom - top)) -le $((6 * slot + 1)) ] ||
      fail "$1: an hour's cell is $((bottom - top)) high with ten minutes of $slot"
    [ $((r - l)) = "$unit" ] || fail "$1: the cell is $((r - l)) wide, the column $unit"
  done
  SLOT=$slot UNIT=$unit CHAR_H=$ch HOURS=$hours
}

note "the grid at zoom 0"
check_cells "zoom 0"
slot0=$SLOT unit0=$UNIT char0=$CHAR_H
note "ten minutes $SLOT px, a column $UNIT px, $HOURS hours, character $CHAR_H px high"

note "縦拡大 and 縦縮小"
t_post 32793
sleep 0.5
check_cells "vertical zoom in"
[ "$SLOT" = $((slot0 + 2)) ] || fail "縦拡大 made ten minutes $SLOT, not $((slot0 + 2))"
t_post 32794
sleep 0.5
check_cells "vertical zoom out"
[ "$SLOT" = "$slot0" ] || fail "縦縮小 left ten minutes at $SLOT"

note "横拡大 and 横縮小"
t_post 32795
sleep 0.5
check_cells "horizontal zoom in"
[ "$UNIT" -gt "$unit0" ] || fail "横拡大 left the column at $UNIT"
t_post 32796
sleep 0.5
check_cells "horizontal zoom out"
[ "$UNIT" = "$unit0" ] || fail "横縮小 left the column at $UNIT"

note "フォント拡大 measures the font again"
t_post 32791
sleep 0.5
check_cells "font bigger"
[ "$CHAR_H" -gt "$char0" ] || fail "フォント拡大 left the character $CHAR_H high"
char1=$CHAR_H

note "zoom and font size are stored and taken up after a restart"
t_post 32793
t_post 32795
sleep 0.5
check_cells "both zoomed"
t_exit
[ "$(t_reg_query Environment VZoomCnt)" = 0x2 ] || fail "VZoomCnt: $(t_reg_query Environment VZoomCnt)"
[ "$(t_reg_query Environment HZoomCnt)" = 0x2 ] || fail "HZoomCnt: $(t_reg_query Environment HZoomCnt)"
[ "$(t_reg_query Environment FontSize)" = 0x12 ] || fail "FontSize: $(t_reg_query Environment FontSize)"
t_start
sleep 1
check_cells "after the restart"
[ "$(tt_geometry zoom)" = '2 2' ] || fail "zoom after the restart: $(tt_geometry zoom)"
[ "$CHAR_H" = "$char1" ] || fail "the font after the restart is $CHAR_H high, not $char1"

note "縦拡大 up to the 32000-pixel height turns the 24-hour mode on"
hours=$HOURS v=2
while [ $(( (char1 + v + 4) * 6 * hours )) -le 32000 ]; do
  [ "$(tt_geometry mode24)" = 0 ] || fail "24-hour mode at vZoom $v, height $(( (char1 + v + 4) * 6 * hours ))"
  t_post 32793
  v=$((v + 2))
  sleep 0.3
  [ $v -le 64 ] || fail "the height never passes 32000"
done
[ "$(tt_geometry zoom)" = "$v 2" ] || fail "zoom: $(tt_geometry zoom), expected $v 2"
[ "$(tt_geometry mode24)" = 1 ] || fail "no 24-hour mode at vZoom $v, height $(( (char1 + v + 4) * 6 * hours ))"
[ "$(tt_geometry hours)" = 24 ] || fail "the 24-hour mode shows $(tt_geometry hours) hours"
[ "$(tt_geometry slot)" = $((char1 + v + 4)) ] || fail "24-hour ten minutes: $(tt_geometry slot)"
t_post 32794
sleep 0.3
[ "$(tt_geometry mode24)" = 0 ] || fail "縦縮小 below the limit kept the 24-hour mode"

note "the zoom and font commands stop at their limits"
t_post_times 40 32794 32796
t_post_times 12 32792
sleep 1
[ "$(tt_geometry zoom)" = '-8 -8' ] || fail "縦縮小 and 横縮小 went to $(tt_geometry zoom), not -8 -8"
check_cells "smallest zoom and font"
[ "$CHAR_H" -lt "$char0" ] || fail "フォント縮小 left the character $CHAR_H high"
t_post_times 40 32793
sleep 1
[ "$(tt_geometry zoom)" = '64 -8' ] || fail "縦拡大 went to $(tt_geometry zoom | cut -d' ' -f1), not 64"
[ "$(tt_geometry mode24)" = 1 ] || fail "no 24-hour mode at vZoom 64"
t_exit
[ "$(t_reg_query Environment FontSize)" = 0xa ] || fail "the smallest font stored: $(t_reg_query Environment FontSize)"
echo PASS
