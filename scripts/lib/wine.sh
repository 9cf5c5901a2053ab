# shellcheck shell=bash disable=SC2034 # the variables set here are for the scripts that source this
# Sourced by the scripts that run the Windows builds under Wine
# (scripts/test-windows, tests/wine/windows_checks.sh, scripts/bench-windows).
#
# Finds out once whether this kernel runs 32-bit programs, by starting Wine's
# i386 loader: kernels built without 32-bit support refuse it with "Exec format
# error" (exit 126). The answer is exported in BV_WIN32 (yes or no), so the
# scripts these start do not ask again. BV_NO_WIN32=1 forces the answer no.
#
# Sets:
#   wine       the command that runs a Windows program: the usual "wine" when
#              32-bit programs run, else Wine's 64-bit loader itself (the
#              "wine" wrapper, "wineboot" and friends all go through the i386
#              loader when it is installed, whether or not it can run);
#   win32_skip the line printed for each 32-bit check that is left out.
# and exports WINEARCH/WINELOADER for the 64-bit-only case.

bv_wine32_loader=/usr/lib/wine/wine
bv_wine64_loader=/usr/lib/wine/wine64

if [ -z "${BV_WIN32:-}" ]; then
  if [ "${BV_NO_WIN32:-0}" = 1 ]; then
    BV_WIN32=no
  elif "$bv_wine32_loader" --version >/dev/null 2>&1; then
    BV_WIN32=yes
  else
    BV_WIN32=no
  fi
fi
export BV_WIN32

win32_skip="SKIP: win32 under Wine: this kernel cannot run 32-bit programs"
if [ "$BV_WIN32" = yes ]; then
  wine=wine
else
  wine=$bv_wine64_loader
  # A 64-bit prefix, and Wine's own programs started through the 64-bit loader.
  export WINEARCH=win64 WINELOADER=$bv_wine64_loader
fi

# wine_boot: makes the prefix in $WINEPREFIX ready; bounded, so a stuck start-up
# fails the checks instead of hanging them.
wine_boot() {
  timeout 300 "$wine" wineboot.exe -i >/dev/null 2>&1
  timeout 60 wineserver -w
}
