#!/usr/bin/env bash
# The real Quillon.exe killed in the middle of a broadcast: the first half of a
# carousel's blocks reaches it, the process is killed (SIGKILL, nothing of the
# unit runs any more), the unit starts again within the broadcast and only the
# second half is sent. The reservation completes byte-exact with status 1, and
# neither a partial nor a temporary file ever stands in the storage folder.
. "$(dirname "$0")/lib/quillon.sh"
q_init

note "carousel content"
head -c 1000 /dev/urandom > "$WORK/send/a_small.dat"
head -c 300000 /dev/urandom > "$WORK/send/large.bin"
mkdir -p "$WORK/send/sub"
printf 'readme\r\n' > "$WORK/send/sub/readme.txt"
printf 'japanese name\r\n' > "$WORK/send/番組案内.txt"

q_resume_reservation 6 4662 3 779 "再開テスト" 296

note "unit starts and receives the first half"
q_start
q_wait_reception_window
q_send_first_half
sent_at=$(date +%s)

note "the state is written after the last block of the first half, and then no more"
# Saves come at most every 5 s and only after new blocks: once a save from
# after the send has stood for 8 s, it holds every block received.
last= stable=0
for _ in $(seq 300); do
  stamp=$(stat -c '%Y %y' "$state_dir/state.dat" 2>/dev/null)
  if [ -n "$stamp" ] && [ "${stamp%% *}" -ge "$sent_at" ] && [ "$stamp" = "$last" ]; then
    stable=$((stable + 1))
    [ "$stable" -ge 40 ] && break
  else
    stable=0
  fi
  last=$stamp
  sleep 0.2
done
[ "$stable" -ge 40 ] || fail "no settled state in $state_dir: $(ls -l "$state_dir" 2>&1)"
ls "$state_dir"/*.part >/dev/null 2>&1 || fail "no part file beside the state"
[ -z "$(find "$WORK/data" -type f 2>/dev/null)" ] || fail "partial files in the storage folder: $(find "$WORK/data" -type f)"

note "the process is killed"
kill -KILL "$QPID"
for _ in $(seq 50); do kill -0 "$QPID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$QPID" 2>/dev/null && fail "Quillon.exe outlived SIGKILL"
wait "$QPID" 2>/dev/null
QPID=
for _ in $(seq 50); do wine "$WDRV" find "$QTITLE" >/dev/null 2>&1 </dev/null || break; sleep 0.2; done
[ -e "$rsv" ] || fail "the reservation file went with the process"
ls "$WORK/hist"/INFO*.RSV >/dev/null 2>&1 && fail "a result was recorded for the killed reception"

note "the unit starts again and only the second half is sent"
q_start
q_wait_reception_window
q_second_half_completes
[ -e "$rsv" ] && fail "reservation file still there"
q_exit
echo PASS
