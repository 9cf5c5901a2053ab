# Shared steps of the saver's end-to-end scripts (sourced). Everything started
# here is recorded and ended by PID when the script exits.

source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$@"

# start_bg VAR command...: starts command in the background, records its PID in VAR.
start_bg() {
  local var=$1
  shift
  "$@" &
  STARTED+=("$!")
  printf -v "$var" '%s' "$!"
}

# find_window TITLE [SECONDS]: prints the id of the visible window named TITLE.
find_window() {
  local i id
  for ((i = 0; i < ${2:-15} * 10; i++)); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$id" ] && echo "$id" && return 0
    sleep 0.1
  done
  return 1
}

# saver_window PID: the id of the saver window that process made, or nothing.
saver_window() { xdotool search --pid "$1" --class WindowsScreenSaverClass 2>/dev/null | head -n1; }

# wait_viewable PID [SECONDS]: prints the id of the process's saver window once
# it is mapped; fails after the time (default 20 s) or when the process ends.
wait_viewable() {
  local i wid
  for ((i = 0; i < ${2:-20} * 10; i++)); do
    wid=$(saver_window "$1")
    [ -n "$wid" ] && xwininfo -id "$wid" 2>/dev/null | grep -q 'IsViewable' && echo "$wid" && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# wait_exit PID [SECONDS]: waits for the process to end and sets EXIT_CODE;
# returns 1 (EXIT_CODE empty) when it is still running after the time (default 10 s).
wait_exit() {
  local i
  EXIT_CODE=""
  for ((i = 0; i < ${2:-10} * 10; i++)); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"
      EXIT_CODE=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# still_running_after PID SECONDS: true when the process still runs after the time.
still_running_after() {
  sleep "$2"
  kill -0 "$1" 2>/dev/null
}

# run_bounded SECONDS COMMAND...: runs the command in the foreground with a time
# limit; its exit code (124 after the limit) is in EXIT_CODE.
run_bounded() {
  local limit=$1
  shift
  timeout -k 2 "$limit" "$@"
  EXIT_CODE=$?
}

# watch_windows: from now on every window made on the display is noted.
watch_windows() {
  start_bg XEV stdbuf -oL xev -root -event substructure >"$WORK/xev.log" 2>&1
  sleep 0.5
  kill -0 "$XEV" 2>/dev/null || fail "xev did not start"
}

# no_window_made WHAT command...: passes when no window was made since
# watch_windows; then starts command, which makes WHAT, and ends it, to show
# that the watcher sees new windows (or the check proves nothing).
no_window_made() {
  local what=$1 probe
  shift
  sleep 0.5
  grep -q CreateNotify "$WORK/xev.log" && fail "a window was created: $(grep -m1 CreateNotify "$WORK/xev.log")" ||
    pass "no window was created"
  start_bg probe "$@"
  for _ in $(seq 50); do
    grep -q CreateNotify "$WORK/xev.log" && break
    sleep 0.1
  done
  grep -q CreateNotify "$WORK/xev.log" && pass "the watcher sees $what" || fail "the watcher saw no window being made"
  kill "$probe" 2>/dev/null
  wait "$probe" 2>/dev/null
}
