#!/usr/bin/env bash
# guidecheck.exe applies the parse-time rules given on its command line in
# Japanese exactly as the native tool does (the arguments reach the parser as
# cp932 whatever the console's code page), and reads the cached days only when
# no location is given.
. "$(dirname "$0")/lib/guide.sh"
g_init
mkdir -p "$WORK/cache"
write_day "$WORK/cache/gd010305.dpn" 2001/03/05 1 6 "ニュース"
# One program on a Japanese channel name, one in a Japanese series.
{
  printf '<program><program_number>50</program_number><pro_name>衛星チャンネル</pro_name><cp_name>天気</cp_name>'
  printf '<category_for_search>報道,天気予報</category_for_search><name>今日の天気</name>'
  printf '<schedule><program_sub_number>1</program_sub_number><starttime>2001/03/05 12:00</starttime>'
  printf '<endtime>2001/03/05 12:10</endtime></schedule></program>\r\n'
  printf '<program><program_number>51</program_number><pro_name>衛星チャンネル</pro_name><cp_name>映画</cp_name>'
  printf '<category_for_search>天気</category_for_search><name>映画劇場</name>'
  printf '<schedule><program_sub_number>1</program_sub_number><starttime>2001/03/05 13:00</starttime>'
  printf '<endtime>2001/03/05 15:00</endtime></schedule></program>\r\n'
} | iconv -f UTF-8 -t CP932 > "$WORK/cache/gd010306.dpn"
cat "$WORK/cache/gd010306.dpn" >> "$WORK/cache/gd010305.dpn"

run_both() {
  "$CHECK" --cache "$WORK/cache" --first 2001-03-05 --days 1 "$@" > "$WORK/native.out" 2>/dev/null
  check_exe "$WORK/cache" --first 2001-03-05 --days 1 "$@" > "$WORK/win.out"
  cmp -s "$WORK/native.out" "$WORK/win.out" || fail "Windows and native differ for $*: $(diff "$WORK/native.out" "$WORK/win.out")"
}
numbers() { cut -f1 "$WORK/win.out" | tr '\n' ' '; }
highlighted() { awk -F'\t' '$8 == 10 { printf "%s ", $1 }' "$WORK/win.out"; }

note "no rules"
run_both
[ "$(numbers)" = "1 2 3 4 5 6 50 51 " ] || fail "all programs: $(numbers)"

note "exclusive Japanese channel, except a Japanese series"
run_both --exclusive-channel "衛星チャンネル,ch9" --except-series "映画"
[ "$(numbers)" = "50 " ] || fail "exclusive: $(numbers)"

note "except category matches whole items only"
run_both --except-category "天気"
[ "$(numbers)" = "1 2 3 4 5 6 50 " ] || fail "except category: $(numbers)"

note "highlights"
run_both --highlight-program "今日の天気" --highlight-series series1 --highlight-category "報道"
[ "$(highlighted)" = "2 6 50 " ] || fail "highlights: $(highlighted)"

note "channel list keeps rule-dropped channels"
run_both --channels --exclusive-channel "衛星チャンネル"
[ "$(cat "$WORK/win.out")" = $'衛星チャンネル\nch2\nch1\nch0' ] || fail "channels: $(cat "$WORK/win.out")"
echo PASS
