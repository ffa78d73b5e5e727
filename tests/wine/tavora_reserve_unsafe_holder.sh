#!/usr/bin/env bash
# A served detail file whose holder leads out of the data folder ("..\..\x"):
# dialog 149 refuses it with a message that names it, proposes no folder, and
# "予約" without a folder reserves nothing; nothing is made outside the data
# folder.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
mkdir -p "$WORK/served" "$WORK/data/deep/er"
t_day_start_now >/dev/null
now=$(date +%s)
start=$((now - now % 60 + 3600))
t_program 951 1 $start $((start + 1800)) '外向き試験' | t_guide_file "$WORK/served/$DAY_FILE"
t_filler_days "$WORK/served"
t_detail_file "$WORK/served/951-1.spn" 239.192.9.51 25951 5 '..\..\x'
t_serve
t_reg Environment EpgURL REG_SZ 'http://127.0.0.1'
t_reg Environment TestReserveProgram REG_SZ '951-1'
RSV='番組の予約'
MSGBOX='受信予約プログラム'
before=$(cd "$WORK" && find . -path ./prog -prune -o -print | sort)
[ -e "$(dirname "$WORK")/x" ] && outside=present || outside=absent

t_start
t_post $ID_TEST_RESERVE
t_wait_window 20 "$MSGBOX" || fail "no message for the holder: $(tail -5 "$LV_DEBUG_LOG")"
grep -q 'GET [^ ]*951-1.spn' "$WORK/server.log" || fail "the detail file was not fetched from the server"
text=$(t_wdrv controls "$MSGBOX")
grep -qF '..\..\x' <<<"$text" || fail "the message does not name the holder: $text"
grep -q '受信コンテンツのフォルダの中を指していない' <<<"$text" || fail "the message does not say why: $text"
t_wdrv post "$MSGBOX" 1 >/dev/null
t_wdrv wait "$MSGBOX" 5000 gone >/dev/null || fail "the message stayed"
t_wait_visible 10 "$RSV" || fail "dialog 149 did not open"
[ -z "$(t_wdrv text "$RSV" 1194)" ] || fail "a folder was proposed: $(t_wdrv text "$RSV" 1194)"

note "予約 without a folder reserves nothing"
t_wdrv click "$RSV" 1 >/dev/null
t_wait_window 10 "$MSGBOX" || fail "予約 without a folder was not refused"
t_wdrv controls "$MSGBOX" | grep -q 'フォルダ名はドライブ名' || fail "not STR 5029: $(t_wdrv controls "$MSGBOX")"
t_wdrv post "$MSGBOX" 1 >/dev/null
t_wdrv wait "$MSGBOX" 5000 gone >/dev/null || fail "the message stayed"
t_wdrv find "$RSV" >/dev/null || fail "dialog 149 closed without a reservation"
t_wdrv click "$RSV" 2 >/dev/null
t_wdrv wait "$RSV" 5000 gone >/dev/null || fail "dialog 149 did not close"
ls "$WORK/sched" | grep -qi '\.SDL$' && fail "a reservation was written: $(ls "$WORK/sched")"
# data\..\..\x is $(dirname "$WORK")/x.
[ -e "$(dirname "$WORK")/x" ] && [ "$outside" = absent ] && fail "the holder's folder was made outside the data folder"
after=$(cd "$WORK" && find . -path ./prog -prune -o -print | grep -v -e '^./debug.log$' -e '^./server.log$' \
  -e '^./hist/' -e '^./sched/Tavora.log$' | sort)
extra=$(comm -13 <(grep -v -e '^./debug.log$' -e '^./server.log$' -e '^./hist/' <<<"$before") <<<"$after")
[ -z "$extra" ] || fail "made outside the history folder: $extra"
t_exit
echo PASS
