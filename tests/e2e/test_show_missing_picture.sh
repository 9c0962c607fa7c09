# Kamishibai: a package whose first picture cannot be read shows the unexpected-error message
# before the show window appears; closing it ends the saver and removes the work folder.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

saver=$E2E_DIR/broken.scr
: >"$E2E_DIR/empty.jpg"
python3 "$SOURCE/tests/e2e/craft_package.py" "$BUILD/kamishibai" "$saver" \
  --entry first.jpg "" "$E2E_DIR/empty.jpg" --entry second.png "" "$BUILD/demo/picture-01.png"
chmod +x "$saver"

open_window "エラー" "$saver" /s || fail "no error message"
no_window "$SHOW_TITLE" || fail "the show window is shown"
screenshot "$E2E_DIR/error.png"
key_to "$window" Return
wait_for_status "$pid" || fail "the saver ended with an error"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"
echo "PASS"
