# Kamishibai: "/C" on a saver in a folder its user cannot write (as an installed saver is): OK
# stores the choice in the user's $XDG_CONFIG_HOME/kamishibai/NAME.set, the next start reads it
# from there, and the saver's folder stays untouched.
source "$(dirname "$0")/lib.sh"
e2e_setup

# The saver in a read-only folder; the user's own folders belong to the unprivileged user.
installed=$E2E_DIR/installed
mkdir -p "$installed" "$E2E_DIR/user/run" "$E2E_DIR/user/config"
make_settings_saver "$installed/saver.scr"
chmod 755 "$E2E_DIR" "$installed"
chmod 555 "$installed"
test_user
[ "$(id -u)" = 0 ] && chown -R "$E2E_USER:$E2E_USER" "$E2E_DIR/user"
chmod 700 "$E2E_DIR/user/run"
user_settings=$E2E_DIR/user/config/kamishibai/saver.set

# The saver runs as that user in its own folders, under the locale of the test, so that xdotool
# reads the dialog's title alike.
as_user=("${AS_TEST_USER[@]}" env -i PATH="$PATH" DISPLAY="$DISPLAY" LANG="${LANG:-}" LC_ALL="${LC_ALL:-}"
  HOME="$E2E_DIR/user" XDG_RUNTIME_DIR="$E2E_DIR/user/run" XDG_CONFIG_HOME="$E2E_DIR/user/config")

open_dialog 設定 "${as_user[@]}" "$installed/saver.scr" /c || fail "no settings dialog"
click_in "$window" "${BGM_OFF[@]}"
key_to "$window" Return
wait_for_status "$pid"
[ "$(hex_of "$user_settings")" = 0000ffff ] || fail "the user's file holds $(hex_of "$user_settings" 2>/dev/null)"
[ "$(ls -A "$installed")" = saver.scr ] || fail "the saver's folder changed: $(ls -A "$installed")"

# The next start reads the user's file: BGM is OFF; a second OK rewrites that file.
open_dialog 設定 "${as_user[@]}" "$installed/saver.scr" /c || fail "no settings dialog"
expect_selected OFF ON
click_in "$window" "${SOUND_OFF[@]}"
key_to "$window" Return
wait_for_status "$pid"
[ "$(hex_of "$user_settings")" = 00000000 ] || fail "the user's file holds $(hex_of "$user_settings")"
echo "PASS"
