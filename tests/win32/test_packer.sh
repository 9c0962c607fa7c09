# Kamishibai: kamishibai-pack.exe under wine against the Linux packer: build gives the same
# bytes for the same manifest and files, also with Japanese and accented names in the manifest,
# its patterns and the command line; info, effects and extract say and write the same, render
# writes the same frames; damaged pictures (the same files on both systems) and a sound that is
# no wave file are refused with the line they are named on, and nothing is written; a fitted
# picture is scaled whole into the area; names that differ only in letter case are never
# extracted over one another.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
source "$SOURCE/tests/lib/audio.sh"
win_setup

WIN_PACK=$WIN_BUILD/kamishibai-pack.exe
cd "$WIN_DIR"
convert -size 120x90 xc:'#c04020' red.jpg
convert -size 90x120 gradient:'#2040c0-#c0c040' blue.png
write_square_wav music.wav 300 "$MUSIC_LEVEL" 441
write_square_wav ding.wav 150 "$SOUND_LEVEL" 882
printf 'any player' >player.bin
cat >show.toml <<'TOML'
settings = true

[area]
width = 200
height = 200
colour = "#102030"

[music]
file = "music.wav"

[[slide]]
picture = "red.jpg"
time = 800
x = 10
y = 20
effect = "split-sideways"
speed = 1

[[slide]]
picture = "blue.png"
sound = "ding.wav"
time = 900
effect = 0
TOML

# win_pack ARGUMENT...: the Windows packer's output, without the console's carriage returns.
# The arguments reach wine in UTF-8.
win_pack() {
  local status=0
  LC_ALL=C.UTF-8 wine "$WIN_PACK" "$@" >win.out 2>&1 || status=$?
  tr -d '\r' <win.out
  return $status
}

"$PACK" build show.toml -o linux.scr --player player.bin >/dev/null
win_pack build show.toml -o windows.scr --player player.bin >/dev/null || fail "build: $(cat win.out)"
cmp linux.scr windows.scr || fail "the two packers wrote different savers"

[ "$(win_pack info windows.scr)" = "$("$PACK" info linux.scr)" ] || fail "info differs: $(cat win.out)"
[ "$(win_pack effects)" = "$("$PACK" effects)" ] || fail "effects differs: $(cat win.out)"
"$PACK" extract linux.scr --output linux-files >/dev/null
win_pack extract windows.scr --output windows-files >/dev/null || fail "extract: $(cat win.out)"
diff -r linux-files windows-files >extract.diff || fail "extract differs: $(cat extract.diff)"

convert -size 64x48 gradient:'#ff0000-#0000ff' from.png
convert -size 64x48 xc:'#22cc44' to.png
"$PACK" render --effect split-sideways --from from.png --to to.png --out linux-frames >/dev/null
win_pack render --effect split-sideways --from from.png --to to.png --out windows-frames >/dev/null ||
  fail "render: $(cat win.out)"
[ "$(ls windows-frames)" = "$(ls linux-frames)" ] || fail "render wrote other frames: $(ls windows-frames)"
for frame in linux-frames/*.png; do
  same_pixels "$frame" "windows-frames/${frame##*/}" || fail "${frame##*/} differs"
done

# A picture fitted through WIC: scaled whole into the area and stored as a JPEG of that size.
cat >fit.toml <<'TOML'
[area]
width = 200
height = 200
fit = "contain"

[[slide]]
picture = "red.jpg"
TOML
win_pack build fit.toml -o fitted.scr --player player.bin >/dev/null || fail "fit: $(cat win.out)"
"$PACK" extract fitted.scr --output fitted-files >/dev/null
[ "$(identify -format '%m %wx%h' fitted-files/red.jpg)" = "JPEG 200x150" ] ||
  fail "fitted picture: $(identify fitted-files/red.jpg)"

# Japanese and accented names: in the manifest, in a pattern and on the command line.
mkdir 写真
cp red.jpg 写真/港.jpg
cp blue.png 写真/café.png
cat >ショー.toml <<'TOML'
[area]
width = 200
height = 200

[[slide]]
picture = "写真/港.jpg"

[[slide]]
pictures = "写真/*.png"
TOML
"$PACK" build ショー.toml -o linux-名前.scr --player player.bin >/dev/null
win_pack build ショー.toml -o windows-名前.scr --player player.bin >/dev/null ||
  fail "build with Japanese names: $(cat win.out)"
cmp linux-名前.scr windows-名前.scr || fail "the packers wrote different savers for Japanese names"
win_pack extract windows-名前.scr --output 取り出し >/dev/null || fail "extract: $(cat win.out)"
cmp 写真/café.png 取り出し/café.png || fail "the accented name was not extracted: $(ls 取り出し)"

# Names that differ only in letter case are one file on Windows: extract refuses them there.
python3 "$SOURCE/tests/e2e/craft_package.py" player.bin case.scr \
  --entry Photo.png "" blue.png --entry photo.png "" from.png
if win_pack extract case.scr --output case-files >/dev/null; then
  fail "Windows extracted two files into one: $(ls case-files)"
fi
grep -q "differs only in letter case" win.out || fail "no reason given: $(cat win.out)"
[ ! -e case-files ] || fail "extract left files: $(ls case-files)"

# Damaged pictures: a JPEG cut inside its image data, a PNG without its end and one cut inside
# its data, which the players show half grey or refuse. Both packers refuse the same files, and
# so are a picture cut inside its header and a sound that is no wave file; nothing is written.
head -c 200 red.jpg >damaged.jpg
convert -size 120x90 plasma:fractal -quality 90 photo.jpg
head -c $(($(stat -c %s photo.jpg) - 200)) photo.jpg >cut.jpg
head -c $(($(stat -c %s blue.png) - 12)) blue.png >no-end.png
head -c $(($(stat -c %s blue.png) / 2)) blue.png >cut.png
mv red.jpg whole.jpg
mv damaged.jpg red.jpg
printf 'not a sound' >ding.wav
cat >>show.toml <<'TOML'

[[slide]]
picture = "cut.jpg"

[[slide]]
picture = "no-end.png"

[[slide]]
picture = "cut.png"
TOML
"$PACK" build show.toml -o refused.scr --player player.bin >linux-refused.txt 2>&1 &&
  fail "the Linux packer packed a damaged show"
if win_pack build show.toml -o refused.scr --player player.bin >refused.txt; then
  fail "a damaged show was packed"
fi
grep -q "^show.toml:12: picture 'red.jpg' cannot be loaded" refused.txt || fail "$(cat refused.txt)"
grep -q "^show.toml:21: sound 'ding.wav' cannot be loaded" refused.txt || fail "$(cat refused.txt)"
for line in 26 29 32; do
  for report in refused.txt linux-refused.txt; do
    grep -q "^show.toml:$line: picture '.*' cannot be loaded: the .* file ends before" "$report" ||
      fail "line $line passed in $report: $(cat "$report")"
  done
done
[ ! -e refused.scr ] || fail "a saver was written"
[ -z "$(ls | grep '\.tmp')" ] || fail "temporary files were left: $(ls)"
echo "PASS"
