#!/usr/bin/env bash
# At the end of the session (WM_ENDSESSION, wParam TRUE) the planner writes
# what its exit writes, the window placement and the view settings, before the
# system ends the process; the process is then ended by force and the values
# are there.
. "$(dirname "$0")/lib/tavora.sh"
t_init
for v in "Window Width" "Window Height" VZoomCnt HZoomCnt TitleKind FontSize; do
  [ -z "$(t_reg_query Environment "$v")" ] || fail "$v set before the test"
done
t_start
t_wdrv resize "$TWIN" 700 460 >/dev/null || fail "resize"
t_post 32793  # vertical zoom in
t_post 32795  # horizontal zoom in
t_post 32791  # font bigger
t_post 32775  # titles by channel
sleep 1

t_wdrv endsession "$TWIN" >/dev/null || fail "the planner did not answer WM_ENDSESSION"
check() {  # what the exit would have written
  [ "$(t_reg_query Environment "Window Width")" = 0x2bc ] || fail "$1: Window Width $(t_reg_query Environment "Window Width")"
  [ "$(t_reg_query Environment "Window Height")" = 0x1cc ] || fail "$1: Window Height $(t_reg_query Environment "Window Height")"
  [ "$(t_reg_query Environment "Window Zoom")" = 0x0 ] || fail "$1: Window Zoom $(t_reg_query Environment "Window Zoom")"
  [ "$(t_reg_query Environment VZoomCnt)" = 0x2 ] || fail "$1: VZoomCnt $(t_reg_query Environment VZoomCnt)"
  [ "$(t_reg_query Environment HZoomCnt)" = 0x2 ] || fail "$1: HZoomCnt $(t_reg_query Environment HZoomCnt)"
  [ "$(t_reg_query Environment TitleKind)" = 0x2 ] || fail "$1: TitleKind $(t_reg_query Environment TitleKind)"
  [ "$(t_reg_query Environment FontSize)" = 0x12 ] || fail "$1: FontSize $(t_reg_query Environment FontSize)"
}
check "after WM_ENDSESSION"

note "the system ends the process: nothing more is written, nothing is lost"
kill -0 "$TPID" 2>/dev/null || fail "the planner ended by itself after WM_ENDSESSION"
# As the system's end of the process: nothing of the program runs any more.
kill -KILL "$TPID"
for _ in $(seq 50); do kill -0 "$TPID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$TPID" 2>/dev/null && fail "the planner outlived its end"
wait "$TPID" 2>/dev/null
TPID=
check "after the process ended"

note "the next start takes them"
t_start
[ "$(t_wdrv rect "$TWIN" | awk '{print $3 - $1, $4 - $2}')" = "700 460" ] || fail "placement: $(t_wdrv rect "$TWIN")"
t_exit
echo PASS
