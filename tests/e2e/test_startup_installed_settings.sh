# Kamishibai: "/C" on a saver in a folder its user cannot write (as an installed saver is): OK
# stores the choice in the user's $XDG_CONFIG_HOME/kamishibai/NAME-HASH.set, the next start reads
# it from there, and the saver's folder stays untouched. A saver of the same name in another such
# folder has a file of its own, and once its folder can be written a saver no longer reads it.
source "$(dirname "$0")/lib.sh"
e2e_setup

# Two savers of one name in read-only folders; the user's own folders belong to the unprivileged
# user.
installed=$E2E_DIR/installed other=$E2E_DIR/other
mkdir -p "$installed" "$other" "$E2E_DIR/user/run" "$E2E_DIR/user/config"
make_settings_saver "$installed/saver.scr"
cp "$installed/saver.scr" "$other/saver.scr"
chmod 755 "$E2E_DIR"
chmod 555 "$installed" "$other"
test_user
[ "$(id -u)" = 0 ] && chown -R "$E2E_USER:$E2E_USER" "$E2E_DIR/user"
chmod 700 "$E2E_DIR/user/run"
user_files=$E2E_DIR/user/config/kamishibai

# The saver runs as that user in its own folders, under the locale of the test, so that xdotool
# reads the dialog's title alike.
as_user=("${AS_TEST_USER[@]}" env -i PATH="$PATH" DISPLAY="$DISPLAY" LANG="${LANG:-}" LC_ALL="${LC_ALL:-}"
  HOME="$E2E_DIR/user" XDG_RUNTIME_DIR="$E2E_DIR/user/run" XDG_CONFIG_HOME="$E2E_DIR/user/config")

# choose SAVER EXPECTED-BGM EXPECTED-SOUND BUTTON: opens the saver's dialog, checks what it shows,
# clicks the button and confirms.
choose() {
  open_dialog 設定 "${as_user[@]}" "$1" /c || fail "no settings dialog for $1"
  expect_selected "$2" "$3"
  local -n button=$4
  click_in "$window" "${button[@]}"
  key_to "$window" Return
  wait_for_status "$pid"
}

choose "$installed/saver.scr" ON ON BGM_OFF
names=$(ls "$user_files")
[[ $names =~ ^saver-[0-9a-f]{16}\.set$ ]] || fail "the user's files are $names"
user_settings=$user_files/$names
[ "$(hex_of "$user_settings")" = 0000ffff ] || fail "the user's file holds $(hex_of "$user_settings")"
[ "$(ls -A "$installed")" = saver.scr ] || fail "the saver's folder changed: $(ls -A "$installed")"

# The next start reads the user's file: BGM is OFF; a second OK rewrites that file.
choose "$installed/saver.scr" OFF ON SOUND_OFF
[ "$(hex_of "$user_settings")" = 00000000 ] || fail "the user's file holds $(hex_of "$user_settings")"

# The other saver of that name starts from its own (missing) file and writes it beside the first.
choose "$other/saver.scr" ON ON SOUND_OFF
[ "$(ls "$user_files" | wc -l)" = 2 ] || fail "the user's files are $(ls "$user_files")"
[ "$(hex_of "$user_settings")" = 00000000 ] || fail "the first saver's file changed"

# Once its folder can be written, the saver keeps its settings beside itself again.
chmod 777 "$installed"
choose "$installed/saver.scr" ON ON BGM_OFF
[ "$(hex_of "$installed/saver.set")" = 0000ffff ] || fail "nothing beside the saver"
[ "$(hex_of "$user_settings")" = 00000000 ] || fail "the user's file changed"
echo "PASS"
