#!/usr/bin/env bash
# kwcheck.exe under Wine takes its arguments in the active code page (932
# here) and answers exactly as the native kwcheck: folded codes, match exit
# codes, and the programs a condition picks from a cached guide.
set -uo pipefail
exe="$WIN_BIN/tools/kwcheck/kwcheck.exe"
native="$NATIVE_BIN/tools/kwcheck/kwcheck"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
for f in "$exe" "$native"; do [ -e "$f" ] || fail "missing $f"; done

win() { wine "$exe" "$@" 2>/dev/null </dev/null | tr -d '\r'; }

[ "$(win norm 'ﾆｭｰｽＡb漢')" = "00c6 00ad 002d 00bd 0041 0042 bf8a" ] || fail "norm: $(win norm 'ﾆｭｰｽＡb漢')"
[ "$(win norm 'にゅーす')" = "$("$native" norm 'ニュース')" ] || fail "hiragana and katakana fold differently"
win match 'ﾆｭｰｽ & 天気' 'ニュースと天気' >/dev/null || fail "match should exit 0"
win match 'ﾆｭｰｽ & ' 'ニュース' >/dev/null && fail "an empty second part must not match"
[ "$(win match 'A?C' 'xABCx')" = 1 ] || fail "? in second position"

day=$(date -d '2030-05-06 04:00' +gd%y%m%d.dpn)
{
  printf '<guide><program><program_number>7</program_number><pro_name>CH</pro_name><name>朝のニュース</name>'
  printf '<digest>天気</digest><total_kbyte>1</total_kbyte><schedule><program_sub_number>1</program_sub_number>'
  printf '<speed>1</speed><starttime>2030/05/06 08:00</starttime><endtime>2030/05/06 08:30</endtime></schedule></program>'
  printf '<program><program_number>8</program_number><pro_name>CH</pro_name><name>天気予報</name>'
  printf '<digest>にゅーす</digest><total_kbyte>1</total_kbyte><schedule><program_sub_number>1</program_sub_number>'
  printf '<speed>1</speed><starttime>2030/05/06 09:00</starttime><endtime>2030/05/06 09:30</endtime></schedule></program></guide>'
} | iconv -f UTF-8 -t CP932 > "$work/$day"
expected=$("$native" guide --cache "$work" --first 2030-05-06 --days 1 'ニュース' 2>/dev/null)
[ "$(printf '%s\n' "$expected" | cut -f1)" = 7 ] || fail "native guide: $expected"
got=$(win guide --cache "Z:$(printf '%s' "$work" | tr / '\\')" --first 2030-05-06 --days 1 'ニュース')
[ "$got" = "$expected" ] || fail "kwcheck.exe guide gave '$got', expected '$expected'"
got=$(win guide --cache "Z:$(printf '%s' "$work" | tr / '\\')" --first 2030-05-06 --days 1 --refer 'ニュース')
[ "$(printf '%s\n' "$got" | cut -f1)" = 8 ] || fail "--refer: $got"
echo PASS
