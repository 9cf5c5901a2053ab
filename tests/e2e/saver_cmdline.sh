# Command lines that name no runnable mode end at once with exit code 255
# (-1) and create no window at all.
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

# Watch the root window for any window being created while the bad command lines run.
stdbuf -oL xev -root -event substructure >"$WORK/xev.log" 2>&1 &
XEV=$!
STARTED+=("$XEV")
sleep 0.5
kill -0 "$XEV" 2>/dev/null || fail "xev did not start"

check() {
  run_bounded 10 "$@"
  [ "$EXIT_CODE" = 255 ] && pass "$* ends with 255" || fail "$* ended with $EXIT_CODE"
}

check "$BV" /p
check "$BV" /p 0
check "$BV" /p abc
check "$BV" /p:1234
check "$BV" /preview 1234
check "$BV" /p 4194303 # an id no client owns
check "$BV" /x
check "$BV" "/?"
check "$BV" /a 1234     # no password change on this platform
check "$BV" $'/\ts'     # a tab between the slash and the letter
check "$BV" $'/p\t1234' # a tab before the number

sleep 0.5
if grep -q CreateNotify "$WORK/xev.log"; then
  fail "a window was created"
  grep CreateNotify "$WORK/xev.log" >&2
else
  pass "no window was created"
fi

# The watcher itself must see a window being made, or the check above proves nothing.
convert -size 16x16 xc:gray "$WORK/probe.png"
start_bg PROBE display -geometry 16x16 "$WORK/probe.png"
for _ in $(seq 50); do
  grep -q CreateNotify "$WORK/xev.log" && break
  sleep 0.1
done
grep -q CreateNotify "$WORK/xev.log" && pass "the watcher sees new windows" ||
  fail "the watcher saw no window being made"

finish
