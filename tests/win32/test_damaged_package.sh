# Kamishibai: a Windows saver whose package holds a picture that cannot be read shows the
# unexpected-error message with its Japanese text when the show comes to it, ends when it is
# closed and leaves no work folder: the error ends the show as any end does, so the music is
# closed (it would keep its work file open) before the message.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
win_setup

saver=$WIN_DIR/damaged.scr
convert -size 8x8 xc:red "$WIN_DIR/first.png"
: >"$WIN_DIR/empty.png"
python3 "$SOURCE/tests/e2e/craft_package.py" "$WIN_BUILD/kamishibai.exe" "$saver" \
  --bgm music.wav --entry first.png "" "$WIN_DIR/first.png" --entry second.png "" "$WIN_DIR/empty.png"

report=$WIN_DIR/box.txt trace=$WIN_DIR/trace.log
WINEDEBUG=+mci wine "$saver" /S >"$trace" 2>&1 &
pid=$!
wine_logged "$WIN_BUILD/tests/message_box_reader.exe" "$(windows_path "$report")" || fail "no message box appeared"
[ "$(head -n 1 "$report")" = "エラー" ] || fail "the box is titled $(head -n 1 "$report")"
grep -q '^不明のエラーが発生しました。' "$report" || fail "the box says: $(cat "$report")"
grep -q 'second.png' "$report" || fail "the box does not name the picture: $(cat "$report")"
wait_for_end "$pid" || fail "the saver did not end after the message"
grep -q 'mciSendStringW (L"close bgm"' "$trace" || fail "the music was not closed"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"
echo "PASS"
