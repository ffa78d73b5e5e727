#!/usr/bin/env bash
# A file named like the schedule folder blocks the start: STR 5000 names it and
# the planner ends without a main window.
. "$(dirname "$0")/lib/tavora.sh"
t_init
echo 'not a folder' > "$WORK/blocked"
t_reg Schedule DataPath REG_SZ "$(winpath "$WORK/blocked")"
t_launch
t_wait_window 30 '受信予約プログラム' || fail "no message for the blocked folder"
controls=$(t_wdrv controls '受信予約プログラム')
grep -q 'で固定的に使用するﾌｫﾙﾀﾞ名ですので、同名のファイルは削除してください。' <<<"$controls" || fail "not STR 5000: $controls"
grep -qF "$(winpath "$WORK/blocked")" <<<"$controls" || fail "the message does not name the folder"
t_wdrv find "$TWIN" >/dev/null && fail "a main window exists"
t_wdrv post '受信予約プログラム' 1 >/dev/null
for _ in $(seq 50); do kill -0 "$TPID" 2>/dev/null || break; sleep 0.2; done
kill -0 "$TPID" 2>/dev/null && fail "the planner did not end"
TPID=
[ -f "$WORK/blocked" ] || fail "the blocking file was touched"
echo PASS
