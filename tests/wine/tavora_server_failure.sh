#!/usr/bin/env bash
# A guide location that cannot be reached: the start shows the server-failure
# message (dialog "メッセージ" with check box 1038) once; ticked, a later guide
# update (32783) shows it no more while the planner runs.
. "$(dirname "$0")/lib/tavora.sh"
t_init
# A colon and a port stay part of the host name: its lookup fails at once.
t_reg Environment EpgURL REG_SZ 'http://127.0.0.1:1/guide'
MSG='メッセージ'
t_launch
t_wait_window 60 "$MSG" || fail "no server-failure message at start"
controls=$(t_wdrv controls "$MSG")
grep -q '番組表の格納先との通信に失敗しました。' <<<"$controls" || fail "first line missing: $controls"
grep -q '以前に取得した番組表ファイルを使用します' <<<"$controls" || fail "second line missing"
grep -q 'これ以降このメッセージを表示させない' <<<"$controls" || fail "check box missing"
t_wdrv check "$MSG" 1038 1 >/dev/null || fail "no check box 1038"
t_wdrv click "$MSG" 1 >/dev/null
for _ in $(seq 100); do t_wdrv visible "$TWIN" >/dev/null && break; sleep 0.2; done
t_wdrv visible "$TWIN" >/dev/null || fail "the main window did not appear"

note "after the tick, 32783 fails silently"
t_post 32783
for _ in $(seq 15); do t_wdrv find "$MSG" >/dev/null && fail "the message came again"; sleep 0.2; done
t_exit
echo PASS
