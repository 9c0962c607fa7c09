# Kamishibai: helpers shared by the end-to-end tests. Each test sources this file; it runs the
# real executables on the X display in DISPLAY (the test command starts Xvfb) with a home,
# runtime and config folder of its own.
set -euo pipefail

BUILD=${KAMISHIBAI_BUILD:?KAMISHIBAI_BUILD must name the build folder}
SOURCE=${KAMISHIBAI_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

PACK=$BUILD/kamishibai-pack
WAIT_SECONDS=10
source "$SOURCE/tests/lib/shell.sh"
source "$SOURCE/tests/lib/x11.sh"
source "$SOURCE/tests/lib/photos.sh"

# e2e_setup: gives the test its own folders and display, removed (with any process it started) at
# the end.
e2e_setup() {
  private_folder /tmp/kamishibai-e2e
  E2E_DIR=$PRIVATE_DIR
  private_home
  start_private_display
  hold_display
}

# work_folders: the saver's work folders that exist now, one per line.
work_folders() {
  ls -d "$XDG_RUNTIME_DIR"/kamishibai/temp* 2>/dev/null || true
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
  pack_saver "$show/show.toml" "$out" "$BUILD/kamishibai"
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
  pack_saver "$show/show.toml" "$out" "$BUILD/kamishibai"
}

# The settings dialog's option buttons (their marks) and command buttons, relative to its
# top-left corner.
BGM_ON=(36 40) BGM_OFF=(107 40) SOUND_ON=(36 104) SOUND_OFF=(107 104)
OK=(240 27) CANCEL=(240 53)

# expect_selected ON-OR-OFF ON-OR-OFF: the marks that the settings dialog in window shows for
# BGM and Sound.
expect_selected() {
  local shot=$E2E_DIR/dialog.png x y
  read -r x y <<<"$(window_origin "$window")"
  sleep 0.3  # let the dialog redraw after the last input
  screenshot "$shot"
  local -n bgm=BGM_$1 sound=SOUND_$2
  blue_in "$shot" $((x + bgm[0] - 6)) $((y + bgm[1] - 6)) 12 12 || fail "BGM $1 not selected"
  blue_in "$shot" $((x + sound[0] - 6)) $((y + sound[1] - 6)) 12 12 || fail "Sound $2 not selected"
}

# change_password SAVER SWITCH TEXT...: opens the saver's password change dialog with the switch
# (split at blanks, as a command line is), fills its fields with the texts and waits for its end.
# acknowledge DIALOG WHAT: waits for the password dialog's message box and closes it.
acknowledge() {
  local box
  box=$(wait_for_window "パスワードの変更" 10 "$1") || fail "no message after $2"
  key_to "$box" Return
}

change_password() {
  local saver=$1 switch=$2 pid window
  shift 2
  open_dialog "パスワードの変更" "$saver" $switch || fail "no password dialog for '$switch'"
  fill_in "$window" "$@"
  acknowledge "$window" "the change with '$switch'"
  wait_for_status "$pid" 30
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

# sideways_photo OUT: a JPEG stored 160 x 80, red on the left and blue on the right, whose EXIF
# orientation 6 turns it a quarter clockwise: upright it is 80 x 160 with red on top.
sideways_photo() {
  convert -size 80x80 xc:red -size 80x80 xc:blue +append "$1.plain.jpg"
  echo "$1.plain.jpg $1 6" | exif_photos
  rm "$1.plain.jpg"
}
