#!/usr/bin/env bash
# The selector check on command 1012: no prompt while the selector is not
# installed; with its registry key and no "nexa" window the prompt "メッセージ"
# appears and closes itself once the selector's window shows up; a second 1012
# while the time receiver exists asks nothing.
. "$(dirname "$0")/lib/quillon.sh"
q_init
NEXA_KEY='HKLM\Software\nexa\config'
wine reg delete "$NEXA_KEY" /f >/dev/null 2>&1 </dev/null
prompt_shown() { wine "$WDRV" find メッセージ >/dev/null 2>&1 </dev/null; }

note "selector not installed: no prompt"
q_start
q_post 1012
sleep 2
prompt_shown && fail "prompt without the selector's key"
q_exit

note "selector installed but not running: prompt until its window appears"
wine reg add "$NEXA_KEY" /v Path /t REG_SZ /d 'C:\nexa\nexa.exe' /f >/dev/null 2>&1 </dev/null
trap 'wine reg delete "$NEXA_KEY" /f >/dev/null 2>&1 </dev/null; q_cleanup' EXIT
q_start
q_post 1012
for _ in $(seq 25); do prompt_shown && break; sleep 0.2; done
prompt_shown || fail "no prompt"
wine "$WDRV" hold nexa 6 >/dev/null 2>&1 </dev/null &
holder=$!
for _ in $(seq 25); do prompt_shown || break; sleep 0.2; done
prompt_shown && fail "the prompt stayed although the selector's window appeared"
wait $holder

note "a second 1012 while the receiver exists asks nothing"
q_post 1012
sleep 2
prompt_shown && fail "second prompt"
q_exit
echo PASS
