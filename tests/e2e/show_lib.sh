# Kamishibai: helpers of the show's end-to-end tests (sourced after lib.sh).

# The demo's 200 by 200 pictures stand at (24, 24) of the 250 by 250 area centred on the
# 1024 by 768 screen, whose corner is (387, 259).
PICTURE_X=$((387 + 24))
PICTURE_Y=$((259 + 24))

# shows_picture SCREENSHOT PICTURE: true when the demo picture's place on the screen holds the
# picture pixel for pixel (the demo's pictures are lossless).
shows_picture() {
  local crop=$E2E_DIR/crop.png
  convert "$1" -crop "200x200+$PICTURE_X+$PICTURE_Y" +repage "$crop"
  same_pixels "$crop" "$2"
}

# start_show SAVER: starts the show and waits for its window; sets SHOW_PID and SHOW_WINDOW.
start_show() {
  open_window "$SHOW_TITLE" "$1" /s || fail "no show window"
  SHOW_PID=$pid SHOW_WINDOW=$window
}

# enter_password TEXT: a key brings the show's password dialog, into which the text is typed
# and confirmed; false when no dialog appears.
PASSWORD_DIALOG="スクリーン セーバーのパスワード"
enter_password() {
  local dialog
  xdotool key a
  dialog=$(wait_for_window "$PASSWORD_DIALOG") || return 1
  sleep 0.3
  fill_in "$dialog" "$1"
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
  wait_until 5 window_manager_runs || fail "openbox did not start"
}
