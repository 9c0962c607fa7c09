# Kamishibai: the Windows release zip holds the demo saver, the player, the packer and the
# README, as built; the packer from the zip makes a saver with the player beside it by default.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
win_setup

cmake --build "$WIN_BUILD" --target windows_release >"$WIN_DIR/release.log" 2>&1 ||
  fail "the release was not made: $(tail -n 20 "$WIN_DIR/release.log")"
zip=$WIN_BUILD/kamishibai-windows-x64.zip
python3 -m zipfile -e "$zip" "$WIN_DIR/release" || fail "the zip cannot be read"
[ "$(ls "$WIN_DIR/release" | paste -sd' ')" = "README.txt kamishibai-pack.exe kamishibai.exe kamishibai.scr" ] ||
  fail "the zip holds: $(ls "$WIN_DIR/release")"
for file in kamishibai.exe kamishibai-pack.exe kamishibai.scr; do
  cmp "$WIN_BUILD/$file" "$WIN_DIR/release/$file" || fail "$file in the zip is not the one built"
done
grep -q '右クリック' "$WIN_DIR/release/README.txt" || fail "the README has no Japanese part"

cd "$WIN_DIR"
convert -size 60x40 xc:'#336699' one.png
printf '[area]\nwidth = 100\nheight = 100\n\n[[slide]]\npicture = "one.png"\n' >show.toml
wine release/kamishibai-pack.exe build show.toml -o mine.scr >pack.log 2>&1 ||
  fail "the packer from the zip failed: $(cat pack.log)"
player_size=$(stat -c %s release/kamishibai.exe)
cmp -n "$player_size" release/kamishibai.exe mine.scr || fail "the saver does not start with the player"
[ "$(stat -c %s mine.scr)" -gt "$player_size" ] || fail "the saver holds no package"
echo "PASS"
