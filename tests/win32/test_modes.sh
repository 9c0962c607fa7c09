# Kamishibai: the Windows saver's other modes under wine: "/C" of a package without settings
# says there is nothing to set (in Japanese under a Japanese user interface, in English under
# another), "/P" and an empty command line end at once, and none of them makes a work folder.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
win_setup

saver=$WIN_DIR/pngs.scr
make_png_saver "$saver"

for switch in /P /p ""; do
  timeout 60 wine "$saver" $switch >"$WIN_DIR/mode.log" 2>&1 || fail "\"$switch\" did not end at once"
done

report=$WIN_DIR/box.txt
wine_logged "$saver" /c:1234 &
pid=$!
wine_logged "$WIN_BUILD/tests/message_box_reader.exe" "$(windows_path "$report")" || fail "no message box appeared"
[ "$(cat "$report")" = "$(printf 'スクリーンセーバー\n設定項目はありません')" ] ||
  fail "the box says: $(cat "$report")"
wait_for_end "$pid" || fail "\"/C\" did not end after the message"

# Under any other interface language the texts are English, from the saver alone.
with_ui_language en_US.UTF-8
wine_logged "$saver" /c &
pid=$!
wine_logged "$WIN_BUILD/tests/message_box_reader.exe" "$(windows_path "$report")" || fail "no message box appeared"
[ "$(cat "$report")" = "$(printf 'Screen Saver\nThere is nothing to set.')" ] ||
  fail "the English box says: $(cat "$report")"
wait_for_end "$pid" || fail "\"/C\" did not end after the message"
[ -z "$(work_folders)" ] || fail "a mode made a work folder: $(work_folders)"
echo "PASS"
