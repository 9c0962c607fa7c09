# Kamishibai: the saver never maps GL (libGL, libEGL, libLLVM, a Mesa driver): not in the show,
# not in the show on the root window, not in its dialogs. A GTK program probes GL when it opens a
# display (which needs Mesa's drivers installed, libgl1-mesa-dri) and leaves what it found on the
# root window (GDK_VISUALS) for the programs after it: that note is removed before each start, so
# that every one of them would probe.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

# expect_no_gl PID WHAT: the process has no GL library mapped.
expect_no_gl() {
  local mapped
  mapped=$(grep -oE '/[^ ]*(libGL|libEGL|libLLVM|libgallium|/dri/)[^ ]*' "/proc/$1/maps" | sort -u) ||
    true
  [ -z "$mapped" ] || fail "$2 maps GL: $(echo $mapped)"
}

forget_visuals() {
  xprop -root -remove GDK_VISUALS 2>/dev/null || true
}

saver=$E2E_DIR/saver.scr
make_settings_saver "$saver"

forget_visuals
start_show "$saver"
sleep 0.5
expect_no_gl "$SHOW_PID" "the show"
xdotool key a
wait_for_status "$SHOW_PID" || fail "the show ended with an error"

forget_visuals
"$saver" -root &
root_show=$!
sleep 1
kill -0 "$root_show" 2>/dev/null || fail "the show on the root window ended"
expect_no_gl "$root_show" "the show on the root window"
kill -TERM "$root_show"
wait "$root_show" || [ $? = 143 ] || fail "the show on the root window did not end on SIGTERM"

for dialog in "/c 設定" "/a パスワードの変更"; do
  forget_visuals
  open_dialog "${dialog#* }" "$saver" "${dialog%% *}" || fail "no dialog for ${dialog%% *}"
  expect_no_gl "$pid" "the dialog of ${dialog%% *}"
  key_to "$window" Escape
  wait_for_status "$pid" || fail "the dialog of ${dialog%% *} ended with an error"
done
echo "PASS"
