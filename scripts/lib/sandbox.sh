#!/usr/bin/env bash
# Runs a command inside the current (private) network namespace with what the
# Wine and multicast tests need: lo up with the multicast route, an X display
# (Xvfb unless USE_DISPLAY=1 keeps the caller's), a persistent wineserver and
# the virtual desktop. Everything started here is stopped again on exit.
# Called as: unshare -n scripts/lib/sandbox.sh COMMAND...
set -uo pipefail
# Without Wine's preloader (Debian ships none for wine64) a Wine process now and
# then finds the fixed address of its shared user data taken by a randomly
# placed mapping and dies at start ("failed to map the shared user data",
# c0000018): about one start in 1,500. Fixed address layouts make every start
# alike, so the tests and the demo run with address randomisation off.
if [ -z "${LV_FIXED_LAYOUT:-}" ]; then
  export LV_FIXED_LAYOUT=1
  exec setarch "$(uname -m)" -R "$0" "$@"
fi
. "$(dirname "$0")/env.sh"

ip link set lo up
ip route add 224.0.0.0/4 dev lo 2>/dev/null || true

xvfb_pid=
if [ "${USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
fi

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

wineserver -p >/dev/null 2>&1 </dev/null
wine explorer /desktop=Default,1024x768 >/dev/null 2>&1 </dev/null &
# A program run to its end means the server and Wine's own services are up.
wine cmd /c exit >/dev/null 2>&1 </dev/null
sleep 1
"$@"
