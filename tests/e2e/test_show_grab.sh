# Kamishibai: a second client that holds the keyboard and pointer when the show starts keeps
# them only while it holds them: within a second of their release the show holds both, also
# after its window was unmapped and mapped again, while the password dialog is open and after a
# wrong password, and lets them go at the finish.
# Run on the bare display and again under a window manager (openbox).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
change_password "$saver" /a "open sesame" "open sesame"

run_show_against_a_grab() {
  local holder result
  xdotool mousemove 100 100
  coproc HOLDER { "$BUILD/tests/e2e_x_client" hold 2; }
  holder=$HOLDER_PID
  read -r result <&"${HOLDER[0]}"
  [ "$result" = held ] || fail "the second client holds no grab"
  start_show "$saver"
  wait "$holder" || fail "the second client could not let go"
  sleep 1
  expect_show_holds_grabs "a second after the release ($1)"
  sleep 0.5
  expect_show_holds_grabs "during the show ($1)"
  # A grab is lost with the window unmapped and taken again once it is back.
  xdotool windowunmap --sync "$SHOW_WINDOW"
  [ "$(probe_grabs)" = "keyboard=Success pointer=Success" ] || fail "grabs kept while unmapped ($1)"
  xdotool windowmap --sync "$SHOW_WINDOW"
  sleep 1
  expect_show_holds_grabs "a second after the window came back ($1)"

  xdotool key a
  dialog=$(wait_for_window "$PASSWORD_DIALOG") || fail "no password dialog ($1)"
  expect_show_holds_grabs "during the password prompt ($1)"
  sleep 0.3
  fill_in "$dialog" "wrong"
  # The dialog goes once the password has been checked.
  wait_until 10 no_window "$PASSWORD_DIALOG" || fail "the dialog stays ($1)"
  sleep 0.3
  kill -0 "$SHOW_PID" 2>/dev/null || fail "a wrong password ended the show ($1)"
  expect_show_holds_grabs "after a wrong password ($1)"

  enter_password "open sesame" || fail "no password dialog after the restart ($1)"
  wait_for_status "$SHOW_PID" || fail "the show ended with an error ($1)"
  [ "$(probe_grabs)" = "keyboard=Success pointer=Success" ] || fail "grabs kept after the end ($1)"
}

run_show_against_a_grab "no window manager"
start_window_manager
run_show_against_a_grab "openbox"
echo "PASS"
