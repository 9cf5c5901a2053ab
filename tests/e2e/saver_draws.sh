# With a known picture on the desktop, the full-screen saver covers the screen
# with its own window, draws that picture (photographed before its window was
# shown), ends with 0 on a key press and leaves all 24 settings stored. It also
# ends with 0 on a pointer move of more than 4 pixels and on another window
# taking the focus (the X events reach it; which inputs count, and a second
# start, are the unit tests' part).
source "$(dirname "$0")/lib/saver_e2e.bash" "$@"

read -r sw sh < <(xwininfo -root | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
# Left half pure red, right half pure blue.
convert -size $((sw / 2))x"$sh" xc:'#ff0000' -size $((sw - sw / 2))x"$sh" xc:'#0000ff' +append \
  "$WORK/desktop.png"
display -window root "$WORK/desktop.png"
# share COLOUR FILE: the share of the picture's pixels near that colour (0 to 1).
share() {
  convert "$2" -fuzz 45% -fill white -opaque "$1" -fill black +opaque white -colorspace Gray \
    -format '%[fx:mean]' info: 2>/dev/null || echo 0
}

xdotool mousemove 10 10
start_bg SAVER "$BV" /s
wid=$(wait_viewable "$SAVER" 30) || { fail "no full-screen window"; finish; }
info=$(xwininfo -id "$wid")
grep -q 'Override Redirect State: yes' <<<"$info" && pass "override-redirect" || fail "not override-redirect"
read -r w h x y < <(awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print w, h, x, y}' <<<"$info")
[ "$w $h $x $y" = "$sw $sh 0 0" ] && pass "covers the screen" || fail "window is $w x $h at $x,$y on a $sw x $sh screen"

# Wait until the picture is drawn: both halves' colours show on the screen.
for _ in $(seq 60); do
  import -window root "$WORK/shot.png" 2>/dev/null
  red=$(share '#ff0000' "$WORK/shot.png") blue=$(share '#0000ff' "$WORK/shot.png")
  awk -v r="$red" -v b="$blue" 'BEGIN{exit !(r > 0.05 && b > 0.05)}' && break
  sleep 0.5
done
awk -v r="$red" -v b="$blue" 'BEGIN{exit !(r > 0.05 && b > 0.05)}' &&
  pass "the desktop picture is drawn (red $red, blue $blue)" || fail "the picture is not on the screen (red $red, blue $blue)"

xdotool key a
wait_exit "$SAVER" 15 && [ "$EXIT_CODE" = 0 ] && pass "a key ends it with 0" ||
  fail "exit code '$EXIT_CODE' after a key press (empty: still running)"
stored=$(grep -Ecs '^"[[:alnum:]_]+"=dword:[0-9a-f]{8}$' "$XDG_CONFIG_HOME/brittleview/settings.reg")
[ "$stored" = 24 ] && pass "all 24 settings are stored" || fail "$stored settings stored, not 24"

# closes WHAT command...: a saver started with the pointer at 200,200 ends with 0 on the input.
closes() {
  local what=$1
  shift
  xdotool mousemove 200 200
  start_bg SAVER "$BV" /s
  wait_viewable "$SAVER" >/dev/null || { fail "$what: no full-screen window appeared"; return; }
  "$@"
  wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] && pass "$what closes with 0" ||
    fail "$what: exit code '$EXIT_CODE' (empty: still running)"
}

closes "a 5-pixel move" xdotool mousemove 205 200
convert -size 16x16 xc:gray "$WORK/other.png"
start_bg OTHER display -title bv-other-window -geometry 16x16+0+0 "$WORK/other.png"
other=$(find_window bv-other-window 10)
closes "another window taking the focus" timeout 5 xdotool windowfocus "${other:-0}"

finish
