#!/usr/bin/env bash
# guidecheck.exe under Wine fetches the guide days from the native guide
# server as the planner does: full URL in the request line, no header lines,
# the cache written on success and used, unchanged, whenever the server fails.
. "$(dirname "$0")/lib/guide.sh"
g_init
write_day "$WORK/served/gd010305.dpn" 2001/03/05 100 5 "番組"
write_day "$WORK/served/gd010306.dpn" 2001/03/06 104 4   # 104 repeats: the first day's values win
start_server

note "fetch and cache, native and Windows alike"
mkdir -p "$WORK/native" "$WORK/win"
"$CHECK" --cache "$WORK/native" --first 2001-03-05 --days 2 --location http://127.0.0.1/ > "$WORK/native.tsv" \
  2>/dev/null || fail "native guidecheck"
check_exe "$WORK/win" --first 2001-03-05 --days 2 --location http://127.0.0.1 > "$WORK/win.tsv" \
  || fail "guidecheck.exe: $(cat "$WORK/exe.err")"
[ "$(wc -l < "$WORK/win.tsv")" = 8 ] || fail "expected 8 programs, got: $(cat "$WORK/win.tsv")"
cmp -s "$WORK/native.tsv" "$WORK/win.tsv" || fail "Windows and native lists differ: $(diff "$WORK/native.tsv" "$WORK/win.tsv")"
line=$(grep $'^104\t' "$WORK/win.tsv")
[ "$line" = $'104\t1\t2001-03-05 09:00\t2001-03-05 09:45\t100\t256\t400\t0\tch1\tseries0\tcat\tcat,all\t番組 104\tline\\\\one\\r\\nline two' ] \
  || fail "record 104 is not the first day's: $line"
cmp -s "$WORK/served/gd010305.dpn" "$WORK/win/gd010305.dpn" || fail "cache of day 1 differs from the served file"
cmp -s "$WORK/served/gd010306.dpn" "$WORK/win/gd010306.dpn" || fail "cache of day 2 differs from the served file"
[ "$(requests | grep -c 'request GET http://127.0.0.1/gd01030[56].dpn HTTP/1.0\\r\\n\\r\\n -> 200')" = 4 ] \
  || fail "requests are not full URLs without header lines: $(requests)"

note "channel list"
check_exe "$WORK/win" --first 2001-03-05 --days 2 --channels > "$WORK/channels.txt" || fail "--channels"
[ "$(cat "$WORK/channels.txt")" = $'ch2\nch1\nch0' ] || fail "channel list: $(cat "$WORK/channels.txt")"

note "failed fetches fall back to the unchanged cache"
expected=$(cat "$WORK/win.tsv")
cp -r "$WORK/win" "$WORK/before"
for location in http://127.0.0.1/404/ http://127.0.0.1/html/ http://127.0.0.1/bighead/ http://127.0.0.1/huge/ \
  http://127.0.0.1/short/ http://127.0.0.1:80/; do
  out=$(check_exe "$WORK/win" --first 2001-03-05 --days 2 --location "$location") || fail "$location: exit $?"
  [ "$out" = "$expected" ] || fail "$location: list differs from the cached one"
  grep -q "server failed" "$WORK/exe.err" || fail "$location: no failure reported: $(cat "$WORK/exe.err")"
  diff -r "$WORK/before" "$WORK/win" >/dev/null || fail "$location: cache changed"
done
requests | grep -q '127.0.0.1:80' && fail "a host with a port reached the server"
requests | grep -q '//gd0' && fail "a location ending in / got a second one: $(requests | grep '//gd0')"

note "a stalled body is cut by the idle limit"
start=$(date +%s%N)
out=$(check_exe "$WORK/win" --first 2001-03-05 --days 1 --location http://127.0.0.1/stall/ --idle-limit 500) \
  || fail "stall: exit $?"
took=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$took" -lt 10000 ] || fail "stall took $took ms"
[ "$out" = "$(head -5 "$WORK/win.tsv")" ] || fail "stall: not the cached day"
diff -r "$WORK/before" "$WORK/win" >/dev/null || fail "stall: cache changed"

note "no Content-Length: read to the close"
mkdir -p "$WORK/nolength"
out=$(check_exe "$WORK/nolength" --first 2001-03-05 --days 2 --location http://127.0.0.1/nolength/) || fail "nolength"
[ "$out" = "$expected" ] || fail "nolength: list differs"
cmp -s "$WORK/served/gd010305.dpn" "$WORK/nolength/gd010305.dpn" || fail "nolength: cache differs"

note "Content-Length 0: an empty day, the cache neither written nor read"
check_exe "$WORK/win" --first 2001-03-05 --days 2 --location http://127.0.0.1/empty/ > "$WORK/empty.tsv"
[ $? = 1 ] || fail "empty days should load nothing"
[ -s "$WORK/empty.tsv" ] && fail "empty days gave programs"
diff -r "$WORK/before" "$WORK/win" >/dev/null || fail "empty: cache changed"
echo PASS
