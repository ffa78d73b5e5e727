#!/usr/bin/env bash
# The timetable by series in the real Tavora.exe: the menu command and the
# headings' right-button menu switch to it; one column per series of the
# guide (programs without a series under "その他"), each program in its
# series' column, from whatever channel; hidden titles and widths are kept
# per title kind across switches and in the registry; the series group of the
# filter dialog (140) takes a series' column away and gives it back.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
# In the gaps between the busy day's programs, so no column needs two lanes.
{
  tt_program 801 1 $((DAY_START + 4300)) $((DAY_START + 5900)) 'ドラマ第1話' '局1' '分類9' 'ドラマ'
  tt_program 802 1 $((DAY_START + 4900)) $((DAY_START + 6500)) '単発の番組' '局2' '分類9' ''
  tt_program 803 1 $((DAY_START + 6000)) $((DAY_START + 7100)) 'ドラマ第2話' '局3' '分類9' 'ドラマ'
} | tt_local_week
t_reg 'Title\2' '局2' REG_DWORD 150
t_reg 'Title\1' 'ドラマ' REG_DWORD 200
t_reg 'Title\1' HideTitle REG_SZ "$(printf '\t局3の番組\t')"
t_start
sleep 1

unit=$(tt_geometry unit)
[ -n "$unit" ] || fail "no geometry from the grid"
# width NUMBER: the width of that one-lane program's cell (its column's width).
width() { awk '{ print $11 - $9 }' <<<"$(tt_cell "$1" 1)"; }
left() { awk '{ print $9 }' <<<"$(tt_cell "$1" 1)"; }
# heading_of NUMBER: the heading over that program's column.
heading_of() {
  local column; column=$(awk '{ print $5 }' <<<"$(tt_cell "$1" 1)")
  [ -n "$column" ] || { echo "(not drawn)"; return; }
  tr '|' '\n' <<<"$(tt_headings)" | sed -n "$((column + 1))p"
}
sorted_headings() { tr '|' '\n' <<<"$(tt_headings)" | sort | tr '\n' ' '; }
SERIES=$(printf '%s\n' ドラマ 局1の番組 局2の番組 その他 | sort | tr '\n' ' ')
heading_y=5
# heading_menu KEY...: the heading pane's right-button menu, walked with the keys.
heading_menu() {
  t_wdrv mouse "$TWIN" class:TavoraTitles 30 $heading_y right >/dev/null
  sleep 0.5
  for key in "$@"; do t_wdrv key "$TWIN" - "$key" >/dev/null; sleep 0.1; done
  sleep 0.5
}
DOWN=40 ENTER=13

note "by channel at the start, with the width stored for 局2"
tt_headings_are '局1|局2|局3' || fail "headings by channel: '$(tt_headings)'"
[ "$(width 1002)" = $((150 * unit / 100)) ] || fail "局2 is $(width 1002) wide, not 150 % of $unit"

note "the menu command shows one column per series; 局3の番組 stays hidden"
t_post 32776
tt_until "$SERIES" sorted_headings || fail "headings by series: '$(tt_headings)'"
for entry in 801:ドラマ 803:ドラマ 802:その他 1001:局1の番組 1002:局2の番組; do
  [ "$(heading_of "${entry%%:*}")" = "${entry#*:}" ] ||
    fail "program ${entry%%:*} is under '$(heading_of "${entry%%:*}")', not '${entry#*:}': $(tt_cells)"
done
[ -z "$(tt_cell 1003 1)" ] || fail "a program of the hidden series is drawn: $(tt_cell 1003 1)"
[ "$(width 801)" = $((2 * unit)) ] || fail "ドラマ is $(width 801) wide, not its stored 200 % of $unit"
[ "$(width 1001)" = "$unit" ] || fail "局1の番組 is $(width 1001) wide, not $unit"

note "a border dragged by series sets that series' width only"
l=$(left 1001)
t_wdrv mouse "$TWIN" class:TavoraTitles $((l + unit)) $heading_y down >/dev/null
t_wdrv mouse "$TWIN" class:TavoraTitles $((l + unit * 3 / 2)) $heading_y drag >/dev/null
t_wdrv mouse "$TWIN" class:TavoraTitles $((l + unit * 7 / 4)) $heading_y up >/dev/null
sleep 0.5
dragged=$(( (unit * 7 / 4) * 100 / unit ))
[ "$(width 1001)" = $((dragged * unit / 100)) ] || fail "局1の番組 dragged is $(width 1001) wide, not $dragged %"

note "back to channels from the heading menu: their own widths, 局3 shown"
heading_menu $DOWN $ENTER
tt_headings_are '局1|局2|局3' || fail "headings by channel again: '$(tt_headings)'"
[ "$(width 1002)" = $((150 * unit / 100)) ] || fail "局2 after the switches is $(width 1002) wide"
[ "$(width 1001)" = "$unit" ] || fail "局1 took the series' width: $(width 1001)"
[ "$(heading_of 801)" = 局1 ] || fail "801 by channel is under '$(heading_of 801)'"
[ "$(t_reg_query 'Title\1' '局1の番組')" = "$(printf '0x%x' $dragged)" ] ||
  fail "stored width of 局1の番組: '$(t_reg_query 'Title\1' '局1の番組')'"
[ "$(t_reg_query 'Title\2' '局2')" = 0x96 ] || fail "stored width of 局2: '$(t_reg_query 'Title\2' '局2')'"

note "series again from the heading menu: the widths survived"
heading_menu $DOWN $DOWN $ENTER
tt_until "$SERIES" sorted_headings || fail "headings by series from the menu: '$(tt_headings)'"
[ "$(width 1001)" = $((dragged * unit / 100)) ] || fail "局1の番組 back by series is $(width 1001) wide"
[ "$(width 801)" = $((2 * unit)) ] || fail "ドラマ back by series is $(width 801) wide"

FILTER='番組フィルターの設定'
# list_index WINDOW LIST TEXT: the item's index in a list box.
list_index() { t_wdrv items "$1" "$2" | awk -v n="$3" '$0 == n { print NR - 1; exit }'; }
note "the filter's series group: ドラマ moved out loses its column"
t_post 32815
t_wait_visible 10 "$FILTER" || fail "dialog 140 did not open"
[ -z "$(t_wdrv items "$FILTER" 1018)" ] || fail "hidden series at the start: $(t_wdrv items "$FILTER" 1018 | tr '\n' ' ')"
index=$(list_index "$FILTER" 1024 ドラマ)
[ -n "$index" ] || fail "ドラマ is not among the shown series: $(t_wdrv items "$FILTER" 1024 | tr '\n' ' ')"
t_wdrv items "$FILTER" 1024 | grep -qx 局3の番組 || fail "局3の番組 is not offered: $(t_wdrv items "$FILTER" 1024 | tr '\n' ' ')"
# A program without a series offers no empty item: it could not be stored as a rule.
t_wdrv items "$FILTER" 1024 | grep -qx '' && fail "an empty series is offered: $(t_wdrv items "$FILTER" 1024 | tr '\n' '/')"
t_wdrv select "$FILTER" 1024 "$index" >/dev/null
t_wdrv click "$FILTER" 1028 >/dev/null
sleep 0.2
[ "$(t_wdrv items "$FILTER" 1018)" = ドラマ ] || fail "hidden series: $(t_wdrv items "$FILTER" 1018 | tr '\n' ' ')"
t_wdrv items "$FILTER" 1024 | grep -qx ドラマ && fail "ドラマ stayed among the shown series"
t_wdrv click "$FILTER" 1 >/dev/null
t_wdrv wait "$FILTER" 5000 gone >/dev/null || fail "dialog 140 stayed"
without=$(printf '%s\n' 局1の番組 局2の番組 その他 | sort | tr '\n' ' ')
tt_until "$without" sorted_headings || fail "headings with ドラマ filtered: '$(tt_headings)'"
[ -z "$(tt_cell 801 1)$(tt_cell 803 1)" ] || fail "a program of ドラマ is still drawn"
[ "$(heading_of 802)" = その他 ] || fail "802 is under '$(heading_of 802)' with ドラマ filtered"

note "moved back in, ドラマ returns with its width"
t_post 32815
t_wait_visible 10 "$FILTER" || fail "dialog 140 did not open again"
[ "$(t_wdrv items "$FILTER" 1018)" = ドラマ ] || fail "hidden series on reopening: $(t_wdrv items "$FILTER" 1018 | tr '\n' ' ')"
t_wdrv select "$FILTER" 1018 0 >/dev/null
t_wdrv click "$FILTER" 1029 >/dev/null
sleep 0.2
[ -z "$(t_wdrv items "$FILTER" 1018)" ] || fail "ドラマ stayed hidden: $(t_wdrv items "$FILTER" 1018 | tr '\n' ' ')"
t_wdrv click "$FILTER" 1 >/dev/null
t_wdrv wait "$FILTER" 5000 gone >/dev/null || fail "dialog 140 stayed"
tt_until "$SERIES" sorted_headings || fail "headings with ドラマ back: '$(tt_headings)'"
[ "$(heading_of 803)" = ドラマ ] || fail "803 is under '$(heading_of 803)' after the filter"
[ "$(width 803)" = $((2 * unit)) ] || fail "ドラマ came back $(width 803) wide"

note "the registry keeps the series kind and its hidden title"
t_exit
[ "$(t_reg_query Environment TitleKind)" = 0x1 ] || fail "TitleKind stored: $(t_reg_query Environment TitleKind)"
[ "$(tt_reg_text 'Title\1' HideTitle | tr '\t' '/')" = '/局3の番組/' ] ||
  fail "HideTitle by series: '$(tt_reg_text 'Title\1' HideTitle)'"
[ -z "$(tt_reg_text Environment FilterContent | tr -d ,)" ] || fail "FilterContent: '$(tt_reg_text Environment FilterContent)'"
echo PASS
