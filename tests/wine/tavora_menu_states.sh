#!/usr/bin/env bash
# The planner's menus as a user sees them when a popup opens: the check items
# of 表示 and 番組表 are checked as the view is and follow each command; items
# with nothing to work on are grayed (予約番組のクリア without a reservation,
# 受信済み番組一覧 without a history, 番組フィルターを使用 without a rule, a
# zoom at its limit) and come back once there is something; what the planner
# stores in the registry shows the same after a restart.
. "$(dirname "$0")/lib/tavora.sh"
. "$(dirname "$0")/lib/timetable.sh"
ID_TITLE_CATEGORY=32773
ID_TITLE_CHANNEL=32775
ID_TITLE_SERIES=32776
ID_HZOOM_IN=32795
ID_HZOOM_OUT=32796
ID_REDISPLAY=32798
ID_RECEIVED_LIST=32810
ID_FILTER_USE=32813
ID_RESERVE_COLUMN=32816
ID_DAY_MODE_24=32817
ID_RESERVE_CLEAR=32820
ID_VIEW_RESERVE_BUTTONS=32910
ID_VIEW_HOVER=32911
ID_VIEW_TOOLBAR=59392

# menu_shows ITEM STATE: the item (id or text) reads STATE ("enabled checked",
# "grayed unchecked" ...) within 5 s: a posted command is handled in its turn.
menu_shows() {
  tt_until "$2" t_wdrv menu "$TWIN" "$1" || fail "menu item $1: '$(t_wdrv menu "$TWIN" "$1")', not '$2'"
}
# The tool bar's flags as the driver lists them: "ve" shown, "-e" hidden.
toolbar_flags() { t_wdrv controls "$TWIN" | awk -F'\t' '$2 == "ToolbarWindow32" { print $3; exit }'; }
column_width() { t_wdrv rect "$TWIN" class:TavoraReserveView | awk '{ print $3 - $1 }'; }
# headings_have TEXT: the column headings name TEXT (or, with "!", do not).
headings_have() {
  for _ in $(seq 50); do
    if [ "$1" = ! ]; then grep -q "$2" <<<"$(tt_headings)" || return 0
    else grep -q "$1" <<<"$(tt_headings)" && return 0; fi
    sleep 0.1
  done
  fail "headings '$(tt_headings)' for $*"
}

tt_init
tt_local_week </dev/null
t_reg Environment FilterChannel REG_SZ '局3'
t_start

note "at the start: the view's switches on, by channel, nothing to clear, no history"
menu_shows '予約状況(&R)' 'enabled checked'
menu_shows $ID_VIEW_RESERVE_BUTTONS 'enabled checked'
menu_shows $ID_VIEW_HOVER 'enabled checked'
menu_shows 'ツール バー(&T)' 'enabled checked'
menu_shows $ID_DAY_MODE_24 'enabled unchecked'
menu_shows $ID_TITLE_CHANNEL 'enabled checked'
menu_shows $ID_TITLE_SERIES 'enabled unchecked'
menu_shows $ID_TITLE_CATEGORY 'enabled unchecked'
menu_shows $ID_FILTER_USE 'enabled unchecked'
menu_shows $ID_RESERVE_CLEAR 'grayed unchecked'
menu_shows $ID_RECEIVED_LIST 'grayed unchecked'
menu_shows $ID_HZOOM_OUT 'enabled unchecked'
[ "$(column_width)" -gt 0 ] || fail "the reservation column is hidden at the start"
[ "$(toolbar_flags)" = ve ] || fail "tool bar: $(toolbar_flags)"

note "each switch follows its command, and the view with it"
t_post $ID_RESERVE_COLUMN
menu_shows '予約状況(&R)' 'enabled unchecked'
[ "$(column_width)" = 0 ] || fail "the reservation column is $(column_width) wide while unchecked"
t_post $ID_RESERVE_COLUMN
menu_shows '予約状況(&R)' 'enabled checked'
[ "$(column_width)" -gt 0 ] || fail "the reservation column did not come back"
t_post $ID_VIEW_TOOLBAR
menu_shows $ID_VIEW_TOOLBAR 'enabled unchecked'
[ "$(toolbar_flags)" = -e ] || fail "tool bar unchecked but: $(toolbar_flags)"
t_post $ID_VIEW_TOOLBAR
menu_shows $ID_VIEW_TOOLBAR 'enabled checked'
t_post $ID_DAY_MODE_24
menu_shows $ID_DAY_MODE_24 'enabled checked'
[ "$(tt_geometry mode24)" = 1 ] || fail "24-hour mode checked but the grid is not in it"
t_post $ID_DAY_MODE_24
menu_shows $ID_DAY_MODE_24 'enabled unchecked'
t_post $ID_FILTER_USE
menu_shows $ID_FILTER_USE 'enabled checked'
headings_have ! '局3'
t_post $ID_FILTER_USE
menu_shows $ID_FILTER_USE 'enabled unchecked'
headings_have '局3'
t_post $ID_TITLE_SERIES
menu_shows $ID_TITLE_SERIES 'enabled checked'
menu_shows $ID_TITLE_CHANNEL 'enabled unchecked'
headings_have '局1の番組'
t_post $ID_VIEW_RESERVE_BUTTONS $ID_VIEW_HOVER
menu_shows $ID_VIEW_RESERVE_BUTTONS 'enabled unchecked'
menu_shows $ID_VIEW_HOVER 'enabled unchecked'

note "a zoom step is grayed at its limit, and does nothing there when posted"
t_post_times 3 $ID_HZOOM_OUT
menu_shows $ID_HZOOM_OUT 'enabled unchecked'
t_post $ID_HZOOM_OUT
menu_shows $ID_HZOOM_OUT 'grayed unchecked'
menu_shows $ID_HZOOM_IN 'enabled unchecked'
t_post $ID_HZOOM_OUT

note "after a restart with a reservation and a history"
t_exit
t_end_unit
# Four steps of 2 from 0; the fifth, at the limit, was not taken.
[ "$(t_reg_query Environment HZoomCnt)" = 0xfffffff8 ] || fail "HZoomCnt stored: $(t_reg_query Environment HZoomCnt)"
now=$(date +%s)
start=$((now - now % 60 + 3 * 3600))
"$RSVTOOL" make --folder "$WORK/sched" --program 1004 --sub 1 --id 4444 --start "$(minute_text $start)" \
  --end "$(minute_text $((start + 1800)))" --address 239.192.9.44 --port 23444 --sid 3 --name '番組 1004' \
  --storage "$(winpath "$WORK/data/menu")" >/dev/null || fail "rsvtool make"
: > "$WORK/hist/RsvData.log"
t_start
menu_shows $ID_VIEW_RESERVE_BUTTONS 'enabled unchecked'
menu_shows $ID_VIEW_HOVER 'enabled unchecked'
menu_shows $ID_TITLE_SERIES 'enabled checked'
menu_shows $ID_TITLE_CHANNEL 'enabled unchecked'
menu_shows $ID_HZOOM_OUT 'grayed unchecked'
menu_shows $ID_RECEIVED_LIST 'enabled unchecked'
menu_shows $ID_RESERVE_CLEAR 'enabled unchecked'

note "予約番組のクリア, confirmed, leaves nothing to clear"
t_post $ID_RESERVE_CLEAR
t_wait_visible 10 dialog:受信予約プログラム || fail "no confirmation for 予約番組のクリア"
t_wdrv post dialog:受信予約プログラム 1 >/dev/null
menu_shows $ID_RESERVE_CLEAR 'grayed unchecked'

t_exit
echo PASS
