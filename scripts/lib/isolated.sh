#!/usr/bin/env bash
# Runs one Wine test, the demo or a benchmark in a world of its own, so that
# ctest can run many at once: a private network namespace (loopback with the
# multicast route, so every test may bind the same ports and groups), a private
# copy of the Wine prefix with its own wineserver, and its own X display with
# the virtual desktop (USE_DISPLAY=1 keeps the caller's $DISPLAY instead). All
# of it is removed again on exit. Called as: isolated.sh COMMAND...
set -uo pipefail
# Without Wine's preloader (Debian ships none for wine64) a Wine process now and
# then finds the fixed address of its shared user data taken by a randomly
# placed mapping and dies at start ("failed to map the shared user data",
# c0000018): about one start in 1,500. Fixed address layouts make every start
# alike, so everything here runs with address randomisation off.
if [ -z "${LV_ISOLATED:-}" ]; then
  export LV_ISOLATED=1
  exec unshare -n setarch "$(uname -m)" -R "$0" "$@"
fi
. "$(dirname "$0")/env.sh"
template=$WINEPREFIX
[ -f "$template/system.reg" ] || { echo "isolated: no Wine prefix at $template (run scripts/setup)" >&2; exit 1; }

ip link set lo up
ip route add 224.0.0.0/4 dev lo 2>/dev/null || true

own=$(mktemp -d /tmp/lvwine.XXXXXX)
xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 </dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$own"
}
trap cleanup EXIT

# The prefix is copied, except the Windows system folders, which are linked:
# they are most of its size, and nothing writes into them (a test that installs
# replaces files by new ones, it never rewrites one in place).
export WINEPREFIX="$own/prefix"
mkdir -p "$WINEPREFIX"
tar -C "$template" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 \
  -cf - . | tar -C "$WINEPREFIX" -xf -
for d in system32 syswow64; do
  [ -d "$template/drive_c/windows/$d" ] && cp -al "$template/drive_c/windows/$d" "$WINEPREFIX/drive_c/windows/"
done

if [ "${USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display itself and writes its number once it accepts clients.
  # Several worlds starting at once can race for the same display number, and
  # the loser ends at once: a server that ended before it took clients is
  # started again (a few times), one that is merely slow is waited for.
  for attempt in 1 2 3 4 5; do
    : > "$own/display"
    exec 3<> "$own/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>"$own/xvfb.log" &
    xvfb_pid=$!
    # Seconds at most when idle; a machine starting several tests at once can
    # take far longer, so wait while the server lives, up to a minute.
    for _ in $(seq 1200); do
      [ -s "$own/display" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    exec 3>&-
    [ -s "$own/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null && { echo "isolated: Xvfb took no clients within a minute" >&2; exit 1; }
  done
  if [ ! -s "$own/display" ]; then
    echo "isolated: Xvfb ended before it took clients, 5 times: $(tail -n 3 "$own/xvfb.log" | tr '\n' ' ')" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$own/display")"
fi

wineserver -p >/dev/null 2>&1 </dev/null
wine explorer /desktop=Default,1024x768 >/dev/null 2>&1 </dev/null &
# A program run to its end means the server and Wine's own services are up.
wine cmd /c exit >/dev/null 2>&1 </dev/null
"$@"
