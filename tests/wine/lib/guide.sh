# Shared by the guide_*.sh tests: guide day files, the native guide server on
# port 80 of the loopback, and the Windows and native guidecheck.
set -uo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/base.sh"

# The Windows C library understands only the POSIX form of TZ ("LVT-09:00").
posix_tz() {
  local off sign
  off=$(date +%z)
  [ "${off:0:1}" = + ] && sign=- || sign=+
  printf 'LVT%s%s:%s' "$sign" "${off:1:2}" "${off:3:2}"
}


g_init() {
  : "${WIN_BIN:?}" "${NATIVE_BIN:?}" "${SRC:?}"
  TZ=$(posix_tz)
  export TZ
  CHECK_EXE="$WIN_BIN/tools/guidecheck/guidecheck.exe"
  CHECK="$NATIVE_BIN/tools/guidecheck/guidecheck"
  HEADEND="$NATIVE_BIN/tools/headend/headend"
  for f in "$CHECK_EXE" "$CHECK" "$HEADEND"; do [ -e "$f" ] || fail "missing $f"; done
  WORK=$(mktemp -d /tmp/guide_test.XXXXXX)
  mkdir -p "$WORK/served"
  GUIDE_SERVER_PID=
  trap g_cleanup EXIT
}

g_cleanup() {
  [ -n "$GUIDE_SERVER_PID" ] && kill "$GUIDE_SERVER_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK"
}

# write_day FILE DATE(YYYY/MM/DD) FIRST_NUMBER COUNT [NAME_UTF8]: a day of COUNT
# programs, one broadcast each, an hour apart from 05:00, in cp932.
write_day() {
  local file=$1 date=$2 first=$3 count=$4 name=${5:-program} i h
  {
    printf '<?xml version="1.0" encoding="Shift_JIS"?>\r\n<guide>\r\n'
    for ((i = 0; i < count; i++)); do
      h=$((5 + i % 18))
      printf '<program><program_number>%d</program_number><pro_name>%s</pro_name>' $((first + i)) "ch$((i % 3))"
      printf '<cp_name>series%d</cp_name><category_for_sort>cat</category_for_sort>' $((i % 4))
      printf '<category_for_search>cat,all</category_for_search><name>%s %d</name>' "$name" $((first + i))
      printf '<digest>line\\one\r\nline two</digest><total_kbyte>%d</total_kbyte>\r\n' $((100 * i))
      printf '<schedule><program_sub_number>1</program_sub_number><receiver_ver>%d</receiver_ver>' $((i % 2))
      printf '<speed>256</speed><starttime>%s %02d:00:30</starttime><endtime>%s %02d:45</endtime></schedule>\r\n' \
        "$date" $h "$date" $h
      printf '</program>\r\n'
    done
    printf '</guide>\r\n'
  } | iconv -f UTF-8 -t CP932 > "$file"
}

# Starts `headend guide` over $WORK/served on 127.0.0.1:80.
start_server() {
  serve_guide "$WORK/served" "$WORK/server.log" --stall-seconds 30
}

# Request lines the server logged (the probes of start_server excluded).
requests() { grep '^request GET' "$WORK/server.log" || true; }

# check_exe CACHE ARGS...: guidecheck.exe under Wine, stdout only.
check_exe() {
  local cache=$1
  shift
  wine "$CHECK_EXE" --cache "$(winpath "$cache")" "$@" 2>"$WORK/exe.err" </dev/null
}
