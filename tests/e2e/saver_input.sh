# The full-screen saver ends with exit code 0 on a key press, on a press of
# each mouse button and on a pointer move of more than 4 pixels; a 3-and-1
# move and wheel turns leave it running. A second start raises the first and
# ends with 0 at once, without a second window.
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

# start_saver: starts a full-screen saver with the pointer at 200,200; sets SAVER.
start_saver() {
  xdotool mousemove 200 200
  start_bg SAVER "$BV" /s
  if ! wait_viewable "$SAVER" >/dev/null; then
    fail "no full-screen window appeared"
    return 1
  fi
}

# expect_closes what command...: the input ends the saver with 0.
expect_closes() {
  local what=$1
  shift
  start_saver || return
  "$@"
  if ! wait_exit "$SAVER" 10; then
    fail "$what: the saver is still running"
    return
  fi
  [ "$EXIT_CODE" = 0 ] && pass "$what closes with 0" || fail "$what: exit code $EXIT_CODE"
}

# expect_stays what command...: the input leaves the saver running; a key then ends it.
expect_stays() {
  local what=$1
  shift
  start_saver || return
  "$@"
  if still_running_after "$SAVER" 1.5; then
    pass "$what keeps the saver running"
  else
    fail "$what closed the saver"
  fi
  xdotool key Escape
  wait_exit "$SAVER" 10 || fail "$what: a key did not end the saver afterwards"
}

expect_closes "a key press" xdotool key space
expect_closes "Alt with a key" xdotool key alt+x
expect_closes "the left button" xdotool click 1
expect_closes "the middle button" xdotool click 2
expect_closes "the right button" xdotool click 3
expect_closes "a 5-pixel move" xdotool mousemove 205 200
expect_closes "a 3-and-2 move" xdotool mousemove 203 202
# Another client's window taking the input focus.
convert -size 16x16 xc:gray "$WORK/other.png"
start_bg OTHER display -title bv-other-window -geometry 16x16+0+0 "$WORK/other.png"
other=""
for _ in $(seq 100); do
  other=$(xdotool search --onlyvisible --name '^bv-other-window$' 2>/dev/null | head -n1)
  [ -n "$other" ] && break
  sleep 0.1
done
if [ -n "$other" ]; then
  expect_closes "another window taking the focus" timeout 5 xdotool windowfocus "$other"
else
  fail "the other window did not appear"
fi

expect_stays "a 3-and-1 move" xdotool mousemove 203 201
expect_stays "wheel turns" xdotool click 4 click 5 click 6 click 7
expect_stays "key releases only" xdotool keyup shift

# A second start while one runs.
start_saver && {
  first=$(saver_window "$SAVER")
  start_bg SECOND "$BV" /s
  if wait_exit "$SECOND" 10; then
    [ "$EXIT_CODE" = 0 ] && pass "second start ends with 0" ||
      fail "second start exit code $EXIT_CODE"
  else
    fail "second start is still running"
  fi
  count=$(xdotool search --class WindowsScreenSaverClass 2>/dev/null | wc -l)
  [ "$count" = 1 ] && pass "one saver window" || fail "$count saver windows"
  kill -0 "$SAVER" 2>/dev/null && pass "the first saver keeps running" ||
    fail "the first saver ended"
  [ "$(saver_window "$SAVER")" = "$first" ] || fail "the first saver's window changed"
  xdotool key Return
  wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] || fail "the first saver did not end with 0"
}

finish
