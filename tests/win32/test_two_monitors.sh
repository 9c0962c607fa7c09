# Kamishibai: the Windows saver under wine on two monitors side by side: the show stands on the
# primary monitor, pixel for pixel, a black cover hides the other one while the show runs, and
# the desktop comes back there when a key ends the show.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
win_setup

# wine reads the monitors from XRandR's outputs, which Xvfb has only one of: an X server with the
# dummy video driver has sixteen, of which the first is on.
two_monitor_display() {
  cat >"$WIN_DIR/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2048 768
  EndSubSection
EndSection
CONF
  start_x_server Xorg -config "$WIN_DIR/xorg.conf" -logfile "$WIN_DIR/xorg.log" -noreset -nolisten tcp \
    -novtswitch -sharevts || fail "the X server with two monitors did not start: $(cat "$WIN_DIR/xorg.log")"
  xrandr --output DUMMY0 --mode 1024x768 --primary
  xrandr --addmode DUMMY1 1024x768
  xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0
  [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: 2" ] || fail "$(xrandr --listmonitors)"
}

# second_monitor_is COLOUR: true when the whole right-hand monitor has that colour.
second_monitor_is() {
  screenshot "$WIN_DIR/second.png" 1024x768+1024+0
  same_pixels "$WIN_DIR/second.png" -size 1024x768 "xc:$1"
}

two_monitor_display
desktop='#336699'
xsetroot -solid "$desktop"
second_monitor_is "$desktop" || fail "the desktop is not on the second monitor"

start_png_show
wait_until 10 area_matches "$WIN_DIR/expected-1.png" || fail "the first picture is not exactly on the primary monitor"
second_monitor_is black || fail "the second monitor is not covered in black"

xdotool windowfocus --sync "$window" key space
wait_for_end "$pid" || fail "a key did not end the show"
wait_until 5 second_monitor_is "$desktop" || fail "the cover stays on the second monitor"
echo "PASS"
