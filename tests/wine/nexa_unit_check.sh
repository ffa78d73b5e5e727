#!/usr/bin/env bash
# The reception unit's selector check finds the running nexa.exe: with the
# selector's key and "Path" in place, command 1012 raises no prompt while nexa
# runs (and does while it does not: the check is real).
. "$(dirname "$0")/lib/quillon.sh"
q_init
QWORK=$WORK
. "$(dirname "$0")/lib/nexa.sh"
n_init
trap 'n_cleanup; WORK=$QWORK; q_cleanup' EXIT
n_board_interface aa:aa:aa:aa:aa:aa
n_reg Path REG_SZ 'C:\nexa\channels.dat'
prompt_shown() { wine "$WDRV" find メッセージ >/dev/null 2>&1 </dev/null; }

note "nexa runs: no prompt"
n_start || fail "nexa.exe ended at start"
q_start
q_post 1012
sleep 3
prompt_shown && fail "the unit prompts although nexa runs"
q_exit

note "nexa ended: the unit prompts"
n_exit
q_start
q_post 1012
for _ in $(seq 25); do prompt_shown && break; sleep 0.2; done
prompt_shown || fail "no prompt without nexa"
wine "$WDRV" click メッセージ 1 >/dev/null 2>&1 </dev/null
q_exit
echo PASS
