#!/bin/sh
# Runs one native test in a network namespace of its own (loopback with the
# multicast route), so tests that bind the same port or join the same group
# can run side by side without hearing each other. Called as: netns.sh COMMAND...
if [ -z "${LV_NETNS:-}" ]; then
  LV_NETNS=1 exec unshare -n "$0" "$@"
fi
ip link set lo up
ip route add 224.0.0.0/4 dev lo 2>/dev/null
exec "$@"
