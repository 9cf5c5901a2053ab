# daemon_sigterm_cycle.sh PROGRAM [COUNT]  (or COUNT PROGRAM; COUNT defaults to 5)
#
# Starts the locker's form of the saver-daemon mode (-root, XSCREENSAVER_WINDOW
# in decimal) in a window of another client COUNT times, and stops each run
# with SIGTERM at a varying moment: as soon as its drawing surface exists
# (still setting up) or up to 0.3 s later (drawing). Every run must end with
# 0, print nothing (no X error text) and leave no process and no window behind.
# Prints the slowest stop.
count=5
program=""
for arg in "$@"; do
  if [[ "$arg" =~ ^[0-9]+$ ]]; then count=$arg; else program=$arg; fi
done
[ -n "$program" ] || program="$(dirname "$0")/../../build/brittleview"
source "$(dirname "$0")/lib/daemon_e2e.bash" "$program"

test_window TARGET 320 240 bv-sigterm-cycle
[ -n "$TARGET" ] || { fail "no test window"; finish; }
slowest=0
bad=0
for ((run = 1; run <= count; run++)); do
  XSCREENSAVER_WINDOW=$TARGET "$BV" -root >"$WORK/out" 2>"$WORK/err" &
  pid=$!
  STARTED+=("$pid")
  for _ in $(seq 500); do
    [ -n "$(surface_of "$TARGET")" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.02
  done
  sleep "0.$((RANDOM % 4))"
  stop "$pid"
  [ "$STOP_MS" -gt "$slowest" ] && slowest=$STOP_MS
  problem=""
  [ "$EXIT_CODE" = 0 ] || problem="exit $EXIT_CODE"
  grep -q . "$WORK/err" && problem="$problem; stderr: $(head -c 200 "$WORK/err")"
  kill -0 "$pid" 2>/dev/null && problem="$problem; still running"
  for _ in $(seq 20); do
    [ -z "$(surface_of "$TARGET")" ] && break
    sleep 0.05
  done
  [ -n "$(surface_of "$TARGET")" ] && problem="$problem; its surface is left"
  if [ -n "$problem" ]; then
    fail "run $run: $problem"
    bad=$((bad + 1))
    [ "$bad" -ge 5 ] && break
  fi
done
[ "$bad" = 0 ] && pass "$count runs stopped by SIGTERM, each with 0 and nothing left (slowest stop ${slowest} ms)"
finish
