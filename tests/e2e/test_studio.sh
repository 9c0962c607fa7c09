# Kamishibai Studio driven by keys, as a user makes a saver of a folder of photos: the folder
# opens as a show, two slides change places, a transition is typed by name, the show is saved
# and a Linux saver made whose record holds that order and transition; the preview draws the
# frames render draws; undo brings the order back; closing with changes asks first. A screenshot
# of the window at 1024 x 768 is left in the build folder.
source "$(dirname "$0")/lib.sh"
e2e_setup
cd "$E2E_DIR"

# Four photos; the third is stored on its side with EXIF orientation 6, as a portrait.
camera_photos photos 4 320 240
STUDIO_TITLE="Kamishibai Studio"
# Frame 5 of every transition the preview plays is written here, unscaled.
export KAMISHIBAI_STUDIO_PREVIEW_FRAME="5:$E2E_DIR/preview-5.png"

open_window ".* - $STUDIO_TITLE" english "$BUILD/kamishibai-studio" photos ||
  fail "the Studio's window did not open"
studio=$pid main=$window
sleep 1
xdotool windowsize "$main" 1024 768
sleep 1
import -window "$main" "$BUILD/studio-screenshot.png" || fail "no screenshot of the window"

# The first slide is selected: Alt+Right moves it after the second; the transition typed into
# the selected slide's field is confirmed with Enter.
key_to "$main" alt+Right
key_to "$main" alt+r ctrl+a
xdotool type --delay 30 clock
key_to "$main" Return

# Ctrl+S asks where to save a show that has no manifest yet.
key_to "$main" ctrl+s
chooser=$(wait_for_window "Save the Show") || fail "Ctrl+S opened no file chooser"
sleep 0.5
xdotool windowfocus "$chooser"
xdotool key ctrl+a
xdotool type --delay 20 "$E2E_DIR/show.toml"
key_to "$chooser" Return
wait_until 10 test -s show.toml || fail "the show was not saved"
wait_for_window "show.toml - $STUDIO_TITLE" >/dev/null || fail "the title does not name the manifest"

# The preview of the selected slide (photo 1, now second) runs from it to the portrait, frame for
# frame as render draws that transition on the show's area.
rm -f preview-5.png
key_to "$main" shift+F5
wait_until 10 test -s preview-5.png || fail "the preview drew no frame 5"
read -r width height < <(xdotool getdisplaygeometry)
"$PACK" render --effect clock --from photos/photo-0001.jpg --to photos/photo-0003.jpg \
  --area "${width}x$height" --fit contain --out frames >/dev/null || fail "render failed"
same_pixels preview-5.png frames/frame-0005.png || fail "the preview's frame 5 differs from render's"

key_to "$main" ctrl+m
dialog=$(wait_for_window "Make Saver") || fail "Ctrl+M opened no saver dialog"
sleep 0.5
key_to "$dialog" alt+m
wait_until 30 test -s show.scr || fail "no Linux saver was made"
"$PACK" info show.scr >info.txt || fail "info cannot read the saver"
grep -Eq '^0 +photo-0002' info.txt || fail "the first slide is not photo 2: $(cat info.txt)"
grep -Eq '^1 +photo-0001.* 32 +clock ' info.txt || fail "the second slide is not photo 1 by clock"
key_to "$dialog" Escape

# Two undos take back the transition and the move; saved again, photo 1 leads.
key_to "$main" ctrl+z ctrl+z ctrl+s
wait_until 10 grep -q "^picture = \"photos/photo-0001.jpg\"" <(grep -m1 '^picture' show.toml) ||
  fail "undo did not restore the order: $(grep '^picture' show.toml)"

# A change, then Ctrl+Q: the Studio asks first, and ends once the change is discarded.
key_to "$main" alt+Right
wait_for_window "\\*show.toml - $STUDIO_TITLE" >/dev/null || fail "the title does not mark the change"
key_to "$main" ctrl+q
question=$(wait_for_window "$STUDIO_TITLE") || fail "closing with changes did not ask first"
sleep 0.3
key_to "$question" alt+d
wait_for_status "$studio" || fail "the Studio ended with an error"
echo "PASS"
