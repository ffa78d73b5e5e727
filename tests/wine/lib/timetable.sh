# Shared by the tavora_timetable*.sh tests (after lib/tavora.sh): guide days on
# several channels, the grid's cells as its test-only dump command reports them
# (client coordinates of the grid), and clicks and pixels there.
ID_TIMETABLE_DUMP_CELLS=32902

# tt_init: t_init with the planner's debug log kept in the work folder, and
# the broadcast day starting at the current hour (t_day_start_now).
tt_init() {
  t_init
  export LV_DEBUG_LOG="$WORK/debug.log"
  t_day_start_now >/dev/null
}

GRID=class:TavoraGrid

# tt_program NUMBER SUB START END NAME CHANNEL CATEGORY [SERIES]: one guide
# program (UTF-8); its series is "CHANNELの番組" unless given (empty: none).
tt_program() {
  printf '<program><program_number>%d</program_number><pro_name>%s</pro_name>' "$1" "$6"
  printf '<cp_name>%s</cp_name><category_for_sort>%s</category_for_sort>' "${8-$6の番組}" "$7"
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

# tt_dump: asks the grid for its geometry and visible cells and prints the
# lines it writes: first "cells scroll X Y size W H slot S unit U hours N char
# CW CH mode24 M zoom V H offset F" (F: hours the 24-hour window starts after
# the period), then one "cell NUMBER SUB column C state S rect L T
# R B button L T R B" per visible program (client coordinates of the grid),
# read once the dump's last line, "cells end", is there.
tt_dump() {
  local before; before=$(stat -c %s "$LV_DEBUG_LOG" 2>/dev/null || echo 0)
  t_post $ID_TIMETABLE_DUMP_CELLS
  for _ in $(seq 100); do
    tail -c +$((before + 1)) "$LV_DEBUG_LOG" 2>/dev/null | grep -q '^cells end' && break
    sleep 0.05
  done
  tail -c +$((before + 1)) "$LV_DEBUG_LOG" | tr -d '\r' | grep '^cells\? ' | grep -v '^cells end'
}
tt_cells() { tt_dump | grep '^cell '; }
# tt_geometry NAME: a value of the grid's geometry line ("scroll" gives X Y).
tt_geometry() {
  tt_dump | awk -v k="$1" '/^cells scroll/ { for (i = 1; i < NF; ++i) if ($i == k) { print (k == "scroll" || k == "char" || k == "zoom") ? $(i + 1) " " $(i + 2) : $(i + 1); exit } }'
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

# tt_local_week (after t_day_start_now): a week of guide in the history
# folder (the planner's own cache, no guide server) with tt_busy_day on every
# day and the programs on stdin added to the first; shown by channel over 7
# days in a 1000 x 700 window.
tt_local_week() {
  local i day
  { cat; tt_busy_day "$DAY_START" 1000; } | t_guide_file "$WORK/hist/$DAY_FILE"
  for i in 1 2 3 4 5 6; do
    day=$((DAY_START + i * 86400))
    tt_busy_day "$day" $((1000 + i * 100)) | t_guide_file "$WORK/hist/$(date -d "@$day" +gd%y%m%d.dpn)"
  done
  t_reg Environment 'Display days' REG_DWORD 7
  t_reg Environment TitleKind REG_DWORD 2
  t_reg Environment 'Window Width' REG_DWORD 1000
  t_reg Environment 'Window Height' REG_DWORD 700
}

# tt_reg_text SUBKEY NAME: a text value as stored, tabs and spaces included.
tt_reg_text() {
  wine reg query "$TKEY\\$1" /v "$2" 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r' |
    sed -n "s/^    $2    REG_SZ    //p"
}

# tt_guide_server FOLDER: `headend guide` serves the day and detail files of
# FOLDER on port 80 of the loopback, and the planner is told to ask it.
tt_guide_server() {
  "$HEADEND" guide --folder "$1" --port 80 > "$WORK/server.log" 2>&1 &
  T_EXTRA_PIDS="$T_EXTRA_PIDS $!"
  for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null && break; sleep 0.05; done
  t_reg Environment EpgURL REG_SZ 'http://127.0.0.1'
}

# tt_headings: the column headings as the heading pane shows them, "|" between
# (its window text, set when it paints).
tt_headings() { t_wdrv text "$TWIN" class:TavoraTitles; }

# tt_until EXPECTED COMMAND...: 0 once the command prints EXPECTED (what a pane
# shows changes only when it has painted), 1 after 20 s (a loaded machine
# paints late).
tt_until() {
  local want=$1 end=$((SECONDS + 20))
  shift
  while [ $SECONDS -lt $end ]; do
    [ "$("$@")" = "$want" ] && return 0
    sleep 0.1
  done
  [ "$("$@")" = "$want" ]
}
tt_headings_are() { tt_until "$1" tt_headings; }

# tt_open_week: a week of guide with a program on the air (501) and one two
# minutes ahead (502, its detail file naming a carousel on $group:$port), the
# guide server, distinct state colours, and the planner and the unit started;
# checks that the timetable opens at the current time with both programs in
# view in the normal colour. Leaves $now, $start, $group, $port, $started and
# $coming for the test.
tt_open_week() {
  tt_init
  mkdir -p "$WORK/served" "$WORK/send"
  head -c 100000 /dev/urandom > "$WORK/send/data.bin"
  now=$(date +%s)
  start=$((now - now % 60))
  port=$((20000 + RANDOM % 10000))
  group=239.192.6.$((RANDOM % 200 + 1))
  {
    tt_program 501 1 $((start - 60)) $((start + 1800)) '始まった番組' '局A' 'ニュース'
    tt_program 502 1 $((start + 120)) $((start + 1500)) '予約する番組' '局B' 'ニュース'
    tt_busy_day $((DAY_START + 7200)) 1000
  } | t_guide_file "$WORK/served/$DAY_FILE"
  for i in 1 2 3 4 5 6; do
    day=$((DAY_START + i * 86400))
    tt_busy_day "$day" $((1000 + i * 100)) | t_guide_file "$WORK/served/$(date -d "@$day" +gd%y%m%d.dpn)"
  done
  t_detail_file "$WORK/served/502-1.spn" "$group" "$port" 5 'timetable'
  tt_guide_server "$WORK/served"
  t_reg Environment 'Display days' REG_DWORD 7
  t_reg Environment TitleKind REG_DWORD 2
  t_reg Environment Timeout REG_DWORD 60
  # The unit opens the reception window at once for a program two minutes ahead.
  t_reg Environment 'Prepare Time' REG_DWORD 300
  # Distinct colours for the states the test reads (COLORREF 0x00BBGGRR).
  t_reg 'Environment\番組背景NML' Color0 REG_DWORD 0x00C0C0C0
  t_reg 'Environment\番組背景RES' Color0 REG_DWORD 0x000000C0
  t_reg 'Environment\番組背景ING' Color0 REG_DWORD 0x0000C000
  t_reg 'Environment\番組背景DWN' Color0 REG_DWORD 0x0000C000

  t_start
  t_wait_window 30 "$QTITLE" || fail "the unit did not start"

  note "the timetable opens at the current time"
  header=""
  for _ in $(seq 30); do
    header=$(t_wdrv text "$TWIN" class:TavoraDayInfo)
    [ -n "$header" ] && break
    sleep 0.2
  done
  grep -q "$(date +%m/%d)" <<<"$header" || grep -q "$(date -d @$((now - 3600)) +%m/%d)" <<<"$header" ||
    fail "date header: '$header'"
  titles=$(t_wdrv text "$TWIN" class:TavoraTitles)
  grep -q '局A' <<<"$titles" && grep -q '局B' <<<"$titles" || fail "column headings: '$titles'"
  started=$(tt_cell 501 1)
  coming=$(tt_cell 502 1)
  [ -n "$started" ] || fail "the program on the air is not in view: $(tt_cells)"
  [ -n "$coming" ] || fail "the next program is not in view: $(tt_cells)"
  tt_unhover
  sleep 0.3
  [ "$(tt_pixel $(tt_cell_corner "$coming"))" = C0C0C0 ] || fail "normal colour: $(tt_pixel $(tt_cell_corner "$coming"))"
}

# tt_reserve_coming (after tt_open_week): the reserve button of the coming
# program opens dialog 149; "予約" writes the reservation file and turns the
# cell to the reserved colour.
tt_reserve_coming() {
  local colour
  note "the reserve button opens dialog 149; 予約 marks the cell"
  RSV='番組の予約'
  tt_click $(tt_button_centre "$coming")
  t_wait_window 20 "$RSV" || fail "dialog 149 did not open"
  [ "$(t_wdrv text "$RSV" 1001)" = '予約する番組' ] || fail "dialog 149 is for '$(t_wdrv text "$RSV" 1001)'"
  t_wdrv click "$RSV" 1 >/dev/null
  wait_for_file 10 "$WORK/sched/RSV*.SDL" >/dev/null || fail "no reservation file"
  tt_unhover
  colour=
  for _ in $(seq 30); do
    colour=$(tt_pixel $(tt_cell_corner "$(tt_cell 502 1)"))
    [ "$colour" = C00000 ] && break
    sleep 0.2
  done
  [ "$colour" = C00000 ] || fail "the reserved cell is $colour, not the reserved colour"
  [ "$(tt_state "$(tt_cell 502 1)")" = 1 ] || fail "state: $(tt_cell 502 1)"
}
