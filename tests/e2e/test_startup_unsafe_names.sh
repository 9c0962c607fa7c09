# Kamishibai: "/S" with a crafted package whose names would leave the work folder: only the
# plain names are written, into the first free temp folder, and nothing lands outside it; the
# folder is gone after the show.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$E2E_DIR/saver.scr
picture=$BUILD/demo/picture-00.png
python3 "$SOURCE/tests/e2e/craft_package.py" "$BUILD/kamishibai" "$saver" \
  --bgm "../escape-music" \
  --entry 0 "../../escape-sound" "$picture" \
  --entry "../../../escape-picture" "" "$picture" \
  --entry "$E2E_DIR/absolute-picture" 'sub\escape' "$picture" \
  --entry 1 "   " "$picture" \
  --entry ".." "" "$picture"
chmod +x "$saver"

# temp1 is taken (by a file), so the work folder is temp2.
parent=$XDG_RUNTIME_DIR/kamishibai
mkdir -m 700 "$parent"
echo "not ours" >"$parent/temp1"
work=$parent/temp2

"$saver" /s &
pid=$!
wait_until 10 test -f "$work/1" || true
[ "$(ls -A "$work" | tr '\n' ' ')" = "0 1 " ] || fail "work folder holds: $(ls -A "$work")"
cmp -s "$work/0" "$picture" || fail "picture 0 not written as stored"
[ "$(stat -c %a "$work")" = 700 ] || fail "work folder mode $(stat -c %a "$work")"
escaped=$(find "$E2E_DIR" -name '*escape*' -o -name 'absolute-picture')
[ -z "$escaped" ] || fail "written outside the work folder: $escaped"
[ "$(cat "$parent/temp1")" = "not ours" ] || fail "temp1 was touched"

# Any key ends the show; the work folder goes with it.
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  xdotool key space
  sleep 0.2
done
wait_for_status "$pid"
[ ! -e "$work" ] || fail "the work folder stays: $(ls -A "$work")"
[ "$(cat "$parent/temp1")" = "not ours" ] || fail "temp1 was touched"
echo "PASS"
