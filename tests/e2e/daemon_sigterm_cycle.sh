# Starts the locker's form of the saver-daemon mode (-root, XSCREENSAVER_WINDOW
# in decimal) in a window of another client five times, and stops each run
# with SIGTERM (every third run two at once) as soon as its drawing surface
# exists (still setting up) or up to 0.3 s later (drawing). Every run must end
# with 0, print nothing and leave no process and no surface behind.
source "$(dirname "$0")/lib/daemon_e2e.bash" "$@"

test_window TARGET 320 240 bv-sigterm-cycle
[ -n "$TARGET" ] || { fail "no test window"; finish; }
bad=0
for ((run = 1; run <= 5; run++)); do
  XSCREENSAVER_WINDOW=$TARGET start_bg SAVER "$BV" -root >"$WORK/err" 2>&1
  for _ in $(seq 500); do
    [ -n "$(surface_of "$TARGET")" ] || ! kill -0 "$SAVER" 2>/dev/null && break
    sleep 0.02
  done
  sleep "0.$((RANDOM % 4))"
  ((run % 3)) && stop "$SAVER" || stop "$SAVER" "TERM TERM"
  for _ in $(seq 20); do [ -z "$(surface_of "$TARGET")" ] && break; sleep 0.05; done
  problem=""
  [ "$EXIT_CODE" = 0 ] || problem="exit $EXIT_CODE"
  [ -s "$WORK/err" ] && problem="$problem; stderr: $(head -c 200 "$WORK/err")"
  [ -n "$(surface_of "$TARGET")" ] && problem="$problem; its surface is left"
  [ -z "$problem" ] || { fail "run $run: $problem"; bad=1; }
done
[ "$bad" = 0 ] && pass "5 runs stopped by SIGTERM, each with 0 and nothing left"
finish
