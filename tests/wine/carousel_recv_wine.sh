#!/usr/bin/env bash
# carousel-recv.exe under Wine receives a carousel sent by the native head-end
# simulator over loopback multicast, byte-exact, from a start in the middle of
# the first file and through seeded loss.
# Env: WIN_BIN, NATIVE_BIN (build trees), run inside the test sandbox.
set -euo pipefail
recv="$WIN_BIN/tools/carousel_recv/carousel-recv.exe"
headend="$NATIVE_BIN/tools/headend/headend"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }

src=$work/src
mkdir -p "$src/sub"
head -c 700000 /dev/urandom >"$src/a_first.bin"
head -c 5000 /dev/urandom >"$src/sub/five_k"
head -c 1 /dev/urandom >"$src/one_byte"
: >"$src/empty"
printf '受信テスト\r\n' >"$src/sub/日本語.txt"
for i in $(seq 1 12); do head -c $((i * 1500)) /dev/urandom >"$src/sub/s$i"; done

receive() {  # receive NAME HEADEND-ARGS...
  local name=$1
  shift
  local dst=$work/dst_$name port=$((7000 + RANDOM % 1000))
  # A buffer that holds the whole send: on a loaded machine Wine's process may
  # not run for longer than the default buffer lasts, and this test is about
  # byte-exact reassembly, not about scheduling.
  timeout 120 wine "$recv" --timeout 30 --idle 8 --rcvbuf 4194304 239.192.8.1 "$port" "$(winpath "$dst")" \
    >"$work/recv_$name.out" 2>"$work/recv_$name.log" </dev/null &
  local pid=$!
  for _ in $(seq 100); do grep -q "waiting for" "$work/recv_$name.log" 2>/dev/null && break; sleep 0.1; done
  "$headend" carousel --quiet -g 239.192.8.1 -p "$port" "$@" "$src" 2>"$work/send_$name.log" &
  local send=$!
  local rc=0
  wait "$pid" || rc=$?
  kill "$send" 2>/dev/null || true
  wait "$send" 2>/dev/null || true
  if [ "$rc" != 0 ]; then
    echo "FAIL $name: carousel-recv.exe exit $rc"; cat "$work/recv_$name.log" "$work/send_$name.log"; exit 1
  fi
  if ! diff -r "$src" "$dst"; then
    echo "FAIL $name: received files differ"; exit 1
  fi
  echo "ok   $name: $(tr -d '\r' <"$work/recv_$name.log" | tail -n 1)"
}

# The sender repeats until the receiver has finished: a first cycle that
# passes before the receiver's membership takes effect (seen once on a loaded
# run: two short cycles went by unseen) must not fail a test of reassembly.
receive plain -c 1 -n 0 -r 4M
receive midstart_lossy -c 3 -b 2048 -n 30 -r 4M --first-block 50 --loss 25 --reorder 10 --duplicate 10 --seed 3
