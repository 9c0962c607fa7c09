# Kamishibai: on a display with two monitors the show covers both: the show on the monitor under
# the pointer, a black window over the other one. The display is a white 1600 by 600 screen of
# its own on which two 800 by 600 monitors are declared.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

start_x_server Xvfb -screen 0 1600x600x24 -wr -nolisten tcp -noreset || fail "Xvfb did not start"
hold_display
"$BUILD/tests/e2e_x_client" monitors 800x600+0+0 800x600+800+0 || fail "cannot declare the monitors"

# mean_of FILE GEOMETRY: the mean brightness (0 to 255) of that part of the screenshot.
mean_of() {
  convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:int(255*mean)]" info:
}

screenshot "$E2E_DIR/before.png"
[ "$(mean_of "$E2E_DIR/before.png" 800x600+800+0)" -gt 200 ] || fail "the screen is not white before"

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
xdotool mousemove 100 100
start_show "$saver"
sleep 1
screenshot "$E2E_DIR/show.png"
[ "$(mean_of "$E2E_DIR/show.png" 800x600+800+0)" = 0 ] || fail "the second monitor is not black"
# The show's monitor: black around the 250 by 250 picture area centred on it.
[ "$(mean_of "$E2E_DIR/show.png" 800x150+0+0)" = 0 ] || fail "the show's monitor is not black"
[ "$(mean_of "$E2E_DIR/show.png" 250x250+275+175)" -gt 0 ] || fail "no picture on the show's monitor"

# A key ends the show; the covers go with it.
xdotool key a
wait_for_status "$SHOW_PID" || fail "the show ended with an error"
screenshot "$E2E_DIR/after.png"
[ "$(mean_of "$E2E_DIR/after.png" 800x600+800+0)" -gt 200 ] || fail "the cover stays after the show"
echo "PASS"
