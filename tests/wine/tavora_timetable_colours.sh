#!/usr/bin/env bash
# The timetable's colours in the real Tavora.exe: the colour design page (on
# its own and inside the settings sheet) changes the normal and reserved
# backgrounds through the system colour chooser and the cells (and their
# derived hover shade) show them, as the headings and the time scale show
# theirs; a new margin colour is announced and taken at the next start;
# schemes registered under a name land in "ColorSave.Dat", are switched
# between, replaced in place, listed again after a restart and deleted; the
# category group editor puts a category into a group and the category view
# paints its programs in that group's colour, also after a restart.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
tt_init
tt_local_week </dev/null
# Group 3 has its own normal background (COLORREF 0x00BBGGRR).
t_reg 'Environment\番組背景NML' Color3 REG_DWORD 0x00FF8040
# 1004 (局1, in 100 minutes) is reserved.
"$RSVTOOL" make --folder "$WORK/sched" --program 1004 --sub 1 --sid 5 --address 239.192.8.1 --port 20000 \
  --start "$(minute_text $((DAY_START + 6000)))" --end "$(minute_text $((DAY_START + 9600)))" --name '番組 1004' \
  >/dev/null || fail "rsvtool make"
t_start
sleep 1

PAGE='番組表の配色デザインの設定'
SHEET='環境設定'
CHOOSER='色'
# cell_colour NUMBER: the background of that program's cell, the pointer elsewhere.
cell_colour() {
  local line; line=$(tt_cell "$1" 1)
  [ -n "$line" ] || fail "program $1 is not in view: $(tt_cells)"
  tt_unhover
  sleep 0.3
  tt_pixel $(tt_cell_corner "$line")
}
# cell_is NUMBER COLOUR: 0 once that program's cell shows the colour.
cell_is() {
  local line; line=$(tt_cell "$1" 1)
  [ -n "$line" ] || fail "program $1 is not in view: $(tt_cells)"
  tt_unhover
  tt_until "$2" tt_pixel $(tt_cell_corner "$line")
}
# pick_colour WINDOW BUTTON R G B: the colour chooser of a colour button.
pick_colour() {
  t_wdrv click "$1" "$2" >/dev/null
  t_wait_visible 10 "$CHOOSER" || fail "button $2 opened no colour chooser"
  t_wdrv settext "$CHOOSER" 706 "$3" >/dev/null
  t_wdrv settext "$CHOOSER" 707 "$4" >/dev/null
  t_wdrv settext "$CHOOSER" 708 "$5" >/dev/null
  t_wdrv click "$CHOOSER" 1 >/dev/null
  t_wdrv wait "$CHOOSER" 5000 gone >/dev/null || fail "the colour chooser stayed"
}
# register WINDOW NAME: "登録..." with that name.
register() {
  t_wdrv click "$1" 1090 >/dev/null
  t_wait_visible 10 '配色の登録' || fail "no name dialog for a scheme"
  t_wdrv settext '配色の登録' 1112 "$2" >/dev/null
  t_wdrv click '配色の登録' 1 >/dev/null
  t_wdrv wait '配色の登録' 5000 gone >/dev/null || fail "the name dialog stayed"
}
# choose_scheme WINDOW NAME: picks the scheme by name in the combo.
choose_scheme() {
  local index
  index=$(t_wdrv items "$1" 1089 | awk -v n="$2" '$0 == n { print NR - 1; exit }')
  [ -n "$index" ] || fail "scheme $2 is not listed: $(t_wdrv items "$1" 1089 | tr '\n' ' ')"
  t_wdrv select "$1" 1089 "$index" >/dev/null
}
open_page() {
  t_post 32900
  t_wait_visible 10 "$PAGE" || fail "command 32900 did not open the colour page"
}
# message_ok TEXT: the planner's message with that text, closed with OK.
message_ok() {
  t_wait_visible 10 'メッセージ' || fail "no message '$1'"
  t_wdrv controls 'メッセージ' | grep -qF "$1" || fail "message: $(t_wdrv controls 'メッセージ')"
  t_wdrv post 'メッセージ' 1 >/dev/null
  t_wdrv wait 'メッセージ' 5000 gone >/dev/null || fail "the message stayed"
}
# margin_colour: the grid left of the first column.
margin_colour() { tt_pixel 3 50; }
# category_program: a program of 分類1 in view by category (its column is then $column).
category_program() {
  local headings; headings=$(tt_headings)
  column=$(tr '|' '\n' <<<"$headings" | awk '$0 == "分類1" { print NR - 1; exit }')
  [ -n "$column" ] || fail "no column 分類1 by category: '$headings'"
  tt_cells | awk -v c="$column" '$5 == c { print $2; exit }'
}
close_with_ok() {
  t_wdrv click "$1" 1 >/dev/null
  t_wdrv wait "$1" 5000 gone >/dev/null || fail "OK did not close $1"
  sleep 0.5
}

cell_is 1005 C0C0C0 || fail "the normal background at start is $(cell_colour 1005)"
cell_is 1004 D0D0D0 || fail "the reserved background at start is $(cell_colour 1004): $(tt_cell 1004 1)"
[ "$(margin_colour)" = C0C0C0 ] || fail "the margin at start is $(margin_colour)"

note "the colour page on its own: 削除 without a scheme asks for one"
open_page
[ "$(t_wdrv text "$PAGE" 1088)" = 通常時 ] || fail "the state combo shows '$(t_wdrv text "$PAGE" 1088)'"
t_wdrv click "$PAGE" 1091 >/dev/null
message_ok '削除する配色名を指定してください。'

note "a new normal background reaches the cells; the margin waits for the next start"
pick_colour "$PAGE" 1086 32 144 80
pick_colour "$PAGE" 1068 255 255 0
register "$PAGE" 緑系
pick_colour "$PAGE" 1086 160 48 48
register "$PAGE" 赤系
[ "$(t_wdrv items "$PAGE" 1089 | tr '\n' ' ')" = '緑系 赤系 ' ] || fail "schemes: $(t_wdrv items "$PAGE" 1089 | tr '\n' ' ')"
[ "$(t_wdrv text "$PAGE" 1089)" = 赤系 ] || fail "the registered scheme is not chosen: '$(t_wdrv text "$PAGE" 1089)'"
t_wdrv select "$PAGE" 1088 1 >/dev/null
pick_colour "$PAGE" 1086 64 0 128
t_wdrv click "$PAGE" 1 >/dev/null
message_ok '余白部分の色変更は次回の起動から有効になります。'
t_wdrv wait "$PAGE" 5000 gone >/dev/null || fail "OK did not close the colour page"
sleep 0.5
cell_is 1005 A03030 || fail "after OK the normal cell is $(cell_colour 1005), not A03030"
cell_is 1004 400080 || fail "after OK the reserved cell is $(cell_colour 1004), not 400080"
[ "$(margin_colour)" = C0C0C0 ] || fail "the margin changed before the next start: $(margin_colour)"
[ "$(t_reg_query 'Environment\番組背景NML' Color0)" = 0x3030a0 ] ||
  fail "Color0 stored: $(t_reg_query 'Environment\番組背景NML' Color0)"
[ "$(t_reg_query Environment 'Color list')" = 赤系 ] || fail "Color list: $(t_reg_query Environment 'Color list')"

note "キャンセル leaves the colours as they were"
open_page
pick_colour "$PAGE" 1086 0 0 0
t_wdrv click "$PAGE" 2 >/dev/null
t_wdrv wait "$PAGE" 5000 gone >/dev/null || fail "キャンセル did not close the colour page"
sleep 0.3
cell_is 1005 A03030 || fail "after キャンセル the normal cell is $(cell_colour 1005)"
[ "$(t_reg_query 'Environment\番組背景NML' Color0)" = 0x3030a0 ] || fail "キャンセル stored a colour"

note "ColorSave.Dat holds both schemes as whole records"
SAVE="$WORK/prog/ColorSave.Dat"
[ "$(stat -c %s "$SAVE" 2>/dev/null)" = $((2 * 1034)) ] || fail "ColorSave.Dat is $(stat -c %s "$SAVE" 2>/dev/null) bytes"
scheme_name() { dd if="$SAVE" bs=1 skip=$(($1 * 1034 + 4)) count=128 2>/dev/null | tr -d '\0' | iconv -f CP932 -t UTF-8; }
[ "$(head -c 4 "$SAVE")" = CLST ] && [ "$(scheme_name 0)" = 緑系 ] && [ "$(scheme_name 1)" = 赤系 ] ||
  fail "records: $(scheme_name 0) $(scheme_name 1)"

note "the settings sheet's colour page switches to the other scheme"
t_post 32787
t_wait_visible 10 "$SHEET" || fail "command 32787 did not open the settings sheet"
t_wdrv tab "$SHEET" 1052 1 >/dev/null
sleep 0.3
[ "$(t_wdrv text "$SHEET" 1089)" = 赤系 ] || fail "the sheet's page shows scheme '$(t_wdrv text "$SHEET" 1089)'"
choose_scheme "$SHEET" 緑系
close_with_ok "$SHEET"
cell_is 1005 209050 || fail "with scheme 緑系 the normal cell is $(cell_colour 1005), not 209050"
# 0x209050 brightened once: the largest part 0x90 >> 2 is above 30, so each
# part grows by a quarter.
line=$(tt_cell 1005 1)
t_wdrv mouse "$TWIN" $GRID $(tt_button_centre "$line") move >/dev/null
tt_until 28B464 tt_pixel $(tt_cell_corner "$line") ||
  fail "the hover shade of 209050 is $(tt_pixel $(tt_cell_corner "$line")), not 28B464"
tt_unhover

note "registering under an existing name replaces that record in place; title and hour colours"
# The fourth hour of the day is in view below the current time.
hour=$(date -d "@$((DAY_START + 3 * 3600))" +%-H)
open_page
pick_colour "$PAGE" 1086 16 16 200
pick_colour "$PAGE" 1080 200 100 0
t_wdrv settext "$PAGE" 1041 "$hour" >/dev/null
pick_colour "$PAGE" 1082 0 100 200
register "$PAGE" 赤系
close_with_ok "$PAGE"
[ "$(stat -c %s "$SAVE")" = $((2 * 1034)) ] || fail "ColorSave.Dat grew to $(stat -c %s "$SAVE") bytes"
[ "$(scheme_name 0)" = 緑系 ] && [ "$(scheme_name 1)" = 赤系 ] ||
  fail "the replaced record moved: $(scheme_name 0) $(scheme_name 1)"
cell_is 1005 1010C8 || fail "the normal cell is $(cell_colour 1005), not 1010C8"
margin=$(( $(tt_geometry char | cut -d' ' -f2) + 6 ))
tt_until C86400 t_wdrv pixel "$TWIN" class:TavoraTitles $((margin + 4)) 3 ||
  fail "the heading background is $(t_wdrv pixel "$TWIN" class:TavoraTitles $((margin + 4)) 3), not C86400"
read -r _ scroll_y <<<"$(tt_geometry scroll)"
hour_top=$(( 3 * 6 * $(tt_geometry slot) - scroll_y ))
tt_until 0064C8 t_wdrv pixel "$TWIN" class:TavoraTimeScale 3 $((hour_top + 3)) ||
  fail "the time scale at $hour時 is $(t_wdrv pixel "$TWIN" class:TavoraTimeScale 3 $((hour_top + 3))), not 0064C8"
[ "$(t_wdrv pixel "$TWIN" class:TavoraTimeScale 3 $((hour_top - 3)))" = C0C0C0 ] ||
  fail "the hour before $hour時 changed too: $(t_wdrv pixel "$TWIN" class:TavoraTimeScale 3 $((hour_top - 3)))"

note "the category group editor puts 分類1 into group 3; the category view paints it so"
t_post 32773
sleep 0.5
program=$(category_program)
[ -n "$program" ] || fail "no program of 分類1 in view: $(tt_cells)"
cell_is "$program" 1010C8 || fail "分類1 before the editor: $(cell_colour "$program")"
EDITOR='カテゴリーグループの設定'
t_post 32901
t_wait_visible 10 "$EDITOR" || fail "command 32901 did not open the category editor"
t_wdrv select "$EDITOR" 1009 2 >/dev/null
sleep 0.3
index=$(t_wdrv items "$EDITOR" 1010 | awk '$0 == "分類1" { print NR - 1; exit }')
[ -n "$index" ] || fail "分類1 is not among the standard categories: $(t_wdrv items "$EDITOR" 1010 | tr '\n' ' ')"
t_wdrv select "$EDITOR" 1010 "$index" >/dev/null
t_wdrv click "$EDITOR" 1012 >/dev/null
sleep 0.3
[ "$(t_wdrv items "$EDITOR" 1013)" = 分類1 ] || fail "group 3 holds: $(t_wdrv items "$EDITOR" 1013 | tr '\n' ' ')"
t_wdrv items "$EDITOR" 1010 | grep -qx 分類1 && fail "分類1 stayed among the standard categories"
t_wdrv select "$EDITOR" 1009 0 >/dev/null
sleep 0.3
[ -z "$(t_wdrv items "$EDITOR" 1013)" ] || fail "group 1 holds: $(t_wdrv items "$EDITOR" 1013 | tr '\n' ' ')"
t_wdrv select "$EDITOR" 1009 2 >/dev/null
sleep 0.3
[ "$(t_wdrv items "$EDITOR" 1013)" = 分類1 ] || fail "back in group 3: $(t_wdrv items "$EDITOR" 1013 | tr '\n' ' ')"
close_with_ok "$EDITOR"
cell_is "$program" 4080FF || fail "分類1 in group 3 is painted $(cell_colour "$program"), not 4080FF"
[ "$(sed -n 3p "$WORK/prog/CategoryList.dat" | iconv -f CP932 -t UTF-8 | tr -d '\r,')" = 分類1 ] ||
  fail "CategoryList.dat: $(iconv -f CP932 -t UTF-8 "$WORK/prog/CategoryList.dat" | od -c | head)"
t_post 32775
sleep 0.3

note "after a restart: the margin, the groups and the schemes"
t_exit
t_start
sleep 1
cell_is 1005 1010C8 || fail "after the restart the normal cell is $(cell_colour 1005)"
tt_until FFFF00 margin_colour || fail "the new margin colour was not taken at the start: $(margin_colour)"
t_post 32773
sleep 0.5
program=$(category_program)
cell_is "$program" 4080FF || fail "after the restart 分類1 is painted $(cell_colour "$program")"
t_post 32775
sleep 0.3
open_page
[ "$(t_wdrv items "$PAGE" 1089 | tr '\n' ' ')" = '緑系 赤系 ' ] ||
  fail "schemes after the restart: $(t_wdrv items "$PAGE" 1089 | tr '\n' ' ')"
[ "$(t_wdrv text "$PAGE" 1089)" = 赤系 ] || fail "the last scheme is not chosen: '$(t_wdrv text "$PAGE" 1089)'"
t_wdrv click "$PAGE" 1091 >/dev/null
sleep 0.3
[ "$(t_wdrv items "$PAGE" 1089 | tr '\n' ' ')" = '緑系 ' ] || fail "after 削除: $(t_wdrv items "$PAGE" 1089 | tr '\n' ' ')"
[ "$(stat -c %s "$SAVE")" = 1034 ] && [ "$(scheme_name 0)" = 緑系 ] || fail "ColorSave.Dat after 削除: $(stat -c %s "$SAVE") bytes"
choose_scheme "$PAGE" 緑系
close_with_ok "$PAGE"
cell_is 1005 209050 || fail "scheme 緑系 after the restart: $(cell_colour 1005)"

note "the editor moves 分類1 back to the standard colours"
t_post 32773
sleep 0.5
program=$(category_program)
t_post 32901
t_wait_visible 10 "$EDITOR" || fail "command 32901 did not open the category editor"
t_wdrv select "$EDITOR" 1009 2 >/dev/null
sleep 0.3
[ "$(t_wdrv items "$EDITOR" 1013)" = 分類1 ] || fail "group 3 after the restart: $(t_wdrv items "$EDITOR" 1013 | tr '\n' ' ')"
t_wdrv select "$EDITOR" 1013 0 >/dev/null
t_wdrv click "$EDITOR" 1011 >/dev/null
sleep 0.3
t_wdrv items "$EDITOR" 1010 | grep -qx 分類1 || fail "分類1 is not back among the standard categories"
close_with_ok "$EDITOR"
cell_is "$program" 209050 || fail "分類1 back in the standard group is painted $(cell_colour "$program")"
[ -z "$(sed -n 3p "$WORK/prog/CategoryList.dat" | tr -d '\r,')" ] || fail "CategoryList.dat still lists 分類1 in group 3"
t_post 32775
t_exit
echo PASS
