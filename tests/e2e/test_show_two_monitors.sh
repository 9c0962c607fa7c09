# Kamishibai: on a display with two monitors the show covers both: the show on the monitor under
# the pointer, black covers over every part of the other monitor that the show's window leaves in
# view, also when the monitors overlap (a clone of another size). Each layout is declared on a
# white 1600 by 600 screen of its own.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

# mean_of FILE GEOMETRY: the mean brightness (0 to 255) of that part of the screenshot.
mean_of() {
  convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:int(255*mean)]" info:
}

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"

# covered_show GEOMETRY...: with these monitors declared (the first under the pointer), the show
# leaves the right half of the screen black, and white again when a key has ended it.
covered_show() {
  start_x_server Xvfb -screen 0 1600x600x24 -wr -nolisten tcp -noreset || fail "Xvfb did not start"
  hold_display
  "$BUILD/tests/e2e_x_client" monitors "$@" || fail "cannot declare the monitors $*"
  screenshot "$E2E_DIR/before.png"
  [ "$(mean_of "$E2E_DIR/before.png" 800x600+800+0)" -gt 200 ] || fail "the screen is not white before"
  xdotool mousemove 100 100
  start_show "$saver"
  sleep 1
  screenshot "$E2E_DIR/show.png"
  [ "$(mean_of "$E2E_DIR/show.png" 800x600+800+0)" = 0 ] || fail "$*: the rest of the screen is not black"
  # The show's monitor: black around the 250 by 250 picture area centred on it.
  [ "$(mean_of "$E2E_DIR/show.png" 800x150+0+0)" = 0 ] || fail "$*: the show's monitor is not black"
  [ "$(mean_of "$E2E_DIR/show.png" 250x250+275+175)" -gt 0 ] || fail "$*: no picture on the show's monitor"
  # A key ends the show; the covers go with it.
  xdotool key a
  wait_for_status "$SHOW_PID" || fail "$*: the show ended with an error"
  screenshot "$E2E_DIR/after.png"
  [ "$(mean_of "$E2E_DIR/after.png" 800x600+800+0)" -gt 200 ] || fail "$*: the cover stays after the show"
}

covered_show 800x600+0+0 800x600+800+0
# A clone twice as wide overlaps the show's monitor: only its part beside the show is covered.
covered_show 800x600+0+0 1600x600+0+0
echo "PASS"
