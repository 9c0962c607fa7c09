# Kamishibai: "/A" sets the saver's password (the hash file appears, readable only by the user,
# and the desktop switch goes on), then changes it and clears it again. Without an absolute
# configuration folder it says so and writes nothing, not even into the folder it started in.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
hash=$XDG_CONFIG_HOME/kamishibai/password
ini=$XDG_CONFIG_HOME/kamishibai/desktop.ini
TITLE="パスワードの変更"

change_password "$saver" "/A" "first secret" "first secret"
[ -f "$hash" ] || fail "no hash file after setting a password"
[ "$(stat -c %a "$hash")" = 600 ] || fail "hash file mode $(stat -c %a "$hash")"
grep -q '^\$argon2id\$' "$hash" || fail "the hash is not argon2id"
! grep -q "first secret" "$hash" || fail "the password is stored in clear"
grep -qx 'ScreenSaveUsePassword=1' "$ini" || fail "ScreenSaveUsePassword not switched on"
grep -qx '\[Control Panel\\desktop\]' "$ini" || fail "desktop.ini lacks its group"
first_hash=$(cat "$hash")

# A wrong old password is refused with a message; the dialog stays and the password too.
open_dialog "$TITLE" "$saver" /A || fail "no password dialog"
fill_in "$window" "wrong" "x" "x"
box=$(wait_for_window "$TITLE" 10 "$window") || fail "no message for a wrong old password"
key_to "$box" Return
sleep 0.3
kill -0 "$pid" || fail "the dialog closed after a wrong old password"
key_to "$window" Escape
wait_for_status "$pid"
[ "$(cat "$hash")" = "$first_hash" ] || fail "a wrong old password changed the password"

# The dialog belongs to the window whose handle follows "/A" (here another saver's dialog).
other=$E2E_DIR/other.scr
make_settings_saver "$other"
open_window 設定 "$other" /c || fail "no settings dialog to own the password dialog"
owner=$window other_pid=$pid
open_window "$TITLE" "$saver" "/A $owner" || fail "no password dialog"
xprop -id "$window" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$owner")$" ||
  fail "the dialog is not owned by $owner: $(xprop -id "$window" WM_TRANSIENT_FOR)"
key_to "$window" Escape
wait_for_status "$pid"
key_to "$owner" Escape
wait_for_status "$other_pid"

# Changing asks for the old password first; the window handle after "/A" is read.
change_password "$saver" "/A 1234" "first secret" "second" "second"
[ "$(cat "$hash")" != "$first_hash" ] || fail "the password was not changed"

# An empty new password clears it and switches the desktop value off.
change_password "$saver" "/A:99" "second" "" ""
[ ! -e "$hash" ] || fail "the hash file stays after clearing"
grep -qx 'ScreenSaveUsePassword=0' "$ini" || fail "ScreenSaveUsePassword not switched off"

mkdir "$E2E_DIR/started-here"
(cd "$E2E_DIR/started-here" && exec env -u XDG_CONFIG_HOME HOME=relative "$saver" /A) &
pid=$!
box=$(wait_for_window "$TITLE" 10) || fail "no message without a configuration folder"
key_to "$box" Return
wait_for_status "$pid"
[ -z "$(ls -A "$E2E_DIR/started-here")" ] || fail "files were written: $(ls -A "$E2E_DIR/started-here")"
echo "PASS"
