#!/usr/bin/env bash
# Pictures of the planner for people to look at: the main window with
# overlapping reservations in the column, and dialog 149 with its overlap
# warning. They are kept in $WIN_BIN/screenshots/tavora_screenshots; the test checks that each
# window was on screen when its picture was taken.
. "$(dirname "$0")/lib/tavora.sh"
t_init
shots_init tavora_screenshots
shots=$SHOTS_DIR
t_day_start_now >/dev/null
t_filler_days "$WORK/hist"
now=$(date +%s)
base=$((DAY_START + 3600))
{
  t_program 801 1 $base $((base + 3600)) 'ニュース特集' 12000 2000
  t_program 802 1 $((base + 1800)) $((base + 5400)) '天気と交通情報' 800 2000
  t_program 803 1 $((base + 2400)) $((base + 4200)) 'ソフトウェア配信' 45000 500
  t_program 804 1 $((base + 7200)) $((base + 9000)) '夜のデータ放送' 3000 1000
} | t_guide_file "$WORK/hist/$DAY_FILE"
for n in 801 802 804; do
  case $n in
    801) s=$base e=$((base + 3600)) ;;
    802) s=$((base + 1800)) e=$((base + 5400)) ;;
    804) s=$((base + 7200)) e=$((base + 9000)) ;;
  esac
  "$RSVTOOL" make --folder "$WORK/sched" --program $n --sub 1 --start "$(minute_text $s)" --end "$(minute_text $e)" \
    --address 239.192.7.$((n - 800)) --port 24000 --sid $((n - 800)) --name "番組 $n" \
    --storage "$(winpath "$WORK/data/p$n")" >/dev/null || fail "rsvtool make"
done
t_detail_file "$WORK/hist/803-1.spn" 239.192.7.3 24003 3 'software'
t_reg Environment TestReserveProgram REG_SZ '803-1'
t_reg Environment "Window Width" REG_DWORD 640
t_reg Environment "Window Height" REG_DWORD 440

t_start
t_wait_window 30 "$QTITLE" || fail "the unit did not start"
sleep 1
t_post 32785
sleep 1
col='class:TavoraReserveView'
y=$(( $(column_y $((base + 2000))) ))
[ "$(t_wdrv pixel "$TWIN" "$col" 18 $y)" = FFB060 ] || fail "no bar in the first lane"
[ "$(t_wdrv pixel "$TWIN" "$col" 40 $y)" = FFB060 ] || fail "no bar in the second lane"
import -window root "$shots/planner_main_window.png" || fail "screenshot"

t_post $ID_TEST_RESERVE
t_wait_visible 20 '番組の予約' || fail "dialog 149 did not open"
t_wdrv text '番組の予約' 1043 | grep -q '他の予約と重複' || fail "no overlap warning: $(t_wdrv text '番組の予約' 1043)"
sleep 1
t_wdrv visible '番組の予約' >/dev/null || fail "dialog 149 not visible"
import -window root "$shots/planner_reserve_dialog.png" || fail "screenshot"
t_wdrv click '番組の予約' 2 >/dev/null
t_exit
shots_keep
echo PASS
