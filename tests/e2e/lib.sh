# Kamishibai: helpers shared by the end-to-end tests. Each test sources this file; it runs the
# real executables on the X display in DISPLAY (the test command starts Xvfb) with a home,
# runtime and config folder of its own.
set -euo pipefail

BUILD=${KAMISHIBAI_BUILD:?KAMISHIBAI_BUILD must name the build folder}
SOURCE=${KAMISHIBAI_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

WAIT_SECONDS=10
source "$SOURCE/tests/lib/shell.sh"

# Gives the test its own folders and removes them (and any process it started) at the end.
e2e_setup() {
  E2E_DIR=$(mktemp -d /tmp/kamishibai-e2e.XXXXXX)
  export HOME=$E2E_DIR/home XDG_RUNTIME_DIR=$E2E_DIR/run XDG_CONFIG_HOME=$E2E_DIR/config
  export XDG_CACHE_HOME=$E2E_DIR/cache
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"
  trap e2e_cleanup EXIT
  e2e_display
  e2e_hold_display
}

e2e_cleanup() {
  local pids
  pids=$(jobs -p)
  [ -n "$pids" ] && kill $pids 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$E2E_DIR"
}

# wait_for_exit PID [SECONDS]: waits until the process has ended; returns its status.
wait_for_exit() {
  local pid=$1 limit=${2:-10}
  for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      return $?
    fi
    sleep 0.1
  done
  fail "process $pid still running after ${limit}s"
}

# screenshot FILE: the whole screen as PNG.
screenshot() {
  import -window root "$1"
}

# pixel_at FILE X Y: the pixel's colour as "R,G,B".
pixel_at() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# A private display when the test command has not provided one; it ends with the test.
e2e_display() {
  start_private_display "$E2E_DIR"
}

# Keeps one client connected to the display for the rest of the test. An X server started
# without -noreset resets whenever its last client leaves, and a program that connects during
# the reset finds no display.
e2e_hold_display() {
  for _ in $(seq 50); do
    xprop -root -spy _NET_SUPPORTED >/dev/null 2>&1 &
    sleep 0.1
    kill -0 $! 2>/dev/null && return 0
  done
  fail "cannot connect to the display $DISPLAY"
}

# make_settings_saver OUT: a saver of two slides whose package allows the settings dialog.
make_settings_saver() {
  local out=$1 show=$E2E_DIR/show
  mkdir -p "$show"
  cp "$BUILD/demo/picture-00.png" "$BUILD/demo/picture-01.png" "$show/"
  cat >"$show/show.toml" <<TOML
settings = true

[area]
width = 250
height = 250
colour = "#000000"

[[slide]]
picture = "picture-00.png"
name = "0"
time = 1000
x = 24
y = 24
effect = "split-sideways"
speed = 0

[[slide]]
picture = "picture-01.png"
name = "1"
time = 1000
x = 24
y = 24
effect = "split-up-down"
speed = 0
TOML
  "$BUILD/kamishibai-pack" build "$show/show.toml" -o "$out" --player "$BUILD/kamishibai" >/dev/null
}

# hex_of FILE: the file's bytes as lower-case hex without separators.
hex_of() {
  od -An -v -tx1 "$1" | tr -d ' \n'
}

# window_origin ID: the window's top-left corner on the screen as "X Y".
window_origin() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'
}

# click_in ID X Y: a left click at (X, Y) relative to the window's top-left corner.
click_in() {
  local origin
  read -r -a origin <<<"$(window_origin "$1")"
  xdotool mousemove $((origin[0] + $2)) $((origin[1] + $3)) click 1
}

# key_to ID KEY...: gives the window the keyboard focus (there is no window manager to do it)
# and presses the keys.
key_to() {
  local id=$1
  shift
  xdotool windowfocus "$id"
  xdotool key --delay 50 "$@"
}

# type_to ID TEXT: types the text into the window that has the focus.
type_to() {
  xdotool windowfocus "$1"
  xdotool type --delay 30 "$2"
}

# blue_in FILE X Y W H: true when the box is clearly blue (a selected option button's mark).
blue_in() {
  local blueness
  blueness=$(convert "$1" -crop "$4x$5+$2+$3" +repage -format "%[fx:int(100*(mean.b-mean.r))]" info:)
  [ "$blueness" -gt 15 ]
}

# make_solid_saver OUT: a saver whose 200 by 100 area (blue back colour) shows one red picture
# that fills it, so that the area's place and scale can be read off the screen.
make_solid_saver() {
  local out=$1 show=$E2E_DIR/solid
  mkdir -p "$show"
  convert -size 200x100 xc:'#ff0000' "$show/red.png"
  cat >"$show/show.toml" <<TOML
[area]
width = 200
height = 100
colour = "#0000ff"

[[slide]]
picture = "red.png"
time = 1000
TOML
  "$BUILD/kamishibai-pack" build "$show/show.toml" -o "$out" --player "$BUILD/kamishibai" >/dev/null
}

# expect_colour FILE X Y R,G,B WHAT: the pixel has about that colour (scaling blends the edges).
expect_colour() {
  local got
  got=$(pixel_at "$1" "$2" "$3")
  awk -v got="$got" -v want="$4" 'BEGIN {
    split(got, g, ","); split(want, w, ",")
    for (i = 1; i <= 3; i++) if (g[i] - w[i] > 40 || w[i] - g[i] > 40) exit 1
  }' || fail "$5: ($2, $3) is $got, not $4"
}

# test_user: makes the unprivileged user kamishibai-e2e when missing and sets AS_TEST_USER to
# the command prefix that runs a program as that user (for programs that refuse to run as
# root); as any other user the prefix is empty. The prefix execs the program, so the pid of a
# background job is the program's own.
E2E_USER=kamishibai-e2e
test_user() {
  AS_TEST_USER=()
  [ "$(id -u)" = 0 ] || return 0
  id -u "$E2E_USER" >/dev/null 2>&1 ||
    useradd --system --user-group --no-create-home --shell /usr/sbin/nologin "$E2E_USER"
  AS_TEST_USER=(setpriv --reuid="$E2E_USER" --regid="$E2E_USER" --init-groups)
}

# english COMMAND...: runs the command under the en_US.UTF-8 locale, made for the test in its own
# folder so that the machine needs no English locale of its own.
english() {
  if [ ! -d "$E2E_DIR/locales/en_US.UTF-8" ]; then
    mkdir -p "$E2E_DIR/locales"
    localedef -i en_US -f UTF-8 "$E2E_DIR/locales/en_US.UTF-8" || fail "cannot make the en_US locale"
  fi
  LOCPATH=$E2E_DIR/locales LC_ALL=en_US.UTF-8 LANGUAGE= "$@"
}
