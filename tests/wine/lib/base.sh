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
