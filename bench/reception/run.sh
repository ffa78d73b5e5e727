#!/usr/bin/env bash
# Reception benchmark: in a private network namespace, the native head-end sends
# a carousel of 200 files (1 KB to 8 MB, about 100 MB, 4096-byte datagrams) at
# increasing paced rates. For each platform (native, Wine) it finds
#   (a) the highest rate at which carousel-recv completes every file in one cycle
#   (b) the highest rate at which a bare receive-and-discard loop on the same
#       platform (carousel-recv --discard: same socket seam and buffer) loses nothing
# and prints both, their ratio and the engine's CPU seconds per 100 MB.
#
#   bench/reception/run.sh [--native] [--wine] [--rcvbuf BYTES]... [--rates "MB/s ..."]
#
# Default: both platforms, SO_RCVBUF 0x20000 (the unit's) and 4 MB, rates
# 5 10 20 30 40 50 75 100 150 200 300 400 600 800 1000 1500 2000 MB/s (the sender
# reports the rate it achieved; the printed rate is the one asked for). Measures
# the native Release tree $BUILD_DIR/bench (bench/build.sh makes it; never the
# sanitizer tree of the tests) and the Windows tree $BUILD_DIR/win, and prints
# which builds it measured.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/lib/env.sh"
if [ "${LV_BENCH_NETNS:-}" != 1 ]; then
  exec env LV_BENCH_NETNS=1 unshare -n bash "$0" "$@"
fi
ip link set lo up
ip route add 224.0.0.0/4 dev lo 2>/dev/null || true

platforms=() buffers=() rates="5 10 20 30 40 50 75 100 150 200 300 400 600 800 1000 1500 2000"
while [ $# -gt 0 ]; do
  case $1 in
    --native) platforms+=(native) ;;
    --wine) platforms+=(wine) ;;
    --rcvbuf) buffers+=("$2"); shift ;;
    --rates) rates=$2; shift ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
[ ${#platforms[@]} -gt 0 ] || platforms=(native wine)
[ ${#buffers[@]} -gt 0 ] || buffers=(131072 4194304)

native_bin=${NATIVE_BIN:-$build/bench}
win_bin=${WIN_BIN:-$build/win}
[ -n "${NATIVE_BIN:-}" ] || "$here/../build.sh" headend carousel-recv >/dev/null || exit 1
headend=$native_bin/tools/headend/headend
work=$build/bench-reception
src=$work/src
group=239.192.9.1
for f in "$headend" "$native_bin/tools/carousel_recv/carousel-recv"; do
  [ -x "$f" ] || { echo "run.sh: $f is missing; build the native tree first" >&2; exit 1; }
done

wineserver_started=
cleanup() {
  [ -n "$wineserver_started" ] && wineserver -k >/dev/null 2>&1
  rm -rf "$work/dst"
}
trap cleanup EXIT
if [[ " ${platforms[*]} " == *" wine "* ]]; then
  [ -f "$win_bin/tools/carousel_recv/carousel-recv.exe" ] || { echo "run.sh: carousel-recv.exe is missing" >&2; exit 1; }
  wineserver -p >/dev/null 2>&1 </dev/null
  wineserver_started=1
fi

if [ ! -f "$work/.corpus-complete" ]; then
  rm -rf "$src"
  python3 "$here/make_corpus.py" "$src" 200 100 >/dev/null && touch "$work/.corpus-complete"
fi
total=$(find "$src" -type f -name '*.bin' -printf '%s\n' | awk '{ s += $1 } END { print s }')
files=$(find "$src" -type f -name '*.bin' | wc -l)

receiver() {  # receiver PLATFORM ARGS... (runs in the foreground)
  if [ "$1" = native ]; then
    shift
    "$native_bin/tools/carousel_recv/carousel-recv" "$@"
  else
    shift
    local args=() a
    for a in "$@"; do
      case $a in /*) args+=("Z:${a//\//\\}") ;; *) args+=("$a") ;; esac
    done
    wine "$win_bin/tools/carousel_recv/carousel-recv.exe" "${args[@]}"
  fi
}

port=7600
# engine PLATFORM RATE RCVBUF -> "ok CPU KBYTE" or "fail ..."
engine() {
  port=$((port + 1))
  rm -rf "$work/dst"
  receiver "$1" --quiet --timeout 30 --idle 3 --rcvbuf "$3" $group $port "$work/dst" \
    >/dev/null 2>"$work/recv.log" </dev/null &
  local pid=$!
  for _ in $(seq 150); do grep -q "waiting for" "$work/recv.log" 2>/dev/null && break; sleep 0.1; done
  "$headend" carousel -q -g $group -p $port -c 3 -b 4096 -n 1 --extra 100 -r "${2}M" "$src" 2>"$work/send.log"
  local rc=0
  wait $pid || rc=$?
  local last
  last=$(tr -d '\r' <"$work/recv.log" | grep 'carousel-recv: .*complete' | tail -n 1)
  local cpu kb
  cpu=$(sed -n 's/.*cpu \([0-9.]*\) s.*/\1/p' <<<"$last")
  kb=$(sed -n 's/.* \([0-9]*\) KByte.*/\1/p' <<<"$last")
  if [ $rc = 0 ] && diff -rq "$src" "$work/dst" >/dev/null; then
    echo "ok ${cpu:-0} ${kb:-0}"
  else
    echo "fail ${cpu:-0} ${kb:-0}"
  fi
}

# discard PLATFORM RATE RCVBUF -> "ok RECEIVED SENT" or "fail RECEIVED SENT"
discard() {
  port=$((port + 1))
  receiver "$1" --quiet --discard --timeout 30 --idle 2 --rcvbuf "$3" $group $port \
    "$work/unused" >"$work/discard.out" 2>"$work/discard.log" </dev/null &
  local pid=$!
  sleep 0.3
  [ "$1" = wine ] && sleep 1.2
  "$headend" carousel -g $group -p $port -c 3 -b 4096 -n 1 -r "${2}M" "$src" 2>"$work/send.log"
  wait $pid
  local got sent
  got=$(tr -d '\r' <"$work/discard.out" | awk '{ print $1 }')
  sent=$(sed -n 's/^done: cycle 1: \([0-9]*\) datagrams.*/\1/p' "$work/send.log")
  if [ -n "$got" ] && [ "$got" = "$sent" ]; then echo "ok $got $sent"; else echo "fail ${got:-0} $sent"; fi
}

highest() {  # highest FUNCTION PLATFORM RCVBUF -> highest passing rate (0 if none); logs each step
  local fn=$1 platform=$2 buf=$3 best=0 r out
  for r in $rates; do
    # The machine is shared: a rate passes when one of two runs passes.
    out=$($fn "$platform" "$r" "$buf")
    case $out in ok*) ;; *) out=$($fn "$platform" "$r" "$buf") ;; esac
    sent=$(sed -n 's/^done: .*(\([0-9.]*\) MB\/s).*/\1/p' "$work/send.log")
    printf '    %-8s %-7s %4s MB/s (sent at %s MB/s): %s\n' "$platform" "$fn" "$r" "${sent:-?}" "$out" >&2
    # Above what the sender can pace on this machine a pass proves nothing.
    if [ -n "$sent" ] && awk -v s="$sent" -v r="$r" 'BEGIN { exit !(s < 0.9 * r) }'; then
      echo "    (the sender reaches only $sent MB/s: stopping at its limit)" >&2
      echo "$best+" >"$work/limit_$fn"
      break
    fi
    case $out in ok*) best=$r; echo "$out" >"$work/last_ok_$fn" ;; *) break ;; esac
  done
  echo $best
}

# Which builds: a benchmark of a sanitizer or Debug build measures the checks.
build_of() {  # TREE -> "BUILD_TYPE, sanitizers on|off"
  local cache=$1/CMakeCache.txt type san
  [ -f "$cache" ] || { echo "unknown build (no CMakeCache.txt)"; return; }
  type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$cache")
  san=$(sed -n 's/^LV_SANITIZE:BOOL=//p' "$cache")
  case $san in ON|on|1|TRUE|true) san=on ;; *) san=off ;; esac
  echo "${type:-none}, sanitizers $san"
}
for p in "${platforms[@]}"; do
  case $p in
    native) echo "measured: native $native_bin ($(build_of "$native_bin"))" ;;
    wine) echo "measured: wine $win_bin ($(build_of "$win_bin"), MinGW-w64 under $(wine --version 2>/dev/null))" ;;
  esac
done
case $(build_of "$native_bin") in
  Release,*off) ;;
  *) [[ " ${platforms[*]} " == *" native "* ]] && echo "run.sh: warning: the native tree is not a Release build without sanitizers" >&2 ;;
esac
printf 'reception benchmark: %d files, %.1f MB, 4096-byte datagrams, class 3, one cycle\n' "$files" \
  "$(awk -v t="$total" 'BEGIN { print t / 1e6 }')"
for buf in "${buffers[@]}"; do
  for platform in "${platforms[@]}"; do
    echo "  $platform, SO_RCVBUF $buf:"
    rm -f "$work"/last_ok_* "$work"/limit_*
    a=$(highest engine "$platform" "$buf")
    b=$(highest discard "$platform" "$buf")
    cpu=-
    if [ -f "$work/last_ok_engine" ]; then
      read -r _ c kb <"$work/last_ok_engine"
      cpu=$(awk -v c="$c" -v kb="$kb" 'BEGIN { if (kb > 0) printf "%.2f", c * 102400 / kb; else print "-" }')
    fi
    # "+": the loop kept up with the fastest rate the sender could pace.
    [ -f "$work/limit_engine" ] && a_shown="$a+" || a_shown=$a
    [ -f "$work/limit_discard" ] && b_shown="$b+" || b_shown=$b
    ratio=$(awk -v a="$a" -v b="$b" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
    printf '  RESULT %-6s rcvbuf %-8s engine %5s MB/s  discard %5s MB/s  ratio %s  cpu %s s/100MB\n' \
      "$platform" "$buf" "$a_shown" "$b_shown" "$ratio" "$cpu"
  done
done
