#!/usr/bin/env bash
# A history folder move whose copy fails (the new folder's "RsvData.log" is a
# folder): the sheet says which file could not be copied where, stays open,
# and the planner keeps the old history folder.
. "$(dirname "$0")/lib/tavora.sh"
t_init
SHEET='環境設定'
mkdir -p "$WORK/hist2/RsvData.log"
printf '26/12/08 10:00\t局\t古い記録\t\t\tIP 239.0.0.1\t1\t成功\r\n' | iconv -f UTF-8 -t CP932 > "$WORK/hist/RsvData.log"
t_start
t_post 32787
t_wait_window 10 "$SHEET" || fail "the settings sheet did not open"
t_wait_control 10 "$SHEET" 1054 || fail "the folder page did not come"
t_wdrv settext "$SHEET" 1055 "$(winpath "$WORK/hist2")" >/dev/null || fail "no edit 1055"
t_wdrv click "$SHEET" 1 >/dev/null
# box TEXT: waits for the message box titled like the sheet that shows TEXT.
box() {
  local text=
  for _ in $(seq 50); do
    text=$(t_wdrv controls "$SHEET")
    grep -q -- "$1" <<<"$text" && { echo "$text"; return 0; }
    sleep 0.2
  done
  fail "no message with '$1': $text"
}
box '履歴情報があります' >/dev/null || exit 1
t_wdrv post "$SHEET" 6 >/dev/null  # Yes: copy over
text=$(box 'コピーできませんでした') || exit 1
grep -qF "$(winpath "$WORK/hist")\\RsvData.log" <<<"$text" || fail "the file is not named: $text"
grep -qiF "$(winpath "$WORK/hist2")" <<<"$text" || fail "the folder is not named: $text"
t_wdrv post "$SHEET" 1 >/dev/null
for _ in $(seq 25); do [ "$(t_wdrv count "$SHEET")" = 1 ] && break; sleep 0.2; done
[ "$(t_wdrv count "$SHEET")" = 1 ] || fail "the sheet closed, or the message stayed"
[ "$(t_reg_query temp DataPath)" = "$(winpath "$WORK/hist")" ] || fail "the history folder moved: $(t_reg_query temp DataPath)"
t_wdrv click "$SHEET" 2 >/dev/null
t_wdrv wait "$SHEET" 5000 gone >/dev/null || fail "ｷｬﾝｾﾙ did not close the sheet"
t_exit
echo PASS
