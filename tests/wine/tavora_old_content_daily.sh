#!/usr/bin/env bash
# Old content deletion every day at ExecHour (ExecKind 2), with nobody at the
# PC: at the hour the planner asks once (dialog 293 counting down), the ticks
# that go on while it asks start no second question, and when the count runs
# out nothing is deleted. The planner's clock (its TimeError, as the unit
# would have measured it) is set some seconds before the next full hour (enough for a start on a busy machine), so
# that the test need not wait for the hour.
. "$(dirname "$0")/lib/tavora.sh"
t_init
QUESTION='dialog:メッセージ'

mkdir -p "$WORK/data/missed"
head -c 3000 /dev/urandom > "$WORK/data/missed/a.bin"
printf '3000\r\na.bin\r\n' > "$WORK/data/missed/FileList.mls"
now=$(date +%s)
start=$((now - now % 60 - 7200))
"$RSVTOOL" make --folder "$WORK/sched" --program 8401 --sub 1 --sid 7 --address 239.192.8.41 --port 21841 \
  --start "$(minute_text $start)" --end "$(minute_text $((start + 3600)))" --name "毎日の削除" \
  --storage "$(winpath "$WORK/data/missed")" >/dev/null || fail "rsvtool make"
wine "$WIN_BIN/unit/win/Quillon.exe" >/dev/null 2>&1 </dev/null &
T_EXTRA_PIDS="$!"
wait_for_file 20 "$WORK/hist/INFO*.RSV" >/dev/null || fail "the unit did not record the missed program"
t_end_unit
t_reg Environment LossRequest REG_DWORD 0

now=$(date +%s)
hour=$(date -d "$(date -d "@$((now + 3600))" '+%Y-%m-%d %H:00')" +%s)
[ $((hour - now)) -lt 60 ] && hour=$((hour + 3600))
t_reg Environment TimeError REG_DWORD $((hour - now - 40))
t_reg 'Environment\DelExec' ExecKind REG_DWORD 2
t_reg 'Environment\DelExec' ExecHour REG_DWORD $((10#$(date -d "@$hour" +%H)))
t_reg 'Environment\DelExec' ErrorProg REG_DWORD 1
t_reg 'Environment\DelExec' AskSeconds REG_DWORD 15

note "before the hour nobody is asked"
t_start
t_wdrv find "$QUESTION" >/dev/null && fail "asked before the hour"

note "at the hour: one question, counting down"
t_wait_visible 70 "$QUESTION" || fail "no question at the hour"
grep -q '受信済み番組 1 件のコンテンツを削除します' <<<"$(t_wdrv text "$QUESTION" 1101)" ||
  fail "question: $(t_wdrv text "$QUESTION" 1101)"
sleep 2.5
[ "$(t_wdrv count メッセージ)" = 1 ] || fail "$(t_wdrv count メッセージ) questions open at once"

note "unanswered, it closes itself; nothing is deleted and nobody is asked again"
t_wdrv wait "$QUESTION" 17000 gone >/dev/null || fail "the question did not close itself"
sleep 3
t_wdrv find "$QUESTION" >/dev/null && fail "asked again after the question ran out"
[ -e "$WORK/data/missed/a.bin" ] || fail "content deleted though nobody answered"
[ -e "$WORK/hist/RsvData.log" ] && fail "an entry was retired though nobody answered"
t_exit
echo PASS
