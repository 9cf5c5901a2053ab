# The saver-daemon mode as the daemons and a person start it, on a desktop
# painted magenta: the settings app's preview form draws in the window it
# names and fills it; the locker's form (-root with XSCREENSAVER_WINDOW in
# decimal) draws the program's own picture, not the desktop (its stops are the
# SIGTERM cycle's check); --image shows the file; a destroyed window ends the run with 0;
# --root shows the desktop unless the user's daemon settings forbid it or the
# session is Wayland; --window opens a window that follows its size and ends
# with 0 on the window manager's close, even with XSCREENSAVER_WINDOW set; a
# pipe as ~/.xscreensaver holds nothing up, a stop ends a start that waits for
# an X server that does not answer, and the X server's end ends the run quietly,
# all with 0.
source "$(dirname "$0")/lib/daemon_e2e.bash" "$@"

read -r sw sh < <(xwininfo -root | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
convert -size "${sw}x${sh}" xc:'#ff00ff' "$WORK/desktop.png"
display -window root "$WORK/desktop.png"

# --- The preview form: --root --window-id 0x..., in a window of another client.
test_window PARENT 320 240 bv-daemon-preview
[ -n "$PARENT" ] || { fail "no test window"; finish; }
start_bg SAVER "$BV" --root --window-id "$(printf '0x%x' "$PARENT")"
wait_drawn "$PARENT" "$WORK/preview.png" && pass "the preview form draws in the window it names" ||
  fail "the preview form drew nothing"
child=$(surface_of "$PARENT")
[ "$(size_of "${child:-0}")" = "320 240" ] && pass "its surface fills the window" ||
  fail "surface '${child}' is $(size_of "${child:-0}") in a 320 x 240 window"
stop "$SAVER"

# --- The locker's form: -root only, the window in decimal in the environment;
# the daemon's settings file a pipe that nobody writes.
test_window LOCK 400 300 bv-daemon-lock
mkfifo "$HOME/.xscreensaver"
XSCREENSAVER_WINDOW=$LOCK start_bg SAVER "$BV" -root 2>"$WORK/lock.err"
wait_drawn "$LOCK" "$WORK/lock.png" && sleep 1 && shoot "$LOCK" "$WORK/lock.png" || fail "the locker's form drew nothing"
magenta=$(pure_share magenta "$WORK/lock.png")
above 0.002 "$magenta" && pass "the locker's form draws its own picture (magenta $magenta)" ||
  fail "the locker's form shows the desktop (magenta $magenta)"
stop "$SAVER"
rm "$HOME/.xscreensaver"

# --- --image FILE shows the file (a still wave covers most of the window); the window's destruction ends the run quietly.
convert -size 64x48 xc:'#00c000' "$WORK/green.png"
XSCREENSAVER_WINDOW=$LOCK start_bg SAVER "$BV" -root --image "$WORK/green.png" --mode wave-1 \
  --no-movement 2>"$WORK/image.err"
wait_drawn "$LOCK" "$WORK/image.png" && sleep 1 && shoot "$LOCK" "$WORK/image.png"
green=$(share '#00c000' "$WORK/image.png" 40)
above "$green" 0.2 && pass "--image shows the file (green $green)" ||
  fail "--image does not show the file (green $green)"
kill "$LOCK_PID"
wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] && [ ! -s "$WORK/image.err" ] &&
  pass "its window's destruction ends it quietly with 0" ||
  fail "when its window went: exit ${EXIT_CODE:-none}, $(head -c 300 "$WORK/image.err")"

# An unreadable --image: one line on standard error, and the own picture.
test_window OTHER 400 300 bv-daemon-other
XSCREENSAVER_WINDOW=$OTHER start_bg SAVER "$BV" -root --image "$WORK/missing.png" \
  2>"$WORK/missing.err"
wait_drawn "$OTHER" "$WORK/other.png" && stop "$SAVER" &&
  [ "$(wc -l <"$WORK/missing.err")" = 1 ] && grep -q missing.png "$WORK/missing.err" &&
  pass "an unreadable --image draws, and one line names it" || fail "stderr: $(cat "$WORK/missing.err")"
# A stop while the start waits: for an X server that never answers.
python3 -c 'import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(); print(s.getsockname()[1], flush=True)
c = s.accept(); time.sleep(600)' >"$WORK/port" &
STARTED+=("$!")
for _ in $(seq 50); do [ -s "$WORK/port" ] && break; sleep 0.1; done
DISPLAY=127.0.0.1:$(($(cat "$WORK/port") - 6000)) start_bg SAVER "$BV" --window
sleep 1 && stop "$SAVER"
[ "$EXIT_CODE" = 0 ] && pass "SIGTERM ends it with 0 while the start waits" || fail "stuck start: $EXIT_CODE"

# --- --root (a still wave, which covers most of the screen): the desktop; not when the daemon's settings forbid it, nor under Wayland.
root_share() { # shows the magenta share of the screen drawn by "$BV" --root with "$@" set
  start_bg SAVER env "$@" "$BV" --root --mode wave-1 --no-movement 2>"$WORK/root.err"
  wait_drawn "$(xwininfo -root | awk '/Window id:/{print $4}')" "$WORK/root.png" >/dev/null
  sleep 1 && import -window root "$WORK/root.png" 2>/dev/null
  stop "$SAVER"
  share '#ff00ff' "$WORK/root.png" 30
}
m=$(root_share HOME="$HOME")
above "$m" 0.2 && pass "--root shows the desktop (magenta $m)" || fail "--root: magenta $m"
printf 'mode:\t\trandom\ngrabDesktopImages:\tFalse\n' >"$HOME/.xscreensaver"
m=$(root_share HOME="$HOME")
above 0.1 "$m" && pass "grabDesktopImages: False keeps the desktop out (magenta $m)" ||
  fail "grabDesktopImages: False, yet magenta $m"
rm "$HOME/.xscreensaver"
m=$(root_share WAYLAND_DISPLAY=wayland-0)
above 0.1 "$m" && pass "under Wayland the own picture (magenta $m)" || fail "Wayland: magenta $m"
[ "$(grep -c -i wayland "$WORK/root.err")" = 1 ] && pass "and says so once" ||
  fail "Wayland stderr: $(cat "$WORK/root.err")"

# A window manager's virtual root takes the place of the root window.
test_window VROOT 360 200 bv-daemon-vroot vroot
start_bg SAVER "$BV" --root
wait_drawn "$VROOT" "$WORK/vroot.png" && [ "$(size_of "$(surface_of "$VROOT")")" = "360 200" ] &&
  pass "--root draws in the virtual root" || fail "--root ignored the virtual root"
stop "$SAVER"
kill "$VROOT_PID"

# --- --window: a window of its own that follows its size and closes like any other.
XSCREENSAVER_WINDOW=0x3ffffe start_bg SAVER "$BV" --window --fps
for _ in $(seq 100); do own=$(xdotool search --name '^Brittleview$' 2>/dev/null | head -n1) && [ -n "$own" ] && break; sleep 0.1; done
[ -n "$own" ] && [ "$(size_of "$own")" = "1024 768" ] && pass "--window opens a 1024 x 768 window" ||
  fail "--window: window '$own' of size $(size_of "${own:-0}")"
wait_drawn "$own" "$WORK/own.png" && pass "and draws in it" || fail "--window drew nothing"
xdotool windowsize "$own" 500 300
for _ in $(seq 50); do [ "$(size_of "$(surface_of "$own")")" = "500 300" ] && break; sleep 0.1; done
[ "$(size_of "$(surface_of "$own")")" = "500 300" ] && pass "its surface follows a new size" ||
  fail "surface is $(size_of "$(surface_of "$own")") after a resize to 500 x 300"
shoot "$own" "$WORK/own.png"
convert "$WORK/own.png" -gravity SouthWest -crop 120x30+0+0 +repage "$WORK/corner.png"
above "$(share '#ffff66' "$WORK/corner.png" 20)" 0.01 && pass "--fps writes in the corner" ||
  fail "no frame rate in the corner"
python3 "$XWIN" delete "$own"
wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] && pass "the window manager's close ends it with 0" ||
  fail "after the window manager's close: exit ${EXIT_CODE:-none}"

[ ! -e "$XDG_CONFIG_HOME/brittleview" ] && pass "no settings were written" ||
  fail "settings written: $(ls -R "$XDG_CONFIG_HOME")"

# --- The X server goes away under it: the end of its window, quietly, with 0.
exec {fd}<> "$WORK/xvfb.fd"
start_bg XVFB Xvfb -displayfd "$fd" -screen 0 640x480x24 +extension GLX -nolisten tcp >/dev/null 2>&1
for _ in $(seq 100); do [ -s "$WORK/xvfb.fd" ] && break; sleep 0.1; done
DISPLAY=:$(head -n1 "$WORK/xvfb.fd") start_bg SAVER "$BV" --window 2>"$WORK/gone.err"
sleep 2
kill "$XVFB"
wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] && [ ! -s "$WORK/gone.err" ] &&
  pass "the X server's end ends it quietly with 0" ||
  fail "after the X server's end: exit ${EXIT_CODE:-none}, $(head -c 300 "$WORK/gone.err")"
finish
