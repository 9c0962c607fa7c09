# Kamishibai: "/C" on a package with settings: the dialog shows the file's state, OK writes
# exactly four bytes, Cancel, Esc and the close box leave the file byte for byte.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$E2E_DIR/saver.scr
settings=$E2E_DIR/saver.set
make_settings_saver "$saver"

expect_file() {
  [ "$(hex_of "$settings")" = "$1" ] || fail "settings file holds $(hex_of "$settings"), not $1"
}

# No file: both ON. OK with OFF for BGM and ON for Sound writes 00 00 FF FF.
open_dialog 設定 "$saver" /c || fail "no settings dialog"
[ "$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')" = "297x138" ] ||
  fail "dialog is not 297 by 138"
expect_selected ON ON
click_in "$window" "${BGM_OFF[@]}"
key_to "$window" Return
wait_for_status "$pid"
expect_file 0000ffff

# The file's state is shown; OK with ON and OFF replaces a longer file with FF FF 00 00.
printf '\x00\x00\xff\xff\x01\x02\x03' >"$settings"
open_dialog 設定 "$saver" /c || fail "no settings dialog"
expect_selected OFF ON
click_in "$window" "${BGM_ON[@]}"
click_in "$window" "${SOUND_OFF[@]}"
click_in "$window" "${OK[@]}"
wait_for_status "$pid"
expect_file ffff0000

# By keyboard alone: the focus starts on BGM's selected option, an arrow key moves the choice,
# Tab goes on to Sound, and Enter confirms from there.
rm "$settings"
open_dialog 設定 "$saver" /c || fail "no settings dialog"
key_to "$window" Right Tab Right
expect_selected OFF OFF
key_to "$window" Return
wait_for_status "$pid"
expect_file 00000000

# Any non-zero value is on; Esc, Cancel and the close box write nothing.
printf '\x01\x00\x00\x00\x09' >"$settings"
before=$(hex_of "$settings")
open_dialog 設定 "$saver" /c || fail "no settings dialog"
expect_selected ON OFF
click_in "$window" "${BGM_OFF[@]}"
key_to "$window" Escape
wait_for_status "$pid"
expect_file "$before"

open_dialog 設定 "$saver" /c || fail "no settings dialog"
click_in "$window" "${SOUND_ON[@]}"
click_in "$window" "${CANCEL[@]}"
wait_for_status "$pid"
expect_file "$before"

open_dialog 設定 "$saver" /c || fail "no settings dialog"
click_in "$window" "${SOUND_ON[@]}"
"$BUILD/tests/e2e_close_window" "$window"
wait_for_status "$pid"
expect_file "$before"
[ "$(ls "$E2E_DIR" | grep -c '^saver\.set')" = 1 ] || fail "temporary files were left"

# A folder of the settings file's name counts as absent (both ON) and cannot be replaced: OK says
# so in a message, and the folder in the way stays as it was. A saver whose folder can be written
# keeps its settings beside itself only: nothing goes to the user's folder.
rm "$settings"
mkdir -p "$settings/inside"
open_dialog 設定 "$saver" /c || fail "no settings dialog"
expect_selected ON ON
key_to "$window" Return
message=$(wait_for_window 設定 10 "$window") || fail "no message when the settings file cannot be written"
key_to "$message" Return
wait_for_status "$pid"
[ -d "$settings/inside" ] || fail "the folder in the way was changed"
[ ! -e "$XDG_CONFIG_HOME/kamishibai" ] || fail "the user's folder was written"
[ "$(ls "$E2E_DIR" | grep -c '^saver\.set')" = 1 ] || fail "temporary files were left"
echo "PASS"
