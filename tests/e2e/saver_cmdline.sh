# Command lines that name no runnable mode end at once with exit code 255 (-1)
# and create no window at all: the grammar itself is checked by the unit tests,
# these are the cases that reach the display (a window id no client owns).
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

watch_windows
for tail in "/p 4194303" "/p abc" /x "/a 1234"; do
  # shellcheck disable=SC2086 # the tail's words are the program's arguments
  timeout -k 2 10 "$BV" $tail
  code=$?
  [ "$code" = 255 ] && pass "$tail ends with 255" || fail "$tail ended with $code"
done
convert -size 16x16 xc:gray "$WORK/probe.png"
no_window_made "a picture viewer's window" display -geometry 16x16 "$WORK/probe.png"

finish
