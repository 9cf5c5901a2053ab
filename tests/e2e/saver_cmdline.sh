# Command lines that name no runnable mode end at once with exit code 255
# (-1) and create no window at all.
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

watch_windows

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

convert -size 16x16 xc:gray "$WORK/probe.png"
no_window_made "a picture viewer's window" display -geometry 16x16 "$WORK/probe.png"

finish
