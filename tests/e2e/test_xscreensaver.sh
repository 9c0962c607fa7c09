# Kamishibai: the demo saver under xscreensaver, run as an unprivileged user with a home and a
# configuration of its own: activated, the show runs inside xscreensaver's window (no window of
# its own); a mouse move ends it, and neither the saver nor its work folder is left.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

# Everything the user's processes touch belongs to that user.
xss=$E2E_DIR/xss
mkdir -p "$xss/home" "$xss/run" "$xss/config"
cp "$BUILD/kamishibai.scr" "$xss/kamishibai.scr"
cat >"$xss/home/.xscreensaver" <<CONFIG
mode: one
selected: 0
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
dpmsEnabled: False
programs: $xss/kamishibai.scr --root \\n\\
CONFIG
chmod 755 "$E2E_DIR"
test_user
[ "$(id -u)" = 0 ] && chown -R "$E2E_USER:$E2E_USER" "$xss"
chmod 700 "$xss/run"

# The user's programs get only their own environment.
as_user=("${AS_TEST_USER[@]}" env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$xss/home"
  XDG_RUNTIME_DIR="$xss/run" XDG_CONFIG_HOME="$xss/config" SDL_AUDIODRIVER=dummy)

"${as_user[@]}" xscreensaver -no-splash -verbose >"$E2E_DIR/xscreensaver.log" 2>&1 &
wait_until 10 "${as_user[@]}" xscreensaver-command -time >/dev/null 2>&1 ||
  fail "xscreensaver did not start: $(cat "$E2E_DIR/xscreensaver.log")"
xdotool mousemove 100 100
"${as_user[@]}" xscreensaver-command -activate >/dev/null

# The saver runs with a work folder, paints the picture area in the middle of the screen and
# keeps the corners black; it opened no window of its own.
uid=$(id -u "$E2E_USER" 2>/dev/null || id -u)
savers_running() {
  pgrep -u "$uid" -f "^$xss/kamishibai.scr --root" >/dev/null
}
for _ in $(seq 100); do
  savers_running && [ -n "$(ls -d "$xss/run/kamishibai"/temp* 2>/dev/null)" ] && break
  sleep 0.1
done
savers_running || fail "xscreensaver did not start the saver: $(cat "$E2E_DIR/xscreensaver.log")"
painted=
for _ in $(seq 50); do
  screenshot "$E2E_DIR/screen.png"
  convert "$E2E_DIR/screen.png" -crop 200x200+411+283 +repage "$E2E_DIR/area.png"
  if [ "$(convert "$E2E_DIR/area.png" -format '%[fx:int(1000*mean)]' info:)" -gt 20 ]; then
    painted=yes
    break
  fi
  sleep 0.2
done
[ -n "$painted" ] || fail "the show did not paint inside xscreensaver's window"
for point in "0 0" "1023 767" "386 258"; do
  [ "$(pixel_at "$E2E_DIR/screen.png" $point)" = "0,0,0" ] || fail "($point) is not black"
done
no_window "$SHOW_TITLE" || fail "the saver opened a window of its own"

# A mouse move: xscreensaver ends the saver, which removes its work folder. xscreensaver
# ignores input for its first moments after blanking, so the mouse moves until it answers.
# Relative moves go through XTEST, which xscreensaver sees; absolute ones only warp the pointer.
for step in $(seq 30); do
  savers_running || break
  xdotool mousemove_relative -- $((step % 2 ? 40 : -40)) 0
  sleep 0.5
done
savers_running && fail "the saver still runs after the mouse move: $(tail -n 30 "$E2E_DIR/xscreensaver.log")"
# The saver's end may still be under way when its process is no longer listed.
for _ in $(seq 50); do
  [ -z "$(ls -d "$xss/run/kamishibai"/temp* 2>/dev/null)" ] && break
  sleep 0.1
done
[ -z "$(ls -d "$xss/run/kamishibai"/temp* 2>/dev/null)" ] ||
  fail "the work folder is left: $(ls "$xss/run/kamishibai"); $(tail -n 20 "$E2E_DIR/xscreensaver.log")"
echo "PASS"
