# What the user types and clicks in the configuration dialog is stored by "OK",
# which ends the program with exit code 1. The edits take digits only, and only
# the first nine characters of a box count.
source "$(dirname "$0")/lib/config_e2e.bash" "$@"

# Keyboard only: the focus starts on "OK"; fifteen tabs reach "X Divisions",
# whose text is selected on entry, and Enter anywhere means "OK".
open_dialog /c || finish
keys $(printf 'Tab %.0s' $(seq 1 15))
type_text 42
keys Return
wait_dialog_exit 10
[ "$EXIT_CODE" = 1 ] && pass "OK ends with 1" || fail "OK ended with $EXIT_CODE"
[ "$(stored x_div)" = 42 ] && pass "X Divisions stored as 42" || fail "x_div stored as '$(stored x_div)'"
[ "$(stored y_div)" = 19 ] && pass "Y Divisions kept" || fail "y_div stored as '$(stored y_div)'"
[ "$(stored Priority)" = 2 ] && pass "priority stored" || fail "Priority stored as '$(stored Priority)'"

# With the mouse: non-digits are dropped while typing, a long number counts
# with its first nine digits, check boxes and radio buttons take clicks.
open_dialog /c || finish
click_config 50 180 25 10 # Y Divisions
keys ctrl+a
type_text "7x-7 "
click_config 140 235 40 10 # Zoom amplitude
keys ctrl+a
type_text 100000000123
click_config 15 220 60 8   # Enable Trails
click_config 55 15 45 10   # Wave2 view mode
click_config 15 125 45 10  # width 2048
click_config 81 84 45 10   # height 128
click_config 305 260 50 14 # OK
wait_dialog_exit 10
[ "$EXIT_CODE" = 1 ] && pass "OK button ends with 1" || fail "OK button ended with $EXIT_CODE"
[ "$(stored y_div)" = 77 ] && pass "non-digits dropped (77)" || fail "y_div stored as '$(stored y_div)'"
[ "$(stored zoom0)" = 100000000 ] && pass "nine digits count" || fail "zoom0 stored as '$(stored zoom0)'"
[ "$(stored useTrails)" = 1 ] && pass "Enable Trails stored" || fail "useTrails stored as '$(stored useTrails)'"
[ "$(stored Mode)" = 2 ] && pass "Wave2 stored" || fail "Mode stored as '$(stored Mode)'"
[ "$(stored screenTextureWidth)" = 2048 ] && pass "width 2048" || fail "width stored as '$(stored screenTextureWidth)'"
[ "$(stored screenTextureHeight)" = 128 ] && pass "height 128" || fail "height stored as '$(stored screenTextureHeight)'"
[ "$(stored x_div)" = 42 ] && pass "earlier value kept" || fail "x_div stored as '$(stored x_div)'"

# The trackbar reaches the stored priority through OK; an emptied box stores 0.
open_dialog /c || finish
click_config 270 190 90 15 # the thumb jumps to the middle (1) and has the focus
keys Home
click_config 50 166 25 10
keys ctrl+a BackSpace
keys Return
wait_dialog_exit 10
[ "$EXIT_CODE" = 1 ] && pass "Enter ends with 1" || fail "Enter ended with $EXIT_CODE"
[ "$(stored Priority)" = 0 ] && pass "thumb at 0 stored" || fail "Priority stored as '$(stored Priority)'"
[ "$(stored x_div)" = 0 ] && pass "empty box stored as 0" || fail "x_div stored as '$(stored x_div)'"

finish
