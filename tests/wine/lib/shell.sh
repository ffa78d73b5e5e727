# A stand-in notification area for the tray icon tests (`wdrv shell`, see the
# driver): a test takes the shell away, brings a new one (which announces
# itself with "TaskbarCreated" as a restarted Explorer does) or starts one that
# refuses icons until it is told it is ready, as a shell that is not up yet at
# logon. Needs $WDRV and $WORK; the caller's cleanup calls shell_end_all.
SHELL_PIDS=
SHELL_N=0

# shell_start [refuse]: a new stand-in; its requests go to $SHELL_LOG.
shell_start() {
  SHELL_N=$((SHELL_N + 1))
  SHELL_LOG="$WORK/shell$SHELL_N.log"
  : > "$SHELL_LOG"
  wine "$WDRV" shell "$@" > "$SHELL_LOG" 2>&1 </dev/null &
  SHELL_PIDS="$SHELL_PIDS $!"
  for _ in $(seq 100); do grep -q '^up' "$SHELL_LOG" && return 0; sleep 0.1; done
  fail "the stand-in shell did not come up"
}

# The stand-in is ready: from now on it takes icons.
shell_ready() {
  wine "$WDRV" post "wdrv shell" 1 >/dev/null 2>&1 </dev/null || fail "no stand-in shell"
  for _ in $(seq 50); do grep -q '^ready' "$SHELL_LOG" && return 0; sleep 0.1; done
  fail "the stand-in shell did not take the ready command"
}

# The shell ends and its icons with it.
shell_end() {
  wine "$WDRV" close "wdrv shell" >/dev/null 2>&1 </dev/null || fail "no stand-in shell to end"
  for _ in $(seq 50); do grep -q '^ended' "$SHELL_LOG" && return 0; sleep 0.1; done
  fail "the stand-in shell did not end"
}

shell_end_all() {
  for _ in $SHELL_PIDS; do wine "$WDRV" close "wdrv shell" >/dev/null 2>&1 </dev/null; done
  for p in $SHELL_PIDS; do kill "$p" 2>/dev/null; done
  SHELL_PIDS=
}

# shell_wait_icon SECONDS WINDOW ID: the current stand-in holds the icon.
shell_wait_icon() {
  for _ in $(seq $(($1 * 5))); do grep -qi "^add $2 $3 taken" "$SHELL_LOG" && return 0; sleep 0.2; done
  return 1
}

# shell_icon_survives WINDOW: the icon of WINDOW (id 1), now in the shell, comes
# back in a restarted shell, and in a new shell that refuses icons at first it
# is offered until taken.
shell_icon_survives() {
  note "the shell restarts: the icon comes back"
  shell_end
  shell_start
  shell_wait_icon 10 "$1" 1 || fail "the icon was not added to the new shell: $(cat "$SHELL_LOG")"
  note "a new shell that is not ready at once: the icon is offered until it is"
  shell_end
  shell_start refuse
  for _ in $(seq 50); do grep -qi "^add $1 1 refused" "$SHELL_LOG" && break; sleep 0.2; done
  grep -qi "^add $1 1 refused" "$SHELL_LOG" || fail "the icon was not offered to the new shell: $(cat "$SHELL_LOG")"
  shell_ready
  shell_wait_icon 10 "$1" 1 || fail "the icon was not offered again: $(cat "$SHELL_LOG")"
}
