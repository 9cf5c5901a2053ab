# "brittleview /c" shows the configuration dialog with its controls where the
# template puts them. Escape, "Cancel" and the close box end it with exit code 2
# and leave the settings file byte for byte as it was (absent at first),
# whatever the user changed before.
source "$(dirname "$0")/lib/config_e2e.bash" "$@"

open_dialog /c || finish
eval "$(xdotool getwindowgeometry --shell "$DIALOG_WIN")"
[ "$WIDTH" -ge "$CONFIG_DU_W" ] && [ "$WIDTH" -le $((CONFIG_DU_W * 4)) ] &&
  [ "$HEIGHT" -ge "$CONFIG_DU_H" ] && [ "$HEIGHT" -le $((CONFIG_DU_H * 4)) ] &&
  pass "window is ${WIDTH}x${HEIGHT}" || fail "window size ${WIDTH}x${HEIGHT} does not fit the template"
shot=$WORK/dialog.png
screenshot "$shot" "$DIALOG_WIN"
cp "$shot" "${CONFIG_SCREENSHOT:-/dev/null}" 2>/dev/null || true
# Each control shows something (a caption, a number, a frame) where the
# template places it; between the priority label and "OK" there is nothing.
for entry in "OK:305 260 50 14" "Defaults:11 260 50 14" "trackbar:270 190 90 15" \
  "priority label:280 205 19 8" "Wave3 radio:55 25 45 10" "height 2048:81 124 45 10" \
  "SizeY box:200 110 25 10" "Explode1:245 20 45 14" "Recall 4:310 160 45 14" \
  "Y Divisions box:50 180 25 10" "Zoom amplitude box:140 235 40 10" "Enable Trails:15 220 60 8"; do
  read -r x y w h <<<"${entry#*:}"
  c=$(region "$shot" "$CONFIG_DU_W" "$CONFIG_DU_H" "$x" "$y" "$w" "$h")
  awk -v c="$c" 'BEGIN { exit !(c > 0.03) }' && pass "${entry%%:*} shows" || fail "${entry%%:*} is blank ($c)"
done
c=$(region "$shot" "$CONFIG_DU_W" "$CONFIG_DU_H" 305 218 55 30)
awk -v c="$c" 'BEGIN { exit !(c < 0.01) }' && pass "empty area is plain" || fail "empty area shows $c"

for how in Escape Cancel "close box"; do
  if [ "$how" = Cancel ]; then # a stored file to keep, from one run closed with "OK"
    open_dialog /c || finish
    click_config 50 166 25 10 # X Divisions
    keys ctrl+a
    type_text 33
    click_config 305 260 50 14
    dialog_ends 1 OK
    cp "$SETTINGS_FILE" "$WORK/before.reg"
  fi
  [ "$how" = Escape ] || open_dialog /c || finish
  click_config 50 166 25 10 # X Divisions
  keys ctrl+a
  type_text 999
  click_config 245 140 45 14 # Wave3 preset
  click_config 15 60 65 10   # Linear Filtering
  click_config 270 190 10 15 # trackbar, far left
  click_config 11 260 50 14  # Defaults
  case $how in
  Cancel) click_config 207 260 50 14 ;;
  Escape) keys Escape ;;
  "close box") close_box "$DIALOG_WIN" ;;
  esac
  dialog_ends 2 "$how"
  if [ "$how" = Escape ]; then
    [ ! -e "$SETTINGS_FILE" ] && pass "nothing written" || fail "Escape wrote $SETTINGS_FILE"
  else
    cmp "$WORK/before.reg" "$SETTINGS_FILE" && pass "$how leaves the file as it was" ||
      fail "$how changed the settings file"
  fi
done
[ "$(stored x_div)" = 33 ] && pass "stored value intact" || fail "x_div stored as '$(stored x_div)'"

finish
