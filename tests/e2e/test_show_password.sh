# Kamishibai: with a password set, a key brings the password dialog over the show; a wrong
# password starts the show again, the right one ends it and removes the work folder. Under a
# window manager (openbox) the dialog has a fixed size, so no resize handle, an empty strip, is
# drawn beneath it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
change_password "$saver" /a "open sesame" "open sesame"

start_window_manager
xdotool mousemove 100 100
start_show "$saver"
sleep 0.5
xdotool key a
dialog=$(wait_for_window "$PASSWORD_DIALOG") || fail "no password dialog after a key"
read -r left _ _ bottom < <(xprop -id "$dialog" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
[ "$bottom" = "$left" ] || fail "a strip of $bottom pixels lies under the dialog"
sleep 0.3
fill_in "$dialog" "wrong"

# The show starts over: the dialog goes, the show window stays and the show runs on.
wait_until 5 no_window "$PASSWORD_DIALOG" || fail "the dialog stays"
sleep 1
kill -0 "$SHOW_PID" 2>/dev/null || fail "a wrong password ended the show"
windows_titled "$SHOW_TITLE" >/dev/null || fail "no show window after the restart"
[ -n "$(work_folders)" ] || fail "the work folder went with a wrong password"

enter_password "open sesame" || fail "no password dialog after the restart"
wait_for_status "$SHOW_PID" || fail "the show ended with an error"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"
echo "PASS"
