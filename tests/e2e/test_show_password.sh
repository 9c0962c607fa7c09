# Kamishibai: with a password set, a key brings the password dialog over the show; a wrong
# password starts the show again, the right one ends it and removes the work folder.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup
e2e_display
hold_display

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
DIALOG="スクリーン セーバーのパスワード"
set_password "$saver" "open sesame"

xdotool mousemove 100 100
start_show "$saver"
sleep 0.5
xdotool key a
dialog=$(wait_for_window "$DIALOG") || fail "no password dialog after a key"
sleep 0.3
type_to "$dialog" "wrong"
key_to "$dialog" Return

# The show starts over: the dialog goes, the show window stays and the show runs on.
for _ in $(seq 50); do
  xdotool search --onlyvisible --name "^${DIALOG}\$" >/dev/null 2>&1 || break
  sleep 0.1
done
! xdotool search --onlyvisible --name "^${DIALOG}\$" >/dev/null 2>&1 || fail "the dialog stays"
sleep 1
kill -0 "$SHOW_PID" 2>/dev/null || fail "a wrong password ended the show"
xdotool search --onlyvisible --name "^${SHOW_TITLE}\$" >/dev/null || fail "no show window after the restart"
[ -n "$(work_folders)" ] || fail "the work folder went with a wrong password"

xdotool key a
dialog=$(wait_for_window "$DIALOG") || fail "no password dialog after the restart"
sleep 0.3
type_to "$dialog" "open sesame"
key_to "$dialog" Return
wait_for_exit "$SHOW_PID" 10 || fail "the show ended with an error"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"
echo "PASS"
