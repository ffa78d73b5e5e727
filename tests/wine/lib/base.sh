# What every end-to-end test script needs, sourced by the program libraries.
fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "--- $*"; }

# Unix path -> Windows path on the Z: drive.
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

# wait_for_file SECONDS PATTERN: prints the first file matching PATTERN once
# one exists; 1 when none appeared in time.
wait_for_file() {
  local limit=$1 pattern=$2 f
  for _ in $(seq $((limit * 5))); do
    for f in $pattern; do [ -e "$f" ] && { echo "$f"; return 0; }; done
    sleep 0.2
  done
  return 1
}

# SHOTS=DIR: the tests that take pictures for the README put them into DIR as
# well; a relative DIR is taken in the source tree (SHOTS=docs/screenshots).
case ${SHOTS:-} in "" | /*) ;; *) SHOTS="${SRC:?}/$SHOTS" ;; esac
if [ -n "${SHOTS:-}" ] && ! [ -d "$SHOTS" ]; then fail "SHOTS: no folder $SHOTS"; fi

# Pictures a test keeps. shots_init NAME: SHOTS_DIR, a folder of this run's own
# under $WORK, takes the pictures and the checks read them there, so that no
# other run (of this test or one beside it) can replace one under check.
# shots_keep: then each goes, whole, into $WIN_BIN/screenshots/NAME, the test's
# own folder, and with SHOTS=DIR into DIR too.
shots_init() {
  SHOTS_NAME=$1
  SHOTS_DIR="$WORK/shots"
  mkdir -p "$SHOTS_DIR" || fail "no folder $SHOTS_DIR"
}
shots_keep() {
  local kept="$WIN_BIN/screenshots/$SHOTS_NAME" f name
  mkdir -p "$kept" || fail "no folder $kept"
  for f in "$SHOTS_DIR"/*.png; do
    [ -e "$f" ] || continue
    name=$(basename "$f")
    # Renamed into place: a reader sees the last run's picture or this one's, never half of one.
    cp "$f" "$kept/.$name.$$" && mv -f "$kept/.$name.$$" "$kept/$name" || fail "keeping $name in $kept"
    if [ -n "${SHOTS:-}" ]; then cp "$f" "$SHOTS/" || fail "copying $name to $SHOTS"; fi
  done
  echo "screenshots: $kept"
}

# serve_guide FOLDER LOG [OPTION...]: the native `headend guide` over FOLDER on
# port 80 of the loopback (HEADEND names it), with the options given, logging
# to LOG; GUIDE_SERVER_PID is its process. Returns once it listens.
serve_guide() {
  local folder=$1 log=$2
  shift 2
  "$HEADEND" guide --folder "$folder" --port 80 "$@" > "$log" 2>&1 &
  GUIDE_SERVER_PID=$!
  for _ in $(seq 100); do
    (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null && return 0
    sleep 0.05
  done
  fail "headend guide does not listen on port 80"
}

# new_broadcast SUBNET: a multicast group in 239.192.SUBNET.x and a port for a
# broadcast of the test (GROUP, PORT), and START, the local minute that is now
# (epoch seconds), from which its reservation runs.
new_broadcast() {
  PORT=$((20000 + RANDOM % 10000))
  GROUP=239.192.$1.$((RANDOM % 200 + 1))
  local now; now=$(date +%s)
  START=$((now - now % 60))
}

# wait_reception_window WDRV SECONDS: waits until the unit shows a reception
# window beside its main window (both are titled 受信ユニット); 1 when none came.
wait_reception_window() {
  local drv=$1 limit=$2
  for _ in $(seq $((limit * 5))); do
    [ "$(wine "$drv" count 受信ユニット 2>/dev/null </dev/null | tr -d '\r')" -ge 2 ] && return 0
    sleep 0.2
  done
  return 1
}
