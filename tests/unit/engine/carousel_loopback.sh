#!/usr/bin/env bash
# headend carousel -> carousel-recv over loopback multicast in a network
# namespace of its own: byte-exact with header classes 1, 2 and 3, with and
# without loss, duplication and reordering.
# Env: HEADEND, RECV (the native programs).
set -euo pipefail
if [ "${LV_OWN_NETNS:-}" != 1 ]; then
  exec env LV_OWN_NETNS=1 unshare -n bash "$0" "$@"
fi
ip link set lo up
ip route add 224.0.0.0/4 dev lo 2>/dev/null || true

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src=$work/src
mkdir -p "$src/sub/deeper"
head -c 1000000 /dev/urandom >"$src/a_large_first.bin"
head -c 4080 /dev/urandom >"$src/exactly_one_block"
head -c 4081 /dev/urandom >"$src/sub/one_more_byte"
head -c 37 /dev/urandom >"$src/sub/deeper/tiny"
: >"$src/empty"
printf 'データ放送\r\n' >"$src/sub/日本語の名前.txt"
for i in $(seq 1 20); do head -c $((i * 777)) /dev/urandom >"$src/sub/small_$i"; done

run() {  # run NAME CLASS RECV-ARGS -- HEADEND-ARGS
  local name=$1 cls=$2
  shift 2
  local recvArgs=() sendArgs=()
  while [ "$1" != -- ]; do recvArgs+=("$1"); shift; done
  shift
  sendArgs=("$@")
  local dst=$work/dst_$name port=$((6000 + RANDOM % 1000))
  # The buffer holds the whole send (a loaded machine may not run the receiver
  # for longer than the default buffer lasts); the sender starts once the
  # receiver has joined the group.
  timeout 120 "$RECV" --timeout 20 --idle 5 --rcvbuf 4194304 "${recvArgs[@]}" 239.192.7.1 "$port" "$dst" \
    2>"$work/recv_$name.log" &
  local recv=$!
  for _ in $(seq 100); do grep -q "waiting for" "$work/recv_$name.log" 2>/dev/null && break; sleep 0.1; done
  "$HEADEND" carousel --quiet -g 239.192.7.1 -p "$port" -c "$cls" "${sendArgs[@]}" "$src" 2>"$work/send_$name.log" &
  local send=$!
  local rc=0
  wait "$recv" || rc=$?
  kill "$send" 2>/dev/null || true
  wait "$send" 2>/dev/null || true
  if [ "$rc" != 0 ]; then
    echo "FAIL $name: carousel-recv exit $rc"; cat "$work/recv_$name.log" "$work/send_$name.log"; return 1
  fi
  if ! diff -r "$src" "$dst"; then
    echo "FAIL $name: received files differ"; cat "$work/recv_$name.log"; return 1
  fi
  echo "ok   $name: $(tail -n 1 "$work/recv_$name.log")"
}

run class1 1 -- -b 4096 -n 3 --extra 20 -r 5M
run class2_midstart_lossy 2 -- -b 1024 -n 40 -r 20M --first-block 100 --loss 20 --duplicate 10 --reorder 10 --seed 7
run class3_lossy 3 -- -b 4096 -n 40 -r 20M --loss 30 --reorder 20 --duplicate 20 --seed 11
run class1_small_blocks 1 -- -b 300 -n 10 -r 2M
# Stray empty datagrams on the group before the carousel are read and dropped;
# they must neither stop the reception nor keep the receiver spinning.
run empty_datagrams_first 1 -- -b 4096 -n 2 --extra 20 -r 5M --empty-first 3

# A name from the air that climbs out of the folder is refused: nothing lands
# outside, the broadcast never completes, and the reception says so.
mkdir -p "$work/evil/x"
echo evil >"$work/evil/x/payload"
timeout 60 "$RECV" --timeout 20 --idle 2 239.192.7.2 6999 "$work/evil_dst" 2>"$work/recv_evil.log" &
recv=$!
for _ in $(seq 100); do grep -q "waiting for" "$work/recv_evil.log" 2>/dev/null && break; sleep 0.1; done
# The sender names its files relative to the folder; craft a hostile name by
# sending from a folder whose file name holds "..\" after conversion.
mkdir -p "$work/evil2"
printf 'x' >"$work/evil2/..\\escape.txt"
"$HEADEND" carousel --quiet -g 239.192.7.2 -p 6999 -n 3 -r 1M "$work/evil2" 2>/dev/null
rc=0
wait "$recv" || rc=$?
if [ "$rc" = 0 ] || [ -e "$work/escape.txt" ] || [ -n "$(ls -A "$work/evil_dst")" ]; then
  echo "FAIL hostile name: exit $rc"; ls -la "$work" "$work/evil_dst"; cat "$work/recv_evil.log"; exit 1
fi
echo "ok   hostile name refused"
