#!/usr/bin/env bash
# The settings dialog (32772) shows the mode and the channel received, refreshed
# every second; OK stores the chosen mode, which is written back at exit, and
# ｷｬﾝｾﾙ leaves it. The about box (104) opens once at a time.
. "$(dirname "$0")/lib/nexa.sh"
n_init
n_board_interface aa:aa:aa:aa:aa:aa
SETTINGS='dialog:NEXA - 設定'
n_channel_list <<'LIST'
239.1.2.0/24:* 21 BS21
LIST
n_reg Mode REG_BINARY 01000000
n_start || fail "nexa.exe ended at start"

note "settings: mode 1 checked, no channel yet"
wine "$WDRV" post NEXA 32772 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait "$SETTINGS" 10000 visible >/dev/null 2>&1 </dev/null || fail "no settings dialog"
[ "$(wine "$WDRV" checked "$SETTINGS" 1002 2>/dev/null </dev/null | tr -d '\r')" = 1 ] || fail "ダイアログを表示 not checked"
[ "$(wine "$WDRV" text "$SETTINGS" 1004 2>/dev/null </dev/null | tr -d '\r')" = 'チャンネル未選択' ] || fail "channel field not empty-marked"
wine "$WDRV" post NEXA 32772 >/dev/null 2>&1 </dev/null
sleep 1
[ "$(wine "$WDRV" count 'NEXA - 設定' 2>/dev/null </dev/null | tr -d '\r')" = 1 ] || fail "a second settings dialog"

note "the channel field follows the received channel"
n_sessions 239.1.2.9:7
for _ in $(seq 25); do
  [ "$(wine "$WDRV" text "$SETTINGS" 1004 2>/dev/null </dev/null | tr -d '\r')" = BS21 ] && break
  sleep 0.2
done
[ "$(wine "$WDRV" text "$SETTINGS" 1004 2>/dev/null </dev/null | tr -d '\r')" = BS21 ] || fail "channel field not refreshed"

note "ｷｬﾝｾﾙ keeps the mode, OK stores it"
wine "$WDRV" check "$SETTINGS" 1001 1 >/dev/null 2>&1 </dev/null
wine "$WDRV" click "$SETTINGS" 2 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait "$SETTINGS" 5000 gone >/dev/null 2>&1 </dev/null || fail "ｷｬﾝｾﾙ did not close the dialog"
wine "$WDRV" post NEXA 32772 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait "$SETTINGS" 10000 visible >/dev/null 2>&1 </dev/null || fail "no settings dialog"
[ "$(wine "$WDRV" checked "$SETTINGS" 1002 2>/dev/null </dev/null | tr -d '\r')" = 1 ] || fail "ｷｬﾝｾﾙ changed the mode"
wine "$WDRV" check "$SETTINGS" 1002 0 >/dev/null 2>&1 </dev/null
wine "$WDRV" check "$SETTINGS" 1000 1 >/dev/null 2>&1 </dev/null
wine "$WDRV" click "$SETTINGS" 1 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait "$SETTINGS" 5000 gone >/dev/null 2>&1 </dev/null || fail "OK did not close the dialog"
n_wait_log 5 'nexa: mode 0' || fail "mode 0 not taken"

note "about box"
wine "$WDRV" post NEXA 104 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait 'dialog:NEXAについて' 10000 visible >/dev/null 2>&1 </dev/null || fail "no about box"
wine "$WDRV" controls 'dialog:NEXAについて' 2>/dev/null </dev/null | grep -q 'バージョン1.0' || fail "about box text"
wine "$WDRV" click 'dialog:NEXAについて' 1 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait 'dialog:NEXAについて' 5000 gone >/dev/null 2>&1 </dev/null || fail "about box stayed"

n_exit
[ "$(reg_value "$NKEY" Mode)" = 00000000 ] || fail "Mode $(reg_value "$NKEY" Mode) written back, not 0"
echo PASS
