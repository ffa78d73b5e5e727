#!/usr/bin/env bash
# Reinstall, upgrade and downgrade as an administrator does them silently:
# a rebuilt package of the same version replaces the installed one (one
# uninstall entry) and keeps a changed setting; a newer package installs over
# it while the unit and the selector run, ends both by their exit commands and
# keeps the settings and the schedule folder's files; an older package is
# refused; a unit that will not end (it asks first when receptions are
# reserved) stops the upgrade before anything changed; the silent uninstall
# leaves the schedule folder and its files.
. "$(dirname "$0")/lib/installer.sh"
i_init
: "${NATIVE_BIN:?}"
RSVTOOL="$NATIVE_BIN/tools/rsvtool/rsvtool"
[ -x "$RSVTOOL" ] || fail "missing $RSVTOOL"
IFACE=iu$$
trap 'ip link del "$IFACE" 2>/dev/null; i_cleanup' EXIT
higher=$(echo "$VERSION" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
build_package "$VERSION" "$IWORK/rebuilt.msi"
build_package "$higher" "$IWORK/higher.msi"

note "install, then change settings"
msi /i "$(winpath "$MSI")" || fail "install exit $? (log $LAST_LOG)"
wine reg add "$PLANNER_KEY\\Environment" /v DayStart /t REG_DWORD /d 6 /f >/dev/null 2>&1 </dev/null
wine reg add "$NKEY" /v Mode /t REG_BINARY /d 02000000 /f >/dev/null 2>&1 </dev/null
mkdir -p "$PF/Schedule"
echo keep > "$PF/Schedule/notes.txt"
first=$(product_code)

note "a rebuilt package of the same version replaces the installed one"
msi /i "$(winpath "$IWORK/rebuilt.msi")" || fail "reinstall exit $? (log $LAST_LOG)"
[ "$(entries | wc -l)" = 1 ] || fail "uninstall entries after the reinstall: $(entries)"
[ "$(product_code)" != "$first" ] || fail "the rebuilt package did not replace the installed one"
[ "$(reg_value "$PLANNER_KEY\\Environment" DayStart)" = 0x6 ] || fail "DayStart lost by the reinstall"
[ -e "$PF/Tavora.exe" ] || fail "Tavora.exe missing after the reinstall"

note "the unit and the selector run from Program Files"
# Without the board its real-driver library refuses to start the selector
# (message 002), so for this run it goes without the library (as it does when
# none is installed): the board address is then eight 0xAA bytes.
ip link add "$IFACE" type veth peer name "${IFACE}p" || fail "veth"
ip link set "$IFACE" address aa:aa:aa:aa:aa:aa
ip addr add 198.18.0.2/24 dev "$IFACE"
ip link set "$IFACE" up; ip link set "${IFACE}p" up
mv "$PF/OVD.DLL" "$IWORK/OVD.DLL.aside"
# The multicast routing driver (not part of the suite) keeps this key.
wine reg add 'HKLM\System\CurrentControlSet\Services\VxD\MRELAY' /f >/dev/null 2>&1 </dev/null
wine "$PFWIN\\Quillon.exe" >/dev/null 2>&1 </dev/null &
wine "$PFWIN\\nexa.exe" >/dev/null 2>&1 </dev/null &
wait_window 30 "データ受信ユニット(QuillonUnit)" || fail "the unit did not start"
wait_window 30 NEXA || fail "the selector did not start"

note "upgrade while they run"
start=$(date +%s.%N)
msi /i "$(winpath "$IWORK/higher.msi")" || fail "upgrade exit $? (log $LAST_LOG)"
echo "upgrade: $(echo "$(date +%s.%N) - $start" | bc) s"
wine "$WDRV" find "データ受信ユニット(QuillonUnit)" >/dev/null 2>&1 </dev/null && fail "the unit still runs"
wine "$WDRV" find NEXA >/dev/null 2>&1 </dev/null && fail "the selector still runs"
[ "$(entries | wc -l)" = 1 ] && [ "$(entries | cut -f2)" = "$higher" ] || fail "entries after the upgrade: $(entries)"
for f in Tavora.exe Quillon.exe nexa.exe OVD.DLL; do [ -e "$PF/$f" ] || fail "$f missing after the upgrade"; done
cmp -s "$PF/OVD.DLL" "$WIN_BIN/ovd/OVD.DLL" || fail "OVD.DLL after the upgrade is not the real-driver build"
[ "$(cat "$PF/Schedule/notes.txt" 2>/dev/null)" = keep ] || fail "the schedule folder's file is gone"
[ "$(reg_value "$PLANNER_KEY\\Environment" DayStart)" = 0x6 ] || fail "DayStart lost by the upgrade"
[ "$(reg_value "$NKEY" Mode)" = 02000000 ] || fail "the selector's Mode lost by the upgrade: $(reg_value "$NKEY" Mode)"

note "an older package is refused"
msi /i "$(winpath "$MSI")" && fail "the older package installed over the newer one"
[ "$(entries | cut -f2)" = "$higher" ] || fail "entries after the downgrade attempt: $(entries)"

note "a unit that does not end stops the upgrade before anything changes"
wine reg add "$PLANNER_KEY\\Schedule" /v DataPath /t REG_SZ /d "$PFWIN\\Schedule" /f >/dev/null 2>&1 </dev/null
now=$(date +%s)
"$RSVTOOL" make --folder "$PF/Schedule" --program 4680 --sub 1 --start "$(date -d @$((now + 7200)) '+%Y-%m-%d %H:%M')" \
  --end "$(date -d @$((now + 9000)) '+%Y-%m-%d %H:%M')" --address 239.192.7.1 --port 23001 --sid 7 \
  --name "明日の番組" --storage 'C:\Data\x' >/dev/null || fail "rsvtool make"
wine "$PFWIN\\Quillon.exe" >/dev/null 2>&1 </dev/null &
wait_window 30 "データ受信ユニット(QuillonUnit)" || fail "the unit did not start"
sleep 2
build_package "$(echo "$higher" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')" "$IWORK/highest.msi"
msi /i "$(winpath "$IWORK/highest.msi")" LV_CLOSE_WAIT=3 && fail "the upgrade went on while the unit runs"
grep -qa 'did not end' <(iconv -f CP932 -t UTF-8 -c "$LAST_LOG") || fail "the log does not name the program"
[ "$(entries | cut -f2)" = "$higher" ] || fail "entries after the stopped upgrade: $(entries)"
[ -e "$PF/Quillon.exe" ] || fail "Quillon.exe removed by the stopped upgrade"
# The unit was asked: its question is up; "はい" ends it.
wine "$WDRV" post データ受信ユニット 6 >/dev/null 2>&1 </dev/null || fail "the unit was not asked to end"

note "silent uninstall"
for _ in $(seq 50); do wine "$WDRV" find "データ受信ユニット(QuillonUnit)" >/dev/null 2>&1 </dev/null || break; sleep 0.2; done
msi /x "$(product_code)" || fail "uninstall exit $? (log $LAST_LOG)"
[ -z "$(entries)" ] || fail "entry left: $(entries)"
for f in Tavora.exe Quillon.exe nexa.exe OVD.DLL; do [ -e "$PF/$f" ] && fail "$f left behind"; done
[ "$(cat "$PF/Schedule/notes.txt" 2>/dev/null)" = keep ] || fail "the schedule folder's file is gone"
ls "$PF/Schedule"/RSV*.SDL >/dev/null 2>&1 || fail "the reservation file is gone"
[ "$(reg_value "$PLANNER_KEY\\Environment" DayStart)" = 0x6 ] || fail "DayStart lost by the uninstall"
echo PASS
