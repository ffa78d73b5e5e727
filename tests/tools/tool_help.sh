#!/usr/bin/env bash
# Each tool's --help lists exactly the options its parser takes: every row's
# option (and letter) is taken, with a value when the row names one and as a
# flag otherwise; every --option the text mentions has a row; and every letter
# and name the rows lack is refused.
# The tools come from the environment: HEADEND, RSVTOOL, CAROUSEL_RECV,
# GUIDECHECK, KWCHECK, CHANLIST.
set -u
fail() { echo "FAIL: $*"; }

# Each entry: the variable holding the program, then the command words.
tools=(
  "HEADEND carousel" "HEADEND ntp" "HEADEND announce" "HEADEND guide"
  "RSVTOOL make" "RSVTOOL make-delete"
  "CAROUSEL_RECV" "GUIDECHECK" "KWCHECK guide" "CHANLIST"
)

check() {
  local entry=$1 var words program name help rc rows letters line option letter valued form out want mentioned found
  read -r var words <<<"$entry"
  program=${!var}
  run() { timeout 20 "$program" $words "$@" 2>&1; }
  name="$(basename "$program") $words"
  help=$(run --help)
  rc=$?
  if [ "$rc" != 0 ]; then
    fail "$name --help: exit $rc"
    return
  fi
  rows=() letters=""
  # A row starts with "  -X, --name" or "      --name"; one space and a word
  # after the name is its value, two spaces the start of the help text.
  row_re='^(  -([A-Za-z]), |      )--([a-z0-9-]+)(.)(.)'
  while IFS= read -r line; do
    [[ "$line" =~ $row_re ]] || continue
    option=${BASH_REMATCH[3]} letter=${BASH_REMATCH[2]}
    [ "$option" = help ] && continue
    valued=no
    [ "${BASH_REMATCH[4]}" = " " ] && [ "${BASH_REMATCH[5]}" != " " ] && valued=yes
    rows+=("$option")
    letters+=$letter
    for form in "--$option" ${letter:+"-$letter"}; do
      if [ "$valued" = yes ]; then
        out=$(run "$form"); want="option --$option needs a value"
      else
        out=$(run "$form" "$form"); want="option --$option is given twice"
      fi
      [[ "$out" == *"$want"* ]] || fail "$name $form: the help lists it (value: $valued), the parser said: $out"
    done
  done <<<"$help"
  [ "${#rows[@]}" -gt 0 ] || fail "$name --help lists no options"

  for mentioned in $(grep -o -- '--[a-z][a-z0-9-]*' <<<"$help" | sort -u); do
    [ "$mentioned" = --help ] && continue
    found=no
    for option in "${rows[@]}"; do [ "--$option" = "$mentioned" ] && found=yes; done
    [ "$found" = yes ] || fail "$name --help mentions $mentioned, which has no row"
  done

  for letter in {a..z} {A..Z}; do
    [[ "$letters" == *"$letter"* || "$letter" = h ]] && continue
    out=$(run "-$letter")
    [[ "$out" == *"unknown option -$letter"* ]] || fail "$name -$letter: not in the help, the parser said: $out"
  done
  out=$(run --no-such-option)
  [[ "$out" == *"unknown option --no-such-option"* ]] || fail "$name --no-such-option: $out"
}

# The tools side by side: each probe is a process start.
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
for i in "${!tools[@]}"; do check "${tools[$i]}" >"$results/$i" & done
wait
cat "$results"/*
fails=$(cat "$results"/* | grep -c '^FAIL:')
[ "$fails" = 0 ] && echo "tool help: all good"
exit "$fails"
