# "About" opens the About box over the configuration dialog: the two links are
# blue, a click hands a link to xdg-open (and nothing is shown when that fails),
# and "OK", Enter, Escape or the close box close the box, leaving the
# configuration dialog open.
source "$(dirname "$0")/lib/config_e2e.bash" "$@"

# A stand-in for the desktop's default handler that notes what it was given.
mkdir -p "$WORK/bin"
cat >"$WORK/bin/xdg-open" <<SH
#!/bin/sh
echo "\$*" >>"$WORK/opened.log"
exit 3
SH
chmod +x "$WORK/bin/xdg-open"
touch "$WORK/opened.log"

click_about() {
  click "$ABOUT_WIN" "$ABOUT_DU_W" "$ABOUT_DU_H" "$@"
}

open_about() {
  click_config 109 260 50 14
  if ABOUT_WIN=$(find_window "About Brittleview" 10); then
    xdotool windowfocus --sync "$ABOUT_WIN" 2>/dev/null || true
    sleep 0.3
    return 0
  fi
  fail "no About box"
  return 1
}

opened_lines() {
  wc -l <"$WORK/opened.log" | tr -d ' '
}

# Wait until the log has N lines (the handler runs detached).
wait_opened() {
  local want=$1 i
  for ((i = 0; i < 50; i++)); do
    [ "$(opened_lines)" -ge "$want" ] && return 0
    sleep 0.1
  done
  return 1
}

DIALOG_PATH="$WORK/bin:$PATH" open_dialog /c || finish
open_about || finish

shot=$WORK/about.png
screenshot "$shot" "$ABOUT_WIN"
blue=$(convert "$shot" -fx "(r < 0.25 && g < 0.25 && b > 0.8) ? 1 : 0" -format "%[fx:mean*w*h]" info:)
[ "${blue%.*}" -gt 40 ] && pass "links drawn in blue ($blue pixels)" || fail "no blue link text ($blue pixels)"
for region in "82 75 70 10" "175 60 45 8"; do
  read -r x y w h <<<"$region"
  size=$(identify -format "%w %h" "$shot")
  width=${size% *} height=${size#* }
  crop="$((w * width / ABOUT_DU_W))x$((h * height / ABOUT_DU_H))+$((x * width / ABOUT_DU_W))+$((y * height / ABOUT_DU_H))"
  text=$(convert "$shot" -crop "$crop" +repage -colorspace Gray -format "%[fx:standard_deviation]" info:)
  inblue=$(convert "$shot" -crop "$crop" +repage -fx "(r < 0.25 && g < 0.25 && b > 0.8) ? 1 : 0" -format "%[fx:mean*w*h]" info:)
  if awk -v t="$text" -v b="$inblue" 'BEGIN { exit !(t > 0.03 && b < 1) }'; then
    pass "static at $x,$y shows in the default colours"
  else
    fail "static at $x,$y: contrast $text, blue pixels $inblue"
  fi
done

click_about 20 100 195 8 # web link
wait_opened 1 && pass "web link handed over" || fail "web link not opened"
click_about 60 90 120 8 # e-mail link
wait_opened 2 && pass "e-mail link handed over" || fail "e-mail link not opened"
click_about 20 100 195 8
wait_opened 3 || true
expected=$'http://brittleview.example.org/\nmailto:brittleview@example.org\nhttp://brittleview.example.org/'
[ "$(cat "$WORK/opened.log")" = "$expected" ] && pass "each click opens its link once more" ||
  fail "handler got: $(cat "$WORK/opened.log")"
xwininfo -id "$ABOUT_WIN" | grep -q IsViewable && pass "About box stays open after a failed open" ||
  fail "About box closed by a link"

click_about 95 180 50 14 # OK
window_gone "$ABOUT_WIN" && pass "OK closes the About box" || fail "About box still open after OK"
xwininfo -id "$DIALOG_WIN" | grep -q IsViewable && pass "configuration dialog still open" ||
  fail "configuration dialog gone with the About box"

for how in Escape Return "close box"; do
  open_about || break
  case $how in
  "close box") close_box "$ABOUT_WIN" ;;
  *) keys "$how" ;;
  esac
  window_gone "$ABOUT_WIN" && pass "$how closes the About box" || fail "$how left the About box open"
done
kill -0 "$DIALOG_PID" 2>/dev/null && pass "dialog process still running" || fail "dialog process ended"

xdotool windowfocus --sync "$DIALOG_WIN" 2>/dev/null || true
keys Escape
wait_dialog_exit 10
[ "$EXIT_CODE" = 2 ] && pass "dialog ends with 2 after the About box" || fail "dialog ended with $EXIT_CODE"

grep -E "CRITICAL|Gtk-WARNING|GLib-WARNING" "$WORK/dialog.out" && fail "GTK complained: $(head -c 300 "$WORK/dialog.out")" || pass "no GTK warnings"

finish
