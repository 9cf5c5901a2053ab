# "brittleview /c" shows the configuration dialog at the template's size (every
# click of these scripts lands where the template puts its control). "About"
# opens the About box over it: the links are blue, a click hands a link to
# xdg-open (and nothing is shown when that fails), and "OK" or Escape close
# the box, leaving the dialog open. Escape, "Cancel" and the close box end the
# dialog with exit code 2 and write no settings, whatever the user changed.
source "$(dirname "$0")/lib/config_e2e.bash" "$@"

# A stand-in for the desktop's default handler that notes what it was given.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\necho "$*" >>"%s"\nexit 3\n' "$WORK/opened.log" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
click_about() { click "$ABOUT_WIN" "$ABOUT_DU_W" "$ABOUT_DU_H" "$@"; }
open_about() {
  click_config 109 260 50 14
  ABOUT_WIN=$(find_window "About Brittleview" 10) || { fail "no About box"; return 1; }
  xdotool windowfocus --sync "$ABOUT_WIN" 2>/dev/null
  sleep 0.3
}
# opened N: waits until the handler (run detached) has been given N links.
opened() {
  for _ in $(seq 50); do
    [ "$(cat "$WORK/opened.log" 2>/dev/null | wc -l)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

DIALOG_PATH="$WORK/bin:$PATH" open_dialog /c || finish
eval "$(xdotool getwindowgeometry --shell "$DIALOG_WIN")"
[ "$WIDTH" -ge "$CONFIG_DU_W" ] && [ "$WIDTH" -le $((CONFIG_DU_W * 4)) ] &&
  [ "$HEIGHT" -ge "$CONFIG_DU_H" ] && [ "$HEIGHT" -le $((CONFIG_DU_H * 4)) ] &&
  pass "window is ${WIDTH}x${HEIGHT}" || fail "window size ${WIDTH}x${HEIGHT} does not fit the template"

open_about || finish
screenshot "$WORK/about.png" "$ABOUT_WIN"
blue=$(region "$WORK/about.png" "(r < 0.25 && g < 0.25 && b > 0.8) ? 1 : 0")
[ "${blue%.*}" -gt 40 ] && pass "links drawn in blue ($blue pixels)" || fail "no blue link text ($blue pixels)"
click_about 20 100 195 8 # web link
opened 1 || fail "web link not opened"
click_about 60 90 120 8 # e-mail link
opened 2 || fail "e-mail link not opened"
expected=$'http://brittleview.example.org/\nmailto:brittleview@example.org'
[ "$(cat "$WORK/opened.log")" = "$expected" ] && pass "each click opens its link" ||
  fail "handler got: $(cat "$WORK/opened.log")"
xwininfo -id "$ABOUT_WIN" | grep -q IsViewable && pass "About box stays open after a failed open" ||
  fail "About box closed by a link"
click_about 95 180 50 14 # OK (Enter and the close box work as in the configuration dialog)
window_gone "$ABOUT_WIN" && pass "OK closes the About box" || fail "OK left the About box open"
open_about && keys Escape
window_gone "$ABOUT_WIN" && pass "Escape closes the About box" || fail "Escape left the About box open"
xwininfo -id "$DIALOG_WIN" | grep -q IsViewable || fail "the configuration dialog went with the About box"
xdotool windowfocus --sync "$DIALOG_WIN" 2>/dev/null

for how in Escape Cancel "close box"; do
  [ "$how" = Escape ] || open_dialog /c || finish
  click_config 50 166 25 10 # X Divisions
  keys ctrl+a
  type_text 999
  click_config 245 140 45 14 # Wave3 preset
  click_config 270 190 10 15 # trackbar, far left
  case $how in
  Cancel) click_config 207 260 50 14 ;;
  Escape) keys Escape ;;
  "close box") close_box "$DIALOG_WIN" ;;
  esac
  dialog_ends 2 "$how"
  [ ! -e "$SETTINGS_FILE" ] && pass "$how writes nothing" || fail "$how wrote $SETTINGS_FILE"
done
grep -E "CRITICAL|Gtk-WARNING|GLib-WARNING" "$WORK/dialog.out" && fail "GTK complained" || pass "no GTK warnings"

finish
