# Kamishibai: "/C" on a package with settings: the dialog shows the file's state, OK writes
# exactly four bytes, Cancel, Esc and the close box leave the file byte for byte.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$E2E_DIR/saver.scr
settings=$E2E_DIR/saver.set
make_settings_saver "$saver"

# Option buttons (their marks) and command buttons, relative to the dialog's top-left corner.
BGM_ON=(36 40) BGM_OFF=(107 40) SOUND_ON=(36 104) SOUND_OFF=(107 104)
OK=(240 27) CANCEL=(240 53)

open_dialog() {
  "$saver" /c &
  pid=$!
  dialog=$(wait_for_window "設定") || fail "no settings dialog"
  sleep 0.3  # the window is mapped; let the dialog draw and take input
}

# expect_selected ON-OR-OFF ON-OR-OFF: the marks shown for BGM and Sound.
expect_selected() {
  local shot=$E2E_DIR/dialog.png origin x y
  read -r x y <<<"$(window_origin "$dialog")"
  sleep 0.3  # let the dialog redraw after the last input
  screenshot "$shot"
  local -n bgm=BGM_$1 sound=SOUND_$2
  blue_in "$shot" $((x + bgm[0] - 6)) $((y + bgm[1] - 6)) 12 12 || fail "BGM $1 not selected"
  blue_in "$shot" $((x + sound[0] - 6)) $((y + sound[1] - 6)) 12 12 || fail "Sound $2 not selected"
}

expect_file() {
  [ "$(hex_of "$settings")" = "$1" ] || fail "settings file holds $(hex_of "$settings"), not $1"
}

# No file: both ON. OK with OFF for BGM and ON for Sound writes 00 00 FF FF.
open_dialog
[ "$(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Geometry: //p')" = "297x138" ] ||
  fail "dialog is not 297 by 138"
expect_selected ON ON
click_in "$dialog" "${BGM_OFF[@]}"
key_to "$dialog" Return
wait_for_exit "$pid"
expect_file 0000ffff

# The file's state is shown; OK with ON and OFF replaces a longer file with FF FF 00 00.
printf '\x00\x00\xff\xff\x01\x02\x03' >"$settings"
open_dialog
expect_selected OFF ON
click_in "$dialog" "${BGM_ON[@]}"
click_in "$dialog" "${SOUND_OFF[@]}"
click_in "$dialog" "${OK[@]}"
wait_for_exit "$pid"
expect_file ffff0000

# By keyboard alone: the focus starts on BGM's selected option, an arrow key moves the choice,
# Tab goes on to Sound, and Enter confirms from there.
rm "$settings"
open_dialog
key_to "$dialog" Right Tab Right
expect_selected OFF OFF
key_to "$dialog" Return
wait_for_exit "$pid"
expect_file 00000000

# Any non-zero value is on; Esc, Cancel and the close box write nothing.
printf '\x01\x00\x00\x00\x09' >"$settings"
before=$(hex_of "$settings")
open_dialog
expect_selected ON OFF
click_in "$dialog" "${BGM_OFF[@]}"
key_to "$dialog" Escape
wait_for_exit "$pid"
expect_file "$before"

open_dialog
click_in "$dialog" "${SOUND_ON[@]}"
click_in "$dialog" "${CANCEL[@]}"
wait_for_exit "$pid"
expect_file "$before"

open_dialog
click_in "$dialog" "${SOUND_ON[@]}"
"$BUILD/tests/e2e_close_window" "$dialog"
wait_for_exit "$pid"
expect_file "$before"
[ "$(ls "$E2E_DIR" | grep -c '^saver\.set')" = 1 ] || fail "temporary files were left"

# A folder of the settings file's name counts as absent (both ON) and cannot be replaced: OK
# stores the choice in the user's file instead, which every mode then reads first. The folder in
# the way stays as it was.
rm "$settings"
mkdir -p "$settings/inside"
user_settings=$XDG_CONFIG_HOME/kamishibai/saver.set
open_dialog
expect_selected ON ON
click_in "$dialog" "${SOUND_OFF[@]}"
key_to "$dialog" Return
wait_for_exit "$pid"
[ "$(hex_of "$user_settings")" = ffff0000 ] || fail "the user's settings file was not written"
open_dialog
expect_selected ON OFF
key_to "$dialog" Escape
wait_for_exit "$pid"

# When the user's file cannot be made either (a file where its folder belongs), a message names
# the file and nothing changes.
rm -rf "$XDG_CONFIG_HOME/kamishibai"
touch "$XDG_CONFIG_HOME/kamishibai"
open_dialog
expect_selected ON ON
key_to "$dialog" Return
message=
for _ in $(seq 100); do
  message=$(xdotool search --onlyvisible --name "^設定\$" | grep -vx "$dialog" | head -n 1 || true)
  [ -n "$message" ] && break
  sleep 0.1
done
[ -n "$message" ] || fail "no message when no settings file can be written"
key_to "$message" Return
wait_for_exit "$pid"
[ -d "$settings/inside" ] || fail "the folder in the way was changed"
[ -f "$XDG_CONFIG_HOME/kamishibai" ] || fail "the file in the way was changed"
[ "$(ls "$E2E_DIR" | grep -c '^saver\.set')" = 1 ] || fail "temporary files were left"
echo "PASS"
