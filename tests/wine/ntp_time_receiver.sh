#!/usr/bin/env bash
# The time receiver under Wine hears the native head-end's NTP datagrams on
# 224.0.1.1:123 and stores the offset as "TimeError" in the registry; an offset
# of 3600.6 s (sent just after a whole second) is stored as 3601, and a second measurement within a second of
# it leaves the value as it is.
# Env: WIN_BIN, NATIVE_BIN, run inside the test sandbox (as root for port 123).
set -euo pipefail
probe="$WIN_BIN/tests/unit/engine/time-probe.exe"
headend="$NATIVE_BIN/tools/headend/headend"
key='HKCU\Software\Lumivent\TavoraPlanner\Environment'
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

stored() {
  wine reg query "$key" /v TimeError 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r' |
    awk '$1 == "TimeError" { print $3 }'
}

measure() {  # measure OFFSET -> probe's line
  timeout 60 wine "$probe" 30 >"$work/probe.out" 2>"$work/probe.log" </dev/null &
  local pid=$!
  for _ in $(seq 100); do grep -q listening "$work/probe.log" 2>/dev/null && break; sleep 0.1; done
  "$headend" ntp --quiet --on-second --offset "$1" --count 20 &
  local send=$!
  local rc=0
  wait "$pid" || rc=$?
  kill "$send" 2>/dev/null || true
  wait "$send" 2>/dev/null || true
  if [ "$rc" != 0 ]; then echo "FAIL: time-probe exit $rc"; cat "$work/probe.log" "$work/probe.out"; exit 1; fi
  tr -d '\r' <"$work/probe.out"
}

wine reg delete "$key" /v TimeError /f >/dev/null 2>&1 </dev/null || true

line=$(measure 3600.6)
value=$(stored)
if [ "$value" != 0xe11 ]; then echo "FAIL: TimeError is '$value' after an offset of 3600.6 s ($line)"; exit 1; fi
echo "ok   3600.6 s stored as 3601 ($line)"

# Within one second of the stored value: nothing changes, nothing is written.
wine reg add "$key" /v TimeError /t REG_DWORD /d 3600 /f >/dev/null 2>&1 </dev/null
line=$(measure 3601.3)
value=$(stored)
case "$line" in *"changed 0 offset 3600"*) ;; *) echo "FAIL: unexpected change ($line)"; exit 1 ;; esac
if [ "$value" != 0xe10 ]; then echo "FAIL: TimeError became '$value'"; exit 1; fi
echo "ok   3601.3 s against 3600 leaves TimeError alone"

# A clock that is ahead stores a negative offset.
line=$(measure -125.2)
value=$(stored)
if [ "$value" != 0xffffff83 ]; then echo "FAIL: TimeError is '$value' after -125.2 s ($line)"; exit 1; fi
echo "ok   -125.2 s stored as -125"
