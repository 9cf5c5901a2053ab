# Shared steps of the configuration dialog's end-to-end scripts (sourced).
# Positions are given in the template's dialog units and scaled by the size
# the window actually has. Every wait is bounded.

source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e.bash" "$@"
SETTINGS_FILE=$XDG_CONFIG_HOME/brittleview/settings.reg
XWIN="$(dirname "${BASH_SOURCE[0]}")/xwin.py"
CONFIG_DU_W=367 CONFIG_DU_H=282 ABOUT_DU_W=242 ABOUT_DU_H=206

# window_gone ID: succeeds once window ID is no longer viewable (within 10 s).
window_gone() {
  for _ in $(seq 100); do
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0
    sleep 0.1
  done
  return 1
}

# open_dialog [ARGS...]: starts "brittleview /c" (or ARGS) with $DIALOG_PATH as
# its PATH when set, and waits for its window (DIALOG_WIN).
open_dialog() {
  local args=("${@:-/c}")
  start_bg DIALOG_PID env PATH="${DIALOG_PATH:-$PATH}" "$BV" "${args[@]}" >>"$WORK/dialog.out" 2>&1
  DIALOG_WIN=$(find_window "Brittleview Configuration") || { fail "no configuration window"; return 1; }
  xdotool windowfocus --sync "$DIALOG_WIN" 2>/dev/null
  sleep 0.3
}

# dialog_ends CODE WHAT: the dialog's process ends with CODE within 10 s.
dialog_ends() {
  wait_exit "$DIALOG_PID" 10 || EXIT_CODE=timeout
  [ "$EXIT_CODE" = "$1" ] && pass "$2 ends with $1" || fail "$2 ended with $EXIT_CODE"
}

# click WINDOW DU_W DU_H X Y W H: clicks the middle of a control given in dialog units.
click() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local px=$((X + (2 * $4 + $6) * WIDTH / (2 * $2))) py=$((Y + (2 * $5 + $7) * HEIGHT / (2 * $3)))
  # "mousemove --sync" waits for a motion event, which never comes when the
  # pointer is already there (the same button clicked again).
  if [[ "$(xdotool getmouselocation --shell | tr '\n' ' ')" == "X=$px Y=$py "* ]]; then
    xdotool click 1
  else
    xdotool mousemove --sync "$px" "$py" click 1
  fi
  sleep 0.2
}
click_config() { click "$DIALOG_WIN" "$CONFIG_DU_W" "$CONFIG_DU_H" "$@"; }

keys() { xdotool key --delay 30 "$@" && sleep 0.2; }
type_text() { xdotool type --delay 30 "$1" && sleep 0.2; }

# close_box WINDOW: a WM_DELETE_WINDOW message, as a window manager's close box sends.
close_box() { python3 "$XWIN" delete "$1" && sleep 0.2; }

# stored NAME: the stored DWORD of NAME under the settings key, in decimal ("" when missing).
stored() {
  [ -f "$SETTINGS_FILE" ] || return 0
  # Through the environment: awk -v would read the backslashes as escapes.
  KEY="[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]" NAME="\"$1\"" awk '
    /^\[/ { inside = ($0 == ENVIRON["KEY"]); next }
    inside { split($0, part, "="); if (part[1] == ENVIRON["NAME"]) { sub(/^dword:/, "", part[2]); print part[2] } }
  ' "$SETTINGS_FILE" | tr -d '\r' | while read -r hex; do echo $((16#$hex)); done
}

# screenshot FILE WINDOW: the window's part of the screen as a PNG.
screenshot() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$2")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

# region FILE FX: the number of the picture's pixels for which the fx expression is 1.
region() { convert "$1" -fx "$2" -format "%[fx:mean*w*h]" info:; }
