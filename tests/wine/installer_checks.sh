#!/usr/bin/env bash
# The Windows release under Wine, called by scripts/test-windows on a private
# X display: both .scr files carry the manifest and the project's version; in
# a fresh 64-bit prefix, and a 32-bit one, the installer with /S puts that
# Windows' own saver into its system folder, makes it the user's screen saver
# (short path) and registers its uninstaller; the installed saver starts with
# its manifest's DPI awareness and ends on a key; the uninstaller with /S takes
# all of that away (SCRNSAVE.EXE only while it names this saver) and keeps the
# saved settings. Reports like windows_checks.sh. The installer
# is a 32-bit program: where this kernel runs none, its checks are SKIPs.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
# shellcheck source=SCRIPTDIR/../../scripts/lib/wine.sh
. scripts/lib/wine.sh

check() { # description command...: PASS or FAIL, as windows_checks.sh reports
  local what=$1 result=FAIL; shift
  "$@" && result=PASS
  echo "$result: $what"; echo "$result" >>"$BV_CHECK_LOG"
}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEPREFIX=
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT

version=$(sed -n 's/^project(brittleview VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup=build-win32/brittleview-$version-setup.exe
desktop='HKCU\Control Panel\Desktop'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brittleview'
settings='HKCU\Software\Quarnel\ScreenSavers\Brittleview'
guids='35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38
  1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a'

# What Windows reads from the file itself: the manifest (DPI awareness,
# execution level, the systems it knows; no newer common controls) and the
# version shown in Explorer.
for arch in win32 win64; do
  manifest=$(wrestool -x --raw -t24 -n1 "build-$arch/brittleview.scr" 2>/dev/null)
  missing=()
  for want in '<dpiAware[^>]*>true</dpiAware>' '<dpiAwareness[^>]*>PerMonitorV2, *System</dpiAwareness>' \
    'level="asInvoker"' $guids; do
    grep -q "$want" <<<"$manifest" || missing+=("$want")
  done
  grep -q 'Microsoft.Windows.Common-Controls' <<<"$manifest" && missing+=("no common-controls dependency")
  check "$arch: the .scr's manifest has DPI awareness, asInvoker, Windows 7 to 11${missing[*]:+ (lacks: ${missing[*]})}" \
    test ${#missing[@]} -eq 0
  strings=$(wrestool -x --raw -t16 "build-$arch/brittleview.scr" 2>/dev/null | iconv -f utf-16le -t utf-8 2>/dev/null |
    tr -c '[:print:]' '\n' | grep -v '^.\?$' | paste -sd ' ')
  check "$arch: the .scr's version resource names Brittleview $version and the license ($strings)" \
    grep -q "FileVersion $version .*MIT License .*ProductName Brittleview ProductVersion $version" <<<"$strings"
done

reg_value() { # key name -> the value's data, in the system's own registry view
  "$wine" reg query "$1" /v "$2" "${view[@]}" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }'
}
wait_for() { # seconds command...: true once the command succeeds
  local n=$(($1 * 10)); shift
  until "$@" >/dev/null 2>&1; do n=$((n - 1)); [ "$n" -gt 0 ] || return 1; sleep 0.1; done
}

for kind in win64 win32; do
  if [ "$BV_WIN32" = no ]; then
    echo "$win32_skip"; echo "      left out: the installer in a $kind prefix"; echo "SKIP" >>"$BV_CHECK_LOG"
    continue
  fi
  WINEPREFIX=$(mktemp -d)
  # The system's own programs (winlogon starting the saver): 64-bit ones on
  # 64-bit Windows, which see the real system folder.
  view=() native=$wine
  [ "$kind" = win64 ] && view=(/reg:64) native=$bv_wine64_loader
  system=$WINEPREFIX/drive_c/windows/system32
  WINEARCH=$kind wine_boot
  "$wine" reg add "$settings" /v x_div /t REG_DWORD /d 7 /f >/dev/null 2>&1
  timeout 120 "$wine" "$setup" /S
  status=$?
  timeout 60 wineserver -w
  type=PE32+; [ "$kind" = win32 ] && type=PE32
  got=$(file -b "$system/brittleview.scr" | cut -d' ' -f1)
  check "$kind /S: the installer ends with 0 (got $status), the $kind saver ($got) alone in the system folder" \
    test "$status" -eq 0 -a "$got" = "$type" -a ! -e "$WINEPREFIX/drive_c/windows/syswow64/brittleview.scr"
  scr=$(reg_value "$desktop" SCRNSAVE.EXE)
  where=$("$native" winepath.exe -u "$scr" 2>/dev/null)
  check "$kind /S: SCRNSAVE.EXE is the saver's short path ($scr)" \
    test -n "$scr" -a "$(realpath -m "$where")" = "$(realpath "$system/brittleview.scr" 2>/dev/null)" -a \
      -z "$(tr '\134' '\n' <<<"$scr" | grep -Ev '^[^.]{1,8}(\.[^.]{1,3})?$')"
  entry="$(reg_value "$uninstall" DisplayName)|$(reg_value "$uninstall" DisplayVersion)|$(reg_value "$uninstall" Publisher)"
  icon=$(reg_value "$uninstall" DisplayIcon)
  check "$kind /S: the uninstall entry names the product, version, publisher ($entry) and icon ($icon)" \
    test "$entry" = "Brittleview|$version|the Brittleview developers" -a "${icon%,0}" = 'C:\windows\system32\brittleview.scr'

  # Wine's loader says which DPI settings it takes from the running saver's
  # manifest (it reports every window as per-monitor aware, so the awareness
  # itself tells nothing).
  WINEDEBUG=trace+actctx "$native" "$scr" /s >/dev/null 2>"$WINEPREFIX/actctx.txt" &
  pid=$!
  wait_for 30 xdotool search --name '^Screen Saver$' && sleep 2 && xdotool key space
  wait_for 30 eval "! kill -0 $pid" || kill "$pid"
  wait "$pid"
  status=$?
  check "$kind: the installed saver /s runs and ends on a key with 0 (got $status)" test "$status" -eq 0
  check "$kind: Wine takes per-monitor v2 DPI awareness from the running saver's manifest" \
    grep -q 'got L"dpiAwareness" L"PerMonitorV2, System"' "$WINEPREFIX/actctx.txt"

  # In the 32-bit prefix the user has picked another saver since: it stays.
  other=; [ "$kind" = win32 ] && other='C:\windows\system32\other.scr'
  [ -z "$other" ] || "$wine" reg add "$desktop" /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1
  quiet=$(reg_value "$uninstall" QuietUninstallString) # "C:\...\uninstall.exe" /S
  quiet=${quiet#\"}
  timeout 120 "$wine" "${quiet%%\"*}" "${quiet##*\" }"
  timeout 60 wineserver -w
  left=$(cd "$WINEPREFIX/drive_c" && find . -iname '*brittleview*' | paste -sd ' ')
  check "$kind /S uninstall: no file left (${left:-none}), no uninstall entry, SCRNSAVE.EXE ${other:-gone}" \
    test -z "$left$(reg_value "$uninstall" DisplayName)" -a "$(reg_value "$desktop" SCRNSAVE.EXE)" = "$other"
  check "$kind /S uninstall: the saved settings stay" test "$(reg_value "$settings" x_div)" = 0x7
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
done
echo "DONE installer" >>"$BV_CHECK_LOG"
