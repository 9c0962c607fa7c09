# Kamishibai: the X helpers of the shell tests and benchmarks (sourced after shell.sh): displays of
# their own, windows found by title, keys and clicks sent to them, screenshots and their pixels.

# The title of the show's window.
SHOW_TITLE=Kamishibai

# start_x_server COMMAND...: starts the X server that the command runs, which says its display
# number through "-displayfd 3", and points DISPLAY at it; false when it says none. It ends with
# the script.
start_x_server() {
  local fifo=$PRIVATE_DIR/display number=
  mkfifo "$fifo"
  "$@" -displayfd 3 3>"$fifo" >/dev/null 2>&1 &
  read -r number <"$fifo" || true
  rm "$fifo"
  [ -n "$number" ] && export DISPLAY=:$number
}

# start_private_display: an Xvfb of the script's own when the test command has not provided a
# display.
start_private_display() {
  [ -n "${DISPLAY:-}" ] ||
    start_x_server Xvfb -screen 0 1024x768x24 -nolisten tcp -noreset || fail "Xvfb did not start"
}

# hold_display: keeps one client connected to the display for the rest of the script. An X
# server started without -noreset resets whenever its last client leaves, and a program that
# connects during the reset finds no display.
hold_display() {
  for _ in $(seq 50); do
    xprop -root -spy _NET_SUPPORTED >/dev/null 2>&1 &
    sleep 0.1
    kill -0 $! 2>/dev/null && return 0
  done
  fail "cannot connect to the display $DISPLAY"
}

# windows_titled TITLE [BUT]: the ids of the visible windows with that title but the window BUT,
# one a line; false when there is none.
windows_titled() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "${2:-}"
}

# no_window TITLE: true when no visible window has that title.
no_window() {
  ! windows_titled "$1" >/dev/null
}

# wait_for_window TITLE [SECONDS] [BUT]: prints the id of the first visible window with that
# title other than the window BUT.
wait_for_window() {
  wait_until "${2:-$WAIT_SECONDS}" windows_titled "$1" "${3:-}" >/dev/null &&
    windows_titled "$1" "${3:-}" | head -n 1
}

# open_window TITLE COMMAND...: runs the command in the background and waits for its window with
# that title; sets pid to the command's process and window to the window's id; false when no
# such window appears.
open_window() {
  local title=$1
  shift
  "$@" &
  pid=$!
  window=$(wait_for_window "$title")
}

# open_dialog TITLE COMMAND...: open_window for a GTK dialog, which takes input only once it has
# drawn itself a moment after it is mapped.
open_dialog() {
  open_window "$@" || return 1
  sleep 0.3
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

# fill_in ID TEXT...: types each text into the window's next field, Tab between them and Enter
# after the last; an empty text leaves its field empty.
fill_in() {
  local id=$1 field
  shift
  for field in "$@"; do
    if [ -n "$field" ]; then
      xdotool windowfocus "$id"
      xdotool type --delay 30 "$field"
    fi
    key_to "$id" $([ $# -gt 1 ] && echo Tab || echo Return)
    shift
  done
}

# screenshot FILE [GEOMETRY]: the whole screen, or that part of it, as PNG.
screenshot() {
  import -window root ${2:+-crop "$2" +repage} "$1"
}

# pixel_at FILE X Y: the pixel's colour as "R,G,B".
pixel_at() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# same_pixels [OPTION...] IMAGE IMAGE: true when compare counts no pixel that differs.
same_pixels() {
  [ "$(compare -metric AE "$@" null: 2>&1)" = 0 ]
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

# blue_in FILE X Y W H: true when the box is clearly blue (a selected option button's mark).
blue_in() {
  local blueness
  blueness=$(convert "$1" -crop "$4x$5+$2+$3" +repage -format "%[fx:int(100*(mean.b-mean.r))]" info:)
  [ "$blueness" -gt 15 ]
}
