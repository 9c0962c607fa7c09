# Kamishibai: what the shell tests of both systems share (sourced by tests/e2e/lib.sh and
# tests/win32/wine_lib.sh): failing, a private display, and waiting for a window or a file. The
# waits poll every 0.1 s for at most SECONDS, WAIT_SECONDS unless given.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# start_private_display FOLDER: starts an Xvfb of its own when the test command has not provided
# a display; FOLDER holds the pipe through which it says its number.
start_private_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local fifo=$1/display
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  read -r number <"$fifo"
  export DISPLAY=:$number
}

# wait_for_window TITLE [SECONDS]: prints the id of the first visible window with that title.
wait_for_window() {
  local title=$1 limit=${2:-$WAIT_SECONDS} id
  for _ in $(seq $((limit * 10))); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# wait_for FILE [SECONDS]: waits until the file exists.
wait_for() {
  local file=$1 limit=${2:-$WAIT_SECONDS}
  for _ in $(seq $((limit * 10))); do
    [ -e "$file" ] && return 0
    sleep 0.1
  done
  return 1
}
