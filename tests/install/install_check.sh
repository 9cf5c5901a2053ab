#!/usr/bin/env bash
# `cmake --install` of a built tree into a scratch DESTDIR gives exactly the
# files below (the daemon's entry a relative link to the program), under
# another prefix too; and the Debian package built from the same tree by CPack
# holds the same files, depends on the libraries the program links, carries
# the license and the version that --version prints. The installed settings-app
# XML builds only arguments the program accepts, and it and the manual page
# cover every option of --help.
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
share/doc/brittleview/changelog.gz
share/doc/brittleview/copyright
share/icons/hicolor/64x64/apps/brittleview.png
share/man/man6/brittleview.6.gz
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
for lib in libc6 libgtk-3-0 libx11-6 libstdc++6 libwayland-client0 libwayland-egl1 libegl1; do
  if [[ "$depends" != *"$lib"* ]]; then
    echo "FAIL: the package does not depend on $lib (Depends: $depends)"
    fail=1
  fi
done
# The copyright file's license is the one in LICENSE, word for word, and the
# package's version is the program's.
dpkg-deb -x "$deb" "$scratch/deb"
words() { sed -n "/^ *Permission/,\$p" "$1" | tr -s ' \n' '\n' | grep -vx '\.\?'; }
if ! cmp -s <(words "$(dirname "$0")/../../LICENSE") <(words "$scratch/deb/usr/share/doc/brittleview/copyright"); then
  echo "FAIL: the package's copyright file does not carry the text of LICENSE"
  fail=1
fi
said=$("$build/brittleview" --version)
[ "$said" = "brittleview $(dpkg-deb -f "$deb" Version)" ] || { echo "FAIL: --version says \"$said\", not the package's"; fail=1; }
# Every argument that the screen-saver settings app can build from the
# installed XML (each argument, each end and default of each number) is one
# the program accepts: with a window number that names no window it reads
# all its options, then stops on that number alone.
xml="$scratch/dest-usr/usr/share/xscreensaver/config/brittleview.xml"
man="$scratch/man.6"
gzip -dc "$scratch/dest-usr/usr/share/man/man6/brittleview.6.gz" >"$man"
attribute() { sed -n "s/.*[[:space:]]$1=\"\([^\"]*\)\".*/\1/p" <<<"$2"; }
args=()
while IFS= read -r tag; do
  for name in arg-set arg-unset; do
    value=$(attribute "$name" "$tag")
    [ -z "$value" ] || args+=("$value")
  done
  arg=$(attribute arg "$tag")
  if [[ "$arg" == *%* ]]; then
    for name in low high default; do
      value=$(attribute "$name" "$tag")
      args+=("${arg/\%/${value:-x.png}}")
    done
  elif [ -n "$arg" ]; then
    args+=("$arg")
  fi
done < <(tr '\n' ' ' <"$xml" | grep -oE '<(command|number|boolean|option|file)[[:space:]][^>]*>')
if [ "${#args[@]}" -le 60 ]; then
  echo "FAIL: only ${#args[@]} arguments found in $xml"
  fail=1
fi
for arg in "${args[@]}"; do
  # shellcheck disable=SC2086 # an argument holds an option and its value
  said=$(XSCREENSAVER_WINDOW=junk "$build/brittleview" --root $arg 2>&1 >/dev/null || true)
  if [[ "$said" != *'XSCREENSAVER_WINDOW: "junk"'* ]]; then
    echo "FAIL: the settings app's \"$arg\" is refused: $said"
    fail=1
  fi
done
# The XML offers every option of --help (one state of each switch is enough)
# and the manual page describes every one.
for name in $("$build/brittleview" --help | sed -n 's/^  --\([a-z0-9-]*\).*/\1/p'); do
  base=${name#no-}
  case "$base" in
    window | window-id | help | version) ;;
    *) grep -qF -e "\"--$base" -e "\"--no-$base" "$xml" || { echo "FAIL: $xml lacks --$name"; fail=1; } ;;
  esac
  grep -qF -- "\\-\\-${name//-/\\-}" "$man" || { echo "FAIL: $man lacks --$name"; fail=1; }
done

[ "$fail" -eq 0 ] && echo "install_check: cmake --install and the package hold the listed files; the settings app's arguments are accepted"
exit "$fail"
