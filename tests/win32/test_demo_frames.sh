# Kamishibai: the Windows demo saver under wine shows the frames of the Linux demo: its first
# picture, then the second one after its time, pixel for pixel, and a key ends it with its work
# folder; the Windows packer renders the transitions between the demo's own pictures, for every
# effect its slides use, frame for frame as the Linux packer does.
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
LINUX_BUILD=${KAMISHIBAI_LINUX_BUILD:?KAMISHIBAI_LINUX_BUILD must name the Linux build}
win_setup

cd "$WIN_DIR"
cp -r "$LINUX_BUILD/demo" demo
mapfile -t pictures < <(sed -n 's/^picture = "\(.*\)"$/\1/p' demo/demo.toml)
mapfile -t effects < <(sed -n 's/^effect = "\(.*\)"$/\1/p' demo/demo.toml)
[ "${#pictures[@]}" -gt 2 ] && [ "${#effects[@]}" = "${#pictures[@]}" ] ||
  fail "demo.toml lists ${#pictures[@]} pictures and ${#effects[@]} effects"

# The demo's 250 by 250 black area with a picture at (24, 24), as the Linux demo shows it.
for slide in 0 1; do
  convert -size 250x250 xc:black "demo/${pictures[slide]}" -geometry +24+24 -composite \
    "expected-$slide.png"
done

cp "$WIN_BUILD/kamishibai.scr" demo.scr
open_window "$SHOW_TITLE" wine_logged "$WIN_DIR/demo.scr" /S || fail "no show window"
wait_until 10 area_matches expected-0.png || fail "the first picture is not exactly on screen"
wait_until 10 area_matches expected-1.png || fail "the second picture did not follow exactly"
xdotool windowfocus --sync "$window" key space
wait_for_end "$pid" || fail "a key did not end the show"
[ -z "$(work_folders)" ] || fail "the work folder is left: $(work_folders)"

# Slide i leaves for slide i + 1 with its own effect: one such pair for each effect the demo uses,
# rendered by both packers (the Linux one meanwhile in the background).
declare -A rendered
pairs=()
for ((slide = 0; slide < ${#pictures[@]}; ++slide)); do
  effect=${effects[slide]}
  [ -n "${rendered[$effect]:-}" ] && continue
  rendered[$effect]=1
  pairs+=("$effect ${pictures[slide]} ${pictures[(slide + 1) % ${#pictures[@]}]}")
done
for pair in "${pairs[@]}"; do
  read -r effect from to <<<"$pair"
  "$PACK" render --effect "$effect" --from "demo/$from" --to "demo/$to" --out "linux/$effect" \
    >/dev/null || exit 1
done &
linux=$!
for pair in "${pairs[@]}"; do
  read -r effect from to <<<"$pair"
  wine "$WIN_BUILD/kamishibai-pack.exe" render --effect "$effect" --from "demo/$from" \
    --to "demo/$to" --out "windows/$effect" >render.log 2>&1 || fail "render $pair: $(cat render.log)"
done
wait "$linux" || fail "the Linux packer did not render the transitions"

# The frames' pixels, not their files: the two systems' PNG writers compress differently.
(cd linux && identify -format '%d/%f %#\n' */*.png) >linux.txt
(cd windows && identify -format '%d/%f %#\n' */*.png) >windows.txt
[ "$(wc -l <linux.txt)" -gt "${#pairs[@]}" ] || fail "too few frames: $(cat linux.txt)"
diff linux.txt windows.txt >frames.diff || fail "other frames on Windows: $(head -n 6 frames.diff)"
echo "PASS"
