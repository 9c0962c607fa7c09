# Kamishibai: "-window-id" runs the show inside a window the test made: the area centred in a
# large window, the whole area scaled down in a small one, no input of its own, an orderly end
# on SIGTERM, after which the window shows its own background again (also the root window); a
# window that does not exist ends the saver with a message, a failing status and no work folder.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

saver=$E2E_DIR/solid.scr
make_solid_saver "$saver"
RED=255,0,0 BLACK=0,0,0 WHITE=255,255,255

# host_window W H: makes the host window; sets HOST_ID and HOST_PROCESS.
host_window() {
  coproc HOST { exec "$BUILD/tests/e2e_host_window" "$1" "$2"; }
  HOST_PROCESS=$HOST_PID
  read -r HOST_ID <&"${HOST[0]}" || fail "no host window"
}

# end_show: ends the saver and the host window, and removes what the killed saver left.
end_show() {
  kill -KILL "$SHOW_PID" "$HOST_PROCESS"
  wait "$SHOW_PID" "$HOST_PROCESS" 2>/dev/null || true
  rm -rf "$XDG_RUNTIME_DIR/kamishibai"
}

# show_in X Y OPTION...: starts the saver with the options and waits until the picture is painted
# at (X, Y).
show_in() {
  "$saver" "${@:3}" &
  SHOW_PID=$!
  for _ in $(seq 100); do
    screenshot "$E2E_DIR/screen.png"
    [ "$(pixel_at "$E2E_DIR/screen.png" "$1" "$2")" = "$RED" ] && return 0
    sleep 0.1
  done
  fail "the picture was not painted in the host window"
}

show_in_host() {
  show_in "$1" "$2" -window-id "$HOST_ID"
}

# An 800 by 600 window: the 200 by 100 area at (300, 250), black around it; the saver opens no
# window of its own, and input on the host's window does not end the show.
host_window 800 600
show_in_host 400 300
shot=$E2E_DIR/screen.png
expect_colour "$shot" 300 250 "$RED" "area's top-left corner"
expect_colour "$shot" 499 349 "$RED" "area's bottom-right corner"
expect_colour "$shot" 299 300 "$BLACK" "left of the area"
expect_colour "$shot" 400 350 "$BLACK" "below the area"
expect_colour "$shot" 5 5 "$BLACK" "window's corner"
no_window "$SHOW_TITLE" || fail "the saver opened a window of its own"
xdotool mousemove 100 100 sleep 0.2 mousemove 400 300 click 1 key a
sleep 1
kill -0 "$SHOW_PID" 2>/dev/null || fail "input on the host's window ended the show"
[ "$(work_folders | wc -l)" = 1 ] || fail "no work folder while the show runs"
# The host's stop: the show ends in order, without its work folder, as SIGTERM ends a process.
kill -TERM "$SHOW_PID"
status=0
wait_for_status "$SHOW_PID" || status=$?
[ "$status" = 143 ] || fail "the saver ended with status $status after SIGTERM, not 143"
[ -z "$(work_folders)" ] || fail "the work folder is left after SIGTERM: $(work_folders)"
screenshot "$shot"
expect_colour "$shot" 400 300 "$WHITE" "host window's own background after SIGTERM"
kill -KILL "$HOST_PROCESS"
wait "$HOST_PROCESS" 2>/dev/null || true

# A 100 by 60 preview: the whole area at half size, 100 by 50, centred from y = 5.
host_window 100 60
show_in_host 50 30
expect_colour "$shot" 2 7 "$RED" "scaled area's top-left"
expect_colour "$shot" 97 52 "$RED" "scaled area's bottom-right"
expect_colour "$shot" 50 1 "$BLACK" "above the scaled area"
expect_colour "$shot" 50 58 "$BLACK" "below the scaled area"
end_show

# -root: once stopped, the root window shows its own background again, not the last slide.
read -r width height < <(xdotool getdisplaygeometry)
show_in $((width / 2)) $((height / 2)) -root
kill -TERM "$SHOW_PID"
wait_for_status "$SHOW_PID" || true
screenshot "$shot"
[ "$(pixel_at "$shot" $((width / 2)) $((height / 2)))" != "$RED" ] ||
  fail "the root window kept the slide after SIGTERM"

# No such window: a failing status, a message with the saver's name, and no work folder left.
status=0
"$saver" -window-id 0x7ffffff0 2>"$E2E_DIR/stderr" || status=$?
[ "$status" = 1 ] || fail "a missing window gave status $status, not 1"
grep -qx "solid.scr: there is no window 2147483632" "$E2E_DIR/stderr" ||
  fail "no message for a missing window: $(cat "$E2E_DIR/stderr")"
[ -z "$(work_folders)" ] || fail "a work folder was left behind"
# A window id that is no number is refused before anything starts, in the same form.
status=0
"$saver" -window-id nonsense 2>"$E2E_DIR/stderr" || status=$?
[ "$status" = 2 ] || fail "-window-id nonsense gave status $status, not 2"
grep -q "^solid.scr: " "$E2E_DIR/stderr" || fail "the refusal lacks the saver's name"
echo "PASS"
