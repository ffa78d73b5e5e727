#!/usr/bin/env bash
# The head-end's commands refuse bad command lines with exit code 2 and a
# message naming the option or the value, before they send anything.
set -u
fails=0
expect() {  # expect CODE TEXT -- command...
  local code=$1 text=$2; shift 3
  local out rc
  out=$("$HEADEND" "$@" 2>&1); rc=$?
  if [ "$rc" != "$code" ] || [[ "$out" != *"$text"* ]]; then
    echo "FAIL: headend $*: exit $rc, wanted $code with '$text'; said: $out"
    fails=$((fails + 1))
  fi
}
for cmd in announce ntp carousel; do
  expect 2 "unknown option --bogus" -- $cmd --bogus
done
expect 2 "'1.2.3.4' is not a multicast group" -- announce --group 1.2.3.4 --count 1
expect 2 "'10.0.0.1' is not a multicast group" -- ntp --group 10.0.0.1 --count 1
expect 2 "bad interface address 'nowhere'" -- announce --interface nowhere --count 1
expect 2 "--rate: '0'" -- announce --rate 0
expect 2 "--size: '9000'" -- announce --size 9000
expect 2 "--port: '70000'" -- ntp --port 70000
expect 2 "unexpected argument 'extra'" -- announce extra
expect 0 "usage: headend announce" -- announce --help
expect 0 "sent 2 to 239.255.77.1:46999" -- announce --group 239.255.77.1 --port 46999 --count 2 --rate 100
expect 2 "--part: '0/2'" -- carousel --part 0/2 /
expect 2 "--part: '3/2'" -- carousel --part 3/2 /
expect 2 "--part: '1/'" -- carousel --part 1/ /

# --part K/N: the parts of a cycle together are the cycle, each block once.
# 27 blocks of 4080 bytes: 25 of the first file, 2 of the second.
parts=$(mktemp -d)
trap 'rm -rf "$parts"' EXIT
head -c 100000 /dev/urandom >"$parts/a"
head -c 5000 /dev/urandom >"$parts/b"
# The carousel's addresses are checked as the other commands' are: a usage error.
expect 2 "'1.2.3.4' is not a multicast group" -- carousel -q --group 1.2.3.4 "$parts"
sent() { "$HEADEND" carousel -q -r 0 -g 239.255.77.2 -p 47000 "$@" "$parts" 2>&1 | sed -n 's/^done: cycle 1: \([0-9]*\) datagrams.*/\1/p'; }
for part_case in "1/1 27" "1/2 13" "2/2 14" "1/3 9" "2/3 9" "3/3 9" "1/27 1" "2/2 15 --extra 1"; do
  set -- $part_case
  got=$(sent --part "$1" "${@:3}")
  if [ "$got" != "$2" ]; then
    echo "FAIL: --part $1 ${*:3} sent '$got' datagrams, wanted $2"
    fails=$((fails + 1))
  fi
done

[ "$fails" = 0 ] && echo "headend usage: all good"
exit "$fails"
