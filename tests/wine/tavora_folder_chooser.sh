#!/usr/bin/env bash
# The folder chooser (dialog 212) from the folder page's "参照...": it opens
# at the folder the page shows, "ﾌｫﾙﾀﾞの作成" makes a folder that may be
# named "予約" (a name whose trail byte is "\"), and no other folder can be
# renamed by editing its label. Folders and free space are read on worker
# threads: the free space of the selected folder's volume still appears, and
# closing the chooser while reads are under way leaves the planner running.
. "$(dirname "$0")/lib/tavora.sh"
t_init
SHEET='環境設定'
CHOOSER='フォルダの選択'
ID_FC_CREATE=32920
VK_RETURN=13 VK_F2=113
mkdir -p "$WORK/data/sub"
edits() { t_wdrv controls "$CHOOSER" | awk -F'\t' '$2 == "Edit"' | wc -l; }
browse() {
  t_wait_control 10 "$SHEET" 1054 || fail "the folder page did not come"
  t_wdrv click "$SHEET" 1054 >/dev/null
}
t_start
t_post 32787
t_wait_window 10 "$SHEET" || fail "the settings sheet did not open"
browse
t_wait_visible 10 "$CHOOSER" || fail "参照... did not open the folder chooser"

note "the chooser opens at the data folder"
for _ in $(seq 25); do [ "$(t_wdrv text "$CHOOSER" 1194)" = "$(winpath "$WORK/data")" ] && break; sleep 0.2; done
[ "$(t_wdrv text "$CHOOSER" 1194)" = "$(winpath "$WORK/data")" ] ||
  fail "the chooser does not select the data folder: '$(t_wdrv text "$CHOOSER" 1194)'"

note "the free space of the data folder's volume shows in KB"
shown() { t_wdrv controls "$CHOOSER" | awk -F'\t' -v id="$1" '$1 == id {print $3}'; }
for _ in $(seq 50); do [ "$(shown 1014)" = v- ] || [ "$(shown 1014)" = ve ] && break; sleep 0.2; done
free=$(t_wdrv text "$CHOOSER" 1014)
[[ "$free" =~ ^[0-9]+$ ]] || fail "no free space shown: '$free' ($(t_wdrv controls "$CHOOSER" | grep -E '^(1014|1016|1194)'))"
df_kb=$(df -k --output=avail "$WORK/data" | tail -1 | tr -d ' ')
# Others write to the disk meanwhile: within a tenth.
[ $((free * 10)) -ge $((df_kb * 9)) ] && [ $((free * 9)) -le $((df_kb * 10)) ] ||
  fail "free space $free KB, the volume has $df_kb KB"
[ "$(shown 1016)" = "$(shown 1014)" ] && [ "$(shown 1194)" = "$(shown 1014)" ] ||
  fail "path, free space and KB are not shown together: $(t_wdrv controls "$CHOOSER" | grep -E '^(1014|1016|1194)')"

note "an existing folder's label cannot be edited"
base=$(edits)
t_wdrv key "$CHOOSER" 1058 $VK_F2 >/dev/null
sleep 0.5
[ "$(edits)" = "$base" ] || {
  t_wdrv settext "$CHOOSER" class:Edit:0 'renamed' >/dev/null
  t_wdrv key "$CHOOSER" class:Edit:0 $VK_RETURN >/dev/null
  sleep 0.5
  fail "F2 started a label edit of the data folder ($(ls "$WORK"))"
}

note "ﾌｫﾙﾀﾞの作成, named 予約"
t_wdrv post "$CHOOSER" $ID_FC_CREATE >/dev/null
for _ in $(seq 25); do [ -d "$WORK/data/新しいﾌｫﾙﾀﾞ" ] && break; sleep 0.2; done
[ -d "$WORK/data/新しいﾌｫﾙﾀﾞ" ] || fail "no new folder: $(ls "$WORK/data")"
for _ in $(seq 25); do [ "$(edits)" -gt "$base" ] && break; sleep 0.2; done
[ "$(edits)" -gt "$base" ] || fail "the new folder's label is not edited"
label=
for i in 0 1; do [ "$(t_wdrv text "$CHOOSER" class:Edit:$i)" = '新しいﾌｫﾙﾀﾞ' ] && label=class:Edit:$i; done
[ -n "$label" ] || fail "no label edit with the new folder's name: $(t_wdrv controls "$CHOOSER")"
t_wdrv settext "$CHOOSER" $label '予約' >/dev/null
t_wdrv key "$CHOOSER" $label $VK_RETURN >/dev/null
for _ in $(seq 25); do [ -d "$WORK/data/予約" ] && break; sleep 0.2; done
[ -d "$WORK/data/予約" ] || fail "the new folder was not named 予約: $(ls "$WORK/data")"
[ -e "$WORK/data/新しいﾌｫﾙﾀﾞ" ] && fail "the new folder kept its first name"
for _ in $(seq 25); do [ "$(t_wdrv text "$CHOOSER" 1194)" = "$(winpath "$WORK/data/予約")" ] && break; sleep 0.2; done
[ "$(t_wdrv text "$CHOOSER" 1194)" = "$(winpath "$WORK/data/予約")" ] || fail "path after naming: $(t_wdrv text "$CHOOSER" 1194)"

note "once named, it is a folder like the others"
t_wdrv key "$CHOOSER" 1058 $VK_F2 >/dev/null
sleep 0.5
[ "$(edits)" = "$base" ] || fail "F2 edits the named folder's label again"
t_wdrv click "$CHOOSER" 7 >/dev/null
t_wdrv wait "$CHOOSER" 5000 gone >/dev/null || fail "OK did not close the chooser"
[ "$(t_wdrv text "$SHEET" 1002)" = "$(winpath "$WORK/data/予約")" ] || fail "the page shows $(t_wdrv text "$SHEET" 1002)"
t_wdrv click "$SHEET" 2 >/dev/null
t_wdrv wait "$SHEET" 5000 gone >/dev/null || fail "ｷｬﾝｾﾙ did not close the sheet"
[ -d "$WORK/data/sub" ] || fail "the other folder went"

note "the chooser closed at once, again and again, while its reads run"
for _ in $(seq 5); do
  t_post 32787
  t_wait_window 10 "$SHEET" || fail "the settings sheet did not open again"
  browse
  t_wait_visible 10 "$CHOOSER" || fail "参照... did not open the folder chooser again"
  t_wdrv click "$CHOOSER" 2 >/dev/null
  t_wdrv wait "$CHOOSER" 5000 gone >/dev/null || fail "ｷｬﾝｾﾙ did not close the chooser"
  t_wdrv click "$SHEET" 2 >/dev/null
  t_wdrv wait "$SHEET" 5000 gone >/dev/null || fail "ｷｬﾝｾﾙ did not close the sheet"
done
t_wdrv find "$TWIN" >/dev/null || fail "the planner ended after the chooser closed during its reads"
t_exit
echo PASS
