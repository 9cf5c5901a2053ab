# The full-screen saver ends with exit code 0 on a key press, a mouse button,
# a pointer move of more than 4 pixels and another window taking the focus (the
# X events reach it; which inputs count is the unit tests' part). A second
# start raises the first and ends with 0 at once, without a second window.
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

# start_saver: starts a full-screen saver with the pointer at 200,200; sets SAVER.
start_saver() {
  xdotool mousemove 200 200
  start_bg SAVER "$BV" /s
  wait_viewable "$SAVER" >/dev/null || { fail "no full-screen window appeared"; return 1; }
}

# closes WHAT command...: the input ends the saver with 0.
closes() {
  local what=$1
  shift
  start_saver || return
  "$@"
  wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] && pass "$what closes with 0" ||
    fail "$what: exit code '$EXIT_CODE' (empty: still running)"
}

closes "a key press" xdotool key space
closes "the left button" xdotool click 1
closes "a 5-pixel move" xdotool mousemove 205 200
convert -size 16x16 xc:gray "$WORK/other.png"
start_bg OTHER display -title bv-other-window -geometry 16x16+0+0 "$WORK/other.png"
other=$(find_window bv-other-window 10)
closes "another window taking the focus" timeout 5 xdotool windowfocus "${other:-0}"

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
