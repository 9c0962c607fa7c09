# Kamishibai: kamishibai-pack render and effects as a user tries them on their own pictures.
source "$(dirname "$0")/lib.sh"
e2e_setup
cd "$E2E_DIR"

convert -size 64x48 xc:'rgb(255,0,0)' a.png
convert -size 80x40 xc:'rgb(0,0,255)' b.png

"$PACK" effects >effects.txt
[ "$(grep -c '^[ 0-9][0-9]  ' effects.txt)" -eq 36 ] || fail "effects does not list 36 codes"
# 21 steps of 50 ms, each ending at the first tick after it.
grep -q '^ 1  split-sideways  *50 ms  *1.07 s$' effects.txt || fail "effects misses a total length"
grep -q '^33  spiral  *8 ms ' effects.txt || fail "effects misses the spiral's frame time"

# Spiral tiles: 25 steps, each a frame, then B on a black surface of A's size.
"$PACK" render --effect spiral-tiles --from a.png --to b.png --out frames --gif tiles.gif \
  || fail "render failed"
[ "$(ls frames/frame-*.png | wc -l)" -eq 25 ] || fail "expected 25 frames"
[ "$(identify -format '%wx%h' frames/final.png)" = 64x48 ] || fail "final.png is not A's size"
[ "$(pixel_at frames/final.png 5 5)" = 0,0,255 ] || fail "final.png does not show B"
[ "$(pixel_at frames/final.png 5 45)" = 0,0,0 ] || fail "B is not drawn on black"
[ "$(pixel_at frames/frame-0000.png 5 5)" = 0,0,255 ] || fail "the first tile is not uncovered"
[ "$(pixel_at frames/frame-0000.png 60 45)" = 255,0,0 ] || fail "the first frame lost A"
[ "$(identify tiles.gif | wc -l)" -eq 26 ] || fail "the GIF should hold 25 frames and the final one"
[ "$(identify -format '%T ' tiles.gif)" = "$(printf '4 %.0s' $(seq 25))100 " ] \
  || fail "the GIF is not paced at 40 ms per frame"

# A busy picture fills the compression table many times over; the GIF's frames still match the
# PNG frames up to the palette's steps.
convert -size 120x90 plasma:fractal busy.png
"$PACK" render --effect ellipse --from busy.png --to b.png --out busy --gif busy.gif >/dev/null \
  || fail "render of a busy picture failed"
convert 'busy.gif[12]' gif-frame-12.png
same_pixels -fuzz 12% gif-frame-12.png busy/frame-0012.png || fail "the GIF's frame 12 differs from frame-0012.png"

# A later, shorter render into the same folder leaves no frames of the earlier one behind.
"$PACK" render --effect 33 --from a.png --to b.png --out again >/dev/null || fail "render 33 failed"
"$PACK" render --effect 9 --from a.png --to b.png --out again >/dev/null || fail "render 9 failed"
[ "$(ls again/frame-*.png | wc -l)" -eq 25 ] || fail "stale frames were left behind"

# The plain cut writes no frames and B as final.png.
"$PACK" render --effect 0 --from a.png --to b.png --out cut >/dev/null || fail "render 0 failed"
[ -z "$(ls cut/frame-*.png 2>/dev/null)" ] || fail "the cut wrote frames"
[ "$(pixel_at cut/final.png 5 5)" = 0,0,255 ] || fail "the cut's final.png does not show B"

# Pictures of different sizes on an area, placed as a manifest's fit places them: a photo stored
# on its side stands upright, whole and centred (80 x 160 becomes 60 x 120 at (70, 0)); a wide
# picture fills the area's width (64 x 48 becomes 640 x 480 at (80, 0) on 800 x 480). The GIF is
# at most 640 pixels wide unless told otherwise.
sideways_photo photo.jpg
"$PACK" render --effect cut --from a.png --to photo.jpg --area 200x120 --fit contain --out upright \
  >/dev/null || fail "render --area --fit failed"
[ "$(identify -format '%wx%h' upright/final.png)" = 200x120 ] || fail "final.png is not the area"
expect_colour upright/final.png 100 20 255,0,0 "the photo's top"
expect_colour upright/final.png 100 100 0,0,255 "the photo's bottom"
[ "$(pixel_at upright/final.png 66 60)" = 0,0,0 ] || fail "the photo is not centred"
for width in "" 100; do
  "$PACK" render --effect cut --from photo.jpg --to a.png --area 800x480 --fit contain --out wide \
    --gif "wide$width.gif" ${width:+--gif-width $width} >/dev/null || fail "render to a GIF failed"
done
[ "$(pixel_at wide/final.png 78 240)" = 0,0,0 ] && [ "$(pixel_at wide/final.png 400 240)" = 255,0,0 ] ||
  fail "the wide picture does not fill the area's width"
[ "$(identify -format '%wx%h ' wide.gif wide100.gif)" = "640x384 100x60 " ] ||
  fail "the GIFs are not scaled to their widths"

# The contact sheet: codes 1 to 35, seven to a row, each cell the middle frame that render writes
# (frame n/2 of n, random choices included), scaled down to fit 320 x 240 (half the area here),
# over a label. Cells are 334 pixels wide (the widest label) and 266 high, 16 apart.
"$PACK" render --sheet sheet.png --from busy.png --to b.png --area 640x480 --fit contain \
  >/dev/null || fail "render --sheet failed"
[ "$(identify -format '%wx%h' sheet.png)" = 2466x1426 ] || fail "the sheet is not 7 x 5 cells"
for cell in "3 723 16" "32 1073 1144"; do
  read -r code x y <<<"$cell"
  "$PACK" render --effect "$code" --from busy.png --to b.png --area 640x480 --fit contain \
    --out "sheet-$code" >/dev/null || fail "render $code failed"
  frames=(sheet-"$code"/frame-*.png)
  convert "${frames[${#frames[@]} / 2]}" -scale 320x240 "middle-$code.png"
  convert sheet.png -crop "320x240+$x+$y" +repage "cell-$code.png"
  same_pixels -fuzz 1% "cell-$code.png" "middle-$code.png" ||
    fail "the sheet's cell of $code is not render's middle frame"
  [ "$(convert sheet.png -crop "320x26+$x+$((y + 240))" -format '%[fx:maxima.r]' info:)" = 1 ] ||
    fail "the cell of $code has no label"
done

# Mistakes give a message and a failing status.
if "$PACK" render --effect 99 --from a.png --to b.png --out x 2>err.txt; then
  fail "an unknown effect was accepted"
fi
grep -q 'unknown effect' err.txt || fail "no message for an unknown effect"
echo "not a picture" > bad.png
if "$PACK" render --effect 1 --from bad.png --to b.png --out x 2>err.txt; then
  fail "an unreadable picture was accepted"
fi
grep -q 'bad.png' err.txt || fail "the message does not name the unreadable picture"

# An output that is an input is refused, and the input kept: the GIF or the sheet as a picture, a
# picture among the frames.
cp a.png keep.png
cp a.png frames/frame-0003.png
if "$PACK" render --effect 1 --from keep.png --to b.png --out elsewhere --gif keep.png 2>err.txt ||
  "$PACK" render --effect 1 --from frames/frame-0003.png --to b.png --out frames 2>>err.txt ||
  "$PACK" render --sheet keep.png --from b.png --to keep.png 2>>err.txt; then
  fail "a render over its own picture was accepted"
fi
cmp -s a.png keep.png && cmp -s a.png frames/frame-0003.png || fail "a picture was overwritten"
grep -q 'GIF keep.png is the picture keep.png' err.txt && grep -q 'under a name the frames take' err.txt &&
  grep -q 'sheet keep.png is the picture keep.png' err.txt ||
  fail "the refusals do not say why: $(cat err.txt)"

# On a full disk: the cause, and neither a cut frame nor a GIF.
if [ "$(id -u)" = 0 ]; then
  mkdir disk
  mount -t tmpfs -o size=64k tmpfs disk
  trap 'umount "$E2E_DIR/disk"; end_private' EXIT
  head -c 1M /dev/zero >disk/filler 2>/dev/null || true
  if "$PACK" render --effect 1 --from a.png --to b.png --out disk/frames --gif disk/t.gif \
    2>err.txt; then
    fail "a render onto a full disk succeeded"
  fi
  grep -q 'No space left on device' err.txt || fail "the cause is not named: $(cat err.txt)"
  [ -z "$(ls disk/frames)" ] && [ ! -e disk/t.gif ] || fail "files were left: $(ls -R disk)"
fi
echo "PASS"
