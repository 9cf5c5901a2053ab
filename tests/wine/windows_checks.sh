#!/usr/bin/env bash
# The Windows checks that run under Wine, called by scripts/test-windows on a
# private X display. Reports each check with PASS/FAIL/SKIP on stdout and as a
# line in $BV_CHECK_LOG. Expects build-win32/ and build-win64/ to be built.
# Uses the Wine prefix in $BV_READY_PREFIX when that names a booted one (and
# removes it at the end), else boots a private one. Where this kernel cannot
# run 32-bit programs (scripts/lib/wine.sh) the 32-bit checks are left out,
# each with a SKIP line.
# The command-line grammar is the unit tests' part; the
# configuration dialog and the preview in a host window run under Wine within
# the unit tests.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
# shellcheck source=SCRIPTDIR/../../scripts/lib/wine.sh
. scripts/lib/wine.sh

pass() { echo "PASS: $*"; echo "PASS" >>"$BV_CHECK_LOG"; }
fail() { echo "FAIL: $*"; echo "FAIL" >>"$BV_CHECK_LOG"; }
skip32() { [ "$BV_WIN32" = yes ] || { echo "$win32_skip: $*"; echo "SKIP" >>"$BV_CHECK_LOG"; }; }
check() { # description command...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEPREFIX
booted=no
WINEPREFIX=$(mktemp -d)
if [ -n "${BV_READY_PREFIX:-}" ] && [ -f "$BV_READY_PREFIX/bv-ready-$BV_WIN32" ]; then
  rm -rf "$WINEPREFIX"; WINEPREFIX=$BV_READY_PREFIX booted=yes
fi
work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT
settings_key='HKCU\Software\Quarnel\ScreenSavers\Brittleview'

arches=(win64)
[ "$BV_WIN32" = yes ] && arches=(win32 win64)
[ "$booted" = yes ] || { echo "windows: preparing a Wine prefix"; wine_boot; }

# ---------------------------------------------------------------- helpers
# start_saver ARGS...: starts the program in the background (pid) and waits
# at most 30 s for its window; fails when none appears.
start_saver() {
  "$wine" "$@" >>"$work/stdout.txt" 2>&1 &
  pid=$!
  for _ in $(seq 300); do
    xdotool search --name '^Screen Saver$' >/dev/null 2>&1 && sleep 2 && return 0
    sleep 0.1
  done
  fail "$*: no window appeared"
  return 1
}
wait_for_exit() { # sets status to the exit code of $pid, or "timeout" after 30 s
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; status=$?; return 0; }
    sleep 0.1
  done
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  status=timeout
}
stored_dwords() { "$wine" reg query "$settings_key" 2>/dev/null | grep -c REG_DWORD; }
forget_settings() { "$wine" reg delete 'HKCU\Software\Quarnel' /f >/dev/null 2>&1; true; }
press() { xdotool key "$1" >/dev/null 2>&1; }

# A picture on the desktop for the saver to photograph.
convert -size "$(xdpyinfo | awk '/dimensions:/ {print $2}')" gradient:'#1f4e79-#9fc5e8' -fill white \
  -stroke black -draw "rectangle 40,40 420,260" -fill '#c00000' -draw "circle 700,400 700,520" "$work/desktop.png"
display -window root "$work/desktop.png" >/dev/null 2>&1 &
sleep 1

# ---------------------------------------------------------------- builds and unit tests
for arch in win32 win64; do
  objdump=i686-w64-mingw32-objdump
  [ "$arch" = win64 ] && objdump=x86_64-w64-mingw32-objdump
  others=$("$objdump" -p "build-$arch/brittleview.scr" | awk '/DLL Name:/ {print toupper($3)}' |
    grep -Evx 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|SHELL32.DLL|COMCTL32.DLL|OPENGL32.DLL|GLU32.DLL|MSVCRT.DLL')
  check "$arch: brittleview.scr is there and imports only system DLLs${others:+ (also: $others)}" \
    test -f "build-$arch/brittleview.scr" -a -z "$others"
done
skip32 "unit tests"
for arch in "${arches[@]}"; do
  out=$work/unit-$arch.txt
  timeout 600 "$wine" "build-$arch/tests/unit_tests.exe" >"$out" 2>&1
  status=$?
  if [ "$status" -eq 0 ] && grep -q '^\[  PASSED  \]' "$out" && ! grep -Eq '^\[  (FAILED|SKIPPED) \]' "$out"; then
    pass "$arch: unit tests ($(grep '^\[  PASSED  \]' "$out" | tr -s ' '))"
  else
    grep -E '^\[  (FAILED|SKIPPED) \]|Failure' "$out" | head -n 40
    tail -n 5 "$out"
    fail "$arch: unit tests (exit $status)"
  fi
done

# ---------------------------------------------------------------- the saver
skip32 "/s draws, closes and stores"
for arch in "${arches[@]}"; do
  scr=build-$arch/brittleview.scr
  forget_settings
  if start_saver "$scr" /s; then
    # Explode mode empties the screen at the end of each cycle, so one of a
    # few screenshots must show the photographed desktop.
    drawn=no
    for t in 1 2 3; do
      sleep 1
      import -window root "$work/saver.png" 2>/dev/null
      mean=$(convert "$work/saver.png" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null)
      awk -v m="${mean:-0}" 'BEGIN { exit !(m > 0.05) }' && drawn=yes
    done
    check "$arch /s: the saver draws the desktop" test "$drawn" = yes
    press space
    wait_for_exit
    check "$arch /s: a key press closes the saver with exit code 0 (got $status)" test "$status" = 0
  fi
  check "$arch /s: all 24 settings are stored as REG_DWORD afterwards ($(stored_dwords))" test "$(stored_dwords)" -eq 24
done

# ---------------------------------------------------------------- Windows 98: passwords
# The Windows 95 family ran 32-bit programs only.
if [ "$BV_WIN32" = no ]; then
  skip32 "win98 /s and /a with the password libraries"
  echo "DONE" >>"$BV_CHECK_LOG"
  exit 0
fi
# The saver runs from a folder of its own next to the stand-in libraries.
dir=$WINEPREFIX/drive_c/bvtest
mkdir -p "$dir"
cp build-win32/brittleview.scr build-win32/wine-test/PASSWORD.CPL build-win32/wine-test/MPR.DLL "$dir/"
log=$work/password.log
: >"$log"
export BV_WINE_TEST_LOG="Z:${log//\//\\}" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n"
"$wine" reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1; timeout 60 wineserver -w

if start_saver 'C:\bvtest\brittleview.scr' /s; then
  press space
  for _ in $(seq 1 100); do grep -q '^verify 1' "$log" && break; sleep 0.1; done
  sleep 1
  check "win98 /s: the first key asks the password library, which refuses, and the saver runs on" \
    test -n "$(grep '^verify 1 class=WindowsScreenSaverClass running=1 answer=refuse' "$log")" \
    -a -n "$(kill -0 "$pid" 2>/dev/null && echo running)"
  press space
  wait_for_exit
  check "win98 /s: the next key asks again, is granted, and the saver ends with 0 (got $status)" \
    test "$status" = 0 -a -n "$(grep '^verify 2 class=WindowsScreenSaverClass running=1 answer=grant' "$log")"
fi

timeout 60 "$wine" 'C:\bvtest\brittleview.scr' /a
status=$?
check "win98 /a: ends with 0 (got $status) after the password change of provider SCRSAVE" \
  test "$status" -eq 0 -a -n "$(grep '^change provider=SCRSAVE owner=[a-z]* flags=0 reserved=null' "$log")"

cat "$log"
echo "DONE" >>"$BV_CHECK_LOG"
