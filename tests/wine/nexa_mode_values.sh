#!/usr/bin/env bash
# A "Mode" that is no mode (a text, a number above 2) is not used: nexa runs
# with the default (1, ask) and writes that back at exit, not the bad value.
. "$(dirname "$0")/lib/nexa.sh"
n_init
n_board_interface aa:aa:aa:aa:aa:aa
n_channel_list <<'LIST'
239.1.2.0/24:* 21 BS21
LIST
while read -r type data; do
  note "Mode $type $data"
  n_reg Mode "$type" "$data"
  n_start || fail "nexa.exe ended at start with Mode $type $data"
  n_exit
  [ "$(reg_value "$NKEY" Mode)" = 01000000 ] || fail "Mode $type $data: $(reg_value "$NKEY" Mode) written back, not 01000000"
done <<'CASES'
REG_SZ 0
REG_BINARY 03000000
REG_BINARY ffffffff
CASES
echo PASS
