# Kamishibai: a photo stored on its side with an EXIF orientation, packed with fit "contain",
# appears upright, whole and centred in the area on the screen; a WebP picture in the same folder
# is stored converted to JPEG.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

mkdir -p "$E2E_DIR/photos"
sideways_photo "$E2E_DIR/photos/portrait.jpg"
cat >"$E2E_DIR/show.toml" <<'TOML'
[area]
width = 400
height = 400
fit = "contain"
[[slide]]
pictures = "photos"
time = 60000
TOML
convert -size 64x48 xc:orange "$E2E_DIR/photos/wallpaper.webp"
"$BUILD/kamishibai-pack" build "$E2E_DIR/show.toml" -o "$E2E_DIR/photo.scr" \
  --player "$BUILD/kamishibai" || fail "the build failed"
"$BUILD/kamishibai-pack" info --json "$E2E_DIR/photo.scr" | grep -q '"FileName":"wallpaper.jpg"' ||
  fail "the WebP picture was not converted"
xdotool mousemove 100 100

start_show "$E2E_DIR/photo.scr"
sleep 0.5
screenshot "$E2E_DIR/screen.png"
# The area is centred on the screen; the picture is scaled to 200 x 400 and stands at (100, 0).
read -r width height < <(identify -format "%w %h\n" "$E2E_DIR/screen.png")
left=$(((width - 400) / 2 + 100))
top=$(((height - 400) / 2))
colour_at() { pixel_at "$E2E_DIR/screen.png" $(($1 + left)) $(($2 + top)); }
red() { awk -F, '{ exit !($1 > 200 && $2 < 60 && $3 < 60) }' <<<"$(colour_at "$1" "$2")"; }
blue() { awk -F, '{ exit !($1 < 60 && $2 < 60 && $3 > 200) }' <<<"$(colour_at "$1" "$2")"; }
red 8 6 || fail "the top left of the picture is not red: the photo is not upright"
red 192 186 || fail "the upper half is not red"
blue 8 394 || fail "the bottom of the picture is not blue"
blue 192 214 || fail "the lower half is not blue"
for point in "-2 200" "202 200" "-100 0" "299 399"; do
  [ "$(colour_at $point)" = "0,0,0" ] || fail "($point) beside the centred picture is not black"
done

xdotool key F5
wait_for_status "$SHOW_PID" || fail "the show ended with an error"
echo "PASS"
