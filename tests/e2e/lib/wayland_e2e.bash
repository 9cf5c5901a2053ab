# Shared steps of the Wayland end-to-end scripts (sourced). A headless
# compositor (sway, or weston) and the program run as "nobody" when the tests
# run as root (sway refuses root), with a private runtime folder and home.
# Expects $1 of the sourcing script to be the program; the virtual-pointer
# client is built beside it. Everything started is ended by PID on exit.

source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e.bash" "$@"
for tool in sway swaymsg swaybg grim wtype weston weston-screenshooter convert; do
  command -v "$tool" >/dev/null || { fail "$tool is not installed (scripts/install-deps)"; finish; }
done
chmod 711 "$WORK"
mkdir -m 755 "$WORK/bin"
cp "$BV" "$(dirname "$BV")/tests/virtual_pointer" "$WORK/bin/" || { fail "no virtual_pointer"; finish; }
U=$WORK/user
mkdir -p "$U/run" "$U/.config/brittleview"
SETTINGS=$U/.config/brittleview/settings.reg
as_user=(env)
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env)
as_user+=(-i PATH=/usr/bin:/bin HOME="$U" XDG_CONFIG_HOME="$U/.config" XDG_RUNTIME_DIR="$U/run"
  SWAYSOCK="$U/run/sway.sock")
WL=
user() { "${as_user[@]}" WAYLAND_DISPLAY="$WL" "$@"; }

# own_files: hands the user's folder to the account the compositor runs as.
own_files() {
  [ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$U"
  chmod 700 "$U/run"
}

# desktop_picture W H: four quadrants (red, green / blue, yellow) as $WORK/desktop.png.
desktop_picture() {
  convert -size $(($1 / 2))x$(($2 / 2)) xc:red xc:lime +append \
    \( -size $(($1 / 2))x$(($2 / 2)) xc:blue xc:yellow +append \) -append "$WORK/desktop.png"
  chmod 644 "$WORK/desktop.png"
}

# flat_wave: settings for a wave with no height and no camera movement.
flat_wave() {
  cat >"$SETTINGS" <<'EOT'
REGEDIT4

[HKEY_CURRENT_USER\Software\Quarnel\ScreenSavers\Brittleview]
"Mode"=dword:00000001
"xyAmplitude"=dword:00000000
"enableMovement"=dword:00000000
EOT
  own_files
}

# wait_socket: sets WL to the compositor's socket once it answers.
wait_socket() {
  for _ in $(seq 100); do
    WL=$(cd "$U/run" && ls wayland-? 2>/dev/null | head -n1)
    [ -n "$WL" ] && user "$@" >/dev/null 2>&1 && return 0
    kill -0 "$COMPOSITOR" 2>/dev/null || break
    sleep 0.1
  done
  fail "the compositor did not start: $(tail -n3 "$WORK/compositor.log")"
  finish
}

# start_sway [CONFIG LINE...]: headless sway with the desktop picture on HEADLESS-1.
start_sway() {
  printf '%s\n' "output * bg $WORK/desktop.png stretch" "default_border none" "$@" >"$U/sway.conf"
  own_files
  start_bg COMPOSITOR "${as_user[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 sway -c "$U/sway.conf" >"$WORK/compositor.log" 2>&1
  wait_socket swaymsg -t get_version
}

# start_weston: weston's headless backend (its screenshots allowed for the checks).
start_weston() {
  own_files
  start_bg COMPOSITOR "${as_user[@]}" weston --backend=headless-backend.so --use-pixman --debug \
    --idle-time=0 --width=800 --height=600 --socket=wayland-9 >"$WORK/compositor.log" 2>&1
  wait_socket weston-info
}

# shoot FILE [OUTPUT]: what the compositor shows (one output, or all).
shoot() {
  rm -f "$1" "$U"/shot*.png "$U"/wayland-screenshot*.png
  if [ -e "$U/run/sway.sock" ]; then
    user grim ${2:+-o "$2"} "$U/shot.png" 2>/dev/null
  else
    (cd "$U" && user timeout 3 weston-screenshooter >/dev/null 2>&1) &&
      mv "$U"/wayland-screenshot*.png "$U/shot.png"
  fi
  cp "$U/shot.png" "$1" 2>/dev/null
}

# colours FILE X%,Y%...: the colour at each point given in percent of the size.
colours() {
  local file=$1 point
  shift
  [ -f "$file" ] || return 0
  for point in "$@"; do
    convert "$file" -format "%[fx:p{w*${point%,*}/100,h*${point#*,}/100}.r] \
%[fx:p{w*${point%,*}/100,h*${point#*,}/100}.g] %[fx:p{w*${point%,*}/100,h*${point#*,}/100}.b]" info: |
      awk '{ c = ($1 > .5) + 2 * ($2 > .5) + 4 * ($3 > .5)
             split("black red green yellow blue magenta cyan white", n, " ")
             printf "%s ", ($1 > .5 || $1 < .1) && ($2 > .5 || $2 < .1) && ($3 > .5 || $3 < .1) ? n[c + 1] : "mixed" }'
  done
}

# wait_shows WANT OUTPUT X%,Y%...: waits (20 s at most) until the output shows
# the colours WANT ("red green ...") at those points; the last shot stays in $WORK/shot.png.
wait_shows() {
  local want=$1 output=$2
  shift 2
  for _ in $(seq 40); do
    shoot "$WORK/shot.png" "$output"
    SEEN=$(colours "$WORK/shot.png" "$@")
    [ "$SEEN" = "$want " ] && return 0
    sleep 0.5
  done
  return 1
}
QUADRANTS=(25,25 75,25 25,75 75,75)
PLANE=(5,5 30,35 70,35 30,75 70,75)
