# Kamishibai: the command-line modes of the demo saver: "/C" says there is nothing to set, the
# preview and unknown modes end at once, no display is reported, no work-folder parent is said.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"

# "/C" with the demo's package (settings off): the message, then the end.
open_window "スクリーンセーバー" "$saver" /c:1234 || fail "no message box for /C"
screenshot "$E2E_DIR/no-settings.png"
key_to "$window" Return
wait_for_status "$pid" || fail "/C ended with an error"
[ ! -e "$E2E_DIR/kamishibai.set" ] || fail "/C wrote a settings file"

# Preview and anything else: nothing shown, nothing written.
timeout 10 "$saver" || fail "no arguments ended with an error"
timeout 10 "$saver" /p 1234 || fail "'/p 1234' ended with an error"
for mode in "/P 1234" "" " /S" "/X" "-s"; do
  timeout 10 "$saver" "$mode" || fail "mode '$mode' ended with an error"
done
[ -z "$(work_folders)" ] || fail "a work folder was made"
[ ! -e "$E2E_DIR/kamishibai.set" ] || fail "a settings file was written"

# No display: said on standard error, a non-zero status, no crash.
status=0
DISPLAY= timeout 10 "$saver" /C 2>"$E2E_DIR/stderr" || status=$?
[ "$status" -ne 0 ] && [ "$status" -lt 124 ] || fail "no display gave status $status"
grep -q "display" "$E2E_DIR/stderr" || fail "no word on standard error about the display"

# No folder for the work folders: the message "実行できません" titled "モザリカ", then the end.
open_window "モザリカ" env XDG_RUNTIME_DIR= XDG_CACHE_HOME= HOME="$E2E_DIR/missing/home" "$saver" /s ||
  fail "no message box when no work folder can be had"
key_to "$window" Return
wait_for_status "$pid" || fail "/S without a work folder ended with an error"
[ ! -e "$E2E_DIR/missing" ] || fail "folders were made"
echo "PASS"
