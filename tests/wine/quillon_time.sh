#!/usr/bin/env bash
# Command 1012 starts the time receiver; the headend's NTP time, an hour ahead,
# is stored as "TimeError".
. "$(dirname "$0")/lib/quillon.sh"
q_init
q_reg Environment TimeError REG_DWORD 0
q_start
q_post 1012
sleep 1
"$HEADEND" ntp -q -o 3600.2 -n 5 -t 500 || fail "headend ntp"
# Whole seconds on both sides: the offset measured is 3600 or, when the PC's
# second turns between sending and receiving, 3601.
for _ in $(seq 25); do
  value=$(q_reg_query Environment TimeError)
  case "$value" in 0xe10|0xe11) break ;; esac
  sleep 0.2
done
case "$value" in 0xe10|0xe11) ;; *) fail "TimeError is '$value', not 3600" ;; esac
q_exit
echo PASS
