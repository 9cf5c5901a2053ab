# "About" opens the About box over the configuration dialog: the two links are
# blue, a click hands a link to xdg-open (and nothing is shown when that fails),
# and "OK", Enter, Escape or the close box close the box, leaving the
# configuration dialog open.
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
open_about || finish
shot=$WORK/about.png
screenshot "$shot" "$ABOUT_WIN"
blueish="(r < 0.25 && g < 0.25 && b > 0.8) ? 1 : 0"
blue=$(region "$shot" 1 1 0 0 1 1 "$blueish")
[ "${blue%.*}" -gt 40 ] && pass "links drawn in blue ($blue pixels)" || fail "no blue link text ($blue pixels)"
for at in "82 75 70 10" "175 60 45 8"; do
  read -r x y w h <<<"$at"
  text=$(region "$shot" "$ABOUT_DU_W" "$ABOUT_DU_H" "$x" "$y" "$w" "$h")
  inblue=$(region "$shot" "$ABOUT_DU_W" "$ABOUT_DU_H" "$x" "$y" "$w" "$h" "$blueish")
  awk -v t="$text" -v b="$inblue" 'BEGIN { exit !(t > 0.03 && b < 1) }' &&
    pass "static at $x,$y shows in the default colours" || fail "static at $x,$y: contrast $text, blue $inblue"
done

click_about 20 100 195 8 # web link
opened 1 || fail "web link not opened"
click_about 60 90 120 8 # e-mail link
opened 2 || fail "e-mail link not opened"
click_about 20 100 195 8
opened 3
expected=$'http://brittleview.example.org/\nmailto:brittleview@example.org\nhttp://brittleview.example.org/'
[ "$(cat "$WORK/opened.log")" = "$expected" ] && pass "each click opens its link once more" ||
  fail "handler got: $(cat "$WORK/opened.log")"
xwininfo -id "$ABOUT_WIN" | grep -q IsViewable && pass "About box stays open after a failed open" ||
  fail "About box closed by a link"

for how in OK Escape Return "close box"; do
  [ "$how" = OK ] || open_about || break
  case $how in
  OK) click_about 95 180 50 14 ;;
  "close box") close_box "$ABOUT_WIN" ;;
  *) keys "$how" ;;
  esac
  window_gone "$ABOUT_WIN" && pass "$how closes the About box" || fail "$how left the About box open"
  xwininfo -id "$DIALOG_WIN" | grep -q IsViewable || fail "configuration dialog gone after $how"
done

xdotool windowfocus --sync "$DIALOG_WIN" 2>/dev/null
keys Escape
dialog_ends 2 "the dialog after the About box"
grep -E "CRITICAL|Gtk-WARNING|GLib-WARNING" "$WORK/dialog.out" && fail "GTK complained" || pass "no GTK warnings"

finish
