#!/usr/bin/env bash
# The session check against the routing driver's "multicast sessions", seen in
# the calls nexa makes into the board library (its debug log; without
# OVD.DLL each call does nothing and succeeds):
#   "Mode" 0, "TagID" absent: the matching channel is set with OvdSetSid alone;
#   no matching session: the default channel, and 65535 without a default line;
#   "Mode" 1, disagreeing sessions: one question, "いいえ" keeps the channel;
#   the question's close box answers nothing (channel and mode stay, even with
#   "次回からこのダイアログを出さない" ticked);
#   a REG_EXPAND_SZ "Path" is expanded.
. "$(dirname "$0")/lib/nexa.sh"
n_init
n_board_interface aa:aa:aa:aa:aa:aa
ASK='dialog:NEXA - チャンネル切り替え'

sets() { grep -c "$1" "$NLOG"; }

note "Mode 0: the matching channel, then the default"
n_channel_list <<'LIST'
# test list
default 100 既定の局
239.1.2.0/24:* 21 BS21
239.1.3.0/24:* 22 BS22
LIST
n_reg Mode REG_BINARY 00000000
n_start || fail "nexa.exe ended at start"
grep -q 'channel list: 2 entries, default 100' "$NLOG" || fail "channel list not loaded"
[ -e "$WORK/channels.dat.dec" ] && fail "a plain copy of the list lies beside it"
n_sessions 239.1.2.5:5000
n_wait_log 5 'OvdSetSid(21) = 0' || fail "channel 21 not set"
grep -q 'OvdSetSid2\|OvdSetTagId' "$NLOG" && fail "a tag id was set although TagID is absent"
n_sessions 239.9.9.9:1
n_wait_log 5 'OvdSetSid(100) = 0' || fail "default channel 100 not set"
sleep 2
[ "$(sets 'OvdSetSid(100)')" = 1 ] || fail "the default was set more than once"
n_exit

note "no default line: 65535"
n_channel_list <<'LIST'
239.1.2.0/24:* 21 BS21
LIST
wine reg delete "$RKEY" /v "multicast sessions" /f >/dev/null 2>&1 </dev/null
n_start || fail "nexa.exe ended at start"
n_sessions 239.1.2.5:5000
n_wait_log 5 'OvdSetSid(21) = 0' || fail "channel 21 not set"
n_sessions 239.9.9.9:1
n_wait_log 5 'OvdSetSid(65535) = 0' || fail "65535 not set without a default line"
n_exit

note "Mode 1: disagreeing sessions ask once; いいえ keeps the channel"
n_channel_list <<'LIST'
default 100 既定の局
239.1.2.0/24:* 21 BS21
239.1.3.0/24:* 22 BS22
LIST
n_reg Mode REG_BINARY 01000000
n_sessions 239.1.2.5:5000
n_start || fail "nexa.exe ended at start"
n_wait_log 5 'OvdSetSid(21) = 0' || fail "channel 21 not set at the first match"
n_sessions 239.1.3.5:5000 239.1.2.5:5000
wine "$WDRV" wait "$ASK" 10000 >/dev/null 2>&1 </dev/null || fail "no question"
wine "$WDRV" text "$ASK" 1010 2>/dev/null </dev/null | grep -q '受信中のチャンネルを「BS22」に切り替えますか？' ||
  fail "question text: $(wine "$WDRV" text "$ASK" 1010 2>/dev/null </dev/null)"
sleep 2
[ "$(wine "$WDRV" count 'NEXA - チャンネル切り替え' 2>/dev/null </dev/null | tr -d '\r')" = 1 ] || fail "more than one question"
wine "$WDRV" click "$ASK" 7 >/dev/null 2>&1 </dev/null || fail "cannot answer いいえ"
n_wait_log 5 'answer no' || fail "the answer did not arrive"
sleep 3
wine "$WDRV" find "$ASK" >/dev/null 2>&1 </dev/null && fail "asked again about the same channel"
grep -q 'OvdSetSid(22)' "$NLOG" && fail "switched to 22 although the answer was no"
[ "$(grep -c 'asking about channel 22' "$NLOG")" = 1 ] || fail "the question was shown more than once"
n_exit
[ "$(reg_value "$NKEY" Mode)" = 01000000 ] || fail "Mode changed without the box ticked"

note "a REG_EXPAND_SZ Path; the question closed with its box ticked"
export NEXA_LIST_DIR
NEXA_LIST_DIR=$(winpath "$WORK")
n_reg Path REG_EXPAND_SZ '%NEXA_LIST_DIR%\channels.dat'
n_sessions 239.1.2.5:5000
n_start || fail "nexa.exe ended at start"
grep -q 'channel list: 2 entries, default 100' "$NLOG" || fail "the expanded Path was not read"
n_wait_log 5 'OvdSetSid(21) = 0' || fail "channel 21 not set at the first match"
n_sessions 239.1.3.5:5000 239.1.2.5:5000
wine "$WDRV" wait "$ASK" 10000 >/dev/null 2>&1 </dev/null || fail "no question"
wine "$WDRV" check "$ASK" 1012 1 >/dev/null 2>&1 </dev/null || fail "cannot tick the box"
wine "$WDRV" close "$ASK" >/dev/null 2>&1 </dev/null || fail "cannot close the question"
n_wait_log 5 'question closed without an answer' || fail "closing was taken as an answer"
wine "$WDRV" wait "$ASK" 5000 gone >/dev/null 2>&1 </dev/null || fail "the question stayed"
grep -q 'OvdSetSid(22)' "$NLOG" && fail "switched to 22 on the close box"
n_exit
[ "$(reg_value "$NKEY" Mode)" = 01000000 ] || fail "Mode $(reg_value "$NKEY" Mode) after the close box, not 1"
echo PASS
