# Kamishibai: a Windows saver of two PNG pictures, packed by the Linux packer, and the frames
# it should show, for the end-to-end tests of the Windows build.
PACK=${KAMISHIBAI_LINUX_BUILD:?KAMISHIBAI_LINUX_BUILD must name the Linux build with the packer}/kamishibai-pack
# A 250 by 250 area on the 1024 by 768 screen starts at (387, 259).
AREA_X=387
AREA_Y=259

# make_png_saver OUT [BUILD-OPTION...]: the saver, and expected-1.png and expected-2.png (the whole
# area) beside it. The options choose the player (default: this build's, by --player).
make_png_saver() {
  local out=$1 dir
  shift
  dir=$(dirname "$out")
  convert -size 120x90 gradient:'#ff2000-#0030ff' -depth 8 "$dir/first.png"
  convert -size 100x140 pattern:checkerboard -fill '#30c050' -opaque black -depth 8 "$dir/second.png"
  cat >"$dir/show.toml" <<'TOML'
[area]
width = 250
height = 250
colour = "#102030"

[[slide]]
picture = "first.png"
time = 6000
x = 10
y = 20
effect = "cut"

[[slide]]
picture = "second.png"
time = 600000
x = 40
y = 30
effect = "cut"
TOML
  "$PACK" build "$dir/show.toml" -o "$out" "${@:---player=$WIN_BUILD/kamishibai.exe}" \
    >"$dir/show.toml.log" 2>&1 || fail "the packer did not make $out: $(cat "$dir/show.toml.log")"
  convert -size 250x250 xc:'#102030' "$dir/first.png" -geometry +10+20 -composite "$dir/expected-1.png"
  convert -size 250x250 xc:'#102030' "$dir/second.png" -geometry +40+30 -composite "$dir/expected-2.png"
}

# start_png_show [BUILD-OPTION...]: makes the saver $WIN_DIR/pngs.scr of make_png_saver and starts
# its show; sets saver, pid and window (the show's window).
start_png_show() {
  saver=$WIN_DIR/pngs.scr
  make_png_saver "$saver" "$@"
  open_window "$SHOW_TITLE" wine_logged "$saver" /S || fail "no show window"
}

# area_matches EXPECTED: true when the picture area on screen equals the image pixel for pixel.
area_matches() {
  screenshot "$WIN_DIR/screen.png" "250x250+$AREA_X+$AREA_Y"
  same_pixels "$WIN_DIR/screen.png" "$1"
}
