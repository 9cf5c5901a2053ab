# Bad values on a saver-daemon command line end with 255 and one line on
# standard error, before any window is made.
source "$(dirname "$0")/lib/daemon_e2e.bash" "$@"

stdbuf -oL xev -root -event substructure >"$WORK/xev.log" 2>&1 &
STARTED+=("$!")
sleep 0.5

check() { # [VAR=value...] -- arguments...
  local env=()
  while [ "$1" != -- ]; do env+=("$1"); shift; done
  shift
  timeout -k 2 10 env "${env[@]}" "$BV" "$@" >/dev/null 2>"$WORK/err"
  EXIT_CODE=$?
  local lines
  lines=$(wc -l <"$WORK/err")
  [ "$EXIT_CODE" = 255 ] && [ "$lines" = 1 ] && pass "${env[*]} $* ends with 255: $(cat "$WORK/err")" ||
    fail "${env[*]} $* ended with $EXIT_CODE and $lines line(s): $(head -c 300 "$WORK/err")"
}

check -- --delay abc
check -- --delay -5
check -- --window-id 0
check -- --window-id 0x3ffffe # an id no client owns
check -- --root --window-id 4194302
check -- --preset no-such-preset
check -- --root --frobnicate
check XSCREENSAVER_WINDOW=junk -- --root
check XSCREENSAVER_WINDOW=0x3ffffe -- -root

sleep 0.5
if grep -q CreateNotify "$WORK/xev.log"; then
  fail "a window was created"
else
  pass "no window was created"
fi
# The watcher must see a window being made, or the check above proves nothing.
"$BV" --window &
pid=$!
STARTED+=("$pid")
for _ in $(seq 50); do
  grep -q CreateNotify "$WORK/xev.log" && break
  sleep 0.1
done
grep -q CreateNotify "$WORK/xev.log" && pass "the watcher sees --window's window" ||
  fail "the watcher saw no window being made"
stop "$pid"

finish
