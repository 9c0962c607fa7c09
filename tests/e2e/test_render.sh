# Kamishibai: kamishibai-pack render and effects as a user tries them on their own pictures.
source "$(dirname "$0")/lib.sh"
e2e_setup
cd "$E2E_DIR"

convert -size 64x48 xc:'rgb(255,0,0)' a.png
convert -size 80x40 xc:'rgb(0,0,255)' b.png

[ "$("$PACK" effects | wc -l)" -eq 36 ] || fail "effects does not list 36 codes"
"$PACK" effects | grep -q '^33  spiral  *8 ms$' || fail "effects misses the spiral's frame time"

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

# An output that is an input is refused, and the input kept: the GIF as a picture, a picture
# among the frames.
cp a.png keep.png
cp a.png frames/frame-0003.png
if "$PACK" render --effect 1 --from keep.png --to b.png --out elsewhere --gif keep.png 2>err.txt ||
  "$PACK" render --effect 1 --from frames/frame-0003.png --to b.png --out frames 2>>err.txt; then
  fail "a render over its own picture was accepted"
fi
cmp -s a.png keep.png && cmp -s a.png frames/frame-0003.png || fail "a picture was overwritten"
grep -q 'is the picture keep.png' err.txt && grep -q 'under a name the frames take' err.txt ||
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
