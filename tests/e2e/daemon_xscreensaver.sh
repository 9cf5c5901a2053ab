# With the real XScreenSaver daemon: a private ~/.xscreensaver lists only
# "GL: brittleview --root"; on activation the daemon runs it on its own window
# with the desktop's photograph on it, and the screen shows the desktop's red
# and blue halves; no Brittleview is left 2 s after the daemon stops it. The
# daemon refuses root: as root, it and its savers run as "nobody".
source "$(dirname "$0")/lib/daemon_e2e.bash" "$@"

command -v xscreensaver >/dev/null && command -v xscreensaver-command >/dev/null ||
  { fail "xscreensaver is not installed (scripts/install-deps)"; finish; }

# Everything the daemon's account reads lives below a folder it may enter.
chmod 711 "$WORK"
mkdir -m 755 "$WORK/bin" && install -m 755 "$BV" "$WORK/bin/brittleview"
XSS_HOME=$WORK/xss-home
mkdir -p "$XSS_HOME/.config"
printf 'mode:\tone\nselected:\t0\nlock:\tFalse\nfade:\tFalse\nunfade:\tFalse\nsplash:\tFalse
grabDesktopImages:\tTrue\nprograms:\tGL: %s --root \\n\n' "$WORK/bin/brittleview" >"$XSS_HOME/.xscreensaver"
as_daemon_user=(env)
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$XSS_HOME" && chmod 700 "$XSS_HOME" &&
  as_daemon_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env)
as_daemon_user+=(HOME="$XSS_HOME" XDG_CONFIG_HOME="$XSS_HOME/.config" DISPLAY="$DISPLAY")
saver_pids() { pgrep -f "^$WORK/bin/brittleview" || true; }

read -r sw sh < <(xwininfo -root | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
convert -size $((sw / 2))x"$sh" xc:'#ff0000' -size $((sw - sw / 2))x"$sh" xc:'#0000ff' +append \
  "$WORK/desktop.png"
display -window root "$WORK/desktop.png"

start_bg DAEMON "${as_daemon_user[@]}" xscreensaver -no-splash -verbose >"$WORK/daemon.log" 2>&1
xss() { "${as_daemon_user[@]}" xscreensaver-command "-$1" >/dev/null 2>&1 || fail "xscreensaver-command -$1 failed"; }
# The daemon answers commands once it runs.
for _ in $(seq 50); do "${as_daemon_user[@]}" xscreensaver-command -version &>/dev/null && break; sleep 0.2; done
xss activate
saver=""
for _ in $(seq 100); do saver=$(saver_pids | head -n1) && [ -n "$saver" ] && break; sleep 0.1; done
[ -n "$saver" ] && pass "the daemon started Brittleview (pid $saver)" ||
  { fail "the daemon started no Brittleview"; finish; }
window=$(tr '\0' '\n' <"/proc/$saver/environ" 2>/dev/null | sed -n 's/^XSCREENSAVER_WINDOW=//p')
[ -n "$window" ] && pass "with XSCREENSAVER_WINDOW=$window" || fail "no XSCREENSAVER_WINDOW"
xprop -id "$window" _SCREENSAVER_SCREENSHOT 2>/dev/null | grep -q 'pixmap id' &&
  pass "and the desktop's photograph on that window" || fail "no photograph on $window"

shown() { above "${red:-0}" 0.01 && above "${blue:-0}" 0.01; }
for _ in $(seq 20); do
  import -window root "$WORK/screen.png" 2>/dev/null
  red=$(pure_share red "$WORK/screen.png")
  blue=$(pure_share blue "$WORK/screen.png")
  shown && break
  sleep 0.5
done
shown && pass "the screen shows the desktop's colours (red $red, blue $blue)" ||
  fail "the desktop's colours are not shown (red ${red:-?}, blue ${blue:-?})"

# The daemon stops the saver (SIGTERM) and ends the process that owns the
# saver's window, so the window's end marks the stop. On a loaded machine the
# daemon itself can take a while to get there; the saver then has 2 s.
xss deactivate
for _ in $(seq 100); do xwininfo -id "$window" >/dev/null 2>&1 || break; sleep 0.1; done
xwininfo -id "$window" >/dev/null 2>&1 && fail "the daemon kept its window 10 s after -deactivate"
for _ in $(seq 20); do [ -z "$(saver_pids)" ] && break; sleep 0.1; done
[ -z "$(saver_pids)" ] && pass "no Brittleview left 2 s after the daemon stopped it" ||
  fail "Brittleview still runs 2 s after the daemon stopped it: $(saver_pids) ($(ps -o stat=,wchan= -p "$(saver_pids | head -n1)" 2>/dev/null))"

xss exit
wait_exit "$DAEMON" 5 || kill "$DAEMON"
# The daemon's log holds whatever its savers wrote on standard error.
grep -q -i -E 'X Error|brittleview:' "$WORK/daemon.log" &&
  fail "the saver complained: $(grep -i -E 'X Error|brittleview:' "$WORK/daemon.log" | head -3)" ||
  pass "the saver wrote nothing on standard error"
finish
