#!/usr/bin/env bash
# A second start while the planner runs sends it command 32785 and ends; one
# planner window stays. The placement is stored at exit and used at the next
# start; a stored width of 0 gives 640 x 400.
. "$(dirname "$0")/lib/tavora.sh"
t_init
export LV_DEBUG_LOG="$WORK/debug.log"
t_reg Environment "Window Width" REG_DWORD 0
t_start
read -r l t r b < <(t_wdrv rect "$TWIN")
[ $((r - l)) = 640 ] && [ $((b - t)) = 400 ] || fail "width 0 did not give 640 x 400 ($l $t $r $b)"

timeout 60 wine "$TAVORA" >/dev/null 2>&1 </dev/null
rc=$?
[ $rc = 0 ] || fail "second start ended with $rc"
grep -q 'brought to the front by a second start' "$LV_DEBUG_LOG" || fail "the first planner did not get 32785"
[ "$(t_wdrv count "$TMARK")" = 1 ] || fail "more than one planner window"
kill -0 "$TPID" 2>/dev/null || fail "the first planner ended"

note "59392 hides and shows the tool bar; the panes move up and back"
read -r _ top1 _ _ < <(t_wdrv rect "$TWIN" class:TavoraReserveView)
t_wdrv controls "$TWIN" | grep -q 'ToolbarWindow32' || fail "no tool bar"
t_post 59392
sleep 0.5
read -r _ top2 _ _ < <(t_wdrv rect "$TWIN" class:TavoraReserveView)
[ "$top2" -lt "$top1" ] || fail "the column did not move up without the tool bar ($top1 -> $top2)"
t_post 59392
sleep 0.5
read -r _ top3 _ _ < <(t_wdrv rect "$TWIN" class:TavoraReserveView)
[ "$top3" = "$top1" ] || fail "the column did not move back ($top1 -> $top3)"

note "placement stored at exit"
t_exit
[ "$(t_reg_query Environment 'Window Width')" = 0x280 ] || fail "Window Width not stored"
[ "$(t_reg_query Environment 'Window Height')" = 0x190 ] || fail "Window Height not stored"
[ "$(t_reg_query Environment 'Window Zoom')" = 0x0 ] || fail "Window Zoom not stored"
t_reg Environment "Window Width" REG_DWORD 500
t_reg Environment "Window Height" REG_DWORD 300
t_start
read -r l t r b < <(t_wdrv rect "$TWIN")
[ $((r - l)) = 500 ] && [ $((b - t)) = 300 ] || fail "stored size not used ($l $t $r $b)"
t_exit
echo PASS
