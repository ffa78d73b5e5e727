#!/usr/bin/env bash
# The timetable's columns in the real Tavora.exe: a title hidden in the
# registry, the title order dialog (134), the program filter dialog (140) by
# channel and by category and its on/off command, widths dragged and
# double-clicked in the heading pane; all kept in the registry and shown again
# after a restart and a switch of the title kind.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
# 701 overlaps 1002 on 局2: that column needs two lanes.
tt_program 701 1 $((DAY_START + 3000)) $((DAY_START + 6600)) '重なる番組' '局2' '分類9' | tt_local_week
t_reg 'Title\2' HideTitle REG_SZ "$(printf '\t局3\t')"
t_start
sleep 1

note "a title hidden in the registry has no column"
tt_headings_are '局1|局2' || fail "headings with 局3 hidden: '$(tt_headings)'"

note "the title order dialog moves 局2 first; the hidden title comes back last"
ORDER='番組表タイトルの並び替え（チャンネル別）'
t_post 32781
t_wait_visible 10 "$ORDER" || fail "dialog 134 did not open"
t_wdrv controls "$ORDER" | grep -q '上へ移動' || fail "dialog 134: $(t_wdrv controls "$ORDER")"
t_wdrv select "$ORDER" 1003 1 >/dev/null || fail "no second title in the list"
[ "$(t_wdrv items "$ORDER" 1003 | tr '\t\n' '/ ')" = '/局1/ /局2/ ' ] ||
  fail "dialog 134 lists: $(t_wdrv items "$ORDER" 1003 | tr '\t\n' '/ ')"
t_wdrv click "$ORDER" 1005 >/dev/null
t_wdrv click "$ORDER" 1 >/dev/null
t_wdrv wait "$ORDER" 5000 gone >/dev/null || fail "dialog 134 stayed"
sleep 0.5
tt_headings_are '局2|局1|局3' || fail "headings after the order dialog: '$(tt_headings)'"
[ "$(tt_reg_text 'Title\2' SortTitle | tr '\t' '/')" = '/局2/局1/' ] ||
  fail "SortTitle: '$(tt_reg_text 'Title\2' SortTitle)'"
wine reg query "$TKEY\\Title\\2" /v HideTitle >/dev/null 2>&1 </dev/null && fail "HideTitle was kept"

note "the filter dialog hides 局1; 32813 turns the filter off and on"
FILTER='番組フィルターの設定'
t_post 32815
t_wait_visible 10 "$FILTER" || fail "dialog 140 did not open"
# flags WINDOW ID: "ve" for a visible, enabled control.
flags() { t_wdrv controls "$1" | awk -F'\t' -v id="$2" '$1 == id { print $3; exit }'; }
[ "$(flags "$FILTER" 1027)" = v- ] || fail "'>>' is enabled with no hidden channel: $(flags "$FILTER" 1027)"
[ "$(flags "$FILTER" 1026)" = ve ] || fail "'<<' is disabled with channels shown: $(flags "$FILTER" 1026)"
t_wdrv select "$FILTER" 1023 0 >/dev/null || fail "no channel in the shown list"
t_wdrv click "$FILTER" 1026 >/dev/null
sleep 0.2
[ "$(t_wdrv items "$FILTER" 1016)" = 局1 ] || fail "hidden channels: $(t_wdrv items "$FILTER" 1016 | tr '\n' ' ')"
[ "$(flags "$FILTER" 1027)" = ve ] || fail "'>>' stays disabled with a hidden channel"
t_wdrv click "$FILTER" 1 >/dev/null
t_wdrv wait "$FILTER" 5000 gone >/dev/null || fail "dialog 140 stayed"
sleep 0.5
tt_headings_are '局2|局3' || fail "headings with 局1 filtered: '$(tt_headings)'"
[ -z "$(tt_cells | awk '$2 == 1001')" ] || fail "a program of 局1 is still drawn"
t_post 32813
sleep 0.5
tt_headings_are '局2|局1|局3' || fail "headings with the filter off: '$(tt_headings)'"
[ -n "$(tt_cells | awk '$2 == 1001')" ] || fail "the program of 局1 did not come back: $(tt_cells)"
t_post 32813
sleep 0.5
tt_headings_are '局2|局3' || fail "headings with the filter on again: '$(tt_headings)'"

note "in dialog 140 a double-click moves an item; キャンセル keeps the rules"
t_post 32815
t_wait_visible 10 "$FILTER" || fail "dialog 140 did not open"
t_wdrv mouse "$FILTER" 1023 20 4 double >/dev/null
sleep 0.3
t_wdrv items "$FILTER" 1016 | grep -qx 局2 || fail "a double-click did not hide 局2: $(t_wdrv items "$FILTER" 1016 | tr '\n' ' ')"
t_wdrv items "$FILTER" 1023 | grep -qx 局2 && fail "局2 stayed among the shown channels"
t_wdrv click "$FILTER" 2 >/dev/null
t_wdrv wait "$FILTER" 5000 gone >/dev/null || fail "キャンセル did not close dialog 140"
sleep 0.3
tt_headings_are '局2|局3' || fail "headings after キャンセル: '$(tt_headings)'"

note "the filter dialog reopens with its rules; a category is hidden too"
t_post 32815
t_wait_visible 10 "$FILTER" || fail "dialog 140 did not open again"
[ "$(t_wdrv items "$FILTER" 1016)" = 局1 ] || fail "hidden channels: $(t_wdrv items "$FILTER" 1016 | tr '\n' ' ')"
[ "$(t_wdrv items "$FILTER" 1023 | tr '\n' ' ')" = '局2 局3 ' ] ||
  fail "shown channels: $(t_wdrv items "$FILTER" 1023 | tr '\n' ' ')"
index=$(t_wdrv items "$FILTER" 1025 | awk '$0 == "分類0" { print NR - 1; exit }')
[ -n "$index" ] || fail "分類0 is not among the categories: $(t_wdrv items "$FILTER" 1025 | tr '\n' ' ')"
t_wdrv select "$FILTER" 1025 "$index" >/dev/null
t_wdrv click "$FILTER" 1030 >/dev/null
[ "$(t_wdrv items "$FILTER" 1022)" = 分類0 ] || fail "selected categories: $(t_wdrv items "$FILTER" 1022 | tr '\n' ' ')"
t_wdrv check "$FILTER" 1021 1 >/dev/null
t_wdrv check "$FILTER" 1020 0 >/dev/null
t_wdrv click "$FILTER" 1 >/dev/null
t_wdrv wait "$FILTER" 5000 gone >/dev/null || fail "dialog 140 stayed"
sleep 0.5
[ -z "$(tt_cell 1005 1)" ] || fail "a program of 分類0 is still drawn: $(tt_cell 1005 1)"
[ -n "$(tt_cell 1002 1)" ] || fail "a program of 分類2 was hidden: $(tt_cells)"
t_post 32813
sleep 0.5
[ -n "$(tt_cell 1005 1)" ] || fail "with the filter off the program of 分類0 is missing"

# Column 0 is now 局2; 1005 is a one-lane program of it.
column_width() { awk '{ print $11 - $9 }' <<<"$(tt_cell 1005 1)"; }
column_left() { awk '{ print $9 }' <<<"$(tt_cell 1005 1)"; }
unit=$(tt_geometry unit)
left=$(column_left)
[ -n "$left" ] || fail "1005 is not in view: $(tt_cells)"
[ "$(column_width)" = "$unit" ] || fail "a 100 % column is $(column_width) wide, the unit is $unit"
heading_y=5

drag_border() {  # FROM_X TO_X: drags the heading pane's border
  t_wdrv mouse "$TWIN" class:TavoraTitles "$1" $heading_y down >/dev/null
  t_wdrv mouse "$TWIN" class:TavoraTitles $(( ($1 + $2) / 2 )) $heading_y drag >/dev/null
  t_wdrv mouse "$TWIN" class:TavoraTitles "$2" $heading_y up >/dev/null
  sleep 0.5
}

note "dragging the border of 局2 sets its width from the release point"
drag_border $((left + unit)) $((left + unit * 3 / 2))
expected=$(( (unit * 3 / 2) * 100 / unit ))
[ "$(column_width)" = $((expected * unit / 100)) ] ||
  fail "after the drag the column is $(column_width) wide, expected $expected % of $unit"
now_right=$((left + $(column_width)))
drag_border "$now_right" $((left + 2))
[ "$(column_width)" = $((10 * unit / 100)) ] || fail "a drag to the left edge gives $(column_width), not 10 %"
drag_border $((left + 10 * unit / 100)) $((left + unit * 3 / 2))
[ "$(column_width)" = $((expected * unit / 100)) ] || fail "dragged back: $(column_width)"

note "double-clicks on the heading: back to 100 %, then one 100 % per lane"
t_wdrv mouse "$TWIN" class:TavoraTitles $((left + 10)) $heading_y double >/dev/null
sleep 0.5
[ "$(column_width)" = "$unit" ] || fail "a widened column double-clicked is $(column_width), not $unit"
t_wdrv mouse "$TWIN" class:TavoraTitles $((left + 10)) $heading_y double >/dev/null
sleep 0.5
[ "$(column_width)" = $((2 * unit)) ] || fail "a two-lane column double-clicked is $(column_width), not $((2 * unit))"
t_wdrv mouse "$TWIN" class:TavoraTitles $((left + 10)) $heading_y double >/dev/null
sleep 0.5
drag_border $((left + unit)) $((left + unit * 3 / 2))
[ "$(column_width)" = $((expected * unit / 100)) ] || fail "dragged again: $(column_width)"

note "the registry keeps order, width and filter; a restart shows them"
t_exit
[ "$(t_reg_query 'Title\2' '局2')" = "$(printf '0x%x' $expected)" ] ||
  fail "width of 局2 stored: '$(t_reg_query 'Title\2' '局2')'"
[ "$(tt_reg_text Environment FilterChannel | tr -d ,)" = 局1 ] || fail "FilterChannel: '$(tt_reg_text Environment FilterChannel)'"
[ "$(tt_reg_text Environment FilterCategory | tr -d ,)" = 分類0 ] || fail "FilterCategory: '$(tt_reg_text Environment FilterCategory)'"
[ "$(t_reg_query Environment FilterCaExcept)" = 0x1 ] || fail "FilterCaExcept: $(t_reg_query Environment FilterCaExcept)"
t_start
sleep 1
tt_headings_are '局2|局1|局3' || fail "headings after the restart: '$(tt_headings)'"
[ "$(column_width)" = $((expected * unit / 100)) ] || fail "width after the restart: $(column_width)"
t_post 32813
sleep 0.5
tt_headings_are '局2|局3' || fail "the stored filter does not hide 局1: '$(tt_headings)'"
[ -z "$(tt_cell 1005 1)" ] || fail "the stored filter does not hide 分類0"
t_post 32813
sleep 0.5

note "the headings' right-button menu switches the title kind; back again, 局2 keeps its width"
# heading_menu KEY...: the menu of the heading pane, walked with the keys.
heading_menu() {
  t_wdrv mouse "$TWIN" class:TavoraTitles 30 $heading_y right >/dev/null
  sleep 0.5
  for key in "$@"; do t_wdrv key "$TWIN" - "$key" >/dev/null; sleep 0.1; done
  sleep 0.5
}
DOWN=40 UP=38 ENTER=13
heading_menu $DOWN $DOWN $DOWN $ENTER
sorted_headings() { tr '|' '\n' <<<"$(tt_headings)" | sort | tr '\n' ' '; }
tt_until '分類0 分類1 分類2 分類9 ' sorted_headings ||
  fail "番組カテゴリー別表示 from the heading menu: '$(tt_headings)'"
heading_menu $UP $ENTER
t_wait_visible 10 '番組表タイトルの並び替え（番組カゴテリー別）' || fail "the heading menu opened no dialog 134 by category"
t_wdrv click '番組表タイトルの並び替え（番組カゴテリー別）' 2 >/dev/null
t_wdrv wait '番組表タイトルの並び替え（番組カゴテリー別）' 5000 gone >/dev/null || fail "キャンセル did not close dialog 134"
heading_menu $DOWN $ENTER
tt_headings_are '局2|局1|局3' || fail "headings after a kind switch: '$(tt_headings)'"
[ "$(column_width)" = $((expected * unit / 100)) ] || fail "width after a kind switch: $(column_width)"
t_exit
echo PASS
