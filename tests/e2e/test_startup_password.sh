# Kamishibai: "/A" sets the saver's password (the hash file appears, readable only by the user,
# and the desktop switch goes on), then changes it and clears it again.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
hash=$XDG_CONFIG_HOME/kamishibai/password
ini=$XDG_CONFIG_HOME/kamishibai/desktop.ini
TITLE="パスワードの変更"

# run_dialog ARGUMENT TEXT...: opens "/A", types each text into the next field and confirms
# with Enter in the last one.
run_dialog() {
  local argument=$1 dialog pid field
  shift
  "$saver" $argument &
  pid=$!
  dialog=$(wait_for_window "$TITLE") || fail "no password dialog for '$argument'"
  sleep 0.3
  for field in "$@"; do
    [ -n "$field" ] && type_to "$dialog" "$field"
    key_to "$dialog" $([ $# -gt 1 ] && echo Tab || echo Return)
    shift
  done
  wait_for_exit "$pid" 30
}

run_dialog "/A" "first secret" "first secret"
[ -f "$hash" ] || fail "no hash file after setting a password"
[ "$(stat -c %a "$hash")" = 600 ] || fail "hash file mode $(stat -c %a "$hash")"
grep -q '^\$argon2id\$' "$hash" || fail "the hash is not argon2id"
! grep -q "first secret" "$hash" || fail "the password is stored in clear"
grep -qx 'ScreenSaveUsePassword=1' "$ini" || fail "ScreenSaveUsePassword not switched on"
grep -qx '\[Control Panel\\desktop\]' "$ini" || fail "desktop.ini lacks its group"
first_hash=$(cat "$hash")

# A wrong old password is refused with a message; the dialog stays and the password too.
"$saver" /A &
pid=$!
dialog=$(wait_for_window "$TITLE") || fail "no password dialog"
sleep 0.3
type_to "$dialog" "wrong"
key_to "$dialog" Tab
type_to "$dialog" "x"
key_to "$dialog" Tab
type_to "$dialog" "x"
key_to "$dialog" Return
box=
for _ in $(seq 100); do
  box=$(xdotool search --onlyvisible --name "^$TITLE\$" | grep -vx "$dialog" | head -n 1 || true)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no message for a wrong old password"
key_to "$box" Return
sleep 0.3
kill -0 "$pid" || fail "the dialog closed after a wrong old password"
key_to "$dialog" Escape
wait_for_exit "$pid"
[ "$(cat "$hash")" = "$first_hash" ] || fail "a wrong old password changed the password"

# The dialog belongs to the window whose handle follows "/A" (here another saver's dialog).
other=$E2E_DIR/other.scr
make_settings_saver "$other"
"$other" /c &
other_pid=$!
owner=$(wait_for_window "設定") || fail "no settings dialog to own the password dialog"
"$saver" "/A $owner" &
pid=$!
dialog=$(wait_for_window "$TITLE") || fail "no password dialog"
xprop -id "$dialog" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$owner")$" ||
  fail "the dialog is not owned by $owner: $(xprop -id "$dialog" WM_TRANSIENT_FOR)"
key_to "$dialog" Escape
wait_for_exit "$pid"
key_to "$owner" Escape
wait_for_exit "$other_pid"

# Changing asks for the old password first; the window handle after "/A" is read.
run_dialog "/A 1234" "first secret" "second" "second"
[ "$(cat "$hash")" != "$first_hash" ] || fail "the password was not changed"

# An empty new password clears it and switches the desktop value off.
run_dialog "/A:99" "second" "" ""
[ ! -e "$hash" ] || fail "the hash file stays after clearing"
grep -qx 'ScreenSaveUsePassword=0' "$ini" || fail "ScreenSaveUsePassword not switched off"
echo "PASS"
