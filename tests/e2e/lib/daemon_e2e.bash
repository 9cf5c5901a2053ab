# Shared steps of the saver-daemon mode's end-to-end scripts (sourced).
# Expects $1 of the sourcing script to be the program and $DISPLAY to be set.

source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e.bash" "$@"
XWIN="$(dirname "${BASH_SOURCE[0]}")/xwin.py"
# The daemon's per-user file is read from HOME: keep the tester's own out of it.
export HOME=$WORK/home
mkdir -p "$HOME"

# test_window VAR WIDTH HEIGHT TITLE [vroot]: makes a plain window of another client
# and sets VAR to its id (decimal); the window lives until the script ends or
# the helper recorded in VAR_PID is ended.
test_window() {
  local var=$1 out="$WORK/window.$RANDOM" pid id=""
  python3 "$XWIN" window "$2" "$3" "$4" ${5:-} >"$out" &
  pid=$!
  STARTED+=("$pid")
  for _ in $(seq 100); do
    id=$(head -n1 "$out" 2>/dev/null)
    [ -n "$id" ] && break
    sleep 0.1
  done
  printf -v "$var" '%s' "$id"
  printf -v "${var}_PID" '%s' "$pid"
}

# surface_of WINDOW: the saver's drawing surface inside WINDOW (its first child), or nothing.
surface_of() {
  xwininfo -children -id "$1" 2>/dev/null | awk '/^ +0x/{print $1; exit}'
}

# size_of WINDOW: "WIDTH HEIGHT".
size_of() {
  xwininfo -id "$1" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}'
}

# shoot WINDOW FILE: what the screen shows where WINDOW is.
shoot() {
  local geometry
  geometry=$(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X:/{x=$4}
    /Absolute upper-left Y:/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print w "x" h "+" x "+" y}')
  import -window root -crop "$geometry" +repage "$2" 2>/dev/null
}

# share COLOUR FILE: the share of the picture's pixels near that colour (0 to 1).
share() {
  convert "$2" -fuzz "${3:-30}%" -fill white -opaque "$1" -fill black +opaque white \
    -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null || echo 0
}

# pure_share red|blue|magenta FILE: the share of the picture's pixels that are clearly
# that primary colour (strong in its channels, weak in the others), whatever
# the lighting did to them; amber, teal or sky blue do not count.
pure_share() {
  local expr
  case "$1" in
    red) expr='r>0.5 && g<0.3 && b<0.3' ;;
    blue) expr='b>0.5 && r<0.3 && g<0.3' ;;
    magenta) expr='r>0.5 && b>0.5 && g<0.3' ;;
  esac
  convert "$2" -sample 50% -fx "$expr ? 1 : 0" -format '%[fx:mean]' info: 2>/dev/null || echo 0
}

# wait_drawn WINDOW FILE [seconds]: waits until the window shows a drawn scene
# (more than 8 colours); leaves the last shot in FILE.
wait_drawn() {
  local limit=$((${3:-20} * 4)) colours
  for ((i = 0; i < limit; i++)); do
    shoot "$1" "$2"
    colours=$(convert "$2" -format '%k' info: 2>/dev/null || echo 0)
    [ "${colours:-0}" -gt 8 ] && return 0
    sleep 0.25
  done
  return 1
}

# stop PID: sends SIGTERM and waits (at most 10 s); sets EXIT_CODE and STOP_MS.
stop() {
  local start end
  start=$(date +%s%N)
  kill -TERM "$1"
  wait_exit "$1" 10 || EXIT_CODE=timeout
  end=$(date +%s%N)
  STOP_MS=$(((end - start) / 1000000))
}

# above PID... : true when awk finds $1 > $2 (shares are decimals).
above() { awk -v a="$1" -v b="$2" 'BEGIN{exit !(a > b)}'; }
