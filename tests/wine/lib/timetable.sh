# Shared by the tavora_timetable*.sh tests (after lib/tavora.sh): guide days on
# several channels, the grid's cells as its test-only dump command reports them
# (client coordinates of the grid), and clicks and pixels there.
ID_TIMETABLE_DUMP_CELLS=32902

# tt_day_start_now: the current hour becomes the planner's day start; sets
# DAY_START (epoch) and DAY_FILE (that day's guide cache file name).
tt_day_start_now() {
  # Never straddle an hour between here and the planner's start.
  local minute; minute=$(date +%M)
  [ $((10#$minute)) -ge 57 ] && sleep $((3600 - $(date +%s) % 3600 + 2))
  local hour; hour=$(date +%H)
  t_reg Environment DayStart REG_DWORD $((10#$hour))
  DAY_START=$(date -d "$(date +%Y-%m-%d) $hour:00" +%s)
  DAY_FILE=$(date -d "@$DAY_START" +gd%y%m%d.dpn)
}
GRID=class:TavoraGrid

# tt_program NUMBER SUB START END NAME CHANNEL CATEGORY: one guide program (UTF-8).
tt_program() {
  printf '<program><program_number>%d</program_number><pro_name>%s</pro_name>' "$1" "$6"
  printf '<cp_name>%s</cp_name><category_for_sort>%s</category_for_sort>' "$6の番組" "$7"
  printf '<category_for_search>%s</category_for_search><name>%s</name>' "$7" "$5"
  printf '<digest>%s の内容</digest><total_kbyte>100</total_kbyte>\r\n' "$5"
  printf '<schedule><program_sub_number>%d</program_sub_number><receiver_ver>1</receiver_ver>' "$2"
  printf '<speed>1000</speed><starttime>%s</starttime><endtime>%s</endtime></schedule>\r\n' \
    "$(guide_time "$3")" "$(guide_time "$4")"
  printf '</program>\r\n'
}

# tt_busy_day DAY_START FIRST_NUMBER: a day of programs on three channels, one
# every 90 minutes on each, in three categories.
tt_busy_day() {
  local day=$1 n=$2 i c
  for ((i = 0; i < 16; i++)); do
    for c in 1 2 3; do
      tt_program $((n + i * 3 + c)) 1 $((day + i * 5400 + c * 600)) $((day + i * 5400 + c * 600 + 3600)) \
        "番組 $((n + i * 3 + c))" "局$c" "分類$(( (i + c) % 3 ))"
    done
  done
}

# tt_cells: asks the grid for its visible cells and prints their lines:
# "cell NUMBER SUB column C state S rect L T R B button L T R B".
tt_cells() {
  local before; before=$(stat -c %s "$LV_DEBUG_LOG" 2>/dev/null || echo 0)
  t_post $ID_TIMETABLE_DUMP_CELLS
  for _ in $(seq 50); do
    tail -c +$((before + 1)) "$LV_DEBUG_LOG" 2>/dev/null | grep -q '^cells scroll' && break
    sleep 0.1
  done
  sleep 0.3
  tail -c +$((before + 1)) "$LV_DEBUG_LOG" | tr -d '\r' | grep '^cell '
}

# tt_cell NUMBER SUB: that program's line from tt_cells (empty when not visible).
tt_cell() { tt_cells | awk -v n="$1" -v s="$2" '$2 == n && $3 == s { print; exit }'; }

# tt_button_centre LINE: "X Y" of the cell's button.
tt_button_centre() { awk '{ print int(($14 + $16) / 2), int(($15 + $17) / 2) }' <<<"$1"; }
# tt_cell_corner LINE: a point inside the cell, clear of its text and button.
tt_cell_corner() { awk '{ print $11 - 5, $12 - 5 }' <<<"$1"; }
tt_state() { awk '{ print $7 }' <<<"$1"; }

# tt_pixel X Y: the grid's colour there (RRGGBB).
tt_pixel() { t_wdrv pixel "$TWIN" $GRID "$1" "$2"; }
# tt_click X Y [kind]: a click in the grid.
tt_click() { t_wdrv mouse "$TWIN" $GRID "$1" "$2" "${3:-left}" >/dev/null; }
# Moves the pointer off every cell so no hover colour is left.
tt_unhover() { t_wdrv mouse "$TWIN" $GRID 1 1 move >/dev/null; }
