# Shared steps of the saver-daemon mode's end-to-end scripts (sourced).
# Expects $1 of the sourcing script to be the program and $DISPLAY to be set.
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e.bash" "$@"
XWIN="$(dirname "${BASH_SOURCE[0]}")/xwin.py"
export HOME=$WORK/home # the daemon's per-user file is read from HOME: not the tester's
mkdir -p "$HOME"

# test_window VAR WIDTH HEIGHT TITLE [vroot]: a plain window of another client;
# VAR is its id (decimal), VAR_PID the helper that keeps it.
test_window() {
  local out="$WORK/window.$RANDOM" id=""
  python3 "$XWIN" window "$2" "$3" "$4" ${5:-} >"$out" &
  STARTED+=("$!")
  printf -v "${1}_PID" '%s' "$!"
  for _ in $(seq 100); do
    id=$(head -n1 "$out" 2>/dev/null) && [ -n "$id" ] && break
    sleep 0.1
  done
  printf -v "$1" '%s' "$id"
}

# surface_of WINDOW: the saver's drawing surface inside WINDOW (its first child).
surface_of() { xwininfo -children -id "$1" 2>/dev/null | awk '/^ +0x/{print $1; exit}'; }
# size_of WINDOW: "WIDTH HEIGHT".
size_of() { xwininfo -id "$1" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}'; }

# shoot WINDOW FILE: what the screen shows where WINDOW is.
shoot() {
  import -window root -crop "$(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X:/{x=$4}
    /Absolute upper-left Y:/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print w "x" h "+" x "+" y}')" \
    +repage "$2" 2>/dev/null
}

# share COLOUR FILE [FUZZ]: the share of the picture's pixels near that colour (0 to 1).
share() {
  convert "$2" -fuzz "${3:-30}%" -fill white -opaque "$1" -fill black +opaque white \
    -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null || echo 0
}

# pure_share red|blue|magenta FILE: the share of pixels clearly of that primary
# colour (strong in its channels, weak in the others), whatever the lighting did.
pure_share() {
  local expr='r>0.5 && g<0.3 && b<0.3'
  [ "$1" = blue ] && expr='b>0.5 && r<0.3 && g<0.3'
  [ "$1" = magenta ] && expr='r>0.5 && b>0.5 && g<0.3'
  convert "$2" -sample 50% -fx "$expr ? 1 : 0" -format '%[fx:mean]' info: 2>/dev/null || echo 0
}

# wait_drawn WINDOW FILE: waits (20 s at most) until the window shows a drawn
# scene (more than 8 colours); leaves the last shot in FILE.
wait_drawn() {
  for _ in $(seq 80); do
    shoot "$1" "$2"
    [ "$(convert "$2" -format '%k' info: 2>/dev/null || echo 0)" -gt 8 ] && return 0
    sleep 0.25
  done
  return 1
}

# stop PID [SIGNALS]: sends SIGTERM (or SIGNALS, one after the other at once)
# and waits (at most 10 s); sets EXIT_CODE and STOP_MS.
stop() {
  local start signal
  start=$(date +%s%N)
  for signal in ${2:-TERM}; do kill -"$signal" "$1"; done
  wait_exit "$1" 10 || EXIT_CODE=timeout
  STOP_MS=$((($(date +%s%N) - start) / 1000000))
}

# above A B: true when A > B (shares are decimals).
above() { awk -v a="$1" -v b="$2" 'BEGIN{exit !(a > b)}'; }
