# A bad saver-daemon command line ends with 255 and one line on standard error
# naming the fault, before any window is made (every bad value is in the unit
# table; here the ones only the X server can judge, and the environment's).
source "$(dirname "$0")/lib/daemon_e2e.bash" "$@"

# An input-only window of another client, made before the watch begins.
python3 -c 'import ctypes as c, time
x = c.cdll.LoadLibrary("libX11.so.6"); x.XOpenDisplay.restype = c.c_void_p
x.XDefaultRootWindow.argtypes = [c.c_void_p]; x.XDefaultRootWindow.restype = c.c_ulong
x.XCreateWindow.restype = c.c_ulong; x.XFlush.argtypes = [c.c_void_p]
x.XCreateWindow.argtypes = [c.c_void_p, c.c_ulong] + [c.c_int] * 2 + [c.c_uint] * 4 + [c.c_uint, c.c_void_p, c.c_ulong, c.c_void_p]
d = x.XOpenDisplay(None); w = x.XCreateWindow(d, x.XDefaultRootWindow(d), 0, 0, 50, 50, 0, 0, 2, None, 0, None)
x.XFlush(d); print(w, flush=True); time.sleep(600)' >"$WORK/inputonly" &
STARTED+=("$!")
for _ in $(seq 50); do [ -s "$WORK/inputonly" ] && break; sleep 0.1; done
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
check 'is input-only' -- --window-id "$(head -n1 "$WORK/inputonly")"
no_window_made "--window's window" "$BV" --window
finish
