# Kamishibai: helpers of the show's end-to-end tests (sourced after lib.sh).

SHOW_TITLE=Kamishibai
# The demo's 200 by 200 pictures stand at (24, 24) of the 250 by 250 area centred on the
# 1024 by 768 screen, whose corner is (387, 259).
PICTURE_X=$((387 + 24))
PICTURE_Y=$((259 + 24))

# hold_display: keeps one client connected to the display for the rest of the test. An X server
# started without -noreset resets whenever its last client leaves, and a program that connects
# during the reset finds no display.
hold_display() {
  for _ in $(seq 50); do
    xprop -root -spy _NET_ACTIVE_WINDOW >/dev/null 2>&1 &
    sleep 0.1
    kill -0 $! 2>/dev/null && return 0
  done
  fail "cannot connect to the display $DISPLAY"
}

# work_folders: the work folders that exist now, one per line.
work_folders() {
  ls -d "$XDG_RUNTIME_DIR"/kamishibai/temp* 2>/dev/null || true
}

# shows_picture SCREENSHOT PICTURE: true when the demo picture's place on the screen holds the
# picture (a small difference is allowed for the JPEG decoders).
shows_picture() {
  local crop=$E2E_DIR/crop.png difference
  convert "$1" -crop "200x200+$PICTURE_X+$PICTURE_Y" +repage "$crop"
  difference=$(compare -metric RMSE "$crop" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
  awk -v d="$difference" 'BEGIN { exit !(d < 0.03) }'
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
