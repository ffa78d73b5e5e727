#!/usr/bin/env bash
# Old content deletion at start (ExecKind 1, ErrorProg 1). Before deleting, the
# planner asks with a countdown (dialog 293, AskSeconds kept short here as a
# user could set it): unanswered, the question closes itself and nothing is
# deleted; answered "OK" on the next start, the failed reception is retired
# into RsvData.log and its folder keeps its files (a failed reception owns
# none: what lies there is an earlier reception's),
# while an equally failed reception whose folder lies outside the data folder
# is left alone. With the deletion off nobody is asked and nothing is touched.
. "$(dirname "$0")/lib/tavora.sh"
t_init

# content FOLDER: a received content with the list the broadcaster sends.
content() {
  mkdir -p "$1"
  head -c 3000 /dev/urandom > "$1/a.bin"
  printf '3000\r\na.bin\r\n' > "$1/FileList.mls"
}
content "$WORK/data/missed"
content "$WORK/outside/kept"

# Two reservations that ended an hour ago: the unit records both as not received.
now=$(date +%s)
start=$((now - now % 60 - 7200))
for entry in "8101:$WORK/data/missed" "8102:$WORK/outside/kept"; do
  "$RSVTOOL" make --folder "$WORK/sched" --program "${entry%%:*}" --sub 1 --sid 7 --address 239.192.8.1 --port 21801 \
    --start "$(minute_text $start)" --end "$(minute_text $((start + 3600)))" --name "過ぎた番組" \
    --storage "$(winpath "${entry#*:}")" >/dev/null || fail "rsvtool make"
done
wine "$WIN_BIN/unit/win/Quillon.exe" >/dev/null 2>&1 </dev/null &
T_EXTRA_PIDS="$!"
for _ in $(seq 100); do [ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] && break; sleep 0.2; done
[ "$(ls "$WORK/hist" | grep -c '^INFO')" = 2 ] || fail "the unit did not record the two missed programs"
t_end_unit

QUESTION='dialog:メッセージ'

note "deletion off: a start asks nothing and deletes nothing"
t_start
sleep 3
t_wdrv find "$QUESTION" >/dev/null && fail "a question appeared while the deletion is off"
t_exit
[ -e "$WORK/data/missed/a.bin" ] || fail "content deleted while the deletion is off"

# The seconds the question says are left.
seconds_left() { t_wdrv text "$QUESTION" 1102 | grep -o '^[0-9]*'; }

note "deletion at start: the question counts down and, unanswered, deletes nothing"
t_reg 'Environment\DelExec' ExecKind REG_DWORD 1
t_reg 'Environment\DelExec' ErrorProg REG_DWORD 1
t_reg 'Environment\DelExec' AskSeconds REG_DWORD 15
t_start
t_wait_visible 20 "$QUESTION" || fail "no question before the deletion"
text=$(t_wdrv text "$QUESTION" 1101)
grep -q '受信済み番組 1 件のコンテンツを削除します' <<<"$text" || fail "question: $text"
grep -q '受信に失敗した番組' <<<"$text" || fail "the question does not name the rule: $text"
first=$(seconds_left)
sleep 1.5
second=$(seconds_left)
[ -n "$first" ] && [ -n "$second" ] || fail "no countdown: '$(t_wdrv text "$QUESTION" 1102)'"
[ "$first" -le 15 ] && [ "$second" -lt "$first" ] || fail "the countdown went from $first to $second"
t_wdrv wait "$QUESTION" 17000 gone || fail "the question did not close itself"
sleep 1
[ -e "$WORK/data/missed/a.bin" ] || fail "content deleted though nobody answered"
[ -e "$WORK/hist/RsvData.log" ] && fail "an entry was retired though nobody answered"
t_wdrv visible "$TWIN" >/dev/null || fail "the planner's window went with the question"
t_exit

note "the planner told to end while it asks: it ends and deletes nothing"
t_start
t_wait_visible 20 "$QUESTION" || fail "no question on the second start"
t_post $ID_APP_EXIT
for _ in $(seq 50); do kill -0 "$TPID" 2>/dev/null || break; sleep 0.2; done
kill -0 "$TPID" 2>/dev/null && fail "the planner did not end while its question was open"
wait "$TPID"
TPID=
[ -e "$WORK/data/missed/a.bin" ] || fail "content deleted by a planner that was ending"

note "the next start: answered OK, the failed reception is retired and owns no files"
t_start
t_wait_visible 20 "$QUESTION" || fail "no question on the second start"
t_wdrv click "$QUESTION" 1 >/dev/null
for _ in $(seq 50); do [ -s "$WORK/hist/RsvData.log" ] && break; sleep 0.2; done
[ -e "$WORK/data/missed/a.bin" ] || fail "a failed reception's retirement deleted the files in its folder"
[ -e "$WORK/outside/kept/a.bin" ] || fail "content outside the data folder was deleted"
[ -e "$WORK/outside/kept/FileList.mls" ] || fail "the list outside the data folder was deleted"
[ -s "$WORK/hist/RsvData.log" ] || fail "the failed reception was not retired into RsvData.log"
iconv -f CP932 -t UTF-8 "$WORK/hist/RsvData.log" | grep -q "過ぎた番組" || fail "RsvData.log has no line for the program"
t_exit

note "nothing left to delete: the next start asks nothing"
t_start
sleep 3
t_wdrv find "$QUESTION" >/dev/null && fail "asked though nothing is left to delete"
t_exit
echo PASS
