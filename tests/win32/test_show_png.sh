# Kamishibai: a Windows saver of PNG pictures, made by the Linux packer for Windows with the
# player it finds itself, under wine: the first picture is on screen pixel for pixel, the next one
# follows after its time, a second copy ends at once, and a key ends the show and removes the work
# folder.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
win_setup

start_png_show --for windows
cmp -s -n "$(stat -c %s "$WIN_BUILD/kamishibai.exe")" "$saver" "$WIN_BUILD/kamishibai.exe" ||
  fail "--for windows did not take this build's player (KAMISHIBAI_WINDOWS_PLAYER of the Linux build)"
wait_until 5 area_matches "$WIN_DIR/expected-1.png" || fail "the first picture is not exactly on screen"
[ "$(work_folders)" = "temp1" ] || fail "the work folder is not temp1: $(work_folders)"

wine_logged "$saver" /S &
second=$!
wait_for_end "$second" || fail "a second copy is still running"
[ "$(work_folders)" = "temp1" ] || fail "the second copy made a work folder: $(work_folders)"
kill -0 "$pid" 2>/dev/null || fail "the first copy ended with the second"

wait_until 30 area_matches "$WIN_DIR/expected-2.png" || fail "the second picture did not follow"

xdotool windowfocus --sync "$window" key space
wait_for_end "$pid" || fail "a key did not end the show"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"
echo "PASS"
