# Kamishibai: helpers of the show's end-to-end tests (sourced after lib.sh).

SHOW_TITLE=Kamishibai
# The demo's 200 by 200 pictures stand at (24, 24) of the 250 by 250 area centred on the
# 1024 by 768 screen, whose corner is (387, 259).
PICTURE_X=$((387 + 24))
PICTURE_Y=$((259 + 24))

# work_folders: the work folders that exist now, one per line.
work_folders() {
  ls -d "$XDG_RUNTIME_DIR"/kamishibai/temp* 2>/dev/null || true
}

# shows_picture SCREENSHOT PICTURE: true when the demo picture's place on the screen holds the
# picture pixel for pixel (the demo's pictures are lossless).
shows_picture() {
  local crop=$E2E_DIR/crop.png
  convert "$1" -crop "200x200+$PICTURE_X+$PICTURE_Y" +repage "$crop"
  [ "$(compare -metric AE "$crop" "$2" null: 2>&1)" = "0" ]
}

# start_show SAVER: starts the show and waits for its window; sets SHOW_PID and SHOW_WINDOW.
start_show() {
  "$1" /s &
  SHOW_PID=$!
  SHOW_WINDOW=$(wait_for_window "$SHOW_TITLE") || fail "no show window"
}

# set_password SAVER PASSWORD: sets the saver's password through its "/A" dialog.
set_password() {
  local dialog pid
  "$1" /a &
  pid=$!
  dialog=$(wait_for_window "パスワードの変更") || fail "no password change dialog"
  sleep 0.3
  type_to "$dialog" "$2"
  key_to "$dialog" Tab
  type_to "$dialog" "$2"
  key_to "$dialog" Return
  wait_for_exit "$pid" 30
}

# probe_grabs: what a second client gets when it tries to grab the keyboard and the pointer,
# as "keyboard=RESULT pointer=RESULT".
probe_grabs() {
  "$BUILD/tests/e2e_x_client" probe
}

# expect_show_holds_grabs WHEN: a second client's grabs both get AlreadyGrabbed.
expect_show_holds_grabs() {
  local result
  result=$(probe_grabs)
  [ "$result" = "keyboard=AlreadyGrabbed pointer=AlreadyGrabbed" ] ||
    fail "$1: a second client got $result"
}

# window_manager_runs: true when the root window names a window manager's window that exists
# (a window manager that ended leaves the name behind).
window_manager_runs() {
  local id
  id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')
  [ -n "$id" ] && xprop -id "$id" _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1
}

# start_window_manager: starts openbox on the display unless a window manager runs there
# already; it ends with the test.
start_window_manager() {
  window_manager_runs && return 0
  openbox >/dev/null 2>&1 &
  for _ in $(seq 50); do
    window_manager_runs && return 0
    sleep 0.1
  done
  fail "openbox did not start"
}
