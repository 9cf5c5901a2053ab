# A preview draws inside the window named on the command line, fills its
# client area and ends with 0 when its parent goes away (the command-line
# grammar and which input it ignores are the unit tests' part).
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

# geometry WINDOW: width, height and the upper left corner relative to the parent.
geometry() {
  xwininfo -id "$1" | awk '/Width:/{w=$2} /Height:/{h=$2} /Relative upper-left X:/{x=$4}
    /Relative upper-left Y:/{y=$4} END{print w, h, x, y}'
}

convert -size 320x240 xc:'#404040' "$WORK/parent.png"
start_bg VIEWER display -title bv-preview-parent -geometry 320x240+100+100 "$WORK/parent.png"
parent=$(find_window bv-preview-parent 10) || { fail "the parent window did not appear"; finish; }

start_bg PREVIEW "$BV" /p "$parent"
for _ in $(seq 200); do
  preview=$(xwininfo -children -id "$parent" 2>/dev/null | awk '/"Preview"/{print $1; exit}')
  [ -n "$preview" ] && xwininfo -id "$preview" | grep -q 'IsViewable' && break
  preview=""
  kill -0 "$PREVIEW" 2>/dev/null || break
  sleep 0.1
done
[ -n "$preview" ] || { fail "no \"Preview\" child inside the parent"; finish; }
read -r pw ph _ < <(geometry "$parent")
[ "$(geometry "$preview")" = "$pw $ph 0 0" ] && pass "a \"Preview\" child fills the parent" ||
  fail "preview is $(geometry "$preview") in a $pw x $ph parent"

# It draws: the window soon holds more than the parent's flat grey.
for _ in $(seq 60); do
  import -window "$preview" "$WORK/preview.png" 2>/dev/null
  colours=$(convert "$WORK/preview.png" -format '%k' info: 2>/dev/null || echo 0)
  [ "${colours:-0}" -gt 8 ] && break
  sleep 0.25
done
[ "${colours:-0}" -gt 8 ] && pass "the preview draws ($colours colours)" || fail "the preview drew nothing"

kill "$VIEWER"
wait_exit "$PREVIEW" 15 && [ "$EXIT_CODE" = 0 ] && pass "ends with 0 when its parent goes" ||
  fail "exit code '$EXIT_CODE' when its parent went (empty: still running)"

finish
