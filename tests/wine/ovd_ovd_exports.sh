#!/usr/bin/env bash
# The Ovd* exports of OVD.DLL (its simulated-card build): service and
# tag ids, the commands they send, and the board's identities.
set -uo pipefail
. "$(dirname "$0")/lib/ovd.sh"
ovd_init

sim_start --id "$OVD_ID" --sid 100 --install --adapter 0003 --iccard 1234567890123450

note "setters need the driver: nothing is sent before OvdInit"
ovdtool set-sid 291 set-tag 3 set-sid2 291 4
expect_line "OvdSetSid = -1"
expect_line "OvdSetTagId = -1"
expect_line "OvdSetSid2 = -1"
[ -z "$(card_log)" ] || fail "sent before OvdInit: $(card_log)"

note "OvdInit twice; OvdSetSid 291 sends the word 16675"
ovdtool init init set-sid 291 get-sid set-tag 5 set-sid2 7 6 get-sid close set-sid 1
[ "$(grep -c 'OvdInit = 0' <<<"$OUT")" = 1 ] || fail "first OvdInit: $OUT"
expect_line "OvdInit = -1"
expect_line "sid: 291"
expect_line "sid: 7"
expect_line "OvdClose = 0"
expect_line "OvdSetSid = -1"
[ "$(card_log)" = "open
command 0xFF010222 0 0
command 0xFF010223 16675 8
command 0xFF010223 16675 5
command 0xFF010223 16391 6
command 0xFF010222 0 0
close" ] || fail "commands: $(card_log)"

note "identities"
ovdtool mac iccard get-tag
expect_line "mac: $OVD_MAC"
expect_line "iccard: 70-48-86-0D-DF-79 (123456789012345)"
expect_line "tag: 8"

note "a missing IC card number"
wine reg delete "$OVD_ADAPTER_KEY\\0003" /v IcCardNumber /f >/dev/null 2>&1 </dev/null
ovdtool iccard mac
expect_line "OvdGetIcCardNum = -1"
expect_line "OvdGetMacAddress = 0"
echo "ok"
