# What the user types and clicks in the configuration dialog is stored by "OK",
# which ends the program with exit code 1. The edits take digits only, and only
# the first nine characters of a box count. (The user slots are the unit
# tests' part: their buttons are wired as every other push button here.)
source "$(dirname "$0")/lib/config_e2e.bash" "$@"

# Keyboard only: the focus starts on "OK"; fifteen tabs reach "X Divisions",
# whose text is selected on entry, and Enter anywhere means "OK".
open_dialog /c || finish
keys $(printf 'Tab %.0s' $(seq 1 15))
type_text 42
keys Return
dialog_ends 1 Enter
[ "$(stored x_div) $(stored y_div) $(stored Priority)" = "42 19 2" ] && pass "X Divisions stored" ||
  fail "x_div, y_div, Priority stored as $(stored x_div) $(stored y_div) $(stored Priority)"

# With the mouse: non-digits are dropped while typing, a long number counts
# with its first nine digits, check boxes and radio buttons take clicks, the
# trackbar's thumb jumps to the middle and Home takes it to 0.
open_dialog /c || finish
click_config 50 180 25 10 # Y Divisions
keys ctrl+a
type_text "7x-7 "
click_config 140 235 40 10 # Zoom amplitude
keys ctrl+a
type_text 100000000123
click_config 50 166 25 10 # X Divisions, emptied
keys ctrl+a BackSpace
click_config 15 220 60 8  # Enable Trails
click_config 55 15 45 10  # Wave2 view mode
click_config 15 125 45 10 # width 2048
click_config 81 84 45 10  # height 128
click_config 270 190 90 15
keys Home
click_config 305 260 50 14 # OK
dialog_ends 1 OK
for expected in y_div=77 zoom0=100000000 x_div=0 useTrails=1 Mode=2 screenTextureWidth=2048 \
  screenTextureHeight=128 Priority=0; do
  [ "$(stored "${expected%=*}")" = "${expected#*=}" ] && pass "$expected" ||
    fail "${expected%=*} stored as '$(stored "${expected%=*}")', not ${expected#*=}"
done

finish
