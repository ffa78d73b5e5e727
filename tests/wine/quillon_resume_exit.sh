#!/usr/bin/env bash
# The user ends the real Quillon.exe (exit prompt, Yes) in the middle of a
# broadcast: the reservation stays and so does what was received, written at
# the exit itself. The next start receives only the second half of the blocks
# and completes the reservation byte-exact with status 1.
. "$(dirname "$0")/lib/quillon.sh"
q_init

head -c 1000 /dev/urandom > "$WORK/send/a_small.dat"
head -c 200000 /dev/urandom > "$WORK/send/large.bin"
printf 'second\r\n' > "$WORK/send/second.txt"

q_resume_reservation 7 4663 1 780 "終了後の再開" 197

note "the first half, then the exit with Yes"
q_start
q_wait_reception_window
q_send_first_half
# The socket's notice of the datagrams is queued before the exit command, and
# the prompt's own loop runs the reception's timer until it is answered.
q_exit_answer 6 || fail "the unit did not end after Yes"
[ -e "$rsv" ] || fail "the reservation file went with the exit"
[ -e "$state_dir/state.dat" ] || fail "no state kept at the exit: $(ls -l "$state_dir" 2>&1)"
[ -z "$(find "$WORK/data" -type f 2>/dev/null)" ] || fail "partial files in the storage folder: $(find "$WORK/data" -type f)"
ls "$WORK/hist"/INFO*.RSV >/dev/null 2>&1 && fail "a result was recorded for the reception under way"

note "the next start receives the second half only"
q_start
q_wait_reception_window
q_second_half_completes
q_exit
echo PASS
