# Kamishibai: "/C" on Windows: the settings dialog with its Japanese texts, places and tab order,
# driven by keyboard alone (Tab, arrows, Enter, Esc, Alt+F4), with the settings file's bytes
# checked after each; the message when the file cannot be replaced.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
source "$(dirname "$0")/dialog_lib.sh"
win_setup

saver=$WIN_DIR/saver.scr
settings=$WIN_DIR/saver.set
convert -size 40x30 xc:'#336699' "$WIN_DIR/one.png"
python3 "$SOURCE/tests/e2e/craft_package.py" "$WIN_BUILD/kamishibai.exe" "$saver" --settings \
  --entry one.png "" "$WIN_DIR/one.png"

# Control numbers: BGM ON and OFF, Sound ON and OFF, OK, Cancel.
BGM_ON=1000 BGM_OFF=1001 SOUND_ON=1002 SOUND_OFF=1003 OK=1 CANCEL=2

expect_state() {
  local state
  state=$(dialog_state)
  [ "$state" = "$1" ] || fail "the dialog shows \"$state\", not \"$1\""
}

expect_file() {
  wait_for_end "$pid" || fail "the saver did not end"
  [ "$(hex_of "$settings")" = "$1" ] || fail "the settings file holds $(hex_of "$settings"), not $1"
  [ "$(ls "$WIN_DIR" | grep -c '^saver\.set')" = 1 ] || fail "temporary files were left"
}

# No file: the form's texts, places and tab order, both ON, the focus on BGM's ON; Enter is OK.
open_window 設定 wine_logged "$saver" /c || fail "no settings dialog"
read_dialog "$WIN_DIR/layout.txt"
diff -u - "$WIN_DIR/layout.txt" >"$WIN_DIR/layout.diff" <<'TEXT' || fail "the dialog differs: $(cat "$WIN_DIR/layout.diff")"
title 設定
client 297x138
focus 1000
1010 Button "BGM" 8,8,169,57
1000 Button "ON" 24,32,57,17 tabstop group checked
1001 Button "OFF" 96,32,57,17
1011 Button "Sound" 8,72,169,57 group
1002 Button "ON" 24,96,57,17 tabstop group checked
1003 Button "OFF" 96,96,57,17
1 Button "OK" 192,16,97,22 tabstop group default
2 Button "キャンセル" 192,42,97,22 tabstop
TEXT
press "$window" Return
expect_file ffffffff

# An arrow key moves BGM's choice with the focus; Enter writes OFF and ON.
rm "$settings"
open_window 設定 wine_logged "$saver" /c || fail "no settings dialog"
press "$window" Right
expect_state "focus $BGM_OFF checked $BGM_OFF,$SOUND_ON"
press "$window" Return
expect_file 0000ffff

# The file's state is shown with the focus on BGM's selected option; Tab goes on to Sound's
# selected option; Enter replaces a longer file with exactly four bytes.
printf '\x00\x00\xff\xff\x01\x02\x03' >"$settings"
open_window 設定 wine_logged "$saver" /c || fail "no settings dialog"
expect_state "focus $BGM_OFF checked $BGM_OFF,$SOUND_ON"
press "$window" Left Tab
expect_state "focus $SOUND_ON checked $BGM_ON,$SOUND_ON"
press "$window" Down
expect_state "focus $SOUND_OFF checked $BGM_ON,$SOUND_OFF"
press "$window" Return
expect_file ffff0000

# Any non-zero value is on. Tab reaches OK, then Cancel; Enter on Cancel writes nothing.
printf '\x01\x00\x00\x00\x09' >"$settings"
before=$(hex_of "$settings")
open_window 設定 wine_logged "$saver" /c || fail "no settings dialog"
expect_state "focus $BGM_ON checked $BGM_ON,$SOUND_OFF"
press "$window" Right Tab Tab
expect_state "focus $OK checked $BGM_OFF,$SOUND_OFF"
press "$window" Tab
expect_state "focus $CANCEL checked $BGM_OFF,$SOUND_OFF"
press "$window" Return
expect_file "$before"

# Esc and the close box (Alt+F4) write nothing either.
open_window 設定 wine_logged "$saver" /c || fail "no settings dialog"
press "$window" Right Escape
expect_file "$before"
open_window 設定 wine_logged "$saver" /c || fail "no settings dialog"
press "$window" Right alt+F4
expect_file "$before"

# Enter on the focused OK writes the choice.
open_window 設定 wine_logged "$saver" /c || fail "no settings dialog"
press "$window" Tab Tab Return
expect_file ffff0000

# A folder of the settings file's name counts as absent (both ON); OK cannot replace it: a
# message names the file and the reason, and the folder stays as it was.
rm "$settings"
mkdir -p "$settings/inside"
open_window 設定 wine_logged "$saver" /c || fail "no settings dialog"
expect_state "focus $BGM_ON checked $BGM_ON,$SOUND_ON"
press "$window" Return
wait_for_window 設定 5 "$window" >/dev/null || true
read_dialog "$WIN_DIR/message.txt" close
grep -q '^title 設定$' "$WIN_DIR/message.txt" || fail "the message: $(cat "$WIN_DIR/message.txt")"
grep -q '"設定を保存できませんでした。' "$WIN_DIR/message.txt" ||
  fail "the message does not say the settings were not saved: $(cat "$WIN_DIR/message.txt")"
grep -qF "$(windows_path "$settings")" "$WIN_DIR/message.txt" ||
  fail "the message does not name the file: $(cat "$WIN_DIR/message.txt")"
grep -qi 'denied\|access\|exists\|拒否\|存在' "$WIN_DIR/message.txt" ||
  fail "the message gives no reason: $(cat "$WIN_DIR/message.txt")"
wait_for_end "$pid" || fail "the saver did not end after the message"
[ -d "$settings/inside" ] || fail "the folder in the way was changed"
[ "$(ls "$WIN_DIR" | grep -c '^saver\.set')" = 1 ] || fail "temporary files were left"

# Under an English user interface the title and Cancel are English; the places stay.
rm -rf "$settings"
with_ui_language en_US.UTF-8
open_window Settings wine_logged "$saver" /c || fail "no English settings dialog"
read_dialog "$WIN_DIR/english.txt"
grep -q '^title Settings$' "$WIN_DIR/english.txt" && grep -q '^2 Button "Cancel" 192,42,97,22' \
  "$WIN_DIR/english.txt" || fail "the English dialog: $(cat "$WIN_DIR/english.txt")"
press "$window" Escape
wait_for_end "$pid" || fail "the saver did not end"

echo "PASS"
