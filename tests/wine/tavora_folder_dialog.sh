#!/usr/bin/env bash
# Dialog 150 from dialog 149's "変更..": the free space of the typed folder's
# drive, "ﾃﾞﾌｫﾙﾄ" restores data folder + holder, a folder without a drive is
# refused with STR 5029, an absolute one replaces the reservation's folder.
. "$(dirname "$0")/lib/tavora.sh"
t_init
t_day_start_now >/dev/null
t_filler_days "$WORK/hist"
now=$(date +%s)
start=$((now - now % 60 + 3600))
t_program 901 4 $start $((start + 1800)) 'フォルダ試験' 2048 | t_guide_file "$WORK/hist/$DAY_FILE"
t_detail_file "$WORK/hist/901-4.spn" 239.192.8.1 25000 9 'holder901'
t_reg Environment TestReserveProgram REG_SZ '901-4'
t_start
t_post $ID_TEST_RESERVE
RSV='番組の予約'
FLD='ファイル格納フォルダの変更'
t_wait_visible 20 "$RSV" || fail "dialog 149 did not open"
t_wdrv click "$RSV" 1045 >/dev/null
t_wait_window 10 "$FLD" || fail "dialog 150 did not open"
[ "$(t_wdrv text "$FLD" 1050)" = 'フォルダ試験' ] || fail "title: $(t_wdrv text "$FLD" 1050)"
[ "$(t_wdrv text "$FLD" 1051)" = '2048 KB' ] || fail "size: $(t_wdrv text "$FLD" 1051)"
t_wdrv text "$FLD" 1047 | grep -Eq '^[0-9]+ KB$' || fail "free space: $(t_wdrv text "$FLD" 1047)"

note "a folder without its drive is refused"
t_wdrv settext "$FLD" 1048 'relative\folder' >/dev/null
t_wdrv click "$FLD" 1 >/dev/null
t_wait_window 10 '受信予約プログラム' || fail "no STR 5029"
t_wdrv controls '受信予約プログラム' | grep -q 'フォルダ名はドライブ名' || fail "the message is not STR 5029"
t_wdrv post '受信予約プログラム' 1 >/dev/null
sleep 0.5
t_wdrv find "$FLD" >/dev/null || fail "dialog 150 closed on a relative folder"

note "an empty folder disables OK; ﾃﾞﾌｫﾙﾄ restores the proposal"
t_wdrv settext "$FLD" 1048 '' >/dev/null
[ "$(t_wdrv controls "$FLD" | awk -F'\t' '$1 == 1 { print $3 }')" = v- ] || fail "OK is enabled for an empty folder"
t_wdrv click "$FLD" 1049 >/dev/null
[ "$(t_wdrv text "$FLD" 1048)" = "$(winpath "$WORK/data")\\holder901" ] || fail "default: $(t_wdrv text "$FLD" 1048)"

note "an absolute folder replaces the reservation's folder"
t_wdrv settext "$FLD" 1048 "$(winpath "$WORK/data")\\elsewhere" >/dev/null
t_wdrv click "$FLD" 1 >/dev/null
for _ in $(seq 25); do t_wdrv find "$FLD" >/dev/null || break; sleep 0.2; done
[ "$(t_wdrv text "$RSV" 1194)" = "$(winpath "$WORK/data")\\elsewhere" ] || fail "folder: $(t_wdrv text "$RSV" 1194)"
t_wdrv click "$RSV" 2 >/dev/null
t_exit
echo PASS
