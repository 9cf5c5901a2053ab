# A preview draws inside the window named on the command line, fills its
# client area, keeps running whatever the user does over it, and ends with 0
# when its parent goes away.
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

# The parent: a plain grey window of another client.
convert -size 320x240 xc:'#404040' "$WORK/parent.png"
start_bg VIEWER display -title bv-preview-parent -geometry 320x240+100+100 "$WORK/parent.png"
parent=""
for _ in $(seq 100); do
  parent=$(xdotool search --onlyvisible --name '^bv-preview-parent$' 2>/dev/null | head -n1)
  [ -n "$parent" ] && break
  sleep 0.1
done
[ -n "$parent" ] || { fail "the parent window did not appear"; finish; }
read -r pw ph < <(xwininfo -id "$parent" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')

start_bg PREVIEW "$BV" /p "$parent"
preview=""
for _ in $(seq 200); do
  preview=$(xwininfo -children -id "$parent" 2>/dev/null | awk '/"Preview"/{print $1; exit}')
  [ -n "$preview" ] && xwininfo -id "$preview" | grep -q 'IsViewable' && break
  preview=""
  kill -0 "$PREVIEW" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$preview" ]; then
  fail "no \"Preview\" child inside the parent"
  finish
fi
pass "a \"Preview\" child is inside the parent"
read -r cw ch cx cy < <(xwininfo -id "$preview" |
  awk '/Width:/{w=$2} /Height:/{h=$2} /Relative upper-left X:/{x=$4} /Relative upper-left Y:/{y=$4} END{print w, h, x, y}')
[ "$cw $ch $cx $cy" = "$pw $ph 0 0" ] && pass "it fills the parent's client area ($cw x $ch)" ||
  fail "preview is $cw x $ch at $cx,$cy in a $pw x $ph parent"
xprop -id "$preview" WM_CLASS | grep -q '"WindowsScreenSaverClass"' &&
  pass "class WindowsScreenSaverClass" || fail "wrong class: $(xprop -id "$preview" WM_CLASS)"

# It draws: the window soon holds more than the parent's flat grey.
drawn=0
for _ in $(seq 60); do
  import -window "$preview" "$WORK/preview.png" 2>/dev/null
  colours=$(convert "$WORK/preview.png" -format '%k' info: 2>/dev/null || echo 0)
  if [ "${colours:-0}" -gt 8 ]; then
    drawn=1
    break
  fi
  sleep 0.25
done
[ "$drawn" = 1 ] && pass "the preview draws ($colours colours)" || fail "the preview drew nothing"

# Input over the preview never ends it.
read -r px py < <(xwininfo -id "$preview" |
  awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x, y}')
xdotool mousemove $((px + 20)) $((py + 20))
xdotool mousemove $((px + 120)) $((py + 90))
xdotool click 1
xdotool click 3
xdotool key space
if still_running_after "$PREVIEW" 1.5; then
  pass "input over the preview leaves it running"
else
  fail "the preview ended on input"
fi

# The parent goes: so does the preview, with 0.
kill "$VIEWER"
if wait_exit "$PREVIEW" 15; then
  [ "$EXIT_CODE" = 0 ] && pass "ends with 0 when its parent goes" ||
    fail "ended with $EXIT_CODE when its parent went"
else
  fail "the preview outlived its parent"
fi

finish
