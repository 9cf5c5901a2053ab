#!/usr/bin/env bash
# The Windows checks that run under Wine, called by scripts/test-windows on
# a private X display. Reports each check with PASS/FAIL/SKIP on stdout and as
# a line in $BV_CHECK_LOG. Expects build-win32/ and build-win64/ to be built.
# Uses the Wine prefix in $BV_READY_PREFIX when that names a booted one (and
# removes it at the end), else boots a private one.
#
# Where this kernel cannot run 32-bit programs (see scripts/lib/wine.sh), the
# 32-bit checks are left out, each with a SKIP line, and the checks that run
# on one build only (second start, preview, dialog, bad command lines) run on
# the 64-bit build.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
# shellcheck source=SCRIPTDIR/../../scripts/lib/wine.sh
. scripts/lib/wine.sh

pass() { echo "PASS: $*"; echo "PASS" >>"$BV_CHECK_LOG"; }
fail() { echo "FAIL: $*"; echo "FAIL" >>"$BV_CHECK_LOG"; }
skip32() { # what: a 32-bit check left out
  echo "$win32_skip"
  echo "      left out: win32 $*"
  echo "SKIP" >>"$BV_CHECK_LOG"
}
check() { # description command...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX
if [ -n "${BV_READY_PREFIX:-}" ] && [ -f "$BV_READY_PREFIX/bv-ready-$BV_WIN32" ]; then
  WINEPREFIX=$BV_READY_PREFIX
  booted=yes
else
  WINEPREFIX=$(mktemp -d)
  booted=no
fi
work=$(mktemp -d)
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

settings_key='HKCU\Software\Quarnel\ScreenSavers\Brittleview'
value_names=(Priority x_div y_div xyAmplitude xyFrequency1 xyFrequency2 xySizeX xySizeY Mode
  genChildren xyGoraud useLinear screenTextureWidth screenTextureHeight useTrails enableMovement
  rotX0 rotX1 rotY0 rotY1 rotZ0 rotZ1 zoom0 zoom1)

# The 64-bit build stands in for the 32-bit one in the checks of one build.
if [ "$BV_WIN32" = yes ]; then
  main=win32
  arches=(win32 win64)
else
  main=win64
  arches=(win64)
  echo "windows: 32-bit programs do not run here; the 64-bit loader runs every check"
fi

if [ "$booted" = no ]; then
  echo "windows: preparing a Wine prefix"
  wine_boot
fi
# A crash is reported to a debugger that does not exist, so the system's
# report fails quietly instead of opening winedbg (the fault-guard test).
for view in 32 64; do
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /d 'no-crash-debugger.exe %ld %ld' /f /reg:$view >/dev/null 2>&1
done

# ---------------------------------------------------------------- helpers
wait_for_window() { # title seconds -> prints the X window id
  local id
  for _ in $(seq 1 $(($2 * 10))); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
wait_for_exit() { # pid seconds -> sets status; 1 when it is still running
  for _ in $(seq 1 $(($2 * 10))); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"; status=$?
      return 0
    fi
    sleep 0.1
  done
  kill "$1" 2>/dev/null; wait "$1" 2>/dev/null
  status=timeout
  return 1
}
stored_dwords() { # how many of the 24 values are stored as REG_DWORD
  local listing n=0
  listing=$("$wine" reg query "$settings_key" 2>/dev/null | tr -d '\r')
  for name in "${value_names[@]}"; do
    grep -Eq "^[[:space:]]+${name}[[:space:]]+REG_DWORD[[:space:]]" <<<"$listing" && n=$((n + 1))
  done
  echo "$n"
}
stored_value() { # name -> the stored DWORD as a decimal number
  local hex
  hex=$("$wine" reg query "$settings_key" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" '$1 == n && $2 == "REG_DWORD" {print $3}')
  [ -n "$hex" ] && echo $((hex))
}
forget_settings() { "$wine" reg delete 'HKCU\Software\Quarnel' /f >/dev/null 2>&1; true; }
not_black() { # png: its mean brightness is above 5%
  local mean
  mean=$(convert "$1" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null)
  awk -v m="${mean:-0}" 'BEGIN { exit !(m > 0.05) }'
}
press() { xdotool key "$1" >/dev/null 2>&1; }

# A picture on the desktop for the saver to photograph.
geometry=$(xdpyinfo | awk '/dimensions:/ {print $2}')
convert -size "$geometry" gradient:'#1f4e79-#9fc5e8' \
  -fill white -stroke black -draw "rectangle 40,40 420,260" \
  -fill '#c00000' -draw "circle 700,400 700,520" "$work/desktop.png"
display -window root "$work/desktop.png" >/dev/null 2>&1 &
sleep 1

# ---------------------------------------------------------------- builds
for arch in win32 win64; do
  objdump=i686-w64-mingw32-objdump
  [ "$arch" = win64 ] && objdump=x86_64-w64-mingw32-objdump
  scr=build-$arch/brittleview.scr
  if [ -f "$scr" ]; then
    others=$("$objdump" -p "$scr" | awk '/DLL Name:/ {print toupper($3)}' |
      grep -Evx 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|SHELL32.DLL|COMCTL32.DLL|OPENGL32.DLL|GLU32.DLL|MSVCRT.DLL')
    check "$arch: brittleview.scr imports only system DLLs${others:+ (also: $others)}" test -z "$others"
  else
    fail "$arch: no build-$arch/brittleview.scr"
  fi
done

# ---------------------------------------------------------------- unit tests
[ "$BV_WIN32" = yes ] || skip32 "unit tests"
for arch in "${arches[@]}"; do
  exe=build-$arch/tests/unit_tests.exe
  out=$work/unit-$arch.txt
  timeout 600 "$wine" "$exe" >"$out" 2>&1
  status=$?
  if [ "$status" -eq 0 ] && grep -q '^\[  PASSED  \]' "$out" && ! grep -q '^\[  FAILED  \]' "$out" &&
     ! grep -q '^\[  SKIPPED \]' "$out"; then
    pass "$arch: unit tests ($(grep '^\[  PASSED  \]' "$out" | tr -s ' '))"
  else
    grep -E '^\[  (FAILED|SKIPPED) \]|Failure' "$out" | head -n 40
    tail -n 5 "$out"
    fail "$arch: unit tests (exit $status)"
  fi
done

# ---------------------------------------------------------------- full screen
if [ "$BV_WIN32" = no ]; then
  for what in "/s draws" "/s again" "/s key press closes" "/s stores the settings"; do skip32 "$what"; done
fi
for arch in "${arches[@]}"; do
  scr=build-$arch/brittleview.scr
  forget_settings
  "$wine" "$scr" /s >>"$work/stdout.txt" &
  pid=$!
  if wait_for_window "Screen Saver" 30 >/dev/null; then
    # Explode mode empties the screen at the end of each cycle, so one of a
    # few screenshots must show the photographed desktop.
    drawn=no
    for t in 1 2 3; do
      sleep 1
      import -window root "$work/saver-$arch-$t.png" 2>/dev/null
      not_black "$work/saver-$arch-$t.png" && drawn=yes
    done
    check "$arch /s: the saver draws the desktop" test "$drawn" = yes
    if [ "$arch" = "$main" ]; then
      # A second start brings the first forward and ends at once with 0.
      timeout 60 "$wine" "$scr" /s >>"$work/stdout.txt"
      second=$?
      check "$arch /s again: the second saver ends with 0 (got $second) while the first runs" \
        test "$second" -eq 0 -a -n "$(kill -0 "$pid" 2>/dev/null && echo running)"
    fi
    press space
    wait_for_exit "$pid" 30
    check "$arch /s: a key press closes the saver with exit code 0 (got $status)" test "$status" = 0
  else
    wait_for_exit "$pid" 1
    fail "$arch /s: no saver window appeared"
  fi
  n=$(stored_dwords)
  check "$arch /s: all 24 settings are stored as REG_DWORD afterwards ($n)" test "$n" -eq 24
done

# ---------------------------------------------------------------- preview
# A host window plays the control panel: the preview fills it, ignores keys,
# and the saver ends with 0 when the host's window goes.
[ "$BV_WIN32" = yes ] || skip32 "/p preview"
host_out=$(timeout 120 "$wine" "build-$main/wine-test/preview_host.exe" \
  "Z:${PWD//\//\\}\\build-$main\\brittleview.scr" 2>&1)
status=$?
grep '^preview host' <<<"$host_out"
check "$main /p: the preview fills its parent, ignores a key and ends with its parent" test "$status" -eq 0

# ---------------------------------------------------------------- configuration
if [ "$BV_WIN32" = no ]; then
  for what in "/c OK: exit code" "/c OK: stored values" "/c Cancel"; do skip32 "$what"; done
fi
scr=build-$main/brittleview.scr
forget_settings
"$wine" "$scr" /c &
pid=$!
if id=$(wait_for_window "Brittleview Configuration" 30); then
  timeout 10 xdotool windowfocus --sync "$id" >/dev/null 2>&1
  sleep 0.5
  press Return
  wait_for_exit "$pid" 30
  check "$main /c OK: ends with the dialog's result 1 (got $status)" test "$status" = 1
else
  wait_for_exit "$pid" 1
  fail "$main /c: no configuration dialog appeared"
fi
n=$(stored_dwords)
check "$main /c OK: writes all 24 settings ($n), with the defaults (x_div $(stored_value x_div))" \
  test "$n" -eq 24 -a "$(stored_value x_div)" = 25

forget_settings
"$wine" "$scr" /c &
pid=$!
if id=$(wait_for_window "Brittleview Configuration" 30); then
  timeout 10 xdotool windowfocus --sync "$id" >/dev/null 2>&1
  sleep 0.5
  press Escape
  wait_for_exit "$pid" 30
  check "$main /c Cancel: ends with 2 (got $status) and stores nothing" \
    test "$status" = 2 -a "$(stored_dwords)" -eq 0
else
  wait_for_exit "$pid" 1
  fail "$main /c: no configuration dialog appeared"
fi

# ---------------------------------------------------------------- bad command lines
for tail in "/x" "/?" "/p" "/p 0" "/p abc" "/p:1234" "/preview 1234" "/a"; do
  [ "$BV_WIN32" = yes ] || skip32 "command line '$tail'"
  # shellcheck disable=SC2086 # the tail's words are the program's arguments
  timeout 60 "$wine" "$scr" $tail
  status=$?
  check "$main command line '$tail': exit code 0xFFFFFFFF (status $status)" test "$status" -eq 255
done

# ---------------------------------------------------------------- Windows 98: passwords
# The Windows 95 family ran 32-bit programs only.
if [ "$BV_WIN32" = no ]; then
  for what in "win98 /s: the password library refuses" "win98 /s: a refusal keeps the saver" \
    "win98 /s: the next key is granted" "win98 /s: two verifications" "win98 /a: password change" \
    "win98 /s without a password"; do
    skip32 "$what"
  done
  echo "DONE" >>"$BV_CHECK_LOG"
  exit 0
fi
# The saver runs from a folder of its own next to the stand-in libraries.
dir=$WINEPREFIX/drive_c/bvtest
mkdir -p "$dir"
cp build-win32/brittleview.scr build-win32/wine-test/PASSWORD.CPL build-win32/wine-test/MPR.DLL "$dir/"
log=$work/password.log
: >"$log"
export BV_WINE_TEST_LOG
BV_WINE_TEST_LOG="Z:${log//\//\\}"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n"
"$wine" reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1; timeout 60 wineserver -w

forget_settings
"$wine" 'C:\bvtest\brittleview.scr' /s >>"$work/stdout.txt" &
pid=$!
if wait_for_window "Screen Saver" 30 >/dev/null; then
  sleep 2
  press space
  for _ in $(seq 1 100); do grep -q '^verify 1' "$log" && break; sleep 0.1; done
  sleep 1
  check "win98 /s: the first key asks the password library, which refuses" \
    grep -q '^verify 1 class=WindowsScreenSaverClass running=1 answer=refuse' "$log"
  check "win98 /s: a refused password keeps the saver running" kill -0 "$pid"
  press space
  wait_for_exit "$pid" 30
  check "win98 /s: the next key asks again, is granted, and the saver ends with 0 (got $status)" \
    test "$status" = 0 -a -n "$(grep '^verify 2 class=WindowsScreenSaverClass running=1 answer=grant' "$log")"
else
  wait_for_exit "$pid" 1
  fail "win98 /s: no saver window appeared"
fi
check "win98 /s: exactly two verifications ($(grep -c '^verify' "$log"))" test "$(grep -c '^verify' "$log")" -eq 2

timeout 60 "$wine" 'C:\bvtest\brittleview.scr' /a
status=$?
check "win98 /a: ends with 0 (got $status) after the password change of provider SCRSAVE" \
  test "$status" -eq 0 -a -n "$(grep '^change provider=SCRSAVE owner=[a-z]* flags=0 reserved=null' "$log")"

"$wine" reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$wine" 'C:\bvtest\brittleview.scr' /s >>"$work/stdout.txt" &
pid=$!
if wait_for_window "Screen Saver" 30 >/dev/null; then
  sleep 2
  press space
  wait_for_exit "$pid" 30
  check "win98 /s without a password: the first key closes (exit $status) without asking" \
    test "$status" = 0 -a "$(grep -c '^verify' "$log")" -eq 2
else
  wait_for_exit "$pid" 1
  fail "win98 /s without a password: no saver window appeared"
fi
cat "$log"
echo "DONE" >>"$BV_CHECK_LOG"
