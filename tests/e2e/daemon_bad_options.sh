# A bad saver-daemon command line ends with 255 and one line on standard error
# naming the fault, before any window is made (every bad value is in the unit
# table; here the ones only the X server can judge, and the environment's).
source "$(dirname "$0")/lib/daemon_e2e.bash" "$@"

test_window INPUTONLY 50 50 bv-input-only inputonly # another client's, made before the watch begins
watch_windows

check() { # PART [VAR=value...] -- arguments...: 255 and one line holding PART
  local part=$1 env=()
  shift
  while [ "$1" != -- ]; do env+=("$1"); shift; done
  shift
  run_bounded 10 env "${env[@]}" "$BV" "$@" >/dev/null 2>"$WORK/err"
  [ "$EXIT_CODE" = 255 ] && [ "$(wc -l <"$WORK/err")" = 1 ] && grep -qF -- "$part" "$WORK/err" &&
    pass "${env[*]} $* ends with 255: $(cat "$WORK/err")" ||
    fail "${env[*]} $* ended with $EXIT_CODE: $(head -c 300 "$WORK/err")"
}
check 'window 0x3ffffe does not exist' -- --root --window-id 0x3ffffe
check 'XSCREENSAVER_WINDOW: "junk"' XSCREENSAVER_WINDOW=junk -- --root
check 'is input-only' -- --window-id "$INPUTONLY"
no_window_made "--window's window" "$BV" --window
finish
