# Under weston's headless backend (no layer shell, no screencopy) the full-screen
# saver covers the output with a fullscreen window showing its own picture,
# says so in one line, and ends with 0 on SIGTERM. With WAYLAND_DISPLAY naming
# no compositor and no X server, it ends with 255 and one line, also when X11
# is asked for.
source "$(dirname "$0")/lib/wayland_e2e.bash" "$@"

for backend in "" x11; do
  run_bounded 10 "${as_user[@]}" WAYLAND_DISPLAY=wayland-none ${backend:+BRITTLEVIEW_BACKEND=$backend} \
    "$WORK/bin/brittleview" /s 2>"$WORK/none.err"
  lines=$(wc -l <"$WORK/none.err")
  [ "$EXIT_CODE" = 255 ] && [ "$lines" = 1 ] && pass "no compositor${backend:+ (x11)}: 255, one line" ||
    fail "no compositor${backend:+ (x11)}: exit $EXIT_CODE, $lines lines: $(head -c 300 "$WORK/none.err")"
done

start_weston
flat_wave
start_bg SAVER "${as_user[@]}" WAYLAND_DISPLAY="$WL" "$WORK/bin/brittleview" /s 2>"$WORK/saver.err"
# Covered: black where the plane does not reach, over weston's panel (dark grey)
# and its background (grey).
for _ in $(seq 20); do
  kill -0 "$SAVER" 2>/dev/null || break
  sleep 0.5
  shoot "$WORK/shot.png"
  read -r corner edge middle < <(colours "$WORK/shot.png" 5,3 5,50 50,50)
  [ "${corner:-}${edge:-}" = blackblack ] && [ "$middle" != black ] && break
done
[ "${corner:-}${edge:-}" = blackblack ] && [ "$middle" != black ] &&
  pass "a fullscreen window shows its own picture" ||
  fail "the corner is ${corner:-?}, the edge ${edge:-?}, the middle ${middle:-?}"
[ "$(wc -l <"$WORK/saver.err")" = 1 ] && pass "one line says why: $(cat "$WORK/saver.err")" ||
  fail "standard error: $(head -c 300 "$WORK/saver.err")"
kill -TERM "$SAVER"
wait_exit "$SAVER" 10 && [ "$EXIT_CODE" = 0 ] && pass "SIGTERM ends it with 0" ||
  fail "SIGTERM: exit ${EXIT_CODE:-none}"
finish
