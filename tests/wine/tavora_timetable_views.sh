#!/usr/bin/env bash
# The timetable's views in the real Tavora.exe: columns by channel and by
# category, the 24-hour mode, the hover colour of a reserve button and the
# name bubble of a short program. With SHOTS=DIR the pictures of the README
# are kept there (by channel, by category, 24-hour mode, hover bubble).
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
shot() { [ -n "${SHOTS:-}" ] && import -window root "$SHOTS/$1.png"; return 0; }
now=$(date +%s)
start=$((now - now % 60))
{
  tt_program 601 1 $((start + 600)) $((start + 900)) '短い番組にとても長い名前が付いています' '局A' 'ニュース'
  tt_program 602 1 $((start + 1200)) $((start + 4800)) '天気予報と今日のニュース' '局B' 'スポーツ'
} | tt_local_week

t_start
sleep 1

note "by channel"
titles=$(t_wdrv text "$TWIN" class:TavoraTitles)
[ "$(tr '|' '\n' <<<"$titles" | sort | tr '\n' ' ')" = "局1 局2 局3 局A 局B " ] || fail "channel headings: '$titles'"
wide=$(tt_cell 602 1)
[ -n "$wide" ] || fail "the coming program is not in view: $(tt_cells)"
shot timetable_by_channel

note "the hover colour of a reserve button"
tt_unhover
[ "$(tt_pixel $(tt_cell_corner "$wide"))" = C0C0C0 ] || fail "normal: $(tt_pixel $(tt_cell_corner "$wide"))"
t_wdrv mouse "$TWIN" $GRID $(tt_button_centre "$wide") move >/dev/null
sleep 0.5
[ "$(tt_pixel $(tt_cell_corner "$wide"))" = F0F0F0 ] || fail "hover: $(tt_pixel $(tt_cell_corner "$wide"))"
tt_unhover

note "the name bubble of a short program"
short=$(tt_cell 601 1)
[ -n "$short" ] || fail "the short program is not in view"
read -r gl gt _ <<<"$(t_wdrv rect "$TWIN" $GRID)"
read -r sx sy <<<"$(awk '{ print int(($9 + $11) / 2), int(($10 + $12) / 2) }' <<<"$short")"
bubbled() { grep -q 'timetable: name bubble for 601-1' "$LV_DEBUG_LOG"; }
xdotool mousemove $((gl + sx)) $((gt + sy)) 2>/dev/null
for _ in $(seq 30); do bubbled && break; sleep 0.2; done
sleep 0.3
shot timetable_hover_bubble
bubbled || fail "no name bubble over the short program"
xdotool mousemove 5 5 2>/dev/null

note "by category"
t_post 32773
sleep 0.5
titles=$(t_wdrv text "$TWIN" class:TavoraTitles)
[ "$(tr '|' '\n' <<<"$titles" | sort | tr '\n' ' ')" = "スポーツ ニュース 分類0 分類1 分類2 " ] ||
  fail "category headings: '$titles'"
shot timetable_by_category
t_post 32775

note "24-hour mode"
before=$(tt_cell 602 1)
t_post 32817
sleep 0.5
after=$(tt_cell 602 1)
[ -n "$after" ] || fail "the program left the view in 24-hour mode: $(tt_cells)"
h1=$(awk '{ print $12 - $10 }' <<<"$before")
h2=$(awk '{ print $12 - $10 }' <<<"$after")
[ "$h2" -gt "$h1" ] || fail "24-hour mode did not enlarge the hour: $h1 -> $h2"
shot timetable_24_hour_mode
t_post 32817
t_exit
echo PASS
