# Shared steps of the configuration dialog's end-to-end scripts (sourced, not
# run by ctest). Expects $1 of the sourcing script to be the program and
# $DISPLAY to be set. The settings file lives in a private folder; everything
# started here is recorded and ended by PID when the script exits. Every wait
# is bounded.

source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$@"
SETTINGS_FILE=$XDG_CONFIG_HOME/brittleview/settings.reg
DIALOG_PID=
DIALOG_WIN=
EXIT_CODE=

# Template sizes in dialog units: positions below are given in these units and
# scaled by the size the window actually has.
CONFIG_DU_W=367
CONFIG_DU_H=282
ABOUT_DU_W=242
ABOUT_DU_H=206

# find_window TITLE [SECONDS]: prints the id of the visible window named TITLE, waiting at most SECONDS.
find_window() {
  local title=$1 limit=${2:-15} i id
  for ((i = 0; i < limit * 10; i++)); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# window_gone ID [SECONDS]: succeeds once window ID is no longer viewable.
window_gone() {
  local id=$1 limit=${2:-10} i
  for ((i = 0; i < limit * 10; i++)); do
    if ! xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# open_dialog [ARGS...]: starts "brittleview /c" (or ARGS) and waits for its
# window. The program runs with $DIALOG_PATH as its PATH when that is set.
open_dialog() {
  local args=("$@")
  [ ${#args[@]} -eq 0 ] && args=(/c)
  PATH="${DIALOG_PATH:-$PATH}" "$BV" "${args[@]}" >"$WORK/dialog.out" 2>&1 &
  DIALOG_PID=$!
  STARTED+=("$DIALOG_PID")
  if ! DIALOG_WIN=$(find_window "Brittleview Configuration"); then
    fail "no configuration window after ${args[*]}"
    return 1
  fi
  xdotool windowfocus --sync "$DIALOG_WIN" 2>/dev/null || true
  sleep 0.3
  return 0
}

# wait_dialog_exit [SECONDS]: waits for the dialog's process, sets EXIT_CODE ("timeout" if it stays).
wait_dialog_exit() {
  local limit=${1:-10} i
  for ((i = 0; i < limit * 10; i++)); do
    if ! kill -0 "$DIALOG_PID" 2>/dev/null; then
      wait "$DIALOG_PID"
      EXIT_CODE=$?
      return 0
    fi
    sleep 0.1
  done
  EXIT_CODE=timeout
  kill "$DIALOG_PID" 2>/dev/null
  wait "$DIALOG_PID" 2>/dev/null
  return 1
}

# click WINDOW DU_W DU_H X Y W H: clicks the middle of a control given in dialog units.
click() {
  local win=$1 duw=$2 duh=$3 x=$4 y=$5 w=$6 h=$7
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$win")"
  local px=$((X + (2 * x + w) * WIDTH / (2 * duw)))
  local py=$((Y + (2 * y + h) * HEIGHT / (2 * duh)))
  # "mousemove --sync" waits for a motion event, which never comes when the
  # pointer is already there (the same button clicked again).
  local here
  here=$(xdotool getmouselocation --shell | tr '\n' ' ')
  if [[ "$here" == "X=$px Y=$py "* ]]; then
    xdotool click 1
  else
    xdotool mousemove --sync "$px" "$py" click 1
  fi
  sleep 0.2
}

# click_config X Y W H: a control of the configuration dialog.
click_config() {
  click "$DIALOG_WIN" "$CONFIG_DU_W" "$CONFIG_DU_H" "$@"
}

# keys KEY...: key strokes to the focused window.
keys() {
  xdotool key --delay 30 "$@"
  sleep 0.2
}

# type_text TEXT: types TEXT into the focused control.
type_text() {
  xdotool type --delay 30 "$1"
  sleep 0.2
}

# stored NAME: the stored DWORD of value NAME under the settings key, in decimal ("" when missing).
stored() {
  stored_in 'Software\Quarnel\ScreenSavers\Brittleview' "$1"
}

# stored_in KEY NAME: the same for any key of the settings file.
stored_in() {
  [ -f "$SETTINGS_FILE" ] || return 0
  # Through the environment: awk -v would read the backslashes as escapes.
  KEY="[HKEY_CURRENT_USER\\$1]" NAME="\"$2\"" awk '
    /^\[/ { inside = ($0 == ENVIRON["KEY"]); next }
    inside { split($0, part, "="); if (part[1] == ENVIRON["NAME"]) { sub(/^dword:/, "", part[2]); print part[2] } }
  ' "$SETTINGS_FILE" | tr -d '\r' | while read -r hex; do echo $((16#$hex)); done
}

# screenshot FILE WINDOW: the window's part of the screen as a PNG.
screenshot() {
  local file=$1 win=$2
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$win")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$file"
}

# region_contrast FILE DU_W DU_H X Y W H: standard deviation (0..1) of the grey
# levels inside a rectangle given in dialog units; a uniform area gives 0.
region_contrast() {
  local file=$1 duw=$2 duh=$3 x=$4 y=$5 w=$6 h=$7
  local size
  size=$(identify -format "%w %h" "$file")
  local width=${size% *} height=${size#* }
  local px=$((x * width / duw)) py=$((y * height / duh))
  local pw=$((w * width / duw)) ph=$((h * height / duh))
  convert "$file" -crop "${pw}x${ph}+${px}+${py}" +repage -colorspace Gray -format "%[fx:standard_deviation]" info:
}

# close_box WINDOW: asks the window to close the way a window manager's close
# box does (a WM_DELETE_WINDOW client message); Xvfb runs no window manager.
close_box() {
  /usr/bin/python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

class Event(ctypes.Union):
    _fields_ = [("message", ClientMessage), ("pad", ctypes.c_long * 24)]

display = x.XOpenDisplay(None)
if not display:
    sys.exit(1)
window = int(sys.argv[1])
event = Event()
event.message.type = 33  # ClientMessage
event.message.window = window
event.message.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.message.format = 32
event.message.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
event.message.data[1] = 0  # CurrentTime
x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x.XFlush(display)
x.XCloseDisplay(display)
PY
  sleep 0.2
}
