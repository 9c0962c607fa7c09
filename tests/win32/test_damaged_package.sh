# Kamishibai: a Windows saver whose package holds a picture that cannot be read shows the
# unexpected-error message with its Japanese text, ends when it is closed and leaves no work
# folder.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
win_setup

saver=$WIN_DIR/damaged.scr
: >"$WIN_DIR/empty.png"
python3 "$SOURCE/tests/e2e/craft_package.py" "$WIN_BUILD/kamishibai.exe" "$saver" \
  --entry first.png "" "$WIN_DIR/empty.png"

report=$WIN_DIR/box.txt
wine "$saver" /S >"$WIN_DIR/saver.log" 2>&1 &
pid=$!
wine "$WIN_BUILD/tests/message_box_reader.exe" "$(windows_path "$report")" >"$WIN_DIR/reader.log" 2>&1 ||
  fail "no message box appeared"
[ "$(head -n 1 "$report")" = "エラー" ] || fail "the box is titled $(head -n 1 "$report")"
grep -q '^不明のエラーが発生しました。' "$report" || fail "the box says: $(cat "$report")"
grep -q 'first.png' "$report" || fail "the box does not name the picture: $(cat "$report")"
wait_for_exit "$pid" 30 || fail "the saver did not end after the message"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"
echo "PASS"
