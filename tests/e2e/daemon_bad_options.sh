# Bad values on a saver-daemon command line end with 255 and one line on
# standard error naming the option and the value, before any window is made.
source "$(dirname "$0")/lib/daemon_e2e.bash" "$@"

watch_windows

PART="" # a part the message must hold
check() { # [VAR=value...] -- arguments...
  local env=()
  while [ "$1" != -- ]; do env+=("$1"); shift; done
  shift
  timeout -k 2 10 env "${env[@]}" "$BV" "$@" >/dev/null 2>"$WORK/err"
  EXIT_CODE=$?
  local lines
  lines=$(wc -l <"$WORK/err")
  [ "$EXIT_CODE" = 255 ] && [ "$lines" = 1 ] && grep -qF -- "$PART" "$WORK/err" && pass "${env[*]} $* ends with 255: $(cat "$WORK/err")" ||
    fail "${env[*]} $* ended with $EXIT_CODE and $lines line(s): $(head -c 300 "$WORK/err")"
}

check -- --delay abc
check -- --delay -5
check -- --window-id 0
check -- --window-id 0x3ffffe # an id no client owns
check -- --root --window-id 4194302
check -- --preset no-such-preset
check -- --root --frobnicate
check XSCREENSAVER_WINDOW=junk -- --root
check XSCREENSAVER_WINDOW=0x3ffffe -- -root

# Every option's bad values: "arguments|a part of the message".
while IFS='|' read -r line PART; do
  read -ra words <<<"$line"
  check -- "${words[@]}"
done <<'EOF'
--root --bogus|unknown option "--bogus"
--root stray|unexpected argument "stray"
--root -s|"-s"
--root=1|--root takes no value
--delay abc|--delay: "abc"
--delay -1|"-1"
--delay 1.5|"1.5"
--delay 10000001|"10000001"
--delay|--delay needs a value
--delay=|""
--window-id 0|--window-id: "0"
--window-id 0x0|"0x0"
--window-id 0x|"0x"
--window-id 0x100000000|"0x100000000"
--window-id 12z|"12z"
--window-id -5|"-5"
--window-id 0xg1|"0xg1"
--image|needs a value
--image=|--image
--preset wave-5|"wave-5"
--preset Explode1|--preset: "Explode1"
--mode wave-4|--mode: "wave-4"
--mode 1|"1"
--children 11|--children: "11"
--children -1|"-1"
--x-divisions 0|--x-divisions
--y-divisions 301|301
--texture-width 300|--texture-width: "300"
--texture-height 4096|"4096"
--priority 3|"3"
--zoom-amplitude 101|"101"
--rotation-z-amplitude 3601|"3601"
--wave-amplitude 1e3|"1e3"
--wave-rate-1 99999999999999999999999|--wave-rate-1
EOF
PART=""

no_window_made "--window's window" "$BV" --window

finish
