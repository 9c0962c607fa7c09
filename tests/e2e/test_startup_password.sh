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

# Changing asks for the old password first; the window handle after "/A" is read.
run_dialog "/A 1234" "first secret" "second" "second"
[ "$(cat "$hash")" != "$first_hash" ] || fail "the password was not changed"

# An empty new password clears it and switches the desktop value off.
run_dialog "/A:99" "second" "" ""
[ ! -e "$hash" ] || fail "the hash file stays after clearing"
grep -qx 'ScreenSaveUsePassword=0' "$ini" || fail "ScreenSaveUsePassword not switched off"
echo "PASS"
