# "Save N" keeps the dialog's whole record in slot N at once (it survives
# "Cancel" and a restart); "Recall N" brings it back into the dialog, to be
# stored by "OK"; recalling an empty slot changes nothing.
source "$(dirname "$0")/lib/config_e2e.bash" "$@"

SLOT1='Software\Quarnel\ScreenSavers\Brittleview\Presets\1'

open_dialog /c || finish
click_config 245 140 45 14 # Wave3 preset
click_config 15 220 60 8   # Enable Trails
click_config 310 20 45 14  # Save 1
click_config 207 260 50 14 # Cancel
wait_dialog_exit 10
[ "$EXIT_CODE" = 2 ] && pass "Cancel ends with 2" || fail "Cancel ended with $EXIT_CODE"
[ "$(stored_in "$SLOT1" x_div)" = 100 ] && [ "$(stored_in "$SLOT1" rotZ0)" = 3600 ] &&
  [ "$(stored_in "$SLOT1" useTrails)" = 1 ] && pass "slot 1 saved at once" ||
  fail "slot 1 holds x_div '$(stored_in "$SLOT1" x_div)', rotZ0 '$(stored_in "$SLOT1" rotZ0)'"
[ -z "$(stored Mode)" ] && pass "the settings themselves wait for OK" || fail "Cancel stored Mode '$(stored Mode)'"

# A new run: an empty slot changes nothing, slot 1 comes back.
open_dialog /c || finish
click_config 50 166 25 10 # X Divisions
keys ctrl+a
type_text 12
click_config 310 80 45 14  # Recall 2 (empty)
click_config 305 260 50 14 # OK
wait_dialog_exit 10
[ "$EXIT_CODE" = 1 ] && [ "$(stored x_div)" = 12 ] && [ "$(stored Mode)" = 0 ] &&
  pass "empty slot changed nothing" || fail "after Recall 2: exit $EXIT_CODE, x_div '$(stored x_div)'"

open_dialog /c || finish
click_config 310 40 45 14  # Recall 1
click_config 305 260 50 14 # OK
wait_dialog_exit 10
[ "$EXIT_CODE" = 1 ] && pass "OK ends with 1" || fail "OK ended with $EXIT_CODE"
[ "$(stored x_div)" = 100 ] && [ "$(stored Mode)" = 3 ] && [ "$(stored rotZ0)" = 3600 ] &&
  [ "$(stored useTrails)" = 1 ] && pass "recalled slot stored by OK" ||
  fail "after Recall 1: x_div '$(stored x_div)', Mode '$(stored Mode)', useTrails '$(stored useTrails)'"
[ "$(stored_in "$SLOT1" x_div)" = 100 ] && pass "slot kept by the later save" || fail "slot 1 lost"

finish
