#!/usr/bin/env bash
# The two builds of OVD.DLL: ovd/OVD.DLL is the one for the real card's
# drivers (what the installer ships; under Wine it finds no card even with
# boardsim running), ovd/sim/OVD.DLL the simulated-card build beside boardsim
# and ovdtool. No product source includes a file of the tools.
set -uo pipefail
. "$(dirname "$0")/lib/ovd.sh"
ovd_init
REAL="$WIN_BIN/ovd/OVD.DLL"
[ -e "$REAL" ] || fail "missing $REAL"
cmp -s "$REAL" "$OVD_DIR/OVD.DLL" && fail "the real and the simulated builds are the same file"

note "product sources include nothing from tools/"
hits=$(cd "$SRC" && grep -rln '#include "tools/' boardlib common unit planner selector)
[ -z "$hits" ] || fail "product sources including tool files: $hits"

sim_start --id "$OVD_ID" --sid 291 --install

note "the simulated build finds the simulated card"
ovdtool mac
expect_line "mac: $OVD_MAC"

note "the real build beside the same tool does not"
mkdir -p "$WORK/real"
cp "$OVDTOOL" "$REAL" "$WORK/real/"
OUT=$(wine "$WORK/real/ovdtool.exe" mac ro-init 2>&1 </dev/null | tr -d '\r')
expect_line "OvdGetMacAddress = -1"
expect_line "ROInit = 100"
echo "ok"
