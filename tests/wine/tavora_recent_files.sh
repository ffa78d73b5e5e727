#!/usr/bin/env bash
# The recent guide settings files in the real Tavora.exe: stored entries
# ("Recent File List", File1..File4) are listed in the File menu below
# "番組表の切り替え(&O)..." (the frame reports its File menu in the debug log);
# choosing one opens it and moves it first in the registry; choosing one whose
# file has gone removes it with a message naming the file.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
ID_FILE_OPEN=57601
ID_FILE_MRU_FILE1=57616
RECENT='Recent File List'
for f in a b; do
  printf '<Tavora Info><SkipFilter>1</SkipFilter></Tavora Info>\r\n' > "$WORK/guide_$f.txt"
done
A=$(winpath "$WORK/guide_a.txt")
B=$(winpath "$WORK/guide_b.txt")
C=$(winpath "$WORK/guide_gone.txt")
t_reg "$RECENT" File1 REG_SZ "$A"
t_reg "$RECENT" File2 REG_SZ "$B"
t_reg "$RECENT" File3 REG_SZ "$C"

# menu_after BYTES: the File menu's items "POSITION ID TEXT" from the last
# report in the log after BYTES.
menu_after() {
  tail -c +$(($1 + 1)) "$LV_DEBUG_LOG" | tr -d '\r' | iconv -f CP932 -t UTF-8 |
    awk '/^Tavora: file menu 0 / { n = 0 } /^Tavora: file menu / { m[n++] = substr($0, 19) }
         END { for (i = 0; i < n; i++) print m[i] }'
}
log_size() { stat -c %s "$LV_DEBUG_LOG" 2>/dev/null || echo 0; }
# expect_menu BYTES LINE...: the File menu's first items, in order.
expect_menu() {
  local from=$1 menu want; shift
  for _ in $(seq 25); do
    menu=$(menu_after "$from")
    [ -n "$menu" ] && break
    sleep 0.2
  done
  want=$(printf '%s\n' "$@")
  [ "$(head -n $# <<<"$menu")" = "$want" ] || fail "File menu:
$menu
expected first:
$want"
}

note "stored entries are listed, numbered, below the open command"
t_start
expect_menu 0 "0 $ID_FILE_OPEN 番組表の切り替え(&O)...	Ctrl+O" \
  "1 $ID_FILE_MRU_FILE1 &1 $A" "2 $((ID_FILE_MRU_FILE1 + 1)) &2 $B" "3 $((ID_FILE_MRU_FILE1 + 2)) &3 $C" "4 0 "

note "choosing the second opens it and moves it first"
from=$(log_size)
t_post $((ID_FILE_MRU_FILE1 + 1))
for _ in $(seq 25); do grep -q "guide settings file .*guide_b.txt opened" "$LV_DEBUG_LOG" && break; sleep 0.2; done
grep -q "guide settings file .*guide_b.txt opened" "$LV_DEBUG_LOG" || fail "the second entry was not opened"
[ "$(t_reg_query "$RECENT" File1)" = "$B" ] || fail "File1: $(t_reg_query "$RECENT" File1)"
[ "$(t_reg_query "$RECENT" File2)" = "$A" ] || fail "File2: $(t_reg_query "$RECENT" File2)"
[ "$(t_reg_query "$RECENT" File3)" = "$C" ] || fail "File3: $(t_reg_query "$RECENT" File3)"
expect_menu "$from" "0 $ID_FILE_OPEN 番組表の切り替え(&O)...	Ctrl+O" "1 $ID_FILE_MRU_FILE1 &1 $B" "2 $((ID_FILE_MRU_FILE1 + 1)) &2 $A"

note "a file that has gone: a message naming it, and it leaves the list"
from=$(log_size)
t_post $((ID_FILE_MRU_FILE1 + 2))
t_wait_window 10 '受信予約プログラム' || fail "no message for the missing file"
message=$(t_wdrv controls '受信予約プログラム')
grep -qF 'guide_gone.txt' <<<"$message" && grep -q '見つかりません' <<<"$message" || fail "message: $message"
t_wdrv post '受信予約プログラム' 1 >/dev/null
t_wdrv wait '受信予約プログラム' 5000 gone >/dev/null || fail "the message stayed"
[ -z "$(t_reg_query "$RECENT" File3)" ] || fail "File3 kept: $(t_reg_query "$RECENT" File3)"
expect_menu "$from" "0 $ID_FILE_OPEN 番組表の切り替え(&O)...	Ctrl+O" "1 $ID_FILE_MRU_FILE1 &1 $B" \
  "2 $((ID_FILE_MRU_FILE1 + 1)) &2 $A" "3 0 "
grep -q "guide settings file .*guide_gone.txt" "$LV_DEBUG_LOG" && fail "the missing file was opened"

note "the next start lists the stored order"
t_exit
from=$(log_size)
t_start
expect_menu "$from" "0 $ID_FILE_OPEN 番組表の切り替え(&O)...	Ctrl+O" "1 $ID_FILE_MRU_FILE1 &1 $B" \
  "2 $((ID_FILE_MRU_FILE1 + 1)) &2 $A" "3 0 "

t_exit
echo PASS
