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
wine_logged "$saver" /S &
pid=$!
wine_logged "$WIN_BUILD/tests/message_box_reader.exe" "$(windows_path "$report")" || fail "no message box appeared"
[ "$(head -n 1 "$report")" = "エラー" ] || fail "the box is titled $(head -n 1 "$report")"
grep -q '^不明のエラーが発生しました。' "$report" || fail "the box says: $(cat "$report")"
grep -q 'first.png' "$report" || fail "the box does not name the picture: $(cat "$report")"
wait_for_end "$pid" || fail "the saver did not end after the message"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"
echo "PASS"
