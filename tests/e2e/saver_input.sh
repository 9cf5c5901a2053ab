# The full-screen saver ends with exit code 0 on a key press, a mouse button,
# a pointer move of more than 4 pixels and another window taking the focus; a
# 3-and-1 move and wheel turns leave it running. A second start raises the
# first and ends with 0 at once, without a second window.
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

# start_saver: starts a full-screen saver with the pointer at 200,200; sets SAVER.
start_saver() {
  xdotool mousemove 200 200
  start_bg SAVER "$BV" /s
  wait_viewable "$SAVER" >/dev/null || { fail "no full-screen window appeared"; return 1; }
}

# expect closes|stays WHAT command...: the input ends the saver with 0, or
# leaves it running (then a key ends it).
expect() {
  local outcome=$1 what=$2
  shift 2
  start_saver || return
  "$@"
  if [ "$outcome" = closes ]; then
    wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] && pass "$what closes with 0" ||
      fail "$what: exit code '$EXIT_CODE' (empty: still running)"
  else
    sleep 1.5
    kill -0 "$SAVER" 2>/dev/null && pass "$what keeps the saver running" || fail "$what closed the saver"
    xdotool key Escape
    wait_exit "$SAVER" 10 || fail "$what: a key did not end the saver afterwards"
  fi
}

expect closes "a key press" xdotool key space
expect closes "the left button" xdotool click 1
expect closes "the middle button" xdotool click 2
expect closes "a 5-pixel move" xdotool mousemove 205 200
convert -size 16x16 xc:gray "$WORK/other.png"
start_bg OTHER display -title bv-other-window -geometry 16x16+0+0 "$WORK/other.png"
for _ in $(seq 100); do
  other=$(xdotool search --onlyvisible --name '^bv-other-window$' 2>/dev/null | head -n1)
  [ -n "$other" ] && break
  sleep 0.1
done
expect closes "another window taking the focus" timeout 5 xdotool windowfocus "${other:-0}"
expect stays "a 3-and-1 move" xdotool mousemove 203 201
expect stays "wheel turns" xdotool click 4 click 5 click 6 click 7

start_saver && {
  first=$(saver_window "$SAVER")
  start_bg SECOND "$BV" /s
  wait_exit "$SECOND" 10 && [ "$EXIT_CODE" = 0 ] && pass "second start ends with 0" ||
    fail "second start: exit code '$EXIT_CODE' (empty: still running)"
  [ "$(xdotool search --class WindowsScreenSaverClass | wc -l)" = 1 ] && kill -0 "$SAVER" &&
    [ "$(saver_window "$SAVER")" = "$first" ] && pass "the first saver and its window stay, alone" ||
    fail "the first saver ended or its window changed or a second was made"
  xdotool key Return
  wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] || fail "the first saver did not end with 0"
}

finish
