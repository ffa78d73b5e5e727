#!/usr/bin/env bash
# The RO* exports of OVD.DLL (its simulated-card build) driven by
# ovdtool.exe against boardsim: result codes, the commands the card receives,
# the broadcast time and the service type bits.
set -uo pipefail
. "$(dirname "$0")/lib/ovd.sh"
ovd_init

note "without a board"
ovdtool ro-get-si ro-init ro-get-time ro-irdopt 2 ro-reset
expect_line "ROGetSI = 100"
expect_line "si: 0"
expect_line "ROInit = 100"
expect_line "ROGetTime = 100"
expect_line "ROGetIRDOpt = 100"
expect_line "ROReset = 100"
ovdtool info
expect_line "ROGetROInfo = 0"
expect_line 'roinfo: 1 0 "VIvuzivi v00" 20'
expect_line "OvdGetMacAddress = -1"
expect_line "OvdGetIcCardNum = -1"
expect_line "OvdGetSid2 = -1"
grep -q 'board missing, 1 processes' "$WORK/debug.log" || fail "load without board not reported: $(cat "$WORK/debug.log")"

note "the adapter key names the driver in lower case; its card answers"
wine reg add "$OVD_ADAPTER_KEY\\0002" /v DeviceVxDs /t REG_SZ /d kt517.vxd /f >/dev/null 2>&1 </dev/null ||
  fail "reg add"
sim_start --id "$OVD_ID" --sid 291 --irdinfo 5 --pat-program 49153 --time "2001-03-05 21:30:15"
ovdtool ro-init ro-init ro-close ro-init ro-close
[ "$(grep -c 'ROInit = 0' <<<"$OUT")" = 2 ] || fail "ROInit after ROClose: $OUT"
expect_line "ROInit = 101"
[ "$(card_commands)" = "command 0xFF010222 0 0
command 0xFF010235 0 0
command 0xFF010222 0 0
command 0xFF010222 0 0
command 0xFF010235 0 0
command 0xFF010222 0 0" ] || fail "commands of init/close: $(card_log)"

note "the broadcast time and the association table's top bits"
ovdtool ro-init ro-get-time ro-irdopt 2 ro-irdopt 0 ro-irdopt 1 ro-irdinfo ro-status 4 ro-status 7 ro-status 5
expect_line "ROGetTime = 0"
expect_line "time: 2001-03-05 21:30:15 weekday 2"
expect_line "irdopt: 3"
expect_line "irdopt: 1"
expect_line "irdopt: 0"
expect_line "irdinfo: 5 1"
expect_line "status: 0"
expect_line "status: 1"
expect_line "ROGetROStatus = 207"

note "set stream: type 2 sends nothing; bit 14 or 15 chooses the command"
card_log_clear
ovdtool ro-init ro-set-stream 2 291 9 ro-set-stream 1 291 9 ro-set-stream 1 33059 7 ro-set-irdopt 8 77 ro-set-irdopt 3 1 ro-get-si
expect_line "ROSetStream = 201"
[ "$(grep -c 'ROSetStream = 0' <<<"$OUT")" = 2 ] || fail "ROSetStream: $OUT"
expect_line "ROSetIRDOpt = 202"
expect_line "ROGetSI = 207"
[ "$(card_commands)" = "command 0xFF010222 0 0
command 0xFF010221 291 9
command 0xFF010223 33059 7
command 0xFF010235 77 0
command 0xFF010222 0 0" ] || fail "commands of set stream: $(card_log)"

note "reset on a closed driver opens it"
card_log_clear
ovdtool ro-reset ro-reset ro-get-stream ro-close
[ "$(grep -c 'ROReset = 0' <<<"$OUT")" = 2 ] || fail "ROReset: $OUT"
expect_line "ROGetStream = 1"
[ "$(card_commands | head -2)" = "command 0xFF010222 0 0
command 0xFF010201 0 0" ] || fail "commands of reset: $(card_log)"
sim_stop

note "an active driver: stream read from the card, cached time"
sim_start --id "$OVD_ID" --sid 291 --active 1 --time "2001-03-05 21:30:15"
ovdtool ro-init ro-get-stream ro-get-time ro-status 7 ro-irdopt 2
expect_line "ROGetStream = 0"
expect_line "stream: type 1 sid 291 tag 8"
expect_line "ROGetTime = 1"
expect_line "time: 2001-03-05 21:30:15 weekday 2"
expect_line "ROGetROStatus = 203"
expect_line "irdopt: 0"
sim_stop

note "the driver cannot be opened"
sim_start --id "$OVD_ID" --no-driver
ovdtool ro-init ro-set-stream 1 291 8 ro-init
[ "$(grep -c 'ROInit = 1' <<<"$OUT")" = 2 ] || fail "ROInit without driver: $OUT"
expect_line "ROSetStream = 200"
[ -z "$(card_commands)" ] || fail "commands sent without a driver: $(card_log)"
sim_stop

note "a card that hands only packets out of sync: the flowing test still ends"
sim_start --id "$OVD_ID" --bad-sync-every 1
# The guard only keeps a hanging library from hanging the suite.
OUT=$(timeout 120 wine "$OVDTOOL" ro-init ro-status 7 ro-irdopt 0 ro-close 2>&1 </dev/null | tr -d '\r')
expect_line "ROGetROStatus = 0"
expect_line "status: 0"
expect_line "irdopt: 0"
expect_line "ROClose = 0"
echo "ok"
