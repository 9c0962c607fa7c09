# Kamishibai: with the password switched on, a password file that cannot be used ends the show
# through the error message (it never asks for a password that can never be right); a good
# hash with a line end after it is accepted; "/A" sets a new password over an unusable file
# without asking for the old one.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
hash_file=$XDG_CONFIG_HOME/kamishibai/password
change_password "$saver" /a "open sesame" "open sesame"
good=$(cat "$hash_file")
xdotool mousemove 100 100

# expect_error_end: a key ends the show with the error message and no password dialog.
expect_error_end() {
  start_show "$saver"
  sleep 0.5
  xdotool key a
  box=$(wait_for_window "エラー") || fail "$1: no error message"
  no_window "$PASSWORD_DIALOG" || fail "$1: password asked"
  key_to "$box" Return
  wait_for_status "$SHOW_PID" || fail "$1: the saver ended with an error status"
  [ -z "$(work_folders)" ] || fail "$1: the work folder is left"
}

rm "$hash_file"
expect_error_end "missing"
: >"$hash_file"
expect_error_end "empty"
printf '%s' "${good:0:60}" >"$hash_file"
expect_error_end "cut short"
printf '%s junk\n' "$good" >"$hash_file"
expect_error_end "followed by junk"
printf '%s\n' '$6$salt$0123456789abcdefghijklmnopqrstuvwxyzABCDEF' >"$hash_file"
expect_error_end "another algorithm"
rm "$hash_file"
mkdir "$hash_file"
expect_error_end "a folder"
rmdir "$hash_file"

# What an editor or echo leaves: a blank before and a line end after the hash.
printf ' %s\n' "$good" >"$hash_file"
start_show "$saver"
sleep 0.5
enter_password "open sesame" || fail "no password dialog for a hash with a line end"
wait_for_status "$SHOW_PID" || fail "the right password did not end the show"

# "/A" over an unusable file: no old password is asked for; the new one replaces the file.
printf '%s' "${good:0:60}" >"$hash_file"
change_password "$saver" /a "new one" "new one"
[ "$(cat "$hash_file")" != "${good:0:60}" ] || fail "/A kept the unusable file"
grep -q '^\$argon2id\$' "$hash_file" || fail "/A wrote no hash"
start_show "$saver"
sleep 0.5
enter_password "new one" || fail "no password dialog after /A"
wait_for_status "$SHOW_PID" || fail "the new password did not end the show"
echo "PASS"
