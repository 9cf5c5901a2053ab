# Under headless sway with four coloured quadrants on the desktop, the full-screen
# saver with a flat wave covers the output, shows the photographed desktop
# upright with black around it and ends with 0 on a key, a click or a pointer
# moved past the threshold (not on a smaller move), giving the desktop back and
# leaving all 24 settings stored. It covers an output added while it runs, ends
# with 0 on SIGTERM and draws a scale-2 output at its native pixels. Forced onto
# X11 under Xwayland it keeps running until a key. The configuration dialog runs on GTK's
# Wayland backend and OK stores a value.
source "$(dirname "$0")/lib/wayland_e2e.bash" "$@"

desktop_picture 1024 768
start_sway "output HEADLESS-1 resolution 1024x768"
wait_shows "red green blue yellow" HEADLESS-1 "${QUADRANTS[@]}" ||
  fail "the desktop shows $SEEN, not the picture"

# run_saver [X%,Y%...]: starts the saver; true once it shows the flat wave (black
# at the first point, the quadrants at the others).
run_saver() {
  start_bg SAVER "${as_user[@]}" WAYLAND_DISPLAY="$WL" "$WORK/bin/brittleview" /s
  local points=("$@")
  [ $# = 0 ] && points=("${PLANE[@]}")
  wait_shows "black red green blue yellow" HEADLESS-1 "${points[@]}" ||
    { fail "the saver shows $SEEN"; return 1; }
}

# ends WHAT: the saver ends with 0 after WHAT.
ends() {
  wait_exit "$SAVER" 10 || { fail "$1 did not end the saver" && kill "$SAVER" && return; }
  [ "$EXIT_CODE" = 0 ] && pass "$1 ends it with 0" || fail "$1 ends it with $EXIT_CODE"
}

flat_wave
run_saver || finish
pass "the output is covered: the picture upright, a black corner"
# wtype makes a keyboard of its own: keys sent before the saver hears of it are lost.
user wtype -s 300 -k space
ends "a key"
wait_shows "red green blue yellow" HEADLESS-1 "${QUADRANTS[@]}" && pass "the desktop is back" ||
  fail "afterwards the desktop shows $SEEN"
[ "$(grep -c '=dword:' "$SETTINGS")" = 24 ] && pass "all 24 settings are stored" ||
  fail "settings stored: $(tr '\r\n' '  ' <"$SETTINGS")"

# The pointer's first appearance and first move only set the reference: 3 and 1
# pixels from it are not enough, 6 and 3 are.
run_saver && {
  mkfifo "$WORK/go"
  exec {go}<>"$WORK/go"
  "${as_user[@]}" WAYLAND_DISPLAY="$WL" "$WORK/bin/virtual_pointer" 1,0 3,1 wait 3,2 <"$WORK/go" \
    >"$WORK/pointer.out" &
  STARTED+=($!)
  for _ in $(seq 100); do grep -q 3,1 "$WORK/pointer.out" && break; sleep 0.1; done
  still_running_after "$SAVER" 1 && pass "a 3-and-1 move keeps it running" || fail "a small move ended it"
  echo >&"$go"
  ends "a further move"
}
run_saver && user "$WORK/bin/virtual_pointer" click >/dev/null && ends "a click"

run_saver && {
  user swaymsg create_output >/dev/null
  # Time for swaybg to draw the desktop there, which the saver must cover.
  sleep 2
  wait_shows "black black black" HEADLESS-2 5,5 25,25 75,75 &&
    pass "an output added while it runs is covered" ||
    fail "the added output shows $SEEN"
  kill -TERM "$SAVER"
  ends "SIGTERM"
}

# Forced onto X11 through Xwayland, the saver's window stays until a key.
user swaymsg exec "'printenv DISPLAY >$U/display'" >/dev/null && sleep 0.5
start_bg SAVER "${as_user[@]}" DISPLAY="$(cat "$U/display")" BRITTLEVIEW_BACKEND=x11 "$WORK/bin/brittleview" /s
still_running_after "$SAVER" 2 && pass "the X11 saver keeps running under Xwayland" ||
  fail "the X11 saver under Xwayland ended by itself"
user wtype -s 300 -k space
ends "a key to the X11 saver"

start_bg DIALOG "${as_user[@]}" WAYLAND_DISPLAY="$WL" GDK_BACKEND=wayland "$WORK/bin/brittleview" /c
for _ in $(seq 100); do
  user swaymsg -t get_tree | grep -q '"name": "Brittleview Configuration"' && break
  sleep 0.1
done
user swaymsg -t get_tree | grep -q '"name": "Brittleview Configuration"' &&
  pass "the dialog opens on GTK's Wayland backend" || fail "no dialog window"
sleep 0.5
# The focus starts on OK; fifteen tabs reach X Divisions, whose text is selected.
# GTK takes keys sent all at once as fewer: a pause after each.
user wtype -s 300 $(printf -- '-k %s -s 40 ' $(printf 'Tab %.0s' $(seq 15)) 4 2 Return)
wait_exit "$DIALOG" 10 && [ "$EXIT_CODE" = 1 ] && pass "OK ends it with 1" || fail "OK: exit '$EXIT_CODE'"
grep -q '"x_div"=dword:0000002a' "$SETTINGS" && pass "OK stores the typed value" ||
  fail "x_div: $(grep x_div "$SETTINGS")"

# Still the largest output (the one drawn on) when its pixels count.
user swaymsg output HEADLESS-1 resolution 1920x1080 scale 2 >/dev/null
run_saver 50,1 "${QUADRANTS[@]}" && shoot "$WORK/scaled.png" HEADLESS-1
convert "$WORK/scaled.png" -sample 50% -sample 200% "$WORK/doubled.png"
blocks=$(compare -metric AE "$WORK/scaled.png" "$WORK/doubled.png" null: 2>&1)
[ "${blocks%% *}" -gt 1000 ] 2>/dev/null && pass "a scale-2 output is drawn at its own pixels ($blocks differ from doubled ones)" ||
  fail "the scale-2 output shows doubled pixels ($blocks differ)"
finish
