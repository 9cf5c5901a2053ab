# "brittleview /c" shows the configuration dialog with its controls where the
# template puts them; Escape ends it with exit code 2 and writes nothing.
source "$(dirname "$0")/lib/config_e2e.bash" "$@"

open_dialog /c || finish
eval "$(xdotool getwindowgeometry --shell "$DIALOG_WIN")"
if [ "$WIDTH" -ge "$CONFIG_DU_W" ] && [ "$WIDTH" -le $((CONFIG_DU_W * 4)) ] &&
  [ "$HEIGHT" -ge "$CONFIG_DU_H" ] && [ "$HEIGHT" -le $((CONFIG_DU_H * 4)) ]; then
  pass "window is ${WIDTH}x${HEIGHT}"
else
  fail "window size ${WIDTH}x${HEIGHT} does not fit a ${CONFIG_DU_W}x${CONFIG_DU_H} template"
fi

shot=$WORK/dialog.png
screenshot "$shot" "$DIALOG_WIN"
cp "$shot" "${CONFIG_SCREENSHOT:-/dev/null}" 2>/dev/null || true

# Each control shows something (a caption, a number, a frame) where the template places it.
controls=(
  "OK:305 260 50 14" "Cancel:207 260 50 14" "About:109 260 50 14" "Defaults:11 260 50 14"
  "trackbar:270 190 90 15" "Thread priority:240 190 25 20" "priority label:280 205 19 8"
  "Explode radio:10 15 45 10" "Wave3 radio:55 25 45 10" "Linear Filtering:15 60 65 10"
  "width 512:15 105 45 10" "height 2048:81 124 45 10"
  "Amplitude box:200 20 25 10" "SizeY box:200 110 25 10" "Smooth Shading:155 125 70 10"
  "Explode1:245 20 45 14" "Wave4:245 160 45 14" "Save 1:310 20 45 14" "Recall 4:310 160 45 14"
  "X Divisions box:50 166 25 10" "Y Divisions box:50 180 25 10" "Enable Movement:100 166 80 10"
  "RotationX time box:185 191 40 10" "Zoom amplitude box:140 235 40 10"
  "Enable Trails:15 220 60 8" "Children box:45 235 25 10"
)
for entry in "${controls[@]}"; do
  name=${entry%%:*}
  read -r x y w h <<<"${entry#*:}"
  contrast=$(region_contrast "$shot" "$CONFIG_DU_W" "$CONFIG_DU_H" "$x" "$y" "$w" "$h")
  if awk -v c="$contrast" 'BEGIN { exit !(c > 0.03) }'; then
    pass "$name shows ($contrast)"
  else
    fail "$name is blank at $x,$y ($contrast)"
  fi
done

# Between the priority label and the OK button the template has nothing.
contrast=$(region_contrast "$shot" "$CONFIG_DU_W" "$CONFIG_DU_H" 305 218 55 30)
if awk -v c="$contrast" 'BEGIN { exit !(c < 0.01) }'; then
  pass "empty area is plain"
else
  fail "empty area is not plain ($contrast)"
fi

keys Escape
wait_dialog_exit 10
[ "$EXIT_CODE" = 2 ] && pass "Escape ends with 2" || fail "Escape ended with $EXIT_CODE"
[ ! -e "$SETTINGS_FILE" ] && pass "nothing written" || fail "the dialog wrote $SETTINGS_FILE without OK"

finish
