#!/usr/bin/env bash
# First start with an empty planner key: the schedule and history folders are
# made under "\Program Files\Lumivent\" of the Windows drive and the data folder
# is asked for (dialog 132); a relative answer is refused, an absolute one kept.
# Folder names whose last character ends in the byte of "\" (表, ソ) are taken
# and kept as they are, at the first start and at every later one.
. "$(dirname "$0")/lib/tavora.sh"
t_init --fresh
LUMIVENT="$WINEPREFIX/drive_c/Program Files/Lumivent"
[ -e "$LUMIVENT" ] && fail "$LUMIVENT exists before the test"
trap 't_cleanup; rm -rf "$LUMIVENT"' EXIT

ASK='受信コンテンツを格納するフォルダの設定'
t_launch
t_wait_window 30 "$ASK" || fail "dialog 132 did not appear"
t_wdrv find "$TWIN" >/dev/null && fail "the main window came before the data folder was known"
[ -d "$LUMIVENT/Schedule" ] || fail "schedule folder not made"
[ -d "$LUMIVENT/Temporary" ] || fail "history folder not made"

note "a relative folder is refused"
t_wdrv settext "$ASK" 1002 'contents' >/dev/null || fail "no edit 1002"
t_wdrv click "$ASK" 1 >/dev/null
t_wait_window 10 '受信予約プログラム' || fail "no message for a relative folder"
t_wdrv controls '受信予約プログラム' | grep -q 'ドライブ名' || fail "the message does not ask for a drive name"
t_wdrv post '受信予約プログラム' 1 >/dev/null
t_wdrv find "$ASK" >/dev/null || fail "dialog 132 closed on a relative folder"

note "an absolute folder is taken"
t_wdrv settext "$ASK" 1002 "$(winpath "$WORK/data/contents")" >/dev/null
t_wdrv click "$ASK" 1 >/dev/null
for _ in $(seq 100); do t_wdrv visible "$TWIN" >/dev/null && break; sleep 0.2; done
t_wdrv visible "$TWIN" >/dev/null || fail "the main window did not appear"
[ -d "$WORK/data/contents" ] || fail "data folder not made"
wine reg query "$TKEY\\Schedule" /v DataPath 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 |
  grep -q 'C:\\Program Files\\Lumivent\\Schedule' || fail "schedule folder not stored"
wine reg query "$TKEY\\temp" /v DataPath 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 |
  grep -q 'C:\\Program Files\\Lumivent\\Temporary' || fail "history folder not stored"
[ "$(t_reg_query path DataPath)" = "$(winpath "$WORK/data/contents")" ] || fail "data folder not stored"
t_exit

# refused: fails with the planner's message when one comes.
refused() {
  t_wdrv find '受信予約プログラム' >/dev/null && fail "$1: $(t_wdrv controls '受信予約プログラム' | tr '\n' ' ')"
}

note "an existing data folder ending in 表"
mkdir -p "$WORK/data/番組表"
wine reg delete "$TKEY\\path" /v DataPath /f >/dev/null 2>&1 </dev/null
t_launch
for _ in $(seq 150); do t_wdrv find "$ASK" >/dev/null && break; refused "refused before dialog 132"; sleep 0.2; done
t_wdrv find "$ASK" >/dev/null || fail "dialog 132 did not appear without a data folder"
t_wdrv settext "$ASK" 1002 "$(winpath "$WORK/data/番組表")" >/dev/null
t_wdrv click "$ASK" 1 >/dev/null
for _ in $(seq 100); do t_wdrv visible "$TWIN" >/dev/null && break; refused "data folder refused"; sleep 0.2; done
t_wdrv visible "$TWIN" >/dev/null || fail "the main window did not appear"
[ "$(t_reg_query path DataPath)" = "$(winpath "$WORK/data/番組表")" ] || fail "data folder stored as $(t_reg_query path DataPath)"
t_exit

note "a stored schedule folder ending in ソ, at this start and the next"
t_reg Schedule DataPath REG_SZ "$(winpath "$WORK/予約ソ")"
for start in first second; do
  t_launch
  for _ in $(seq 150); do t_wdrv visible "$TWIN" >/dev/null && break; refused "$start start refused"; sleep 0.2; done
  t_wdrv visible "$TWIN" >/dev/null || fail "the main window did not appear at the $start start"
  t_wdrv find "$ASK" >/dev/null && fail "dialog 132 asked again"
  [ "$(t_reg_query Schedule DataPath)" = "$(winpath "$WORK/予約ソ")" ] ||
    fail "schedule folder rewritten at the $start start: $(t_reg_query Schedule DataPath)"
  [ "$(t_reg_query path DataPath)" = "$(winpath "$WORK/data/番組表")" ] || fail "data folder rewritten: $(t_reg_query path DataPath)"
  [ -d "$WORK/予約ソ" ] || fail "the schedule folder was not made under its name: $(ls "$WORK")"
  [ "$(ls "$WORK" | grep -c '^予約')" = 1 ] || fail "a second, cut schedule folder: $(ls "$WORK")"
  t_exit
done
echo PASS
