# Steps shared by every end-to-end script (sourced through the saver's and the
# dialog's own libraries). Expects $1 of the sourcing script to be the program
# and $DISPLAY to be set. Settings live in a private folder; everything started
# is recorded in STARTED and ended by PID when the script exits.

set -u
BV=${1:?usage: script.sh /path/to/brittleview}
WORK=$(mktemp -d)
export XDG_CONFIG_HOME=$WORK/config
mkdir -p "$XDG_CONFIG_HOME"
STARTED=()
FAILURES=0

cleanup() {
  local pid
  for pid in "${STARTED[@]}"; do
    kill -0 "$pid" 2>/dev/null && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
finish() {
  [ "$FAILURES" -eq 0 ] && echo "all checks passed" && exit 0
  echo "$FAILURES check(s) failed" >&2
  exit 1
}
