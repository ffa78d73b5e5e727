#!/usr/bin/env bash
# The package as an administrator installs it silently on a fresh machine: the
# four deliverables and nothing of the test kit in "Program Files\Lumivent",
# the uninstall entry, the Start menu shortcuts, the selector's logon entry;
# the installed planner starts (and starts the unit from its own folder); a
# silent uninstall while both run ends them, removes the programs, shortcuts
# and logon entry, and keeps the schedule folder, its files and the settings.
. "$(dirname "$0")/lib/installer.sh"
i_init

note "silent install"
start=$(date +%s.%N)
msi /i "$(winpath "$MSI")" || fail "msiexec /i exit $? (log $LAST_LOG)"
echo "install: $(echo "$(date +%s.%N) - $start" | bc) s, package $(stat -c %s "$MSI") bytes"

note "the four files, the real-driver library, nothing else"
[ "$(cd "$PF" && ls | sort | tr '\n' ' ')" = "OVD.DLL Quillon.exe Tavora.exe nexa.exe " ] ||
  fail "installed: $(cd "$PF" && ls | tr '\n' ' ')"
cmp -s "$PF/OVD.DLL" "$WIN_BIN/ovd/OVD.DLL" || fail "OVD.DLL is not the real-driver build"
cmp -s "$PF/OVD.DLL" "$WIN_BIN/ovd/sim/OVD.DLL" && fail "OVD.DLL is the simulated-card build"
for f in Tavora.exe Quillon.exe nexa.exe; do
  cmp -s "$PF/$f" "$WIN_BIN/installer/payload/$f" || fail "$f differs from the build"
done

note "the uninstall entry"
[ "$(entries | wc -l)" = 1 ] || fail "uninstall entries: $(entries)"
key=$(entries | cut -f1)
[ "$(entries | cut -f2)" = "$VERSION" ] || fail "DisplayVersion $(entries | cut -f2), not $VERSION"
[ "$(reg_value "$key" Publisher)" = Lumivent ] || fail "Publisher $(reg_value "$key" Publisher)"
reg_value "$key" UninstallString | grep -qi "msiexec.exe /[IX]$(product_code)" || fail "UninstallString"
wine reg query 'HKCR\Installer\Products' /s 2>/dev/null </dev/null | grep -q ProductIcon || fail "no product icon"

note "Start menu and logon entry"
menu=$(menu_folder) || fail "no Start menu folder"
[ -e "$menu/受信予約プログラム.lnk" ] || fail "no planner shortcut: $(ls "$menu")"
[ -e "$menu/NEXA SID切り替えソフト.lnk" ] || fail "no selector shortcut: $(ls "$menu")"
[ "$(reg_value "$RUN_KEY" nexa)" = "\"$PFWIN\\nexa.exe\" /s" ] || fail "Run value: $(reg_value "$RUN_KEY" nexa)"
wine reg query "$NKEY" >/dev/null 2>&1 </dev/null || fail "the selector's settings key is missing"

note "the installed planner starts, and starts the unit from its folder"
mkdir -p "$WINEPREFIX/drive_c/Data"
wine reg add "$PLANNER_KEY\\path" /v DataPath /t REG_SZ /d 'C:\Data' /f >/dev/null 2>&1 </dev/null
wine "$PFWIN\\Tavora.exe" >/dev/null 2>&1 </dev/null &
wait_window 60 "~- 受信予約プログラム" || fail "the planner's window did not appear"
wait_window 30 "データ受信ユニット(QuillonUnit)" || fail "the unit did not start"
[ -d "$PF/Schedule" ] && [ -d "$PF/Temporary" ] || fail "the planner's folders are missing: $(ls "$PF")"
echo keep > "$PF/Schedule/notes.txt"
echo keep > "$PF/Temporary/RsvData.log"

note "silent uninstall while the planner and the unit run"
start=$(date +%s.%N)
msi /x "$(product_code)" || fail "msiexec /x exit $? (log $LAST_LOG)"
echo "uninstall: $(echo "$(date +%s.%N) - $start" | bc) s"
wine "$WDRV" find "~- 受信予約プログラム" >/dev/null 2>&1 </dev/null && fail "the planner still runs"
wine "$WDRV" find "データ受信ユニット(QuillonUnit)" >/dev/null 2>&1 </dev/null && fail "the unit still runs"
for f in Tavora.exe Quillon.exe nexa.exe OVD.DLL; do [ -e "$PF/$f" ] && fail "$f left behind"; done
[ "$(cat "$PF/Schedule/notes.txt" 2>/dev/null)" = keep ] || fail "the schedule folder's file is gone"
[ "$(cat "$PF/Temporary/RsvData.log" 2>/dev/null)" = keep ] || fail "the history folder's file is gone"
[ -z "$(entries)" ] || fail "uninstall entry left: $(entries)"
[ -n "$(reg_value "$RUN_KEY" nexa)" ] && fail "logon entry left"
[ -e "$menu/受信予約プログラム.lnk" ] && fail "planner shortcut left"
[ -d "$menu" ] && fail "Start menu folder left"
[ "$(reg_value "$PLANNER_KEY\\path" DataPath)" = 'C:\Data' ] || fail "the planner's settings are gone"
wine reg query "$NKEY" >/dev/null 2>&1 </dev/null || fail "the selector's settings key is gone"
echo PASS
