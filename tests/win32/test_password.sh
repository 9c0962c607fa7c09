# Kamishibai: with ScreenSaveUsePassword on, a key, and a close that another program posts, ask
# the password module beside the saver (a stand-in built for the tests); a refusal starts the
# show over, an acceptance ends it. The end of the session asks for nothing and finishes inside
# the window's handler: the work folder is gone although the process is ended right after it.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
win_setup
desktop='HKCU\Control Panel\Desktop'
wine_logged reg add "$desktop" /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f
trap 'wine_logged reg delete "$desktop" /v ScreenSaveUsePassword /f; win_cleanup' EXIT

cp "$WIN_BUILD/tests/password.cpl" "$WIN_DIR/password.cpl"
answer=$WIN_DIR/answer
calls=$WIN_DIR/calls
echo 0 >"$answer"
export KAMISHIBAI_PASSWORD_ANSWER KAMISHIBAI_PASSWORD_CALLS
KAMISHIBAI_PASSWORD_ANSWER=$(windows_path "$answer")
KAMISHIBAI_PASSWORD_CALLS=$(windows_path "$calls")
message_show() {
  wine_logged "$WIN_BUILD/tests/show_messenger.exe" "$1" || fail "cannot send $1 to the show"
}

start_png_show
wait_until 5 area_matches "$WIN_DIR/expected-1.png" || fail "the first picture is not on screen"
wait_until 30 area_matches "$WIN_DIR/expected-2.png" || fail "the second picture did not follow"

message_show close
wait_until 30 test -e "$calls" || fail "a close did not ask the password module"
[ "$(cat "$calls")" = "owner window" ] || fail "the module was called: $(cat "$calls")"
# Refused: the show starts over from the first entry and runs on.
wait_until 30 area_matches "$WIN_DIR/expected-1.png" || fail "the show did not start over"
wait_until 30 area_matches "$WIN_DIR/expected-2.png" || fail "the restarted show did not go on"
kill -0 "$pid" 2>/dev/null || fail "the show ended although the password was refused"
[ "$(work_folders)" = "temp1" ] || fail "the work folder changed: $(work_folders)"

echo 1 >"$answer"
xdotool windowfocus --sync "$window" key space
wait_for_end "$pid" || fail "the show did not end after the password was given"
[ "$(wc -l <"$calls")" -eq 2 ] || fail "the module was asked $(wc -l <"$calls") times"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"

open_window "$SHOW_TITLE" wine_logged "$saver" /S || fail "no show window"
wait_until 5 area_matches "$WIN_DIR/expected-1.png" || fail "the first picture is not on screen"
message_show endsession
wait_for_end "$pid" || fail "the saver runs on after the end of the session"
[ -z "$(work_folders)" ] || fail "the end of the session left the work folder: $(work_folders)"
[ "$(wc -l <"$calls")" -eq 2 ] || fail "the end of the session asked for the password"
echo "PASS"
