#!/usr/bin/env bash
# The settings sheet opened by command 32787: a value changed on each page
# enables "更新"; OK writes the registry values; the unit is told (1008) and
# uses the new "Timeout" for its next reception. The folder chooser lists the
# drives. Screenshots of every page go to $WIN_BIN/screenshots/tavora_settings_sheet.
. "$(dirname "$0")/lib/tavora.sh"
t_init
SHEET='環境設定'
CHOOSER='フォルダの選択'
shots_init tavora_settings_sheet
shots=$SHOTS_DIR
t_reg Environment "Prepare Time" REG_DWORD 10
t_reg Environment Timeout REG_DWORD 600
t_reg Environment "Disk space limit" REG_DWORD 40
t_reg "Search\\List" Key00 REG_SZ "ニュース"

flags() { t_wdrv controls "$SHEET" | awk -F'\t' -v id="$1" '$1==id {print $3; exit}'; }
shot() { sleep 0.5; import -window root "$shots/$1.png" || fail "screenshot $1"; }

t_start
t_wait_window 30 "$QTITLE" || fail "the planner did not start the unit"
t_post 32787
t_wait_window 10 "$SHEET" || fail "command 32787 did not open the sheet"
t_wait_control 10 "$SHEET" 1054 || fail "the folder page did not come"
[ "$(flags 3)" = "v-" ] || fail "更新 is enabled before anything changed ($(flags 3))"

note "folder page: the disk limit is turned off"
[ "$(t_wdrv checked "$SHEET" 1015)" = 1 ] || fail "the disk limit check is not set for a limit of 40"
t_wdrv check "$SHEET" 1015 0
t_wdrv click "$SHEET" 1015
sleep 0.5
[ "$(flags 3)" = "ve" ] || fail "更新 is not enabled after a change ($(flags 3))"
shot settings_folders

note "the folder chooser lists the drives"
t_wdrv click "$SHEET" 1054
t_wait_window 10 "$CHOOSER" || fail "参照... did not open the folder chooser"
tree=$(t_wdrv tree "$CHOOSER" 1058)
echo "$tree"
echo "$tree" | grep -qx 'C:' || fail "drive C: is not listed"
echo "$tree" | grep -qx 'Z:' || fail "drive Z: is not listed"
echo "$tree" | grep -q 'ネットワーク' || fail "the network places are not listed"
shot settings_folder_chooser
t_wdrv post "$CHOOSER" 2
t_wdrv wait "$CHOOSER" 5000 gone >/dev/null || fail "the folder chooser did not close"

note "reception page: 40000 is refused, the timeout becomes 10 s"
t_wdrv tab "$SHEET" 1052 2
t_wdrv settext "$SHEET" 1093 40000
t_wdrv settext "$SHEET" 1110 10
t_wdrv check "$SHEET" 1142 1
t_wdrv click "$SHEET" 1142
shot settings_reception

note "guide page: a day count of 8 turns back at once"
t_wdrv tab "$SHEET" 1052 3
t_wdrv settext "$SHEET" 1001 8
sleep 0.5
[ "$(t_wdrv text "$SHEET" 1001)" = 6 ] || fail "day count 8 was kept: $(t_wdrv text "$SHEET" 1001)"
t_wdrv settext "$SHEET" 1122 30
shot settings_guide

note "keyword page: a condition from the history, enabled"
t_wdrv tab "$SHEET" 1052 4
t_wdrv select "$SHEET" 1134 0
t_wdrv check "$SHEET" 1037 1
t_wdrv click "$SHEET" 1037
shot settings_keyword

note "old content page: turned on"
t_wdrv tab "$SHEET" 1052 5
t_wdrv check "$SHEET" 1200 1
t_wdrv click "$SHEET" 1200
[ "$(t_wdrv text "$SHEET" 1210)" = 30 ] || fail "the question's seconds show '$(t_wdrv text "$SHEET" 1210)', not 30"
t_wdrv settext "$SHEET" 1210 12
shot settings_old_content
t_wdrv tab "$SHEET" 1052 1
shot settings_colours

t_wdrv click "$SHEET" 1
t_wdrv wait "$SHEET" 5000 gone >/dev/null || fail "OK did not close the sheet"

note "the registry holds the new values"
check() {  # SUBKEY NAME EXPECTED
  local got; got=$(t_reg_query "$1" "$2")
  [ "$got" = "$3" ] || fail "$1\\$2 is '$got', expected '$3'"
}
check Environment "Disk space limit" 0x0
check Environment "Prepare Time" 0xa
check Environment Timeout 0xa
check Environment AutoRun 0x1
check Environment "EPG Update" 0x1e
check Environment "Display days" 0x6
check Search SearchKey0 ニュース
check Search CheckUse0 0x1
check Search CheckName0 0x1
check 'Environment\DelExec' ExecKind 0x2
check 'Environment\DelExec' AskSeconds 0xc

note "the unit uses the new timeout"
now=$(date +%s)
start=$((now - now % 60))
"$RSVTOOL" make --folder "$WORK/sched" --program 4662 --sub 1 --start "$(minute_text $start)" \
  --end "$(minute_text $((start + 1800)))" --address 239.192.5.10 --port 21998 --sid 7 --name "無音番組" \
  --storage "$(winpath "$WORK/data/silent")" >/dev/null || fail "rsvtool make"
t_wdrv post "$QTITLE" 1004 >/dev/null
began=$(date +%s)
result=$(wait_for_file 60 "$WORK/hist/INFO*.RSV") || fail "no result record: the unit kept the old timeout"
took=$(( $(date +%s) - began ))
[ "$took" -le 45 ] || fail "the reception ended after $took s; the new timeout is 10 s"
t_exit
shots_keep
echo PASS
