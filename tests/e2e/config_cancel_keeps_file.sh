# "Cancel", Escape and the close box end the configuration dialog with exit
# code 2 and leave the settings file byte for byte as it was, whatever the user
# changed before (typing, presets, "Defaults", check boxes, the trackbar).
source "$(dirname "$0")/lib/config_e2e.bash" "$@"

# A stored file to keep: one run of the dialog closed with "OK".
open_dialog /c || finish
click_config 50 166 25 10 # X Divisions
keys ctrl+a
type_text 33
click_config 15 60 65 10 # Linear Filtering
click_config 305 260 50 14
wait_dialog_exit 10
[ "$EXIT_CODE" = 1 ] && [ -f "$SETTINGS_FILE" ] || { fail "could not store settings to start from"; finish; }
cp "$SETTINGS_FILE" "$WORK/before.reg"

change_everything() {
  click_config 50 166 25 10 # X Divisions
  keys ctrl+a
  type_text 999
  click_config 245 140 45 14 # Wave3 preset
  click_config 15 60 65 10   # Linear Filtering
  click_config 10 25 45 10   # Wave1 view mode
  click_config 270 190 10 15 # trackbar, far left
  click_config 140 191 40 10 # RotationX amplitude
  keys ctrl+a BackSpace
  click_config 11 260 50 14 # Defaults
  click_config 200 65 25 10 # OffsetX
  type_text 5
}

for how in Cancel Escape "close box"; do
  open_dialog /c || finish
  change_everything
  case $how in
  Cancel) click_config 207 260 50 14 ;;
  Escape) keys Escape ;;
  "close box") close_box "$DIALOG_WIN" ;;
  esac
  wait_dialog_exit 10
  [ "$EXIT_CODE" = 2 ] && pass "$how ends with 2" || fail "$how ended with $EXIT_CODE"
  if cmp -s "$WORK/before.reg" "$SETTINGS_FILE"; then
    pass "$how leaves the file as it was"
  else
    fail "$how changed the settings file"
    diff "$WORK/before.reg" "$SETTINGS_FILE" >&2
  fi
done

[ "$(stored x_div)" = 33 ] && [ "$(stored useLinear)" = 1 ] && pass "stored values intact" ||
  fail "stored values changed: x_div '$(stored x_div)', useLinear '$(stored useLinear)'"

finish
