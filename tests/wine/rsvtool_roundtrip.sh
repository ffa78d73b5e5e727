#!/usr/bin/env bash
# rsvtool.exe under Wine and the native rsvtool write and read the same
# records: a file made by one is dumped identically by the other, Japanese
# texts included (the Windows dump prints cp932, converted here to UTF-8).
set -euo pipefail
exe="$WIN_BIN/tools/rsvtool/rsvtool.exe"
native="$NATIVE_BIN/tools/rsvtool/rsvtool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

win_dump() { wine "$exe" dump "$@" | iconv -f CP932 -t UTF-8; }

# Both dumps of one file must agree line for line.
same_dump() {
  "$native" dump "$1" > native.txt || fail "native dump of $1 failed"
  win_dump "$1" > wine.txt || fail "Windows dump of $1 failed"
  diff -u native.txt wine.txt || fail "the dumps of $1 differ"
}

record=(--program 0x1234 --sub 2 --start "2001-03-05 21:30" --end "2001-03-05 23:00"
  --address 239.1.2.3 --port 5001 --sid 3 --name "表示ソフト・ニュース" --channel "テレビ局"
  --storage 'C:\データ\表示' --total-kbyte 2048 --speed 512 --id 77)

# A manual reservation written under Wine.
made=$(wine "$exe" make --folder . "${record[@]}" --autorun "go.exe" --clear-folder | tr -d '\r')
[ "$made" = '.\RSV030521302001000012340002.SDL' ] || fail "rsvtool.exe make printed '$made'"
[ "$(stat -c %s RSV030521302001000012340002.SDL)" = 538 ] || fail "the reservation file is not 538 bytes"
same_dump RSV030521302001000012340002.SDL
grep -qx 'name: "表示ソフト・ニュース"' native.txt || fail "name not read back: $(grep name: native.txt)"
grep -qx 'channelName: "テレビ局"' native.txt || fail "channel not read back"
grep -qx 'storageFolder: "C:\\データ\\表示"' native.txt || fail "storage folder not read back"
grep -qx 'scheduledEnd: 2001-03-05 23:00:00 (983800800)' native.txt || fail "scheduled end wrong"

# A keyword reservation written natively, read under Wine.
mkdir kw
"$native" make --folder kw "${record[@]}" --keyword > /dev/null
[ -f kw/RSV03052130200100001234.SDL ] || fail "keyword form name missing: $(ls kw)"
same_dump kw/RSV03052130200100001234.SDL

# A deletion request named after Wine's computer name, upper case.
made=$(wine "$exe" make-delete --folder . "${record[@]}" --counter 7 2>&1 | tr -d '\r') ||
  fail "make-delete failed: $made"
name=${made#.\\}
[[ "$name" =~ ^[^a-z]+000007\.SDD$ ]] || fail "deletion request named '$name'"
same_dump "$name"
grep -qx 'type: deletion request (Rcfi, 538 bytes)' native.txt || fail "not shown as a deletion request"

# Patterns are expanded by rsvtool itself (the Windows command line does not).
"$native" dump 'kw/RSV*.SDL' > native.txt
win_dump 'kw\RSV*.SDL' | sed 's|^file: kw\\|file: kw/|' > wine.txt
diff -u native.txt wine.txt || fail "the dumps of a pattern differ"

# A damaged file is named and fails in both builds.
head -c 100 RSV030521302001000012340002.SDL > short.SDL
if "$native" dump short.SDL > native.txt 2>/dev/null; then fail "native dump accepted a short file"; fi
if win_dump short.SDL > wine.txt 2>/dev/null; then fail "Windows dump accepted a short file"; fi
diff -u native.txt wine.txt || fail "the dumps of a short file differ"
grep -q 'short record: 100 of 538 bytes' native.txt || fail "short file not reported"
echo "rsvtool round trip: ok"
