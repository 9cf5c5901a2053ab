#!/usr/bin/env bash
# `cmake --install` of a built tree into a scratch DESTDIR gives exactly the
# files below (the daemon's entry a relative link to the program), under
# another prefix too; and the Debian package built from the same tree by CPack
# holds the same files and depends on the libraries the program links.
# Usage: install_check.sh <build dir>
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d /tmp/bv-install.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

expected() { # the installed tree under prefix $1, one path a line, sorted
  sed "s|^|$1/|" <<'LIST' | sort
bin/brittleview
libexec/xscreensaver/brittleview -> ../../bin/brittleview
share/applications/brittleview.desktop
share/icons/hicolor/16x16/apps/brittleview.png
share/icons/hicolor/32x32/apps/brittleview.png
share/icons/hicolor/64x64/apps/brittleview.png
share/man/man6/brittleview.6
share/xscreensaver/config/brittleview.xml
LIST
}
listing() { # files and links under $1, with link targets
  (cd "$1" && find . ! -type d -printf '%P%l\n' | sed 's|\(.\)\(\.\./.*\)$|\1 -> \2|' | sort)
}

fail=0
for prefix in usr opt/brittleview; do
  dest="$scratch/dest-${prefix//\//-}"
  DESTDIR="$dest" cmake --install "$build" --prefix "/$prefix" >/dev/null
  if ! diff <(expected "$prefix") <(listing "$dest"); then
    echo "FAIL: cmake --install --prefix /$prefix gave other files (diff above: - expected, + got)"
    fail=1
  fi
  link="$dest/$prefix/libexec/xscreensaver/brittleview"
  if [ ! -x "$link" ] || ! cmp -s "$link" "$build/brittleview"; then
    echo "FAIL: $link does not lead to the program"
    fail=1
  fi
done

# The package, built from the same tree into the scratch folder.
if ! (cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/pkg") >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
deb=$(ls "$scratch"/pkg/brittleview_*.deb)
got=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 ($7 ? " " $7 " " $8 : "") }' | sort)
if ! diff <(expected usr) <(echo "$got"); then
  echo "FAIL: dpkg-deb -c $deb lists other files (diff above: - expected, + got)"
  fail=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libgtk-3-0 libx11-6 libstdc++6; do
  if [[ "$depends" != *"$lib"* ]]; then
    echo "FAIL: the package does not depend on $lib (Depends: $depends)"
    fail=1
  fi
done
[ "$fail" -eq 0 ] && echo "install_check: cmake --install and the package hold the listed files"
exit "$fail"
