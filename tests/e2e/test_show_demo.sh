# Kamishibai: the demo show: its first picture centred on the screen, the next one after the
# display time, a key press ends the show and the work folder goes with it; a one-pixel mouse
# move ends a show too.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
xdotool mousemove 100 100

start_show "$saver"
started=$(date +%s%N)
[ -n "$(work_folders)" ] || fail "no work folder while the show runs"
sleep 0.3
screenshot "$E2E_DIR/first.png"
shows_picture "$E2E_DIR/first.png" "$BUILD/demo/picture-00.png" || fail "the first picture is not at ($PICTURE_X, $PICTURE_Y)"
# The area around the picture and the screen around the area are black.
for point in "387 259" "636 508" "386 258" "637 509" "0 0" "1023 767"; do
  [ "$(pixel_at "$E2E_DIR/first.png" $point)" = "0,0,0" ] || fail "($point) is not black"
done

# The second picture: after the first one's 1000 ms and its transition.
seen_after=
for _ in $(seq 40); do
  screenshot "$E2E_DIR/next.png"
  if shows_picture "$E2E_DIR/next.png" "$BUILD/demo/picture-01.png"; then
    seen_after=$((($(date +%s%N) - started) / 1000000))
    break
  fi
  sleep 0.1
done
[ -n "$seen_after" ] || fail "the second picture never appeared"
[ "$seen_after" -ge 900 ] || fail "the second picture came after only $seen_after ms"

xdotool key F5
wait_for_status "$SHOW_PID" || fail "the show ended with an error"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"

# A second show, ended by moving the mouse one pixel.
start_show "$saver"
sleep 0.5
kill -0 "$SHOW_PID" 2>/dev/null || fail "the show ended by itself"
xdotool mousemove_relative 1 0
wait_for_status "$SHOW_PID" || fail "the show ended with an error"
[ -z "$(work_folders)" ] || fail "the work folder is left after the mouse move"
echo "PASS"
