# Kamishibai: "/A" on Windows calls PwdChangePasswordA of mpr.dll (a stand-in beside the saver)
# with "SCRSAVE", the owner window and 0, 0: the window from the number after the switch, else
# the foreground window; without the module nothing happens.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
source "$(dirname "$0")/dialog_lib.sh"
win_setup

saver=$WIN_DIR/saver.scr
convert -size 40x30 xc:'#336699' "$WIN_DIR/one.png"
python3 "$SOURCE/tests/e2e/craft_package.py" "$WIN_BUILD/kamishibai.exe" "$saver" \
  --entry one.png "" "$WIN_DIR/one.png"
cp "$WIN_BUILD/tests/mpr.dll" "$WIN_DIR/mpr.dll"
calls=$WIN_DIR/calls
export KAMISHIBAI_MPR_CALLS
KAMISHIBAI_MPR_CALLS=$(windows_path "$calls")
system_overrides=$WINEDLLOVERRIDES
# The module beside the saver rather than wine's own.
export WINEDLLOVERRIDES="$system_overrides;mpr=n"

# change_password ARGUMENT: runs the saver and prints the stand-in's line for this call.
change_password() {
  rm -f "$calls"
  wine_logged "$saver" $1 &
  wait_for_end $! || fail "the saver did not end after \"$1\""
  [ -f "$calls" ] || fail "\"$1\" did not call PwdChangePasswordA"
  [ "$(wc -l <"$calls")" -eq 1 ] || fail "\"$1\" called it $(wc -l <"$calls") times"
  cat "$calls"
}

[[ $(change_password "/A 1234") =~ ^SCRSAVE\ owner=1234\ foreground=[0-9]+\ reserved=0,0$ ]] ||
  fail "\"/A 1234\": $(cat "$calls")"

# With a window in the foreground, "/A" alone and "/A" followed by a colon (which stops the
# number) give that window.
wine_logged notepad &
wait_for_window ".*(Notepad|メモ帳)" >/dev/null || fail "no foreground window to own the dialog"
for argument in "/a" "/A 0" "/A:1234"; do
  line=$(change_password "$argument")
  [[ $line =~ ^SCRSAVE\ owner=([0-9]+)\ foreground=([0-9]+)\ reserved=0,0$ ]] ||
    fail "\"$argument\": $line"
  [ "${BASH_REMATCH[1]}" != 0 ] && [ "${BASH_REMATCH[1]}" = "${BASH_REMATCH[2]}" ] ||
    fail "\"$argument\" did not give the foreground window: $line"
done

# No password-change module at all: the saver ends without a call and without a window.
export WINEDLLOVERRIDES="$system_overrides;mpr="
rm -f "$calls"
wine_logged "$saver" /A 1234 &
wait_for_end $! || fail "the saver did not end without the module"
[ ! -e "$calls" ] || fail "something was called: $(cat "$calls")"
echo "PASS"
